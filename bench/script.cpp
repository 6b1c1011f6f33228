// Script speed: jumps in a large script (the jump index against a plain scan of the text for every
// jump, and jumps to a label near the start against jumps to one near the end), and statements per
// second for a Calc-heavy script run through the real reader and StepScript.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "core/MessageBoxes.h"
#include "input/ButtonState.h"
#include "platform/GlyphSource.h"
#include "platform/Log.h"
#include "script/ScriptJumpIndex.h"
#include "script/ScriptRandom.h"
#include "script/ScriptReader.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"

namespace {

// Where the reader and runner warn (the scripts here give them nothing to warn about).
zepa::ILog& Log() {
    static zepa::CStderrLog log;
    return log;
}

constexpr size_t kScriptBytes = 10 * 1024 * 1024;
constexpr int kJumps = 1000;
constexpr int kLabels = 2000;

// About 10 MB of ordinary statements with label lines spread through it.
const std::string& LargeScript() {
    static const std::string text = [] {
        std::string script;
        script.reserve(kScriptBytes + 1024);
        int label = 0;
        while (script.size() < kScriptBytes) {
            script += "MessageWindow[0].PrintText(\"$str[1] has $num[3] gold\")\n";
            script += "Calc($num[10] += $num[3] * -2)\n";
            script += "Character.SetGraph(1, \"girl_a\", \"crossfade\")\n";
            if (script.size() * kLabels / kScriptBytes > static_cast<size_t>(label))
                script += "*label" + std::to_string(label++) + "\n";
        }
        return script;
    }();
    return text;
}

// Jump targets spread over the whole text, later ones costing the scan more.
std::vector<std::string> JumpTargets() {
    std::vector<std::string> targets;
    for (int i = 0; i < kJumps; ++i) targets.push_back("label" + std::to_string((i * 7919) % kLabels));
    return targets;
}

void BM_JumpsIndexed(benchmark::State& state) {
    const std::vector<std::string> targets = JumpTargets();
    for (auto _ : state) {
        zepa::CScriptReader reader(Log());
        reader.SetText("Script/Script.txt", LargeScript());
        for (const std::string& target : targets) reader.SeekLabel(target);
        benchmark::DoNotOptimize(reader.Innermost().position());
    }
    state.SetLabel("1000 jumps, index built once");
}

void BM_JumpsByScan(benchmark::State& state) {
    const std::vector<std::string> targets = JumpTargets();
    const std::string& text = LargeScript();
    for (auto _ : state) {
        size_t position = 0;
        for (const std::string& target : targets)
            position += zepa::FindFirstOccurrence(text, zepa::LabelPattern(target)).value_or(0);
        benchmark::DoNotOptimize(position);
    }
    state.SetLabel("1000 jumps, scanning the text each time");
}

// 1000 jumps to one label after the index exists (the first jump, which builds it, is not timed):
// the first label of the text against the last, so the ratio shows whether position matters.
void JumpsToOneLabel(benchmark::State& state, const std::string& target) {
    zepa::CScriptReader reader(Log());
    reader.SetText("Script/Script.txt", LargeScript());
    reader.SeekLabel(target);
    const size_t expected = reader.Innermost().position();
    for (auto _ : state) {
        for (int i = 0; i < kJumps; ++i) {
            reader.SeekLabel(target);
        }
        benchmark::DoNotOptimize(reader.Innermost().position());
    }
    if (reader.Innermost().position() != expected || expected == 0)
        state.SkipWithError("the jump did not land on the label");
    state.SetLabel("1000 jumps to *" + target + " at byte " + std::to_string(expected));
}

void BM_JumpsToFirstLabel(benchmark::State& state) {
    JumpsToOneLabel(state, "label0");
}

void BM_JumpsToLastLabel(benchmark::State& state) {
    JumpsToOneLabel(state, "label" + std::to_string(kLabels - 1));
}

constexpr int kCalcRepeats = 20000;

// Straight-line Calc statements of the usual shapes (assignment, compound assignment, one binary
// operation with variables on both sides, increments, flags and short strings), ten per repeat.
const std::string& CalcScript() {
    static const std::string text = [] {
        std::string script;
        for (int i = 0; i < kCalcRepeats; ++i) {
            script +=
                "Calc($num[1] = 7)\n"
                "Calc($num[2] += $num[1])\n"
                "Calc($num[3] = $num[2] * 3)\n"
                "Calc($num[4] = $num[3] % 11)\n"
                "Calc($num[5] ++)\n"
                "Calc($num[6] = $num[5] - $num[4])\n"
                "Calc($flag[1] = true)\n"
                "Calc($flag[2] = $flag[1])\n"
                "Calc($str[1] = \"abc\")\n"
                "Calc($num[7] -= 2)\n";
        }
        return script;
    }();
    return text;
}

constexpr long long kCalcStatements = 10LL * kCalcRepeats;

void BM_CalcStatements(benchmark::State& state) {
    zepa::ButtonState buttons;
    zepa::CScriptRandom random;
    zepa::CMessageBoxes messageBoxes(Log());
    const std::unique_ptr<zepa::IGlyphSource> glyphs = zepa::CreateGlyphSource(Log());
    for (auto _ : state) {
        state.PauseTiming();
        zepa::CVariableStore variables;
        zepa::CScriptRunner runner(zepa::ScriptServices{
            variables, random, buttons, nullptr, nullptr, messageBoxes, *glyphs, Log(), {}, {}, nullptr});
        runner.reader().SetText("Script/Script.txt", CalcScript());
        state.ResumeTiming();
        while (runner.StepScript()) {
        }
        benchmark::DoNotOptimize(variables.GetInt(5));
        state.PauseTiming();
        if (variables.GetInt(5) != kCalcRepeats) state.SkipWithError("the script did not run to its end");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCalcStatements);
    state.SetLabel(std::to_string(kCalcStatements) + " Calc statements");
}

BENCHMARK(BM_JumpsIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpsByScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpsToFirstLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JumpsToLastLabel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CalcStatements)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
