// One level of script text and the reader that cuts it into statements. The top level owns the
// chain of nested sub-call levels (at most kMaxDepth) and the statement buffer; all reading happens
// in the innermost level. The read position is simply a byte offset into the level's text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "script/ScriptJumpIndex.h"
#include "script/ScriptStatement.h"

namespace zepa {

class CLooseFiles;
class CPackArchive;
class ILog;

class CScriptReader {
  public:
    static constexpr int kMaxDepth = 32;
    // One flag per byte value.
    using ByteTable = std::array<bool, 256>;

    // A top level. Texts are loaded from loose files, else from `archive` (may be null).
    // Script files are read loose first, then from `archive` (may be null); refused names are
    // reported to `log`.
    explicit CScriptReader(ILog& log, const CPackArchive* archive = nullptr);
    ~CScriptReader();
    CScriptReader(const CScriptReader&) = delete;
    CScriptReader& operator=(const CScriptReader&) = delete;

    // Replaces this level's text by the script `path` (loose file, else archive entry) and starts
    // at its first byte. False when neither exists; the text is then empty.
    bool LoadText(const std::string& path);
    // Replaces this level's text by `text` directly (scripts built in memory).
    void SetText(const std::string& fileName, std::string text);

    // Called on the top level: empties the statement buffer and reads the next statement of the
    // innermost level into it. False at the end of that level's text or for a malformed statement
    // (the next call reads on from where this one stopped).
    bool ReadStatement();

    // In the innermost level: go to the first "*label\n" / SavePoint("name"), else to offset 0.
    void SeekLabel(std::string_view label);
    void SeekSavePoint(std::string_view name);
    // Moves this level to `offset` of its text (at most its end) and lets it read again; the
    // script checker goes on there after a statement it cannot read, without copying the text.
    void SeekTo(size_t offset) { Seek(offset); }
    // Shares `level`'s text (not copied) and reads on from where it stands, leaving `level` as it
    // is: the image read-ahead looks at the statements coming next this way.
    void ContinueFrom(const CScriptReader& level) {
        ShareText(level);
        Seek(level.position_);
    }

    // Opens a nested level below the innermost one with the script `path` (empty: the innermost
    // level's own file). A file an open level holds is shared with it; others are read. False
    // when kMaxDepth levels exist or the file is missing.
    bool PushLevel(const std::string& path);
    // Closes the innermost level; the top level is never closed.
    void PopLevel();

    // True when the script has run out: called on the top level, it is at the end of its text
    // and no sub-call level is open (one may be open after a CallSub on the last line).
    bool IsAtEnd() const { return atEnd_ && !child_; }
    // The level this one called into (null for the innermost).
    const CScriptReader* child() const { return child_.get(); }
    CScriptReader& Innermost();
    const CScriptReader& Innermost() const;

    const ScriptStatement& statement() const { return statement_; }
    ScriptStatement& statement() { return statement_; }
    const std::string& fileName() const { return fileName_; }
    int depth() const { return depth_; }
    // Bytes of script text read from files by this reader and its levels so far.
    uint64_t bytesLoaded() const { return bytesLoaded_; }
    size_t position() const { return position_; }
    bool atEnd() const { return atEnd_; }
    const std::string& text() const { return *text_; }

    // Where the statement read last in this level began (a byte offset).
    size_t statementStart() const { return statementStart_; }
    // The line (1-based, as an editor counts them) holding byte `offset` of this level's text.
    int LineAt(size_t offset) const;

  private:
    CScriptReader(CScriptReader* parent, int depth, ILog& log, const CPackArchive* archive);

    // The byte stream: Get fails at the end of the text and leaves the level at its end until a
    // seek (a jump) or a new text moves it back.
    bool Get(char& byte);
    void Unget();
    void Seek(size_t offset);

    bool ReadInto(ScriptStatement& out);
    bool ReadArguments(ScriptStatement& out, std::string& token, int slot);
    bool ReadBracketIndex(std::string& out);
    bool ReadQuoted(std::string& out);
    bool SkipLine();
    void AppendOrdinaryRun(std::string& token, const ByteTable& special);
    bool StoreOperator(ScriptStatement& out, std::string& token, int& slot, char first, bool arithmetic);
    const CScriptJumpIndex& JumpIndex();
    // Takes the text of another level (shared, not copied) and starts at its first byte.
    void ShareText(const CScriptReader& from);

    // Shared between the levels that run the same file; never changed once set.
    std::shared_ptr<const std::string> text_ = std::make_shared<const std::string>();
    size_t position_ = 0;
    size_t statementStart_ = 0;
    // The last answer of LineAt: the next question usually lies a little further on.
    mutable size_t lineCacheOffset_ = 0;
    mutable int lineCacheLine_ = 1;
    bool atEnd_ = false;
    bool inMemory_ = false;  // set by SetText: there is no file to read again
    std::string fileName_;
    int depth_ = 1;
    std::unique_ptr<CScriptReader> child_;
    CScriptReader* parent_ = nullptr;
    ScriptStatement statement_;
    ILog& log_;
    const CPackArchive* archive_ = nullptr;
    // The outermost reader owns the loose-file lookup; the nested ones use their parent's.
    std::unique_ptr<CLooseFiles> ownFiles_;
    CLooseFiles* files_ = nullptr;
    CScriptJumpIndex jumpIndex_;
    uint64_t bytesLoaded_ = 0;  // kept on the outermost level
};

}  // namespace zepa
