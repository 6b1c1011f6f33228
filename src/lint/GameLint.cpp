#include "lint/GameLint.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "core/LooseFiles.h"
#include "core/LooseNames.h"
#include "lint/GameFileLint.h"
#include "lint/ScriptLint.h"
#include "platform/Cp932.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;

constexpr const char* kArchiveName = "GameData.pac";
constexpr const char* kMainScript = "Script/Script.txt";

// The engine finds its files relative to the working directory; the checker does the same inside
// the game folder and goes back afterwards.
class CScopedDirectory {
  public:
    CScopedDirectory(const fs::path& folder, std::error_code& error) {
        previous_ = fs::current_path(error);
        if (!error) fs::current_path(folder, error);
        entered_ = !error;
    }
    ~CScopedDirectory() {
        std::error_code ignored;
        if (entered_) fs::current_path(previous_, ignored);
    }
    CScopedDirectory(const CScopedDirectory&) = delete;
    CScopedDirectory& operator=(const CScopedDirectory&) = delete;

  private:
    fs::path previous_;
    bool entered_ = false;
};

bool EndsWithTxt(const std::string& name) {
    if (name.size() < 4) return false;
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return suffix == ".txt";
}

// A file name on disk as a resource name: UTF-8 names (games unpacked on Linux) become CP932,
// anything else is taken as the CP932 bytes it already is.
std::string ResourceNameOf(const std::string& onDisk) {
    std::string cp932;
    return Utf8ToCp932(onDisk, cp932) ? cp932 : onDisk;
}

class CLintGame : public ILintGame {
  public:
    CLintGame(const CPackArchive* archive, ILog& log) : archive_(archive), log_(log) {}

    const std::string* ScriptText(const std::string& path) override {
        auto cached = texts_.find(path);
        if (cached == texts_.end()) {
            std::string text;
            std::optional<std::string> entry;
            if (ReadScriptText(path, archive_, text, files_)) entry = std::move(text);
            cached = texts_.emplace(path, std::move(entry)).first;
        }
        return cached->second ? &*cached->second : nullptr;
    }

    bool ResourceExists(const std::string& path) override {
        if (FindLooseFile(path, files_)) return true;
        return archive_ && archive_->index().count(path) > 0;
    }

    bool IsArchived(const std::string& path) override {
        return archive_ && archive_->index().count(path) > 0 && !FindLooseFile(path, files_);
    }

    LintLookup Lookup(const std::string& path) override {
        if (const std::optional<std::string> loose = FindLooseFile(path, files_))
            return {LintLookup::Where::Loose, ResourceNameOf(*loose), {}};
        if (!archive_) return {};
        if (archive_->index().count(path)) return {LintLookup::Where::Archive, {}, {}};
        const auto other = ArchiveByFoldedName().find(FoldAsciiCase(BackslashesToSlashes(path)));
        if (other == ArchiveByFoldedName().end()) return {};
        return {LintLookup::Where::Nowhere, {}, other->second};
    }

    CLooseFiles& files() { return files_; }

  private:
    // The archive's names by their case-blind key (the smallest name of each key), made once.
    const std::map<std::string, std::string>& ArchiveByFoldedName() {
        if (archiveByFoldedName_.empty() && archive_)
            for (const auto& [name, entry] : archive_->index())
                archiveByFoldedName_.try_emplace(FoldAsciiCase(BackslashesToSlashes(name)), name);
        return archiveByFoldedName_;
    }

    const CPackArchive* archive_;
    ILog& log_;
    CLooseFiles files_{log_};
    std::map<std::string, std::optional<std::string>> texts_;
    std::map<std::string, std::string> archiveByFoldedName_;
};

