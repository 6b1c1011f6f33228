// Finds a game's loose files the way Windows would: the exact name first (its CP932 bytes, then
// their UTF-8 form), then with backslashes as folder separators, then matching each part of the
// path without regard to the case of ASCII letters (see core/LooseNames.h for how CP932 is kept
// intact). Names that leave the game folder are refused with a warning.
//
// The folder listings the case-blind match needs are kept, each with the stamp of its folder; a
// folder is listed again only when its stamp changed. One object serves one reader of the game's
// files and holds no state shared with any other.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace zepa {

class ILog;

class CLooseFiles {
  public:
    // `root` is the game folder's path ("." is the working folder).
    explicit CLooseFiles(ILog& log, std::string root = ".") : log_(log), root_(std::move(root)) {}

    // The path of the existing regular file named `nameCp932`, or nullopt (refused or absent).
    std::optional<std::string> FindFile(const std::string& nameCp932);
    // The path of the existing folder named `nameCp932` ("" is the game folder), or nullopt.
    std::optional<std::string> FindFolder(const std::string& nameCp932);
    // The entries of the folder at `path` (a path FindFolder gave), in the file system's order.
    const std::vector<std::string>& Entries(const std::string& path);

    // How many times a folder was read from the disk (for tests of the cache).
    int listingCount() const { return listingCount_; }

  private:
    struct Listing {
        FolderStamp stamp;
        std::vector<std::string> entries;
        // Folded CP932 name → the entries with that key, smallest first.
        std::map<std::string, std::vector<std::string>> byKey;
    };
    enum class Kind { File, Folder };

    std::optional<std::string> Find(const std::string& nameCp932, Kind kind);
    std::optional<std::string> FindExact(const std::string& name, Kind kind) const;
    std::optional<std::string> FindIgnoringCase(const std::string& name, Kind kind);
    std::optional<std::string> MatchPart(const std::string& folder, const std::string& part, Kind kind);
    const Listing* ListingOf(const std::string& folder);
    std::string PathOf(const std::string& relative) const;

    ILog& log_;
    std::string root_;
    std::map<std::string, Listing> listings_;
    std::set<std::string> warnedAmbiguous_;
    int listingCount_ = 0;
};

}  // namespace zepa
