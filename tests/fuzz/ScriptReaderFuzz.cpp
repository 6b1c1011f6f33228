// Random bytes as a script: read every statement to the end of the text, and check that the jump
// index answers exactly as a scan of the text does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Log.h"
#include "script/ScriptJumpIndex.h"
#include "script/ScriptReader.h"

namespace {

zepa::ILog& Log() {
    static zepa::CStderrLog log;
    return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    zepa::CScriptReader reader(Log());
    reader.SetText("Script/Script.txt", text);
    // Every read consumes at least one byte, so this ends within size + 1 reads.
    for (size_t reads = 0; reads <= size + 1; ++reads) {
        if (!reader.ReadStatement() && reader.IsAtEnd()) break;
    }
    if (!reader.IsAtEnd()) __builtin_trap();

    // Names taken from the text itself, so matches happen.
    zepa::CScriptJumpIndex index;
    index.Build(text);
    for (size_t start = 0; start < size && start < 64; start += 7) {
        for (size_t length : {size_t{0}, size_t{1}, size_t{3}, size_t{8}}) {
            const std::string name = text.substr(start, length);
            if (index.FindLabel(name) != zepa::FindFirstOccurrence(text, zepa::LabelPattern(name)))
                __builtin_trap();
            if (index.FindSavePoint(name) != zepa::FindFirstOccurrence(text, zepa::SavePointPattern(name)))
                __builtin_trap();
        }
    }
    zepa::CScriptReader levels(Log());
    levels.SetText("t", text);
    levels.PushLevel("");
    levels.SeekLabel(text.substr(0, 4));
    levels.SeekSavePoint(text.substr(0, 4));
    levels.ReadStatement();
    levels.PopLevel();
    levels.PopLevel();
    return 0;
}
