// Jump targets of one script text. A label jump looks for the first occurrence of "*" + label + LF
// anywhere in the text (not only at a line start), a save-point jump for the first occurrence of
// SavePoint("name"). Scanning a large text at every jump is slow, so the index records, once per
// text, where each possible target first occurs; it answers exactly as the scan would and falls
// back to the scan only for names it cannot hold (very long names, or names containing the
// byte sequence that ends a target).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zepa {

// Offset of the first occurrence of `pattern` in `text`, or nullopt.
std::optional<size_t> FindFirstOccurrence(std::string_view text, std::string_view pattern);

// The byte strings the two searches look for.
std::string LabelPattern(std::string_view label);
std::string SavePointPattern(std::string_view name);

class CScriptJumpIndex {
  public:
    // Names longer than this are not indexed; searches for them scan the text.
    static constexpr size_t kMaxIndexedName = 256;

    // Indexes `text`, which must outlive the index and stay unchanged.
    void Build(std::string_view text);
    bool built() const { return built_; }
    void Reset();

    // Offset of the first "*label\n", or nullopt when the text has none.
    std::optional<size_t> FindLabel(std::string_view label) const;
    // Offset of the first SavePoint("name"), or nullopt when the text has none.
    std::optional<size_t> FindSavePoint(std::string_view name) const;

  private:
    void IndexLabels();
    void IndexSavePoints();

    std::string_view text_;
    bool built_ = false;
    std::unordered_map<std::string_view, size_t> labels_;
    std::unordered_map<std::string_view, size_t> savePoints_;
};

}  // namespace zepa
