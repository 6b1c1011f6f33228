#include "platform/Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace zepa {
namespace {

// One iconv descriptor per direction and call; conversions are rare (edges of the system only).
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (Valid()) iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return handle_; }

  private:
    iconv_t handle_;
};

// Converts as much as possible; calls `onBadByte` for each byte that cannot be converted and
// skips it. Returns false if some byte was bad.
template <typename BadByte>
bool Convert(const char* to, const char* from, std::string_view input, std::string& out, BadByte onBadByte) {
    out.clear();
    IconvHandle cd(to, from);
    if (!cd.Valid()) {
        for (unsigned char c : input) onBadByte(out, c);
        return input.empty();
    }
    bool clean = true;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        size_t result = iconv(cd.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (result != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: the byte at `in` starts no valid character.
        clean = false;
        onBadByte(out, static_cast<unsigned char>(*in));
        ++in;
        --inLeft;
        iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return clean;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    Convert("UTF-8", "CP932", cp932, out, [](std::string& o, unsigned char) { o += "\xEF\xBF\xBD"; });
    return out;
}

std::string Cp932ToJsonText(std::string_view cp932) {
    std::string out;
    Convert("UTF-8", "CP932", cp932, out, [](std::string& o, unsigned char c) {
        // U+00XX in UTF-8: a JSON writer shows it as the escape \u00XX, so no byte is lost.
        o += static_cast<char>(0xC0 | (c >> 6));
        o += static_cast<char>(0x80 | (c & 0x3F));
    });
    return out;
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
    return Convert("CP932", "UTF-8", utf8, out, [](std::string&, unsigned char) {});
}

std::string Cp932(std::string_view utf8) {
    std::string out;
    // A multi-byte UTF-8 character that fails leaves its continuation bytes, which fail too;
    // emit one '?' per failed lead byte only.
    Convert("CP932", "UTF-8", utf8, out, [](std::string& o, unsigned char c) {
        if ((c & 0xC0) != 0x80) o += '?';
    });
    return out;
}

}  // namespace zepa
