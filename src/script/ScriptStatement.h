// The statement buffer: up to four name words and sixteen argument slots, filled by the statement
// reader and read by the command handlers.
#pragma once

#include <array>
#include <string>

namespace zepa {

struct ScriptStatement {
    static constexpr int kWordCount = 4;
    static constexpr int kArgCount = 16;

    // words[0] is the keyword, words[1] its sub-command.
    std::array<std::string, kWordCount> words;
    std::array<std::string, kArgCount> args;

    void Clear() {
        for (std::string& word : words) word.clear();
        for (std::string& arg : args) arg.clear();
    }
};

}  // namespace zepa
