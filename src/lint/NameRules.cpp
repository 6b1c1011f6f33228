#include "lint/NameRules.h"

#include <vector>

#include "core/LooseNames.h"
#include "lint/LintWords.h"

namespace zepa {
namespace {

std::vector<std::string> PartsOf(const std::string& name) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        parts.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The last `count` parts of `name`, joined by '/'.
std::string Tail(const std::string& name, size_t count) {
    const std::vector<std::string> parts = PartsOf(name);
    std::string out;
    for (size_t k = parts.size() > count ? parts.size() - count : 0; k < parts.size(); ++k)
        out += (out.empty() ? "" : "/") + parts[k];
    return out;
}

}  // namespace

std::optional<std::string> LooseNameProblem(const std::string& written, const std::string& storedName) {
    const std::optional<std::string> slashed = NormalizeSlashedName(BackslashesToSlashes(written));
    // A name climbing with ".." is compared part by part with folders the engine chose: left alone.
    if (!slashed || slashed->empty() || written.find("..") != std::string::npos) return std::nullopt;
    const std::string real = Tail(storedName, PartsOf(*slashed).size());
    if (*slashed != BackslashesToSlashes(written)) return std::nullopt;  // "." or doubled separators
    const bool backslash = *slashed != written;
    if (backslash)
        return Quoted(written) +
               " is written with \"\\\": a loose file is found, but in GameData.pac \"\\\" is not a folder "
               "separator, so it is not found once the game is packed; write " +
               Quoted(real);
    if (real == written) return std::nullopt;
    return Quoted(written) + " is stored as " + Quoted(real) +
           ": the loose file is found (letter case is ignored there), but names in GameData.pac must match "
           "exactly, so it is not found once the game is packed; did you mean " +
           Quoted(real) + "?";
}

std::string OtherCaseHint(const std::string& folder, const std::string& archiveName) {
    const std::string name =
        archiveName.rfind(folder, 0) == 0 ? archiveName.substr(folder.size()) : archiveName;
    return "; did you mean " + Quoted(name) +
           "? GameData.pac holds it under that name, and names in the archive must match exactly";
}

}  // namespace zepa
