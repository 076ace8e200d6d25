// A version resource (RT_VERSION) as VerQueryValue reads it: a tree of
// blocks, each a length, the length of its value, the value's type, a
// UTF-16 key, then the value and the child blocks, each aligned to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VersionBlock {
    std::string key;
    bool isText = false;               // wType 1: the value is UTF-16 text
    std::vector<std::uint8_t> value;   // the value's bytes as stored
    std::string text;                  // the value read as text, when isText
    std::vector<VersionBlock> children;
};

// Parses the bytes of an RT_VERSION resource; throws MalformedImage when a
// block's length runs past its parent's or is too short for its key.
VersionBlock ParseVersionBlock(const std::vector<std::uint8_t>& resource);

// The child of block with this key, or nullptr.
const VersionBlock* FindChild(const VersionBlock& block, const std::string& key);
