#include "platform/WriteTarget.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zepa {
namespace {

// Links followed before giving up, as the kernel does (ELOOP).
constexpr int kMaxLinks = 40;

struct PathParts {
    std::string parent;
    std::string name;
};

PathParts SplitLast(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) return {".", trimmed};
    return {slash == 0 ? "/" : trimmed.substr(0, slash), trimmed.substr(slash + 1)};
}

std::optional<std::string> RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
    return std::string(resolved);
}

std::optional<std::string> ReadLink(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
    if (length < 0) return std::nullopt;
    return std::string(target, static_cast<size_t>(length));
}

std::optional<std::string> Resolve(const std::string& path, int linksLeft) {
    if (linksLeft < 0) return std::nullopt;
    const std::string name = path.empty() ? "." : path;
    struct stat info;
    if (lstat(name.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) return RealPath(name);
        std::optional<std::string> target = ReadLink(name);
        if (!target || target->empty()) return std::nullopt;
        if (target->front() != '/') *target = SplitLast(name).parent + "/" + *target;
        return Resolve(*target, linksLeft - 1);
    }
    // Not there yet: it will be made inside whatever its parent resolves to.
    const PathParts parts = SplitLast(name);
    if (parts.name.empty() || parts.name == "." || parts.name == "..") return std::nullopt;
    std::optional<std::string> parent = Resolve(parts.parent, linksLeft);
    if (!parent) return std::nullopt;
    return (*parent == "/" ? "" : *parent) + "/" + parts.name;
}

}  // namespace

std::optional<std::string> ResolveWriteTarget(const std::string& path) {
    return Resolve(path, kMaxLinks);
}

bool WriteStaysInside(const std::string& path, const std::string& folder) {
    const std::optional<std::string> root = RealPath(folder.empty() ? "." : folder);
    const std::optional<std::string> target = ResolveWriteTarget(path);
    if (!root || !target) return false;
    if (*root == "/") return true;
    return *target == *root || target->rfind(*root + "/", 0) == 0;
}

}  // namespace zepa
