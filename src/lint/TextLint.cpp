#include "lint/TextLint.h"

#include <algorithm>
#include <string_view>

#include "platform/Cp932.h"

namespace zepa {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // what Cp932ToUtf8 makes of a bad byte

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the UTF-8 character starting at `i`, or 0 when the bytes there are not one.
size_t Utf8CharLength(const std::string& text, size_t i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (!IsContinuation(at(i + k))) return 0;
    return length;
}

size_t LineOf(const std::string& text, size_t offset) {
    return 1 + static_cast<size_t>(
                   std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

size_t FirstNonAscii(const std::string& text) {
    const auto found =
        std::find_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return static_cast<size_t>(found - text.begin());
}

}  // namespace

bool LooksLikeUtf8(const std::string& text) {
    if (text.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) return true;
    bool multibyte = false;
    bool longCharacter = false;
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8CharLength(text, i);
        if (length == 0) return false;
        multibyte = multibyte || length > 1;
        longCharacter = longCharacter || length > 2;
        i += length;
    }
    if (!multibyte) return false;
    return longCharacter || Cp932ToUtf8(text).find(kReplacement) != std::string::npos;
}

void LintScriptEncoding(const std::string& shownPath, const std::string& text,
                        std::vector<LintFinding>& findings) {
    if (!LooksLikeUtf8(text)) return;
    const bool bom = text.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0;
    const size_t first = bom ? 0 : FirstNonAscii(text);
    findings.push_back({shownPath, static_cast<int>(LineOf(text, first)),
                        std::string("the script is UTF-8") +
                            (bom ? " (it starts with a byte order mark)" : "") +
                            ", not Shift-JIS: the engine reads every script as Shift-JIS, so its Japanese "
                            "text, window titles and file names come out garbled; save it as Shift-JIS "
                            "(iconv -f UTF-8 -t CP932)"});
}

void LintArchivedLineEnds(const std::string& shownPath, const std::string& text,
                          std::vector<LintFinding>& findings) {
    const size_t crlf = text.find("\r\n");
    if (crlf == std::string::npos) return;
    findings.push_back({shownPath, static_cast<int>(LineOf(text, crlf)),
                        "stored in GameData.pac with CR LF line ends: the engine reads archived scripts byte "
                        "for byte, so every line keeps its CR (a statement without parentheses such as "
                        "\"WaitOK\" becomes an unknown command and \"*label\" lines are not found); store "
                        "it with LF line ends (zepa-pack build converts scripts)"});
}

}  // namespace zepa
