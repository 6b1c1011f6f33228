// Where a write really lands. A game is untrusted: a save or settings file it ships may be a
// symbolic link (or sit in a linked folder) leading anywhere on the disk, and the engine must not
// write through it to a file outside the folder it writes into.
#pragma once

#include <optional>
#include <string>

namespace zepa {

// The absolute path a write to `path` would create or replace, every symbolic link on the way
// followed (a dangling link included: writing creates its target). Parts that do not exist yet
// are kept as named. nullopt when a link loop or a missing "." / ".." makes it unknowable.
std::optional<std::string> ResolveWriteTarget(const std::string& path);

// True when writing `path` lands inside `folder` (or in it), links followed; the one check every
// writer of game files (saves, settings, screenshots) makes before it writes.
bool WriteStaysInside(const std::string& path, const std::string& folder);

}  // namespace zepa
