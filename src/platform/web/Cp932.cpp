// The engine's CP932 conversions in the browser, over the tables generated at build time
// (Cp932Codec.h); the same entry points as src/platform/Cp932.cpp on the desktop.
#include "platform/Cp932.h"

#include <iterator>

#include "platform/web/Cp932Codec.h"

namespace zepa {
namespace {

#include "Cp932Tables.inc"

constexpr Cp932Tables kTables{kSingleByte, kDoubleByte, kEncoding, std::size(kEncoding)};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    DecodeCp932(kTables, cp932, out, [](std::string& o, unsigned char) { o += "\xEF\xBF\xBD"; });
    return out;
}

std::string Cp932ToJsonText(std::string_view cp932) {
    std::string out;
    DecodeCp932(kTables, cp932, out, [](std::string& o, unsigned char c) {
        // U+00XX in UTF-8: a JSON writer shows it as the escape \u00XX, so no byte is lost.
        o += static_cast<char>(0xC0 | (c >> 6));
        o += static_cast<char>(0x80 | (c & 0x3F));
    });
    return out;
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
    return EncodeCp932(kTables, utf8, out, [](std::string&, unsigned char) {});
}

std::string Cp932(std::string_view utf8) {
    std::string out;
    // A multi-byte UTF-8 character that fails leaves its continuation bytes, which fail too;
    // emit one '?' per failed lead byte only.
    EncodeCp932(kTables, utf8, out, [](std::string& o, unsigned char c) {
        if ((c & 0xC0) != 0x80) o += '?';
    });
    return out;
}

}  // namespace zepa
