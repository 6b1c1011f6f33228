#include "app/Screenshot.h"

#include "platform/FileSystem.h"

namespace zepa {

std::string NextScreenshotPath(const std::string& writableFolder) {
    const std::string folder =
        writableFolder.empty() ? std::string(kScreenshotFolder) : writableFolder + "/" + kScreenshotFolder;
    if (!IsDirectory(folder) && !MakeDirectory(folder)) return std::string();
    for (long long number = 1;; ++number) {
        std::string path = folder + "/zepa-shot-" + std::to_string(number) + ".png";
        if (!IsRegularFile(path) && !IsDirectory(path)) return path;
    }
}

}  // namespace zepa
