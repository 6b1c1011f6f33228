#include "script/ScriptReader.h"

#include "resources/PackArchive.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include "support/TestServices.h"

#include <cstring>

#include <filesystem>
#include <fstream>
#include <vector>

namespace zepa {
namespace {

using Words = std::vector<std::string>;

// Reads one statement from a fresh reader over `text`.
struct ReadResult {
    bool ok = false;
    Words words;
    Words args;  // up to the last non-empty slot
};

ReadResult ReadOne(CScriptReader& reader) {
    ReadResult result;
    result.ok = reader.ReadStatement();
    const ScriptStatement& s = reader.statement();
    for (const std::string& w : s.words)
        if (!w.empty()) result.words.push_back(w);
    int last = -1;
    for (int i = 0; i < ScriptStatement::kArgCount; ++i)
        if (!s.args[i].empty()) last = i;
    for (int i = 0; i <= last; ++i) result.args.push_back(s.args[i]);
    return result;
}

ReadResult ReadFirst(const std::string& text) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("test.txt", text);
    return ReadOne(reader);
}

TEST(ScriptReaderExamples, StatementsReadIntoWordsAndArguments) {
    struct Case {
        std::string text;
        Words words;
        Words args;
    };
    const Case cases[] = {
        {"MessageWindow[0].PrintText(\"Hello, $str[1]!\")\n",
         {"MessageWindow", "PrintText"},
         {"0", "Hello, $str[1]!"}},
        {"Calc($num[10] += $num[3] * -2)\n", {"Calc"}, {"$num[10]", "+=", "$num[3]", "*", "-", "2"}},
        {"if(!$flag[5])\n", {"if"}, {"!", "$flag[5]"}},
        {"Character.SetGraph(1, \"girl_a\", \"crossfade\")\n",
         {"Character", "SetGraph"},
         {"1", "girl_a", "crossfade"}},
        {"else\n", {"else"}, {}},
        {"Sprite[$num[2]].Init\n", {"Sprite", "Init"}, {"$num[2]"}},
        {"Wait( 3 0 )\n", {"Wait"}, {"30"}},
        {"A.B.C.D.E(1)\n", {"A", "B", "C", "D"}, {"(1"}},
        {"Foo.Bar # note\n", {"Foo"}, {}},
        {"Sprite[$num[$num[1]]].Move\n", {"Sprite", "Move"}, {"$num[$num[1]]"}},
        {"Sprite[ 1 2 ]\n", {"Sprite"}, {"12"}},
        {"Calc(a==b, c!=d, e>=f, g<=h, i<j)\n",
         {"Calc"},
         {"a", "==", "b", "c", "!=", "d", "e", ">=", "f", "g", "<=", "h", "i", "<", "j"}},
        {"Calc($num[1] ++)\n", {"Calc"}, {"$num[1]", "++"}},
        {"Calc(1 *- 2, 3 /+ 4, 5 %= 6, 7 >- 8)\n",
         {"Calc"},
         {"1", "*-", "2", "3", "/+", "4", "5", "%=", "6", "7", ">", "-", "8"}},
        {"f(1,\n  2,\n  3)\n", {"f"}, {"1", "2", "3"}},
        {"f(x\"quoted\" , y)\n", {"f"}, {"quoted", "y"}},
        {"f(1) trailing words\nnext\n", {"f"}, {"1"}},
        {"Word\r\n", {"Word\r"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ReadResult r = ReadFirst(c.text);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.words, c.words);
        EXPECT_EQ(r.args, c.args);
    }
}

TEST(ScriptReaderExamples, EmptySlotBeforeTheClosingParenthesisIsWrittenEmpty) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "Character.SetGraph(1, \"girl_a\", \"crossfade\")\n");
    ASSERT_TRUE(reader.ReadStatement());
    EXPECT_EQ(reader.statement().args[2], "crossfade");
    EXPECT_EQ(reader.statement().args[3], "");
}

