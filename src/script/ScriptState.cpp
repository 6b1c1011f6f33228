// What the state dump shows of the variables and of a running script.
#include <nlohmann/json.hpp>

#include "platform/Cp932.h"
#include "script/ScriptRunner.h"
#include "script/VariableStore.h"

namespace zepa {

nlohmann::json CVariableStore::DescribeState() const {
    nlohmann::json ints = nlohmann::json::object();
    for (int n = 0; n < kIntCount; ++n) {
        if (GetInt(n) != 0) ints[std::to_string(n)] = GetInt(n);
    }
    nlohmann::json flags = nlohmann::json::array();
    for (int n = 0; n < kFlagCount; ++n) {
        if (GetFlag(n)) flags.push_back(n);
    }
    nlohmann::json strings = nlohmann::json::object();
    for (int n = 0; n < kStringCount; ++n) {
        if (!GetString(n).empty()) strings[std::to_string(n)] = Cp932ToJsonText(GetString(n));
    }
    return {{"ints", ints}, {"flags", flags}, {"strings", strings}};
}

nlohmann::json CScriptRunner::DescribeState() const {
    const CScriptReader& innermost = reader().Innermost();
    return {{"file", Cp932ToJsonText(innermost.fileName())},
            {"depth", innermost.depth()},
            {"waitCounter", waitCounter},
            {"waitForOk", waitForOk}};
}

nlohmann::json CScriptRunner::DescribePosition() const {
    nlohmann::json levels = nlohmann::json::array();
    for (const CScriptReader* level = &reader(); level; level = level->child()) {
        levels.push_back(
            {{"file", Cp932ToJsonText(level->fileName())}, {"line", level->LineAt(level->position())}});
    }
    return levels;
}

std::string CScriptRunner::CurrentStatementOrigin() const {
    const CScriptReader& innermost = reader().Innermost();
    return Cp932ToUtf8(innermost.fileName()) + ":" +
           std::to_string(innermost.LineAt(innermost.statementStart()));
}

}  // namespace zepa
