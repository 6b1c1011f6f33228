#include "script/ScriptReader.h"

#include <algorithm>

#include "core/LooseFiles.h"
#include "resources/ResourceFiles.h"

namespace zepa {
namespace {

template <typename Predicate>
constexpr CScriptReader::ByteTable MakeByteTable(Predicate predicate) {
    CScriptReader::ByteTable table{};
    for (int byte = 0; byte < 256; ++byte) table[byte] = predicate(static_cast<char>(byte));
    return table;
}

constexpr bool IsBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

constexpr bool IsArithmeticOperator(char byte) {
    return byte == '+' || byte == '-' || byte == '*' || byte == '/' || byte == '%';
}

constexpr bool IsComparisonOperator(char byte) {
    return byte == '=' || byte == '>' || byte == '<' || byte == '!';
}

// Bytes with a meaning of their own in the name phase; every other byte only joins the token.
constexpr CScriptReader::ByteTable kNameSpecial = MakeByteTable([](char byte) {
    return byte == '#' || byte == '*' || byte == '(' || byte == '[' || byte == '.' || byte == '\n' ||
           IsBlank(byte);
});

// Bytes with a meaning of their own in the argument phase.
constexpr CScriptReader::ByteTable kArgumentSpecial = MakeByteTable([](char byte) {
    return byte == '"' || byte == ')' || byte == ',' || byte == '\n' || IsBlank(byte) ||
           IsArithmeticOperator(byte) || IsComparisonOperator(byte);
});

}  // namespace

CScriptReader::CScriptReader(ILog& log, const CPackArchive* archive)
    : log_(log), archive_(archive), ownFiles_(std::make_unique<CLooseFiles>(log)), files_(ownFiles_.get()) {}

CScriptReader::CScriptReader(CScriptReader* parent, int depth, ILog& log, const CPackArchive* archive)
    : depth_(depth), parent_(parent), log_(log), archive_(archive), files_(parent->files_) {}

CScriptReader::~CScriptReader() = default;

bool CScriptReader::LoadText(const std::string& path) {
    std::string text;
    const bool found = ReadScriptText(path, archive_, text, *files_);
    CScriptReader* outermost = this;
    while (outermost->parent_) outermost = outermost->parent_;
    outermost->bytesLoaded_ += text.size();
    SetText(path, found ? std::move(text) : std::string());
    inMemory_ = false;
    return found;
}

void CScriptReader::SetText(const std::string& fileName, std::string text) {
    fileName_ = fileName;
    jumpIndex_.Reset();  // it refers to the old text
    text_ = std::make_shared<const std::string>(std::move(text));
    position_ = 0;
    statementStart_ = 0;
    lineCacheOffset_ = 0;
    lineCacheLine_ = 1;
    atEnd_ = false;
    inMemory_ = true;
}

bool CScriptReader::Get(char& byte) {
    if (atEnd_ || position_ >= text_->size()) {
        atEnd_ = true;
        return false;
    }
    byte = (*text_)[position_++];
    return true;
}

void CScriptReader::Unget() {
    if (!atEnd_ && position_ > 0) --position_;
}

// A jump from the last line of a text without a final line break comes here with the level
// already at its end: the seek starts it reading again.
void CScriptReader::Seek(size_t offset) {
    atEnd_ = false;
    position_ = offset <= text_->size() ? offset : text_->size();
}

CScriptReader& CScriptReader::Innermost() {
    CScriptReader* level = this;
    while (level->child_) level = level->child_.get();
    return *level;
}

const CScriptReader& CScriptReader::Innermost() const {
    const CScriptReader* level = this;
    while (level->child_) level = level->child_.get();
    return *level;
}

bool CScriptReader::ReadStatement() {
    statement_.Clear();
    CScriptReader& level = Innermost();
    level.statementStart_ = level.position_;
    return level.ReadInto(statement_);
}

int CScriptReader::LineAt(size_t offset) const {
    const std::string& text = *text_;
    offset = std::min(offset, text.size());
    if (offset < lineCacheOffset_) {
        lineCacheOffset_ = 0;
        lineCacheLine_ = 1;
    }
    const auto begin = text.begin() + static_cast<ptrdiff_t>(lineCacheOffset_);
    lineCacheLine_ +=
        static_cast<int>(std::count(begin, text.begin() + static_cast<ptrdiff_t>(offset), '\n'));
    lineCacheOffset_ = offset;
    return lineCacheLine_;
}

// Moves the bytes from the read position up to the next special one (or the end of the text) into
// `token` at once: the same result as reading them one by one, without a call per byte.
void CScriptReader::AppendOrdinaryRun(std::string& token, const ByteTable& special) {
    size_t end = position_;
    const std::string& text = *text_;
    while (end < text.size() && !special[static_cast<unsigned char>(text[end])]) ++end;
    token.append(text, position_, end - position_);
    position_ = end;
}

// Skips up to and including the next LF; false when the text ends first.
bool CScriptReader::SkipLine() {
    char byte;
    while (Get(byte)) {
        if (byte == '\n') return true;
    }
    return false;
}

// The name phase: words separated by '.', bracket indexes into argument slots, up to '(' or LF.
bool CScriptReader::ReadInto(ScriptStatement& out) {
    std::string token;
    int word = 0;
    int slot = 0;
    auto storeWord = [&] {
        if (token.empty()) return;
        out.words[word] = token;
        ++word;
        token.clear();
    };
    for (;;) {
        char byte;
        if (!Get(byte)) {
            if (token.empty() || word >= ScriptStatement::kWordCount) return false;
            out.words[word] = token;
            return true;
        }
        if (word >= ScriptStatement::kWordCount) return ReadArguments(out, token, slot);
        switch (byte) {
            case '#':  // comment: the line's unstored token is dropped
            case '*':  // label line
                return SkipLine();
            case '(':
                if (!token.empty()) out.words[word] = token;
                token.clear();
                return ReadArguments(out, token, slot);
            case '[':
                storeWord();
                if (slot >= ScriptStatement::kArgCount) return false;  // more indexes than slots
                if (!ReadBracketIndex(out.args[slot])) return false;
                ++slot;
                break;
            case '.':
                storeWord();
                break;
            case '\n':
                out.words[word] = token;
                return true;
            case ' ':
            case '\t':
                break;
            default:
                token.push_back(byte);
                AppendOrdinaryRun(token, kNameSpecial);
        }
        if (atEnd_) return false;  // a failed read inside a bracket index already returned
    }
}

// After '[' in the name phase: bytes up to ']' go into `out`. A '$' opens a nested reference that
// is copied with its own closing ']'; nesting is counted, not recursed, so deep input is safe.
bool CScriptReader::ReadBracketIndex(std::string& out) {
    int nested = 0;
    char byte;
    while (Get(byte)) {
        if (IsBlank(byte)) continue;
        if (nested == 0) {
            if (byte == ']') return true;
            if (byte == '\n') return false;
            if (byte == '$') ++nested;
            out.push_back(byte);
            continue;
        }
        if (byte == '\n') {  // ends the nested part early; the LF itself is dropped
            --nested;
            continue;
        }
        if (byte == '$') ++nested;
        if (byte == ']') --nested;
        out.push_back(byte);
    }
    return false;
}

// After an opening double quote: bytes up to the closing one, TABs dropped.
bool CScriptReader::ReadQuoted(std::string& out) {
    char byte;
    while (Get(byte)) {
        if (byte == '"') return true;
        if (byte != '\t') out.push_back(byte);
    }
    return false;
}

// An operator byte becomes its own argument, joined with a following '=' (and, for arithmetic
// operators, with a following '+' or '-'). A pending token is stored first.
bool CScriptReader::StoreOperator(ScriptStatement& out, std::string& token, int& slot, char first,
                                  bool arithmetic) {
    if (!token.empty()) {
        out.args[slot] = token;
        ++slot;
        if (slot >= ScriptStatement::kArgCount) return false;  // no slot left for the operator
    }
    token.assign(1, first);
    char next;
    if (!Get(next)) return false;
    if (next == '=' || (arithmetic && (next == '+' || next == '-'))) {
        token.push_back(next);
    } else {
        Unget();
    }
    out.args[slot] = token;
    ++slot;
    token.clear();
    return true;
}

// The argument phase: slots separated by ',' and operators, quoted strings, up to ')'.
bool CScriptReader::ReadArguments(ScriptStatement& out, std::string& token, int slot) {
    for (;;) {
        if (slot >= ScriptStatement::kArgCount) return false;
        char byte;
        if (!Get(byte)) return false;
        if (byte == '"') {
            if (!ReadQuoted(out.args[slot])) return false;
            char after;
            do {
                if (!Get(after)) return false;
            } while (IsBlank(after));
            if (after == '\n') return true;
            if (after != ',') Unget();
            ++slot;
            token.clear();
        } else if (byte == ')') {
            out.args[slot] = token;
            SkipLine();
            return true;
        } else if (IsBlank(byte) || byte == '\n') {
            continue;
        } else if (byte == ',') {
            out.args[slot] = token;
            ++slot;
            token.clear();
        } else if (IsArithmeticOperator(byte) || IsComparisonOperator(byte)) {
            if (!StoreOperator(out, token, slot, byte, IsArithmeticOperator(byte))) return false;
        } else {
            token.push_back(byte);
            AppendOrdinaryRun(token, kArgumentSpecial);
        }
        if (atEnd_) return false;
    }
}

const CScriptJumpIndex& CScriptReader::JumpIndex() {
    if (!jumpIndex_.built()) jumpIndex_.Build(*text_);
    return jumpIndex_;
}

void CScriptReader::SeekLabel(std::string_view label) {
    CScriptReader& level = Innermost();
    level.Seek(level.JumpIndex().FindLabel(label).value_or(0));
}

void CScriptReader::SeekSavePoint(std::string_view name) {
    CScriptReader& level = Innermost();
    level.Seek(level.JumpIndex().FindSavePoint(name).value_or(0));
}

bool CScriptReader::PushLevel(const std::string& path) {
    CScriptReader& innermost = Innermost();
    if (innermost.depth_ >= kMaxDepth) return false;
    innermost.child_.reset(new CScriptReader(&innermost, innermost.depth_ + 1, log_, archive_));
    CScriptReader& child = *innermost.child_;
    const std::string& file = path.empty() ? innermost.fileName_ : path;
    // A file an open level already holds is shared, not read and held again: a sub-call into
    // the file itself costs no copy however deep the calls go.
    for (const CScriptReader* level = &innermost; level; level = level->parent_) {
        if (level->fileName_ == file && !level->text_->empty() && (path.empty() || !level->inMemory_)) {
            child.ShareText(*level);
            return true;
        }
    }
    return child.LoadText(file);
}

void CScriptReader::ShareText(const CScriptReader& from) {
    fileName_ = from.fileName_;
    jumpIndex_.Reset();
    text_ = from.text_;
    position_ = 0;
    atEnd_ = false;
    inMemory_ = from.inMemory_;
}

void CScriptReader::PopLevel() {
    CScriptReader& innermost = Innermost();
    if (innermost.parent_) innermost.parent_->child_.reset();
}

}  // namespace zepa
