#include "app/Screenshot.h"

#include "platform/FileSystem.h"

namespace zepa {

std::string NextScreenshotPath() {
    if (!IsDirectory(kScreenshotFolder) && !MakeDirectory(kScreenshotFolder)) return std::string();
    for (long long number = 1;; ++number) {
        std::string path = std::string(kScreenshotFolder) + "/zepa-shot-" + std::to_string(number) + ".png";
        if (!IsRegularFile(path) && !IsDirectory(path)) return path;
    }
}

}  // namespace zepa
