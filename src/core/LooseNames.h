// How a loose file name given by a game (CP932 bytes, written on Windows) is compared with the
// names on the disk. Both rules step over double-byte characters: their second byte may be 0x5C
// (ソ, 表, 能) or an ASCII letter (ア, ヂ), and it is neither a separator nor a letter.
#pragma once

#include <optional>
#include <string>

namespace zepa {

// True when `byte` starts a double-byte CP932 character.
inline bool IsCp932PairLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// `name` with every single-byte backslash turned into '/'.
std::string BackslashesToSlashes(const std::string& nameCp932);

// `name` with the single-byte ASCII capitals in lower case; the key two names that differ only in
// the case of ASCII letters share. UTF-8 bytes of multibyte characters are >= 0x80 and also pass
// unchanged.
std::string FoldAsciiCase(const std::string& nameCp932);

// The CP932 form of a file name read from the disk when it is UTF-8 that converts there and back
// unchanged; otherwise the name's own bytes.
std::string ResourceNameOfEntry(const std::string& entry);

// `name` resolved as a path inside the game folder with '/' as separator ("." and empty parts
// dropped, ".." taking away the part before it); nullopt when it is absolute, holds a NUL or
// climbs above the game folder.
std::optional<std::string> NormalizeSlashedName(const std::string& name);

// The name a loose file is searched under once backslashes count as separators; nullopt when the
// name leaves the game folder under either reading of its backslashes, or starts with a drive
// ("C:"), which Windows reads as absolute.
std::optional<std::string> LooseSearchName(const std::string& nameCp932);

}  // namespace zepa
