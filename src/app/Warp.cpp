#include "app/Warp.h"

#include "platform/Cp932.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"
#include "script/ScriptJumpIndex.h"

namespace zepa {

std::optional<WarpTarget> ParseWarp(const std::string& utf8, std::string& error) {
    const size_t colon = utf8.find(':');
    std::string file = utf8.substr(0, colon);
    std::string label = colon == std::string::npos ? std::string() : utf8.substr(colon + 1);
    if (!label.empty() && label[0] == '*') label.erase(0, 1);
    WarpTarget target;
    if (file.empty() || (colon != std::string::npos && label.empty())) {
        error = "--warp: expected FILE or FILE:LABEL, got '" + utf8 + "'";
        return std::nullopt;
    }
    if (!Utf8ToCp932(file, target.file) || !Utf8ToCp932(label, target.label)) {
        error = "--warp: '" + utf8 + "' has characters that Shift-JIS cannot hold";
        return std::nullopt;
    }
    return target;
}

bool CheckWarpTarget(const WarpTarget& target, ILog& log, std::string& error) {
    const std::string path = "Script/" + target.file;
    const CPackArchive archive;
    std::string text;
    if (!ReadScriptText(path, &archive, text, log)) {
        error = "--warp: there is no script " + Cp932ToUtf8(path);
        return false;
    }
    if (!target.label.empty() && !FindFirstOccurrence(text, LabelPattern(target.label))) {
        error = "--warp: " + Cp932ToUtf8(path) + " has no label *" + Cp932ToUtf8(target.label);
        return false;
    }
    return true;
}

}  // namespace zepa
