// pyxet-check on Linux: the standard output is used as it is, and code
// pages are converted by the C library's iconv, under the name "CPnnnn".
#include "host/host.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion, closed on every path.
class Converter {
public:
    Converter(const std::string& to, const std::string& from) : handle_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter()
    {
        if (Open())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open reports failure as (iconv_t)-1.
    bool Open() const { return handle_ != reinterpret_cast<iconv_t>(-1); }  // NOLINT(performance-no-int-to-ptr)

    // Converts text, putting replacement for each character that cannot be
    // converted (in UTF-8 input, a character is a lead byte and its
    // continuation bytes); returns iconv's errno of the first, 0 when there
    // is none.
    int Convert(const std::string& text, const char* replacement, bool utf8Input, std::string* out)
    {
        const char* in = text.data();
        size_t left = text.size();
        int first = 0;
        char buffer[256];
        while (Open() && left > 0) {
            char* to = buffer;
            size_t room = sizeof buffer;
            char* from = const_cast<char*>(in);
            int error = iconv(handle_, &from, &left, &to, &room) == static_cast<size_t>(-1) ? errno : 0;
            in = from;
            out->append(buffer, static_cast<size_t>(to - buffer));
            if (error == 0 || error == E2BIG)
                continue;
            first = first != 0 ? first : error;
            *out += replacement;
            // Past the byte, or the whole character of UTF-8, that failed.
            do {
                ++in;
                --left;
            } while (left > 0 && utf8Input && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
        }
        return first;
    }

private:
    iconv_t handle_;
};

std::string IconvName(int codePage)
{
    return "CP" + std::to_string(codePage);
}

}  // namespace

std::string DefaultPciIdsPath()
{
    return "/usr/share/misc/pci.ids";
}

void SetUpStandardOutput(bool)
{
}

bool HostKnowsCodePage(int codePage)
{
    return Converter("UTF-8", IconvName(codePage)).Open();
}

std::string HostUtf8FromCodePage(int codePage, const std::string& text)
{
    std::string out;
    Converter("UTF-8", IconvName(codePage)).Convert(text, "\xEF\xBF\xBD", false, &out);
    return out;
}

std::string HostCodePageFromUtf8(int codePage, const std::string& text)
{
    std::string out;
    Converter(IconvName(codePage), "UTF-8").Convert(text, "?", true, &out);
    return out;
}

bool HostIsLeadByte(int codePage, unsigned char byte)
{
    // A lead byte alone is an incomplete character to iconv.
    std::string out;
    return Converter("UTF-8", IconvName(codePage)).Convert(std::string(1, static_cast<char>(byte)), "", false, &out) ==
           EINVAL;
}
