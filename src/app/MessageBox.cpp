#include "app/MessageBox.h"

#include <cstdio>

#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace zepa {
namespace {
IMessageBox* g_target = nullptr;
std::vector<std::string> g_shown;
}  // namespace

// Only the latest messages are kept (at least kKeptMessages): a script looping over a faulty
// statement shows one per round, and the list would otherwise grow without end.
constexpr size_t kKeptMessages = 1000;

void ShowMessageBox(const std::string& textCp932, const std::string& captionCp932) {
    if (g_shown.size() >= 2 * kKeptMessages) g_shown.erase(g_shown.begin(), g_shown.begin() + kKeptMessages);
    g_shown.push_back(textCp932);
    if (g_target) {
        g_target->Show(textCp932, captionCp932);
    } else {
        std::fprintf(stderr, "message: %s\n", Cp932ToUtf8(textCp932).c_str());
    }
}

void SetMessageBoxTarget(IMessageBox* target) {
    g_target = target;
}

const std::vector<std::string>& ShownMessages() {
    return g_shown;
}

void ClearShownMessages() {
    g_shown.clear();
}

}  // namespace zepa
