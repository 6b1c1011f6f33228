// Jumps in a large script: the jump index against a plain scan of the text for every jump.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "script/ScriptJumpIndex.h"
#include "script/ScriptReader.h"

namespace {

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
        zepa::CScriptReader reader;
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

BENCHMARK(BM_JumpsIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpsByScan)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
