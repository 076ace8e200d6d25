// Reads the tree of a version resource. Every block starts on a 4-byte
// boundary of the resource; its value and its first child start on the
// next one after its key and after its value. A text value's length counts
// UTF-16 characters, a binary value's counts bytes.
#include "version_block.h"

#include "byte_view.h"

namespace {

constexpr std::size_t kBlockHeaderSize = 6;  // wLength, wValueLength, wType
constexpr std::uint16_t kTextType = 1;

std::size_t Align4(std::size_t offset)
{
    return (offset + 3) & ~std::size_t{3};
}

VersionBlock ParseBlock(const ByteView& view, std::size_t at, std::size_t parentEnd)
{
    const std::size_t length = view.u16(at);
    const std::size_t end = at + length;
    if (length < kBlockHeaderSize || end > parentEnd) {
        throw MalformedImage("version block at offset " + std::to_string(at) + " has length " +
                             std::to_string(length) + ", which runs past its parent's end at " +
                             std::to_string(parentEnd));
    }
    VersionBlock block;
    const std::uint16_t valueLength = view.u16(at + 2);
    block.isText = view.u16(at + 4) == kTextType;
    std::size_t offset = at + kBlockHeaderSize;
    block.key = view.wideString(offset);
    offset = Align4(offset);
    const std::size_t valueBytes = block.isText ? std::size_t{valueLength} * 2 : valueLength;
    if (offset + valueBytes > end) {
        throw MalformedImage("version block \"" + block.key + "\" has a value of " + std::to_string(valueBytes) +
                             " bytes, more than its length holds");
    }
    block.value = view.slice(offset, valueBytes);
    if (block.isText && valueLength > 0) {
        std::size_t textOffset = offset;
        block.text = view.wideString(textOffset);
    }
    for (offset = Align4(offset + valueBytes); offset < end; offset = Align4(offset)) {
        block.children.push_back(ParseBlock(view, offset, end));
        offset += view.u16(offset);
    }
    return block;
}

}  // namespace

VersionBlock ParseVersionBlock(const std::vector<std::uint8_t>& resource)
{
    const ByteView view(resource);
    return ParseBlock(view, 0, resource.size());
}

const VersionBlock* FindChild(const VersionBlock& block, const std::string& key)
{
    for (const VersionBlock& child : block.children) {
        if (child.key == key) {
            return &child;
        }
    }
    return nullptr;
}
