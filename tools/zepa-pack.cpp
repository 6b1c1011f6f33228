// zepa-pack: builds, lists and extracts GameData.pac archives.
//
//   zepa-pack build DIR OUT.pac   every file under DIR, named by its path relative to DIR with '/';
//                                 scripts (under Script/) with LF line ends, Music/ and Parts/ left
//                                 out (the engine reads sounds and fonts only as loose files);
//                                 --keep-bytes stores every file as it is, --all packs every folder
//   zepa-pack list PAC            one line per table entry: name (UTF-8), size, offset
//   zepa-pack extract PAC DIR     every entry the engine would find, written under DIR
//
// File names on Linux are usually UTF-8 while the engine asks for CP932 names, so `build` stores
// a UTF-8 name in its CP932 form when it has one, and `extract` writes names back in UTF-8.
// Exit status: 0 success, 1 failure (with the reason on stderr), 2 bad command line.
#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Cp932.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"

namespace fs = std::filesystem;
using zepa::CPackArchive;

namespace {

constexpr size_t kMaxNameBytes = CPackArchive::kNameSize - 1;  // one byte for the NUL
constexpr uint64_t kMaxArchiveBytes = UINT32_MAX;              // offsets are 32-bit

struct BuildOptions {
    bool keepBytes = false;  // store scripts as they are, CR LF included
    bool all = false;        // also pack the folders the engine reads only loose
};

struct InputFile {
    std::string key;  // the archive name (CP932 where possible)
    fs::path path;
    uint64_t size = 0;
    std::optional<std::string> bytes;  // what to store instead of the file (converted scripts)
};

// The first part of a relative path, its ASCII letters in lower case.
std::string TopFolder(const fs::path& relative) {
    if (relative.begin() == relative.end() || std::next(relative.begin()) == relative.end()) return {};
    std::string top = relative.begin()->string();
    for (char& c : top) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return top;
}

// Sounds and fonts are read only as loose files: an archived copy would never be used.
bool LooseOnlyFolder(const std::string& top) {
    return top == "music" || top == "parts";
}

// Archived scripts are read byte for byte (a loose one has its CR LF turned into LF when read), so
// a CR would stay on the end of every line and break keyword-only lines.
std::string WithLfLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out.push_back(text[i]);
    }
    return out;
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void AppendLe32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// The archive key for a path relative to the packed folder: its CP932 form when the name is
// UTF-8 that CP932 can spell, else its bytes as they are (a name already in CP932, or one the
// engine could only reach through a script written in the same bytes).
std::string ArchiveKey(const std::string& relativeUtf8) {
    std::string cp932;
    if (zepa::Utf8ToCp932(relativeUtf8, cp932)) return cp932;
    return relativeUtf8;
}

// UTF-8 form of an archive name for showing and for file names, or the bytes themselves when
// they are not CP932.
std::string DisplayName(const std::string& nameCp932) {
    const std::string utf8 = zepa::Cp932ToUtf8(nameCp932);
    std::string back;
    if (zepa::Utf8ToCp932(utf8, back) && back == nameCp932) return utf8;
    return nameCp932;
}

// `text` with control characters (C0, DEL and the C1 range spelled in UTF-8) written as \xNN, so
// that a name in an archive cannot drive the terminal it is listed on.
std::string Printable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c >= 0x20 && c != 0x7F && !c1) {
            out.push_back(text[i]);
            continue;
        }
        const auto escaped = c1 ? static_cast<unsigned char>(text[++i]) : c;
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", escaped);
        out += hex;
    }
    return out;
}

std::string ShownName(const std::string& nameCp932) {
    return Printable(DisplayName(nameCp932));
}

bool SamePath(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

// Converts a script's line ends; false when it cannot be read.
bool PrepareScript(InputFile& file) {
    std::string text;
    if (!ReadWhole(file.path, text)) return false;
    file.bytes = WithLfLineEnds(text);
    file.size = file.bytes->size();
    return true;
}

bool IsInside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_relative(folder);
    return !relative.empty() && *relative.begin() != "..";
}

