#include "core/LooseFiles.h"

#include <algorithm>

#include "core/LooseNames.h"
#include "platform/Cp932.h"
#include "platform/Log.h"

namespace zepa {
namespace {

bool IsKind(const std::string& path, bool folder) {
    return folder ? IsDirectory(path) : IsRegularFile(path);
}

}  // namespace

std::optional<std::string> CLooseFiles::FindFile(const std::string& nameCp932) {
    return Find(nameCp932, Kind::File);
}

std::optional<std::string> CLooseFiles::FindFolder(const std::string& nameCp932) {
    return Find(nameCp932, Kind::Folder);
}

std::optional<std::string> CLooseFiles::Find(const std::string& nameCp932, Kind kind) {
    if (nameCp932.empty() && kind == Kind::File) return std::nullopt;
    const std::optional<std::string> exact = NormalizeSlashedName(nameCp932.empty() ? "." : nameCp932);
    const std::optional<std::string> slashed = LooseSearchName(nameCp932.empty() ? "." : nameCp932);
    if (!exact || !slashed) {
        log_.Warning(FormatLine("zepa: refusing the resource name %s: it leaves the game folder",
                                Cp932ToUtf8(nameCp932).c_str()));
        return std::nullopt;
    }
    if (exact->empty() && kind == Kind::File) return std::nullopt;
    if (auto path = FindExact(*exact, kind)) return path;
    if (*slashed != *exact)
        if (auto path = FindExact(*slashed, kind)) return path;
    return FindIgnoringCase(*slashed, kind);
}

std::optional<std::string> CLooseFiles::FindExact(const std::string& name, Kind kind) const {
    const bool folder = kind == Kind::Folder;
    if (IsKind(PathOf(name), folder)) return PathOf(name);
    const std::string utf8 = Cp932ToUtf8(name);
    if (utf8 != name && IsKind(PathOf(utf8), folder)) return PathOf(utf8);
    return std::nullopt;
}

std::optional<std::string> CLooseFiles::FindIgnoringCase(const std::string& name, Kind kind) {
    std::string folder;  // relative to the root, as stored on the disk
    size_t start = 0;
    while (start < name.size()) {
        size_t end = name.find('/', start);
        const bool last = end == std::string::npos;
        if (last) end = name.size();
        const std::optional<std::string> entry =
            MatchPart(folder, name.substr(start, end - start), last ? kind : Kind::Folder);
        if (!entry) return std::nullopt;
        folder += (folder.empty() ? "" : "/") + *entry;
        start = end + 1;
    }
    return PathOf(folder);
}

// The entry of `folder` that `part` names: the exact name when it is there, else the smallest
// (by bytes) of those equal to it without regard to case; a choice among several is reported once.
std::optional<std::string> CLooseFiles::MatchPart(const std::string& folder, const std::string& part,
                                                  Kind kind) {
    const Listing* listing = ListingOf(folder);
    if (!listing) return std::nullopt;
    const auto found = listing->byKey.find(FoldAsciiCase(part));
    if (found == listing->byKey.end()) return std::nullopt;
    const std::string prefix = folder.empty() ? "" : folder + "/";
    std::vector<std::string> fitting;
    for (const std::string& entry : found->second)
        if (IsKind(PathOf(prefix + entry), kind == Kind::Folder)) fitting.push_back(entry);
    if (fitting.empty()) return std::nullopt;
    for (const std::string& entry : fitting)
        if (entry == part || entry == Cp932ToUtf8(part)) return entry;
    if (fitting.size() > 1 && warnedAmbiguous_.insert(prefix + found->first).second)
        log_.Warning(FormatLine("zepa: %zu names in %s differ only in case from %s; using %s", fitting.size(),
                                folder.empty() ? "the game folder" : folder.c_str(),
                                Cp932ToUtf8(part).c_str(), fitting.front().c_str()));
    return fitting.front();
}

const CLooseFiles::Listing* CLooseFiles::ListingOf(const std::string& folder) {
    const std::string path = PathOf(folder);
    const std::optional<FolderStamp> stamp = StampOfFolder(path);
    if (!stamp) return nullptr;
    auto cached = listings_.find(path);
    if (cached != listings_.end() && cached->second.stamp == *stamp) return &cached->second;
    Listing listing{*stamp, ListDirectory(path), {}};
    ++listingCount_;
    for (const std::string& entry : listing.entries)
        if (entry != "." && entry != "..")
            listing.byKey[FoldAsciiCase(ResourceNameOfEntry(entry))].push_back(entry);
    for (auto& [key, entries] : listing.byKey) std::sort(entries.begin(), entries.end());
    return &(listings_[path] = std::move(listing));
}

const std::vector<std::string>& CLooseFiles::Entries(const std::string& path) {
    static const std::vector<std::string> kNone;
    std::string relative = path;
    if (root_ != "." && relative.rfind(root_ + "/", 0) == 0) relative = relative.substr(root_.size() + 1);
    if (relative == root_) relative.clear();
    const Listing* listing = ListingOf(relative);
    return listing ? listing->entries : kNone;
}

std::string CLooseFiles::PathOf(const std::string& relative) const {
    if (relative.empty()) return root_;
    return root_ == "." ? relative : root_ + "/" + relative;
}

}  // namespace zepa
