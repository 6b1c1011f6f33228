#include "lint/GameFileLint.h"

#include <string>

#include "core/LooseFiles.h"
#include "platform/Cp932.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"
#include "windows/WindowBase.h"
#include "windows/WindowSelectable.h"

namespace zepa {
namespace {

struct SystemPicture {
    const char* name;     // CP932, as the engine loads it
    const char* outcome;  // what the engine does without it
};

constexpr SystemPicture kSystemPictures[] = {
    {CWindowBase::kDefaultSkinFile, "message and selection windows are drawn without their frame"},
    {CWindowSelectable::kCursorFile, "selection windows show no cursor on the chosen item"},
    {CWindowSelectable::kArrowFile, "selection windows with several pages show no page arrows"},
};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

void LintSystemPictures(CLooseFiles& files, const CPackArchive* archive, std::vector<LintFinding>& findings) {
    for (const SystemPicture& picture : kSystemPictures) {
        if (FindLooseFile(picture.name, files)) continue;
        if (archive && archive->index().count(picture.name)) continue;
        findings.push_back(
            {Cp932ToUtf8(picture.name), 0,
             std::string("missing (neither a file of the game nor in its archive); ") + picture.outcome});
    }
}

void LintArchiveOnlyFiles(CLooseFiles& files, const CPackArchive& archive,
                          std::vector<LintFinding>& findings) {
    for (const auto& [name, entry] : archive.index()) {
        const bool sound = StartsWith(name, "Music/");
        if (!sound && !StartsWith(name, "Parts/")) continue;
        if (FindLooseFile(name, files)) continue;
        findings.push_back({"GameData.pac", 0,
                            Cp932ToUtf8(name) + " is only in the archive; the engine reads " +
                                (sound ? "sounds" : "fonts") +
                                " only as loose files and never uses it there: ship it beside GameData.pac"});
    }
}

}  // namespace zepa
