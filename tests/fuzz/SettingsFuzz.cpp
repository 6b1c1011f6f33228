// Feeds arbitrary bytes to the settings reader. Beyond "no crash, no sanitizer report", checks
// that what was read survives a write and a read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    zepa::SettingsRecord record;
    const int read = zepa::ParseSettings(text, record);
    if (read < 0 || read > 12) std::abort();
    zepa::SettingsRecord back;
    back.messageSpeed = record.messageSpeed ^ 1;  // must be overwritten
    if (zepa::ParseSettings(zepa::FormatSettings(record), back) != 12 || !(back == record)) std::abort();
    return 0;
}