// Why an entry of the packed folder that is no plain file is left out; empty when it is packed.
// Links are followed only to regular files inside the folder: a game never takes a file from
// elsewhere on the disk into its archive.
std::string ReasonToLeaveOut(const fs::directory_entry& entry, const fs::path& realRoot) {
    std::error_code error;
    const fs::file_status own = entry.symlink_status(error);
    if (error) return "it cannot be examined";
    if (fs::is_regular_file(own)) return {};
    if (!fs::is_symlink(own)) return "it is not a regular file (a FIFO, device or socket)";
    const fs::file_status target = entry.status(error);
    if (error || !fs::exists(target)) return "it is a link leading nowhere";
    if (fs::is_directory(target)) return "it is a link to a folder; links to folders are not followed";
    if (!fs::is_regular_file(target)) return "it is a link to something that is not a regular file";
    const fs::path real = fs::canonical(entry.path(), error);
    if (error || !IsInside(real, realRoot)) return "it is a link leading out of the folder";
    return {};
}

void ReportLeftOut(const std::map<std::string, int>& leftOut) {
    for (const auto& [folder, count] : leftOut) {
        std::fprintf(stderr,
                     "zepa-pack: leaving out %d file(s) under %s/: the engine reads sounds and fonts only as "
                     "loose files (--all packs them anyway)\n",
                     count, folder.c_str());
    }
}

bool CollectFiles(const fs::path& root, const fs::path& output, const BuildOptions& options,
                  std::vector<InputFile>& files) {
    std::error_code error;
    fs::recursive_directory_iterator it(root, error), end;
    if (error) {
        std::fprintf(stderr, "zepa-pack: cannot read the folder %s: %s\n", root.c_str(),
                     error.message().c_str());
        return false;
    }
    const fs::path realRoot = fs::canonical(root, error);
    bool ok = true;
    std::map<std::string, int> leftOut;
    for (; it != end; it.increment(error)) {
        if (error) break;
        if (it->is_directory(error) && !it->is_symlink(error)) continue;
        if (const std::string reason = ReasonToLeaveOut(*it, realRoot); !reason.empty()) {
            std::fprintf(stderr, "zepa-pack: leaving out %s: %s\n", Printable(it->path().string()).c_str(),
                         reason.c_str());
            continue;
        }
        if (SamePath(it->path(), output)) continue;  // an older archive being replaced
        const fs::path relative = it->path().lexically_relative(root);
        const std::string top = TopFolder(relative);
        if (!options.all && LooseOnlyFolder(top)) {
            ++leftOut[relative.begin()->string()];
            continue;
        }
        InputFile file;
        file.path = it->path();
        file.key = ArchiveKey(relative.generic_string());
        file.size = it->file_size(error);
        if (error) break;
        if (!options.keepBytes && top == "script" && !PrepareScript(file)) {
            std::fprintf(stderr, "zepa-pack: cannot read %s\n", file.path.c_str());
            ok = false;
        }
        if (file.key.size() > kMaxNameBytes) {
            std::fprintf(stderr,
                         "zepa-pack: the name %s is %zu bytes long; an archive name holds at most %zu\n",
                         ShownName(file.key).c_str(), file.key.size(), kMaxNameBytes);
            ok = false;
        }
        files.push_back(std::move(file));
    }
    ReportLeftOut(leftOut);
    if (error) {
        std::fprintf(stderr, "zepa-pack: cannot read the folder %s: %s\n", root.c_str(),
                     error.message().c_str());
        return false;
    }
    return ok;
}

// Sorts by name bytes and refuses two files that would get the same archive name.
bool SortAndCheckNames(std::vector<InputFile>& files) {
    std::sort(files.begin(), files.end(),
              [](const InputFile& a, const InputFile& b) { return a.key < b.key; });
    for (size_t i = 1; i < files.size(); ++i) {
        if (files[i].key == files[i - 1].key) {
            std::fprintf(stderr, "zepa-pack: %s and %s would both be stored as %s\n",
                         files[i - 1].path.c_str(), files[i].path.c_str(), ShownName(files[i].key).c_str());
            return false;
        }
    }
    return true;
}

