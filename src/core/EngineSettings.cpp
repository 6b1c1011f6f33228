#include "core/EngineSettings.h"

#include <charconv>

#include "platform/FileReader.h"
#include "platform/Log.h"

namespace zepa {
namespace {

struct EngineSettingsField {
    std::string_view key;
    int EngineSettingsRecord::*member;
    int max;
};

constexpr EngineSettingsField kFields[] = {
    {"AUTO_ADVANCE_FRAMES", &EngineSettingsRecord::autoAdvanceFrames, kMaxAutoAdvanceFrames},
    {"AUTO_ADVANCE_FRAMES_PER_CHARACTER", &EngineSettingsRecord::autoAdvanceFramesPerCharacter,
     kMaxAutoAdvanceFramesPerCharacter},
};

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

void ApplyLine(std::string_view line, EngineSettingsRecord& record, ILog& log) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') return;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    for (const EngineSettingsField& field : kFields) {
        if (key != field.key) continue;
        int number = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc() || end != value.data() + value.size() || number < 0 || number > field.max) {
            log.Warning(FormatLine("zepa: %s: %.*s must be a whole number from 0 to %d",
                                   kEngineSettingsFileName, static_cast<int>(key.size()), key.data(),
                                   field.max));
            return;
        }
        record.*field.member = number;
        return;
    }
}

}  // namespace

EngineSettingsRecord ParseEngineSettings(std::string_view text, ILog& log) {
    EngineSettingsRecord record;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ApplyLine(text.substr(start, end - start), record, log);
        start = end + 1;
    }
    return record;
}

EngineSettingsRecord LoadEngineSettings(const std::string& path, ILog& log) {
    std::string text;
    if (ReadWholeFile(path, text) != FileReadResult::Ok) return EngineSettingsRecord{};
    return ParseEngineSettings(text, log);
}

}  // namespace zepa
