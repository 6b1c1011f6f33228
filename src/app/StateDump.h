// The engine state as JSON (UTF-8) for tests and tools: `--dump` and `--dump-at-exit`.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace zepa {

class CGameSystem;
class ILog;

// `frame` is the number of the last frame run. Each subsystem adds its own fields here.
nlohmann::json DumpState(const CGameSystem& game, long long frame);

// Writes the JSON text to `path`; false (with the reason in `log`) when it cannot be written.
bool WriteJsonFile(const std::string& path, const nlohmann::json& value, ILog& log);

}  // namespace zepa