std::string BuildTable(const std::vector<InputFile>& files, uint64_t& totalSize) {
    std::string table;
    AppendLe32(table, static_cast<uint32_t>(files.size()));
    uint64_t offset = 4 + uint64_t{CPackArchive::kEntrySize} * files.size();
    for (const InputFile& file : files) {
        std::string name = file.key;
        name.resize(CPackArchive::kNameSize, '\0');
        table += name;
        AppendLe32(table, static_cast<uint32_t>(file.size));
        AppendLe32(table, static_cast<uint32_t>(offset));
        offset += file.size;
    }
    totalSize = offset;
    return table;
}

bool WriteBytes(std::FILE* out, const char* data, size_t size) {
    return std::fwrite(data, 1, size, out) == size;
}

bool CopyInto(std::FILE* out, const InputFile& file) {
    if (file.bytes) return WriteBytes(out, file.bytes->data(), file.bytes->size());
    std::ifstream in(file.path, std::ios::binary);
    if (!in) return false;
    char chunk[1 << 16];
    uint64_t copied = 0;
    bool ok = true;
    while (ok && (in.read(chunk, sizeof chunk) || in.gcount() > 0)) {
        ok = WriteBytes(out, chunk, static_cast<size_t>(in.gcount()));
        copied += static_cast<uint64_t>(in.gcount());
    }
    // A file that changed size while being packed would break the offsets.
    return ok && !in.bad() && copied == file.size;
}

// A new OUT.partial: whatever has that name (a left-over, or a link planted there) is removed
// first, and the file is created exclusively, so the archive is never written through a link.
std::FILE* CreatePartial(const std::string& partial) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* out = fdopen(fd, "wb");
    if (!out) close(fd);
    return out;
}

