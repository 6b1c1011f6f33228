// Random bytes as a statement: Calc and Random run on it, and every argument goes through the
// argument readers and ExpandText, with variables that refer to each other.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Log.h"
#include "script/Calc.h"
#include "script/ScriptArguments.h"
#include "script/ScriptRandom.h"
#include "script/ScriptReader.h"
#include "script/VariableStore.h"

namespace {

zepa::ILog& Log() {
    static zepa::CStderrLog log;
    return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static zepa::CVariableStore vars;
    static zepa::CScriptRandom random;
    const std::string text(reinterpret_cast<const char*>(data), size);
    vars.ClearLive();  // each input runs on its own
    vars.SetInt(1, 2);
    vars.SetInt(2, -2147483647 - 1);
    vars.SetString(0, "$str[0]$str[0]");  // refers to itself
    vars.SetString(1, text);

    zepa::CScriptReader reader(Log());
    reader.SetText("t", "Calc(" + text);
    reader.ReadStatement();
    zepa::ExecuteCalc(reader.statement(), vars);
    zepa::ExecuteRandom(reader.statement(), vars, random);
    for (const std::string& arg : reader.statement().args) {
        zepa::ReadIntArg(arg, vars);
        zepa::ReadStringArg(arg, vars);
        zepa::ReadBoolArg(arg, vars);
        zepa::ResolveIndex(arg, vars);
    }
    const std::string expanded = zepa::ExpandText(text, vars);
    // At most the growth limit plus one substituted value past the source.
    if (expanded.size() > 2 * size + zepa::kMaxExpansionGrowth + zepa::CVariableStore::kMaxStringLength)
        __builtin_trap();
    zepa::SaturatingAtoi(text);
    return 0;
}
