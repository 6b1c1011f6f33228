// Where the engine's warnings go: one line each (UTF-8), for the player or author reading the
// terminal. The engine hands one sink down to every part that warns.
#pragma once

#include <string>

namespace zepa {

class ILog {
  public:
    virtual ~ILog() = default;
    // Writes one warning line (no trailing line break needed).
    virtual void Warning(const std::string& lineUtf8) = 0;
};

// Warnings on stderr, one line each.
class CStderrLog final : public ILog {
  public:
    void Warning(const std::string& lineUtf8) override;
};

// Drops every line: for a lookup whose refusals have nobody to tell.
class CQuietLog final : public ILog {
  public:
    void Warning(const std::string&) override {}
};

// printf-style formatting of one line, for warnings that carry numbers and paths.
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zepa
