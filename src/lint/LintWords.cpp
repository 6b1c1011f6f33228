#include "lint/LintWords.h"

#include "platform/Cp932.h"

namespace zepa {

std::string Shown(std::string_view cp932) {
    std::string out;
    for (char byte : Cp932ToUtf8(cp932)) {
        if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else {
            out += byte;
        }
    }
    return out;
}

std::string Quoted(std::string_view cp932) {
    return "\"" + Shown(cp932) + "\"";
}

}  // namespace zepa
