#include "resources/ResourceFiles.h"

#include <algorithm>
#include <cstdio>

#include "platform/Cp932.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"

namespace zepa {

std::optional<std::string> NormalizeResourceName(const std::string& name) {
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

bool IsSafeResourceName(const std::string& name) {
    return NormalizeResourceName(name).has_value();
}

std::optional<std::string> FindLooseFile(const std::string& nameCp932, ILog& log) {
    if (nameCp932.empty()) return std::nullopt;
    const std::optional<std::string> normalized = NormalizeResourceName(nameCp932);
    if (!normalized) {
        log.Warning(FormatLine("zepa: refusing the resource name %s: it leaves the game folder",
                               Cp932ToUtf8(nameCp932).c_str()));
        return std::nullopt;
    }
    if (normalized->empty()) return std::nullopt;
    if (IsRegularFile(*normalized)) return *normalized;
    const std::string utf8 = Cp932ToUtf8(*normalized);
    if (utf8 != *normalized && IsRegularFile(utf8)) return utf8;
    return std::nullopt;
}

namespace {

// The CP932 form of a file name read from the disk when it is UTF-8 that converts there and back
// unchanged; otherwise the name's own bytes.
std::string ResourceNameOfEntry(const std::string& entry) {
    std::string cp932;
    if (Utf8ToCp932(entry, cp932) && cp932 != entry && Cp932ToUtf8(cp932) == entry) return cp932;
    return entry;
}

}  // namespace

std::vector<std::string> ListLooseFolder(const std::string& folderCp932) {
    const std::optional<std::string> normalized = NormalizeResourceName(folderCp932);
    if (!normalized) return {};
    // Like a file, a folder may be stored under its CP932 bytes and under its UTF-8 form; the
    // entries of both are the folder's.
    const std::string folder = normalized->empty() ? "." : *normalized;
    std::vector<std::string> entries = ListDirectory(folder);
    const std::string utf8 = Cp932ToUtf8(folder);
    if (utf8 != folder) {
        std::vector<std::string> more = ListDirectory(utf8);
        entries.insert(entries.end(), more.begin(), more.end());
    }
    std::vector<std::string> names;
    for (const std::string& entry : entries) {
        std::string name = ResourceNameOfEntry(entry);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(std::move(name));
    }
    return names;
}

bool ReadLooseFile(const std::string& nameCp932, std::vector<uint8_t>& out, ILog& log) {
    auto path = FindLooseFile(nameCp932, log);
    return path && ReadWholeFile(*path, out) == FileReadResult::Ok;
}

bool ReadResource(const std::string& nameCp932, const CPackArchive* archive, std::vector<uint8_t>& out,
                  ILog& log) {
    if (ReadLooseFile(nameCp932, out, log)) return true;
    return archive && archive->ReadEntry(nameCp932, out);
}

bool ReadScriptText(const std::string& nameCp932, const CPackArchive* archive, std::string& out, ILog& log) {
    std::vector<uint8_t> bytes;
    out.clear();
    if (ReadLooseFile(nameCp932, bytes, log)) {
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

}  // namespace zepa