// Every script of the game: the loose ones in name order, then the archived ones that no loose
// file hides, in name order.
std::vector<std::string> ListScripts(const CPackArchive* archive, ILog& log) {
    std::set<std::string> loose;
    std::error_code error;
    // The folder may be stored as "script" or "SCRIPT"; its scripts are named under "Script/".
    CLooseFiles files(log);
    if (const std::optional<std::string> folder = files.FindFolder("Script")) {
        fs::recursive_directory_iterator it(*folder, error), end;
        for (; !error && it != end; it.increment(error)) {
            if (!it->is_regular_file(error)) continue;
            const std::string name =
                "Script" + ResourceNameOf(it->path().generic_string()).substr(folder->size());
            if (EndsWithTxt(name)) loose.insert(name);
        }
    }
    std::vector<std::string> scripts(loose.begin(), loose.end());
    if (!archive) return scripts;
    for (const auto& [name, entry] : archive->index()) {
        if (name.rfind("Script/", 0) != 0 || !EndsWithTxt(name) || loose.count(name)) continue;
        if (FindLooseFile(name, files)) continue;
        scripts.push_back(name);
    }
    return scripts;
}

// Why the archive cannot be read, or nullopt when it can (or there is none).
std::optional<std::string> ArchiveProblem() {
    std::error_code error;
    if (!fs::exists(kArchiveName, error)) return std::nullopt;
    const PackTable table = ReadPackTable(kArchiveName);
    if (!table.opened) return std::string(kArchiveName) + ": cannot be opened";
    if (table.truncated) return std::string(kArchiveName) + ": the file ends inside its table of entries";
    return std::nullopt;
}

}  // namespace

LintReport LintGame(const fs::path& folder) {
    LintReport report;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        report.readable = false;
        report.error = folder.string() + ": not a folder";
        return report;
    }
    CScopedDirectory inside(folder, error);
    if (error) {
        report.readable = false;
        report.error = folder.string() + ": " + error.message();
        return report;
    }
    if (std::optional<std::string> problem = ArchiveProblem()) {
        report.readable = false;
        report.error = *problem;
        return report;
    }
    std::unique_ptr<CPackArchive> archive;
    if (fs::exists(kArchiveName, error)) archive = std::make_unique<CPackArchive>(kArchiveName);
    CStderrLog log;
    CLintGame game(archive.get(), log);
    const std::vector<std::string> scripts = ListScripts(archive.get(), log);
    report.scriptCount = static_cast<int>(scripts.size());
    // A folder without any script has nothing to check; one with scripts but no main script
    // would go straight back to the title. The main script is looked up as the engine looks it up
    // (a "script/script.txt" made on Windows is found).
    if (!scripts.empty() && !game.ScriptText(kMainScript))
        report.findings.push_back(
            {kMainScript, 0, "missing; the game goes back to the title as soon as it starts"});
    if (!scripts.empty()) LintSystemPictures(game.files(), archive.get(), report.findings);
    if (archive) LintArchiveOnlyFiles(game.files(), *archive, report.findings);
    for (const std::string& path : scripts) {
        if (const std::string* text = game.ScriptText(path)) LintScript(path, *text, game, report.findings);
    }
    return report;
}

std::string FormatFindings(const std::vector<LintFinding>& findings, LintFormat format,
                           const std::string& folder) {
    std::string out;
    const std::string prefix =
        folder.empty() || folder == "." ? "" : folder + (folder.back() == '/' ? "" : "/");
    for (const LintFinding& finding : findings) {
        if (format == LintFormat::Gcc) {
            // The column is not tracked: 1 places the cursor at the start of the line.
            out += prefix + finding.file + ":" + std::to_string(std::max(finding.line, 1)) +
                   ":1: warning: " + finding.message + "\n";
            continue;
        }
        out += finding.file;
        if (finding.line > 0) out += ":" + std::to_string(finding.line);
        out += ": " + finding.message + "\n";
    }
    return out;
}

int LintExitCode(const LintReport& report) {
    if (!report.readable) return 2;
    return report.findings.empty() ? 0 : 1;
}

}  // namespace zepa
