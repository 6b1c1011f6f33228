#include "resources/ResourceFiles.h"

#include <algorithm>
#include <cstdio>

#include "core/LooseFiles.h"
#include "core/LooseNames.h"
#include "platform/Cp932.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"

namespace zepa {

std::optional<std::string> NormalizeResourceName(const std::string& name) {
    return NormalizeSlashedName(name);
}

bool IsSafeResourceName(const std::string& name) {
    return NormalizeResourceName(name).has_value();
}

std::optional<std::string> FindLooseFile(const std::string& nameCp932, CLooseFiles& files) {
    return files.FindFile(nameCp932);
}

std::optional<std::string> FindLooseFile(const std::string& nameCp932, ILog& log) {
    CLooseFiles files(log);
    return FindLooseFile(nameCp932, files);
}

std::vector<std::string> ListLooseFolder(const std::string& folderCp932, CLooseFiles& files) {
    const std::optional<std::string> normalized = NormalizeResourceName(folderCp932);
    if (!normalized) return {};
    // Like a file, a folder may be stored under its CP932 bytes and under its UTF-8 form; the
    // entries of both are the folder's.
    const std::string folder = normalized->empty() ? "." : *normalized;
    std::vector<std::string> paths{folder};
    if (Cp932ToUtf8(folder) != folder) paths.push_back(Cp932ToUtf8(folder));
    std::vector<std::string> entries;
    for (const std::string& path : paths) {
        if (!IsDirectory(path)) continue;
        const std::vector<std::string>& more = files.Entries(path);
        entries.insert(entries.end(), more.begin(), more.end());
    }
    if (entries.empty())
        if (const std::optional<std::string> found = files.FindFolder(folderCp932))
            entries = files.Entries(*found);
    std::vector<std::string> names;
    for (const std::string& entry : entries) {
        std::string name = ResourceNameOfEntry(entry);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> ListLooseFolder(const std::string& folderCp932) {
    CQuietLog quiet;
    CLooseFiles files(quiet);
    return ListLooseFolder(folderCp932, files);
}

bool ReadLooseFile(const std::string& nameCp932, std::vector<uint8_t>& out, CLooseFiles& files) {
    auto path = FindLooseFile(nameCp932, files);
    return path && ReadWholeFile(*path, out) == FileReadResult::Ok;
}

bool ReadLooseFile(const std::string& nameCp932, std::vector<uint8_t>& out, ILog& log) {
    CLooseFiles files(log);
    return ReadLooseFile(nameCp932, out, files);
}

bool ReadResource(const std::string& nameCp932, const CPackArchive* archive, std::vector<uint8_t>& out,
                  CLooseFiles& files) {
    if (ReadLooseFile(nameCp932, out, files)) return true;
    return archive && archive->ReadEntry(nameCp932, out);
}

bool ReadResource(const std::string& nameCp932, const CPackArchive* archive, std::vector<uint8_t>& out,
                  ILog& log) {
    CLooseFiles files(log);
    return ReadResource(nameCp932, archive, out, files);
}

bool ReadScriptText(const std::string& nameCp932, const CPackArchive* archive, std::string& out,
                    CLooseFiles& files) {
    std::vector<uint8_t> bytes;
    out.clear();
    if (ReadLooseFile(nameCp932, bytes, files)) {
        out.reserve(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
            out.push_back(static_cast<char>(bytes[i]));
        }
        return true;
    }
    if (!archive || !archive->ReadEntry(nameCp932, bytes)) return false;
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0) ++length;
    out.assign(reinterpret_cast<const char*>(bytes.data()), length);
    return true;
}

bool ReadScriptText(const std::string& nameCp932, const CPackArchive* archive, std::string& out, ILog& log) {
    CLooseFiles files(log);
    return ReadScriptText(nameCp932, archive, out, files);
}

}  // namespace zepa
