#include "app/MessageBox.h"

#include <cstdio>

#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace zepa {
namespace {
IMessageBox* g_target = nullptr;
std::vector<std::string> g_shown;
}  // namespace

void ShowMessageBox(const std::string& textCp932, const std::string& captionCp932) {
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
