#include "platform/Log.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace zepa {

void CStderrLog::Warning(const std::string& lineUtf8) {
    std::fprintf(stderr, "%s\n", lineUtf8.c_str());
}

std::string FormatLine(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string line;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        line.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(again);
    return line;
}

}  // namespace zepa