int Build(const std::string& folder, const std::string& output, const BuildOptions& options) {
    if (!fs::is_directory(folder)) {
        std::fprintf(stderr, "zepa-pack: %s is not a folder\n", folder.c_str());
        return 1;
    }
    std::vector<InputFile> files;
    if (!CollectFiles(folder, output, options, files) || !SortAndCheckNames(files)) return 1;
    uint64_t totalSize = 0;
    const std::string table = BuildTable(files, totalSize);
    if (totalSize > kMaxArchiveBytes) {
        std::fprintf(stderr, "zepa-pack: the archive would be %llu bytes; offsets reach only 4 GiB\n",
                     static_cast<unsigned long long>(totalSize));
        return 1;
    }
    // Written beside the target and renamed at the end, so a failed build leaves no torn archive.
    const std::string partial = output + ".partial";
    std::FILE* out = CreatePartial(partial);
    bool ok = out != nullptr && WriteBytes(out, table.data(), table.size());
    for (const InputFile& file : files) {
        if (!ok) break;
        ok = CopyInto(out, file);
        if (!ok) std::fprintf(stderr, "zepa-pack: cannot pack %s\n", file.path.c_str());
    }
    if (out != nullptr && std::fclose(out) != 0) ok = false;
    std::error_code error;
    if (ok) fs::rename(partial, output, error);
    if (!ok || error) {
        fs::remove(partial, error);
        std::fprintf(stderr, "zepa-pack: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%zu files, %llu bytes written to %s\n", files.size(),
                static_cast<unsigned long long>(totalSize), output.c_str());
    return 0;
}

bool OpenTable(const std::string& archive, zepa::PackTable& table) {
    table = zepa::ReadPackTable(archive);
    if (!table.opened) {
        std::fprintf(stderr, "zepa-pack: cannot open %s\n", archive.c_str());
        return false;
    }
    return true;
}

int List(const std::string& archive) {
    zepa::PackTable table;
    if (!OpenTable(archive, table)) return 1;
    // Said before any entry, so a file of another kind does not list its bytes as entries.
    if (const std::string reason = table.NotAnArchiveReason(); !reason.empty()) {
        std::fprintf(stderr, "zepa-pack: %s is not an archive: %s\n", archive.c_str(), reason.c_str());
        return 1;
    }
    bool sound = !table.truncated;
    std::set<std::string> seen;
    for (const zepa::PackTableEntry& stored : table.entries) {
        std::string note;
        if (!stored.nameTerminated)
            note = "  (name without its NUL: unreachable)";
        else if (!seen.insert(stored.name).second)
            note = "  (hidden by an earlier entry of the same name)";
        if (!table.Contains(stored.entry)) note += "  (outside the file)";
        if (!note.empty() && note.find("hidden") == std::string::npos) sound = false;
        std::printf("%s\t%u\t%u%s\n", ShownName(stored.name).c_str(), stored.entry.size, stored.entry.offset,
                    note.c_str());
    }
    if (table.truncated) {
        std::fprintf(stderr,
                     "zepa-pack: %s is cut short: the header announces %u entries, the file holds %zu\n",
                     archive.c_str(), table.declaredCount, table.entries.size());
    }
    if (!sound) std::fprintf(stderr, "zepa-pack: %s is damaged\n", archive.c_str());
    return sound ? 0 : 1;
}

// The file for an entry under `root`, or false when the name would leave it or cannot name a
// file. Existing symbolic links on the way are refused, so an entry cannot write through them.
bool TargetPath(const fs::path& root, const std::string& nameCp932, fs::path& target) {
    if (!zepa::IsSafeResourceName(nameCp932)) return false;
    const fs::path relative = fs::path(DisplayName(nameCp932)).lexically_normal();
    if (relative.empty() || !relative.has_filename() || *relative.begin() == "..") return false;
    if (relative.filename() == "." || relative.filename() == "..") return false;
    target = root;
    for (const fs::path& part : relative) {
        target /= part;
        std::error_code error;
        if (fs::is_symlink(fs::symlink_status(target, error))) return false;
    }
    return true;
}

bool WriteFile(const fs::path& target, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    if (error) return false;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out.good();
}

int Extract(const std::string& archive, const std::string& folder) {
    zepa::PackTable table;
    if (!OpenTable(archive, table)) return 1;
    const CPackArchive pack(archive);
    bool ok = !table.truncated;
    if (table.truncated)
        std::fprintf(stderr, "zepa-pack: %s is cut short; extracting what it holds\n", archive.c_str());
    for (const zepa::PackTableEntry& stored : table.entries) {
        if (stored.nameTerminated) continue;
        std::fprintf(stderr, "zepa-pack: skipping an entry whose name has no NUL (%s...)\n",
                     ShownName(stored.name.substr(0, 32)).c_str());
        ok = false;
    }
    for (const auto& [name, entry] : pack.index()) {
        fs::path target;
        if (!TargetPath(folder, name, target)) {
            std::fprintf(stderr, "zepa-pack: refusing %s: it would be written outside %s\n",
                         ShownName(name).c_str(), folder.c_str());
            ok = false;
            continue;
        }
        std::vector<uint8_t> bytes;
        if (!pack.ReadEntry(name, bytes)) {
            std::fprintf(stderr, "zepa-pack: cannot read %s: its bytes lie outside the archive\n",
                         ShownName(name).c_str());
            ok = false;
            continue;
        }
        if (!WriteFile(target, bytes)) {
            std::fprintf(stderr, "zepa-pack: cannot write %s\n", target.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"zepa-pack: builds, lists and extracts GameData.pac archives"};
    app.require_subcommand(1);
    std::string folder, archive;
    CLI::App* build = app.add_subcommand("build", "pack every file under DIR into OUT.pac");
    build->add_option("DIR", folder, "the folder to pack")->required();
    build->add_option("OUT", archive, "the archive to write")->required();
    BuildOptions buildOptions;
    build->add_flag("--keep-bytes", buildOptions.keepBytes,
                    "store every file byte for byte (scripts keep their CR LF line ends)");
    build->add_flag("--all", buildOptions.all,
                    "also pack Music/ and Parts/, which the engine reads only loose");
    CLI::App* list = app.add_subcommand("list", "show the entries of an archive (name, size, offset)");
    list->add_option("PAC", archive, "the archive")->required();
    CLI::App* extract = app.add_subcommand("extract", "write every entry of an archive under DIR");
    extract->add_option("PAC", archive, "the archive")->required();
    extract->add_option("DIR", folder, "the folder to write into")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }
    if (build->parsed()) return Build(folder, archive, buildOptions);
    if (list->parsed()) return List(archive);
    return Extract(archive, folder);
}
