// Checks of a script's bytes as a whole, before it is cut into statements: the encoding it was
// saved in and the line ends it was archived with.
#pragma once

#include <string>
#include <vector>

#include "lint/GameLint.h"

namespace zepa {

// True when `text` is UTF-8 rather than CP932: it starts with a UTF-8 byte order mark, or it is
// valid UTF-8 with multibyte characters that is not also plain CP932 text. Three- and four-byte
// UTF-8 characters decide at once (CP932 text almost never forms them); text whose only multibyte
// characters take two bytes is also read as CP932, since runs of half-width katakana can look like
// two-byte UTF-8.
bool LooksLikeUtf8(const std::string& text);

// Reports a UTF-8 script (on the line of its first non-ASCII byte): the engine reads scripts as
// CP932. `shownPath` is the file name as printed.
void LintScriptEncoding(const std::string& shownPath, const std::string& text,
                        std::vector<LintFinding>& findings);

// Reports an archived script with CR LF line ends (on the line of the first one): the engine reads
// archived scripts byte for byte, so each CR stays part of its line.
void LintArchivedLineEnds(const std::string& shownPath, const std::string& text,
                          std::vector<LintFinding>& findings);

}  // namespace zepa
