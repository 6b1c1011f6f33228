#include "lint/ScriptLint.h"

#include "lint/LintWords.h"
#include "lint/NameRules.h"
#include "lint/StatementRules.h"
#include "lint/TextLint.h"
#include "platform/Log.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/Cp932.h"
#include "script/CommandSignatures.h"
#include "script/ScriptArguments.h"
#include "script/ScriptCommands.h"
#include "script/ScriptReader.h"
#include "script/VariableStore.h"

namespace zepa {
namespace {

constexpr std::string_view kScriptFolder = "Script/";

std::string EngineShows(std::string_view textUtf8) {
    return " (the engine shows: \"" + std::string(textUtf8) + "\")";
}

// A written argument that names no variable: its value is known before the game runs.
bool IsLiteral(const std::string& arg) {
    return !arg.empty() && arg[0] != '$';
}

bool IsOperatorToken(const std::string& arg) {
    static constexpr std::string_view kOperators[] = {"+", "-", "*", "/", "%", "=", ">", "<", "!"};
    return std::find(std::begin(kOperators), std::end(kOperators), arg) != std::end(kOperators);
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The keyword a misspelt one (wrong case) was meant to be, or empty.
std::string_view CaseInsensitiveKeyword(std::string_view keyword) {
    const std::string lowered = Lowered(keyword);
    for (const KeywordEntry& entry : KeywordTable()) {
        if (Lowered(entry.keyword) == lowered) return entry.keyword;
    }
    return {};
}

class CStatementChecker {
  public:
    CStatementChecker(const std::string& path, const std::string& text, ILintGame& game,
                      std::vector<LintFinding>& findings)
        : path_(path), text_(text), game_(game), findings_(findings) {}

    void Check(const ScriptStatement& statement, int line, const StatementSpan& span) {
        line_ = line;
        ReportIf(TrailingCommentProblem(span));
        const std::string& keyword = statement.words[0];
        if (keyword.empty()) {
            CheckKeywordless(statement);
            return;
        }
        const KeywordEntry* entry = FindKeyword(keyword);
        if (!entry) {
            ReportUnknownKeyword(keyword);
            return;
        }
        TrackBlocks(keyword);
        if (keyword != "Calc" && keyword != "if" && keyword != "elseif") CheckSplitNumbers(statement);
        if (entry->signature) CheckGroup(*entry->signature, statement);
        if (keyword == "Jump" || keyword == "CallSub") CheckJump(statement);
        CheckSilentRules(keyword, statement, span);
    }

    // Blocks still open at the end of the text.
    void Finish() {
        for (int line : openBlocks_)
            Report(line,
                   "\"if\" has no matching \"end\"; the engine skips to the end of the file when its "
                   "condition is false");
    }

  private:
    void Report(int line, std::string message) {
        findings_.push_back({Shown(path_), line, std::move(message)});
    }
    void Report(std::string message) { Report(line_, std::move(message)); }
    void ReportIf(std::optional<std::string> message) {
        if (message) Report(std::move(*message));
    }

    // What the engine does without a word, but not as written.
    void CheckSilentRules(const std::string& keyword, const ScriptStatement& statement,
                          const StatementSpan& span) {
        if (keyword == "if" || keyword == "elseif") ReportIf(ConditionProblem(statement));
        if (keyword == "Calc") {
            ReportIf(CalcTargetProblem(statement));
            ReportIf(CalcOperationsProblem(statement));
        }
        if (keyword == "Random")
            ReportIf(VariableNumberProblem("Random: ", statement.args[0], ArgKind::IntVariable));
        if (keyword == "SavePoint") ReportIf(savePoints_.Check(statement, span, line_, Shown(path_)));
        ReportIf(EmptyArgumentProblem(statement));
    }

    void CheckKeywordless(const ScriptStatement& statement) {
        const bool anything = std::any_of(statement.words.begin(), statement.words.end(),
                                          [](const std::string& w) { return !w.empty(); }) ||
                              std::any_of(statement.args.begin(), statement.args.end(),
                                          [](const std::string& a) { return !a.empty(); });
        if (anything) Report("statement without a keyword; the engine skips it");
    }

    void ReportUnknownKeyword(const std::string& keyword) {
        std::string message = "unknown command " + Quoted(keyword);
        if (const std::string_view meant = CaseInsensitiveKeyword(keyword); !meant.empty())
            message += " (did you mean \"" + std::string(meant) + "\"?)";
        else if (!keyword.empty() && keyword.back() == '\r')
            message += " (a CR before the line end is part of the word in an archived script)";
        Report(message + EngineShows(kUnknownKeywordTextUtf8));
    }

    void TrackBlocks(const std::string& keyword) {
        if (keyword == "if") {
            openBlocks_.push_back(line_);
        } else if (keyword == "end") {
            if (openBlocks_.empty())
                Report("\"end\" without \"if\"");
            else
                openBlocks_.pop_back();
        } else if ((keyword == "else" || keyword == "elseif") && openBlocks_.empty()) {
            Report(Quoted(keyword) + " without \"if\"; the engine skips to the next \"end\"");
        }
    }

    // The reader makes every operator its own argument, so "-5" arrives as "-" and "5".
    void CheckSplitNumbers(const ScriptStatement& statement) {
        for (size_t k = 0; k < statement.args.size(); ++k) {
            if (!IsOperatorToken(statement.args[k])) continue;
            Report("argument " + std::to_string(k + 1) + " is the operator " + Quoted(statement.args[k]) +
                   ": a sign or operator is read as an argument of its own, so it reads as 0 and the "
                   "arguments after it shift");
            return;
        }
    }

    static std::string Subject(const CommandSignature& signature, const std::string& sub) {
        return std::string(signature.keyword) + (sub.empty() ? "" : "." + Shown(sub)) + ": ";
    }

    // False when the number is a literal outside the kind's range (reported).
    bool CheckNumber(const std::string& subject, const std::string& arg, ArgKind kind) {
        const std::optional<NumberRange> range = RangeOf(kind);
        if (!range || !IsLiteral(arg)) return true;
        const int32_t value = ReadIntArg(arg, Variables());
        if (value >= range->low && value <= range->high) return true;
        Report(subject + std::string(DescribeKind(kind)) + " " + std::to_string(value) + " is outside " +
               std::to_string(range->low) + ".." + std::to_string(range->high) + "; " +
               std::string(OutOfRangeOutcome(kind)));
        return false;
    }

    void CheckFile(const std::string& subject, const std::string& arg, ArgKind kind) {
        const std::string_view folder = FolderOf(kind);
        if (folder.empty() || !IsLiteral(arg)) return;
        const std::string what = subject + std::string(DescribeKind(kind)) + " ";
        const std::string path = std::string(folder) + arg;
        const LintLookup found = game_.Lookup(path);
        switch (found.where) {
            case LintLookup::Where::Nowhere:
                Report(what + Quoted(arg) + " not found (" + Shown(path) +
                       " is neither a file of the game nor in its archive)" +
                       (found.archiveOtherCase.empty()
                            ? ""
                            : OtherCaseHint(std::string(folder), found.archiveOtherCase)));
                return;
            case LintLookup::Where::Loose:
                ReportIf(PrefixedIf(what, LooseNameProblem(arg, found.storedName)));
                return;
            case LintLookup::Where::Archive:
                if (folder.rfind("Music/", 0) == 0)
                    Report(what + Quoted(arg) + " is only in GameData.pac (" + Shown(path) +
                           "); the engine reads sounds only as loose files, so it plays nothing");
                return;
        }
    }

    static std::optional<std::string> PrefixedIf(const std::string& prefix,
                                                 std::optional<std::string> message) {
        if (message) return prefix + *message;
        return std::nullopt;
    }

    void CheckName(const std::string& subject, const std::string& arg, ArgKind kind) {
        if (!IsLiteral(arg) || IsKnownName(kind, arg)) return;
        Report(subject + "unknown " + std::string(DescribeKind(kind)) + " " + Quoted(arg) + "; " +
               std::string(UnknownNameOutcome(kind)));
    }

    void CheckGroup(const CommandSignature& signature, const ScriptStatement& statement) {
        const std::string& sub = statement.words[1];
        const std::string subject = Subject(signature, sub);
        if (signature.gate != ArgKind::None && !CheckNumber(subject, statement.args[0], signature.gate))
            return;
        const SubCommand* found = FindSubCommand(signature, sub);
        if (!found) {
            if (!ShowsSubCommandError(signature, sub)) return;
            const std::string what =
                sub.empty() ? std::string(signature.keyword) + " needs a sub-command"
                            : "unknown " + std::string(signature.keyword) + " sub-command " + Quoted(sub);
            Report(what + EngineShows(signature.errorTextUtf8));
            return;
        }
        for (const ArgCheck& check : found->checks) {
            if (check.index < 0) break;
            const std::string& arg = statement.args[static_cast<size_t>(check.index)];
            ReportIf(VariableNumberProblem(subject, arg, check.kind));
            if (!CheckNumber(subject, arg, check.kind)) return;
            CheckFile(subject, arg, check.kind);
            CheckName(subject, arg, check.kind);
        }
    }

    void CheckJump(const ScriptStatement& statement) {
        const std::string subject = statement.words[0] + ": ";
        const std::string& label = statement.args[0];
        const std::string& file = statement.args[1];
        const std::string* target = &text_;
        std::string targetPath = path_;
        if (!file.empty()) {
            if (!IsLiteral(file)) return;
            targetPath = std::string(kScriptFolder) + file;
            target = game_.ScriptText(targetPath);
            const LintLookup found = game_.Lookup(targetPath);
            if (!target) {
                Report(subject + "script file " + Quoted(file) + " not found (" + Shown(targetPath) +
                       " is neither a file of the game nor in its archive)" +
                       (found.archiveOtherCase.empty()
                            ? ""
                            : OtherCaseHint(std::string(kScriptFolder), found.archiveOtherCase)));
                return;
            }
            if (found.where == LintLookup::Where::Loose)
                ReportIf(PrefixedIf(subject + "script file ", LooseNameProblem(file, found.storedName)));
        }
        if (!IsLiteral(label)) return;
        if (target->find("*" + label + "\n") != std::string::npos) return;
        const bool endsInCr = target->find("*" + label + "\r\n") != std::string::npos;
        Report(subject + "label " + Quoted(label) + " not found in " + Shown(targetPath) +
               (endsInCr ? " (its label line ends in a CR, which is part of the name in an archived script)"
                         : " (a line \"*" + Shown(label) + "\" with nothing after the name)") +
               "; the engine goes to the start of the file");
    }

    // Literal arguments never consult the variables; an empty store stands in for them.
    static const CVariableStore& Variables() {
        static const CVariableStore store;
        return store;
    }

    const std::string& path_;
    const std::string& text_;
    ILintGame& game_;
    std::vector<LintFinding>& findings_;
    int line_ = 0;
    std::vector<int> openBlocks_;
    CSavePointRule savePoints_;
};

// Counts line ends incrementally as reading moves forward.
class CLineCounter {
  public:
    explicit CLineCounter(const std::string& text) : text_(text) {}
    int LineAt(size_t offset) {
        offset = std::min(offset, text_.size());
        for (; counted_ < offset; ++counted_)
            if (text_[counted_] == '\n') ++line_;
        return line_;
    }

  private:
    const std::string& text_;
    size_t counted_ = 0;
    int line_ = 1;
};

// True when nothing but blanks, line ends, a comment or a label line is left from `offset`: the
// reader's failure there is the ordinary end of the text.
bool OnlyTrailer(const std::string& text, size_t offset) {
    const size_t first = text.find_first_not_of(" \t\r\n", offset);
    return first == std::string::npos || text[first] == '#' || text[first] == '*';
}

std::string UnreadableReason(const std::string& text, size_t start, size_t stop, bool atEnd) {
    if (atEnd)
        return "statement is not closed before the end of the file (an argument list needs \")\" and a "
               "quoted text its closing '\"'); the engine never runs it";
    const std::string_view read(text.data() + start, stop - start);
    if (read.find('(') != std::string_view::npos)
        return "statement cannot be read: more than 16 arguments; the engine drops it and reads the rest of "
               "the line as a new statement";
    return "statement cannot be read: a line break inside \"[ ]\"; the engine drops it";
}

}  // namespace

void LintScript(const std::string& path, const std::string& text, ILintGame& game,
                std::vector<LintFinding>& findings) {
    const size_t first = findings.size();
    LintScriptEncoding(Shown(path), text, findings);
    if (game.IsArchived(path)) LintArchivedLineEnds(Shown(path), text, findings);
    CStatementChecker checker(path, text, game, findings);
    CLineCounter lines(text);
    CStderrLog log;  // the reader only parses `text` here; it reads no file
    CScriptReader reader(log);
    reader.SetText(path, text);
    for (;;) {
        const size_t start = reader.position();
        if (reader.ReadStatement()) {
            const StatementSpan span{text, start, reader.position()};
            checker.Check(reader.statement(), lines.LineAt(start), span);
            continue;
        }
        const size_t stop = reader.position();
        if (reader.atEnd() && OnlyTrailer(text, start)) break;
        findings.push_back(
            {Shown(path), lines.LineAt(start), UnreadableReason(text, start, stop, reader.atEnd())});
        if (reader.atEnd()) break;
        // Go on at the next line rather than in the middle of the broken statement.
        const size_t lineEnd = text.find('\n', stop > start ? stop - 1 : stop);
        if (lineEnd == std::string::npos) break;
        reader.SeekTo(lineEnd + 1);
    }
    checker.Finish();
    std::stable_sort(findings.begin() + static_cast<std::ptrdiff_t>(first), findings.end(),
                     [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
}

}  // namespace zepa
