// Treats arbitrary bytes as a save file: decodes them directly, then loads them from disk through
// LoadSaveFile and ReadSaveRecord. Beyond "no crash, no sanitizer report", checks that nothing is
// made up (a file shorter than a record loads nothing, at most what the file holds is read) and
// that whatever was loaded survives an encode and a decode unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Log.h"
#include "script/SaveFile.h"
#include "script/VariableStore.h"

namespace {

zepa::ILog& Log() {
    static zepa::CStderrLog log;
    return log;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

// Save files live in "Save/" under the working directory: one private folder for the whole run,
// entered only while an input is on disk (libFuzzer itself works with relative paths).
const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        const char* dir = std::getenv("TMPDIR");
        std::filesystem::path path =
            std::filesystem::path(dir ? dir : "/tmp") / ("zepa-fuzz-save-" + std::to_string(getpid()));
        std::filesystem::create_directories(path / "Save");
        return path;
    }();
    return folder;
}

class ScopedScratchFolder {
  public:
    ScopedScratchFolder() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(ScratchFolder());
    }
    ~ScopedScratchFolder() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

bool WriteBytes(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto decoded = zepa::DecodeSaveFile(bytes);
    Check(decoded.has_value() == (size >= zepa::kSavePointRecordSize));
    if (decoded) {
        size_t stringBytes = 0;
        for (const std::string& text : decoded->strings) stringBytes += text.size();
        Check(stringBytes <= size);
        if (decoded->complete()) Check(size >= zepa::kMinimalSaveFileSize + stringBytes);
    }

    const ScopedScratchFolder scratch;
    if (!WriteBytes(zepa::SaveFilePath(0), bytes)) return 0;
    zepa::SavePointRecord record;
    Check(zepa::ReadSaveRecord(0, record));
    zepa::CVariableStore vars;
    vars.SetInt(1, 12345);
    const bool loaded = zepa::LoadSaveFile(vars, 0, Log());
    Check(loaded == decoded.has_value());
    if (!loaded) {
        Check(vars.GetInt(1) == 12345);
        return 0;
    }
    // Compared as bytes: a damaged record may hold NaN positions, which never compare equal.
    Check(zepa::EncodeSavePointRecord(vars.savePoint(), Log()) == zepa::EncodeSavePointRecord(record, Log()));

    // What was loaded is encoded and decoded back exactly.
    const auto back = zepa::DecodeSaveFile(zepa::EncodeSaveFile(vars, Log()));
    Check(back && back->complete() && back->extraBytes == 0);
    Check(zepa::EncodeSavePointRecord(back->record, Log()) ==
          zepa::EncodeSavePointRecord(vars.savePoint(), Log()));
    Check(back->ints == vars.snapshotInts());
    Check(back->flags == vars.snapshotFlagWords());
    Check(back->strings == vars.snapshotStrings());
    return 0;
}