TEST(ScriptReaderNamePhase, BlankCommentAndLabelLinesAreEmptyStatements) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "\n   \t \n# comment\n*opening\nx*a\nDone\n");
    for (int i = 0; i < 4; ++i) {
        const ReadResult r = ReadOne(reader);
        EXPECT_TRUE(r.ok) << i;
        EXPECT_TRUE(r.words.empty()) << i;
    }
    // "x*a": the token "x" is dropped by the label byte.
    EXPECT_TRUE(ReadOne(reader).words.empty());
    EXPECT_EQ(ReadOne(reader).words, Words{"Done"});
    EXPECT_FALSE(reader.ReadStatement());
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(ScriptReaderNamePhase, LastLineWithoutLineFeedStillReads) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "Calc($num[1] = 1)\nEndScript");
    EXPECT_TRUE(reader.ReadStatement());
    const ReadResult r = ReadOne(reader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.words, Words{"EndScript"});
    EXPECT_FALSE(reader.ReadStatement());
    EXPECT_TRUE(reader.IsAtEnd());
}

// Runs of ordinary bytes are taken in one step and tokens move into the statement by swapping
// buffers: long tokens must arrive whole, stop at every special byte, and leave nothing behind for
// the next statement.
TEST(ScriptReaderArgumentPhase, LongTokensStopAtEverySpecialByteAndLeaveNothingBehind) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t",
                   "VeryLongCommandNameBeyondSmallStrings.AnotherLongSubCommandName(argument_longer_than_16,"
                   "x)\n"
                   "A(b)\n"
                   "Calc($num[1234567890123456] +=-$num[22]*abcdefghijklmnopqrstuvwxyz)\n"
                   "Cmd(left<=right!=other>more,tail\ttabbed ,\"q\")\n"
                   "B(c)\n"
                   "NameRunningIntoTheEnd(last_argument_running_into_the_end");
    ReadResult r = ReadOne(reader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.words, (Words{"VeryLongCommandNameBeyondSmallStrings", "AnotherLongSubCommandName"}));
    EXPECT_EQ(r.args, (Words{"argument_longer_than_16", "x"}));
    r = ReadOne(reader);
    EXPECT_EQ(r.words, Words{"A"});
    EXPECT_EQ(r.args, Words{"b"});
    r = ReadOne(reader);
    EXPECT_EQ(r.words, Words{"Calc"});
    EXPECT_EQ(r.args,
              (Words{"$num[1234567890123456]", "+=", "-", "$num[22]", "*", "abcdefghijklmnopqrstuvwxyz"}));
    r = ReadOne(reader);
    EXPECT_EQ(r.args, (Words{"left", "<=", "right", "!=", "other", ">", "more", "tailtabbed", "q"}));
    r = ReadOne(reader);
    EXPECT_EQ(r.words, Words{"B"});
    EXPECT_EQ(r.args, Words{"c"});
    EXPECT_FALSE(reader.ReadStatement());  // the argument list never closes
    EXPECT_TRUE(reader.IsAtEnd());
    // A name that runs into the end of the text is still a statement.
    r = ReadFirst("AVeryLongNameWithoutAnyLineFeedAtAll");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.words, Words{"AVeryLongNameWithoutAnyLineFeedAtAll"});
}

TEST(ScriptReaderNamePhase, CommentOrLabelAtTheEndWithoutLineFeedFails) {
    EXPECT_FALSE(ReadFirst("# unterminated").ok);
    EXPECT_FALSE(ReadFirst("*label").ok);
    EXPECT_FALSE(ReadFirst("").ok);
}

TEST(ScriptReaderNamePhase, LineFeedInsideBracketIndexFailsAndReadingResumesThere) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "Sprite[1\nWait(2)\n");
    EXPECT_FALSE(reader.ReadStatement());
    EXPECT_FALSE(reader.IsAtEnd());
    const ReadResult r = ReadOne(reader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.words, Words{"Wait"});
    EXPECT_EQ(r.args, Words{"2"});
}

