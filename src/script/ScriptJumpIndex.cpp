#include "script/ScriptJumpIndex.h"

#include <array>

namespace zepa {
namespace {

constexpr std::string_view kSavePointOpen = "SavePoint(\"";
constexpr std::string_view kSavePointClose = "\")";

}  // namespace

// Horspool's search: after a failed try the window moves by how far the byte under its last place
// lies from the pattern's end. Written out because the browser build's standard library lacks
// std::boyer_moore_horspool_searcher.
std::optional<size_t> FindFirstOccurrence(std::string_view text, std::string_view pattern) {
    if (pattern.size() > text.size()) return std::nullopt;
    if (pattern.empty()) return 0;
    std::array<size_t, 256> shift;
    shift.fill(pattern.size());
    for (size_t i = 0; i + 1 < pattern.size(); ++i)
        shift[static_cast<unsigned char>(pattern[i])] = pattern.size() - 1 - i;
    const size_t last = pattern.size() - 1;
    for (size_t at = 0; at + pattern.size() <= text.size();
         at += shift[static_cast<unsigned char>(text[at + last])]) {
        if (text.compare(at, pattern.size(), pattern) == 0) return at;
    }
    return std::nullopt;
}

std::string LabelPattern(std::string_view label) {
    std::string pattern = "*";
    pattern.append(label);
    pattern.push_back('\n');
    return pattern;
}

std::string SavePointPattern(std::string_view name) {
    std::string pattern(kSavePointOpen);
    pattern.append(name);
    pattern.append(kSavePointClose);
    return pattern;
}

void CScriptJumpIndex::Reset() {
    text_ = {};
    built_ = false;
    labels_.clear();
    savePoints_.clear();
}

void CScriptJumpIndex::Build(std::string_view text) {
    Reset();
    text_ = text;
    IndexLabels();
    IndexSavePoints();
    built_ = true;
}

// Every '*' (also one in the middle of a line or of another label) starts a candidate whose name
// runs to the next LF; "*label\n" occurs at p exactly when the candidate at p names `label`.
void CScriptJumpIndex::IndexLabels() {
    size_t star = text_.find('*');
    while (star != std::string_view::npos) {
        const size_t lineEnd = text_.find('\n', star + 1);
        if (lineEnd == std::string_view::npos) break;  // no LF follows: no label can match here or later
        const size_t length = lineEnd - star - 1;
        if (length <= kMaxIndexedName) labels_.try_emplace(text_.substr(star + 1, length), star);
        star = text_.find('*', star + 1);
    }
}

// Each SavePoint(" starts a candidate whose name runs to the next "); the statement matches at p
// exactly when the candidate at p is the name (for names that do not themselves contain ").
void CScriptJumpIndex::IndexSavePoints() {
    size_t open = text_.find(kSavePointOpen);
    while (open != std::string_view::npos) {
        const size_t nameStart = open + kSavePointOpen.size();
        const size_t close = text_.find(kSavePointClose, nameStart);
        if (close == std::string_view::npos) break;
        const size_t length = close - nameStart;
        if (length <= kMaxIndexedName) savePoints_.try_emplace(text_.substr(nameStart, length), open);
        open = text_.find(kSavePointOpen, open + 1);
    }
}

std::optional<size_t> CScriptJumpIndex::FindLabel(std::string_view label) const {
    const bool indexable =
        built_ && label.size() <= kMaxIndexedName && label.find('\n') == std::string_view::npos;
    if (!indexable) return FindFirstOccurrence(text_, LabelPattern(label));
    const auto found = labels_.find(label);
    if (found == labels_.end()) return std::nullopt;
    return found->second;
}

std::optional<size_t> CScriptJumpIndex::FindSavePoint(std::string_view name) const {
    const bool indexable =
        built_ && name.size() <= kMaxIndexedName && name.find(kSavePointClose) == std::string_view::npos;
    if (!indexable) return FindFirstOccurrence(text_, SavePointPattern(name));
    const auto found = savePoints_.find(name);
    if (found == savePoints_.end()) return std::nullopt;
    return found->second;
}

}  // namespace zepa
