#include "core/LooseNames.h"

#include <vector>

#include "platform/Cp932.h"

namespace zepa {
namespace {

// Applies `single` to each single-byte character of `name`; double-byte characters stay whole.
template <typename Map>
std::string MapSingleBytes(const std::string& name, Map single) {
    std::string out = name;
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsCp932PairLead(static_cast<unsigned char>(out[i])) && i + 1 < out.size()) {
            ++i;
            continue;
        }
        out[i] = single(out[i]);
    }
    return out;
}

bool StartsWithDrive(const std::string& name) {
    const size_t end = name.find('/');
    const std::string first = name.substr(0, end);
    return first.size() == 2 && first[1] == ':';
}

}  // namespace

std::string BackslashesToSlashes(const std::string& nameCp932) {
    return MapSingleBytes(nameCp932, [](char c) { return c == '\\' ? '/' : c; });
}

std::string FoldAsciiCase(const std::string& nameCp932) {
    return MapSingleBytes(nameCp932,
                          [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
}

std::string ResourceNameOfEntry(const std::string& entry) {
    std::string cp932;
    if (Utf8ToCp932(entry, cp932) && cp932 != entry && Cp932ToUtf8(cp932) == entry) return cp932;
    return entry;
}

std::optional<std::string> NormalizeSlashedName(const std::string& name) {
    if (name.empty() || name[0] == '/' || name.find('\0') != std::string::npos) return std::nullopt;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return std::nullopt;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string normalized;
    for (const std::string& part : parts) normalized += (normalized.empty() ? "" : "/") + part;
    return normalized;
}

std::optional<std::string> LooseSearchName(const std::string& nameCp932) {
    if (!NormalizeSlashedName(nameCp932)) return std::nullopt;
    const std::string slashed = BackslashesToSlashes(nameCp932);
    if (StartsWithDrive(slashed)) return std::nullopt;
    return NormalizeSlashedName(slashed);
}

}  // namespace zepa