TEST(ScriptReaderNamePhase, LineFeedInNestedIndexPartEndsThatPartOnly) {
    // The LF closes "$num[1"; the next ']' closes the index, and the last one is a name byte.
    const ReadResult r = ReadFirst("S[$num[1\n]]\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.args, Words{"$num[1"});
    EXPECT_EQ(r.words, (Words{"S", "]"}));
    EXPECT_FALSE(ReadFirst("S[$num[1]").ok);
}

TEST(ScriptReaderNamePhase, SeventeenBracketIndexesAreRejected) {
    std::string text = "S";
    for (int i = 0; i < 16; ++i) text += "[" + std::to_string(i) + "]";
    EXPECT_TRUE(ReadFirst(text + "\n").ok);
    EXPECT_EQ(ReadFirst(text + "\n").args.size(), 16u);
    EXPECT_FALSE(ReadFirst(text + "[16]\n").ok);
    EXPECT_FALSE(ReadFirst(text + "(1)\n").ok);  // indexes used every slot
}

TEST(ScriptReaderArgumentPhase, SixteenArgumentsReadSeventeenFail) {
    std::string args = "1";
    for (int i = 2; i <= 16; ++i) args += "," + std::to_string(i);
    const ReadResult ok = ReadFirst("f(" + args + ")\n");
    EXPECT_TRUE(ok.ok);
    ASSERT_EQ(ok.args.size(), 16u);
    EXPECT_EQ(ok.args[15], "16");
    EXPECT_FALSE(ReadFirst("f(" + args + ",17)\n").ok);
}

TEST(ScriptReaderArgumentPhase, OperatorThatWouldTakeASeventeenthSlotFails) {
    std::string args = "1";
    for (int i = 2; i <= 15; ++i) args += "," + std::to_string(i);
    EXPECT_FALSE(ReadFirst("f(" + args + ",a+b)\n").ok);  // "a" is slot 16, "+" would be 17
}

TEST(ScriptReaderArgumentPhase, QuotedTextKeepsBlanksAndLineFeedsButLosesTabs) {
    const ReadResult r = ReadFirst("M(\"a b,\t)\nc\" , 2)\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.args, (Words{"a b,)\nc", "2"}));
}

TEST(ScriptReaderArgumentPhase, QuotedTextFollowedByLineFeedEndsTheStatement) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "M(\"a\"\nNext\n");
    const ReadResult r = ReadOne(reader);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.args, Words{"a"});
    EXPECT_EQ(ReadOne(reader).words, Words{"Next"});
}

TEST(ScriptReaderArgumentPhase, UnclosedListOrQuoteFailsAtTheEnd) {
    EXPECT_FALSE(ReadFirst("f(1, 2").ok);
    EXPECT_FALSE(ReadFirst("f(\"open").ok);
    EXPECT_FALSE(ReadFirst("f(\"closed\"").ok);
    EXPECT_FALSE(ReadFirst("f(1 +").ok);
    EXPECT_TRUE(ReadFirst("f(1)").ok);  // ')' at the very end
}

TEST(ScriptReaderArgumentPhase, FailedStatementResumesFromTheSameByte) {
    std::string args = "0";
    for (int i = 1; i <= 16; ++i) args += "," + std::to_string(i);
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "f(" + args + ")\nEndScript\n");
    EXPECT_FALSE(reader.ReadStatement());
    EXPECT_FALSE(reader.IsAtEnd());
    // The rest of the list ("16)") reads as a statement of its own.
    const ReadResult rest = ReadOne(reader);
    EXPECT_TRUE(rest.ok);
    EXPECT_EQ(rest.words, Words{"16)"});
    EXPECT_EQ(ReadOne(reader).words, Words{"EndScript"});
}

class ScriptReaderSeek : public ::testing::Test {
  protected:
    ReadResult SeekLabelAndRead(const std::string& text, const std::string& label) {
        reader.SetText("t", text);
        reader.SeekLabel(label);
        position = reader.Innermost().position();
        reader.ReadStatement();
        return ReadOne(reader);
    }
    CScriptReader reader{zepa::testing::TestLog()};
    size_t position = 0;
};

TEST_F(ScriptReaderSeek, LabelGoesToTheLabelLine) {
    EXPECT_EQ(SeekLabelAndRead("A\n*one\nB\n*two\nC\n", "two").words, Words{"C"});
    EXPECT_EQ(position, 9u);
}

TEST_F(ScriptReaderSeek, LabelMatchesInTheMiddleOfALine) {
    EXPECT_EQ(SeekLabelAndRead("A\nx*a\nB\n*a\nC\n", "a").words, Words{"B"});
    EXPECT_EQ(position, 3u);
}

TEST_F(ScriptReaderSeek, LabelWithTrailingBlankIsNeverFound) {
    reader.SetText("t", "A\n*a \nB\n");
    reader.ReadStatement();
    reader.SeekLabel("a");
    EXPECT_EQ(reader.Innermost().position(), 0u);
    EXPECT_EQ(ReadOne(reader).words, Words{"A"});
}

TEST_F(ScriptReaderSeek, MissingLabelGoesToTheStart) {
    reader.SetText("t", "A\nB\n*x\n");
    reader.ReadStatement();
    reader.SeekLabel("nothere");
    EXPECT_EQ(reader.Innermost().position(), 0u);
}

TEST_F(ScriptReaderSeek, LabelPrefixDoesNotMatchALongerLabel) {
    EXPECT_EQ(SeekLabelAndRead("*ab\nA\n*a\nB\n", "a").words, Words{"B"});
}

TEST_F(ScriptReaderSeek, SavePointGoesToTheStatementItself) {
    reader.SetText("t", "A\nSavePoint(\"x\" )\nSavePoint(\"first\")\nB\nSavePoint(\"first\")\n");
    reader.SeekSavePoint("first");
    const ReadResult r = ReadOne(reader);
    EXPECT_EQ(r.words, Words{"SavePoint"});
    EXPECT_EQ(ReadOne(reader).words, Words{"B"});
    reader.SeekSavePoint("x");  // written with a blank: not found
    EXPECT_EQ(reader.Innermost().position(), 0u);
}

TEST_F(ScriptReaderSeek, IndexAnswersLikeTheScanForAwkwardNames) {
    const std::string text = "*a*b\n*b\nSavePoint(\"q\"\")SavePoint(\"q\")\nSavePoint(\"p\")x\")\n*" +
                             std::string(300, 'L') + "\n";
    CScriptJumpIndex index;
    index.Build(text);
    const std::string names[] = {"a*b", "b", "", "q\"", "q", "p", "p\")x", std::string(300, 'L'), "zz", "a"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(index.FindLabel(name), FindFirstOccurrence(text, LabelPattern(name)));
        EXPECT_EQ(index.FindSavePoint(name), FindFirstOccurrence(text, SavePointPattern(name)));
    }
}

TEST_F(ScriptReaderSeek, IndexAgreesWithTheScanOnRandomTexts) {
    const char alphabet[] = {'*', 'a', 'b', '\n', '"', ')', 'S'};
    uint32_t state = 12345;
    auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int length = static_cast<int>(next() % 80);
        for (int i = 0; i < length; ++i) {
            if (next() % 9 == 0)
                text += "SavePoint(\"";
            else
                text.push_back(alphabet[next() % sizeof(alphabet)]);
        }
        CScriptJumpIndex index;
        index.Build(text);
        for (int k = 0; k < 10; ++k) {
            std::string name;
            const int nameLength = static_cast<int>(next() % 4);
            for (int i = 0; i < nameLength; ++i) name.push_back(alphabet[next() % sizeof(alphabet)]);
            ASSERT_EQ(index.FindLabel(name), FindFirstOccurrence(text, LabelPattern(name)))
                << text << "|" << name;
            ASSERT_EQ(index.FindSavePoint(name), FindFirstOccurrence(text, SavePointPattern(name)))
                << text << "|" << name;
        }
    }
}

// A jump from the last line of a text without a final line break seeks a level already at its end.
TEST_F(ScriptReaderSeek, SeekAfterTheEndOfTextReadsOnFromTheTargetAsAReloadDoes) {
    reader.SetText("t", "A\n*l\nB");
    while (reader.ReadStatement()) {
    }
    ASSERT_TRUE(reader.IsAtEnd());
    reader.SeekLabel("l");
    EXPECT_FALSE(reader.IsAtEnd());
    reader.ReadStatement();
    EXPECT_EQ(ReadOne(reader).words, Words{"B"});
    reader.SetText("t", "A\n*l\nB\n");
    reader.SeekLabel("l");
    reader.ReadStatement();
    EXPECT_EQ(ReadOne(reader).words, Words{"B"});
}

TEST(ScriptReaderLevels, NestedLevelReadsItsOwnCopyAndParentResumes) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("main.txt", "A\nB\n*sub\nS\n");
    reader.ReadStatement();  // A
    ASSERT_TRUE(reader.PushLevel(""));
    EXPECT_EQ(reader.Innermost().depth(), 2);
    EXPECT_EQ(reader.Innermost().fileName(), "main.txt");
    reader.SeekLabel("sub");
    reader.ReadStatement();
    EXPECT_EQ(ReadOne(reader).words, Words{"S"});
    reader.PopLevel();
    EXPECT_EQ(reader.Innermost().depth(), 1);
    EXPECT_EQ(ReadOne(reader).words, Words{"B"});
}

TEST(ScriptReaderLevels, ThirtyTwoLevelsAtMostAndTheTopIsNeverPopped) {
    CScriptReader reader{zepa::testing::TestLog()};
    reader.SetText("t", "A\n");
    for (int depth = 2; depth <= CScriptReader::kMaxDepth; ++depth) ASSERT_TRUE(reader.PushLevel(""));
    EXPECT_EQ(reader.Innermost().depth(), 32);
    EXPECT_FALSE(reader.PushLevel(""));
    EXPECT_EQ(reader.Innermost().depth(), 32);
    for (int i = 0; i < 40; ++i) reader.PopLevel();
    EXPECT_EQ(reader.Innermost().depth(), 1);
    EXPECT_EQ(&reader.Innermost(), &reader);
    EXPECT_EQ(ReadOne(reader).words, Words{"A"});
}

TEST(ScriptReaderLoading, LooseFileWithCrLfAndMissingFile) {
    const auto dir = std::filesystem::temp_directory_path() / ("zepa-reader-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "Script");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ofstream(dir / "Script" / "a.txt", std::ios::binary) << "Wait(1)\r\nEndScript\r\n";
    CScriptReader reader{zepa::testing::TestLog()};
    EXPECT_TRUE(reader.LoadText("Script/a.txt"));
    EXPECT_EQ(reader.text(), "Wait(1)\nEndScript\n");
    EXPECT_TRUE(reader.PushLevel("Script/a.txt"));
    EXPECT_FALSE(reader.PushLevel("Script/missing.txt"));
    EXPECT_EQ(reader.Innermost().depth(), 3);
    EXPECT_FALSE(reader.ReadStatement());
    EXPECT_FALSE(reader.LoadText("Script/missing.txt"));
    EXPECT_EQ(reader.text(), "");
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
}

// An archive with one entry: u32 count, a 264-byte table entry, then the data.
void WriteArchive(const std::filesystem::path& path, const std::string& name, const std::string& data) {
    std::string bytes(4 + CPackArchive::kEntrySize, '\0');
    const uint32_t count = 1, size = static_cast<uint32_t>(data.size()),
                   offset = static_cast<uint32_t>(bytes.size());
    std::memcpy(&bytes[0], &count, 4);
    std::memcpy(&bytes[4], name.data(), name.size());
    std::memcpy(&bytes[4 + CPackArchive::kNameSize], &size, 4);
    std::memcpy(&bytes[8 + CPackArchive::kNameSize], &offset, 4);
    std::ofstream(path, std::ios::binary) << bytes << data;
}

TEST(ScriptReaderLoading, ArchiveTextEndsAtItsFirstNulAndKeepsCarriageReturns) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("zepa-reader-archive-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    WriteArchive(dir / "GameData.pac", "Script/Script.txt", std::string("Word\r\nEnd\0Hidden\n", 17));
    CPackArchive archive((dir / "GameData.pac").string());
    CScriptReader reader(zepa::testing::TestLog(), &archive);
    ASSERT_TRUE(reader.LoadText("Script/Script.txt"));
    EXPECT_EQ(reader.text(), "Word\r\nEnd");
    EXPECT_EQ(ReadOne(reader).words, Words{"Word\r"});
    EXPECT_EQ(ReadOne(reader).words, Words{"End"});
    EXPECT_FALSE(reader.ReadStatement());
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zepa
