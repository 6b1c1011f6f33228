#include "platform/headless/HeadlessBackend.h"

#include <cstdio>

#include "platform/Backends.h"
#include "platform/Cp932.h"

namespace zepa {

bool CHeadlessWindow::Create(const std::string& titleCp932, int clientWidth, int clientHeight,
                             bool fullscreen) {
    title_ = titleCp932;
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    fullscreen_ = fullscreen;
    return true;
}

void CHeadlessWindow::ResizeClient(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
}

bool CHeadlessEvents::PollEvent(PlatformEvent& event) {
    if (queue_.empty()) return false;
    event = queue_.front();
    queue_.pop_front();
    return true;
}

void CHeadlessMessageBox::Show(const std::string& textCp932, const std::string&) {
    std::fprintf(stderr, "message: %s\n", Cp932ToUtf8(textCp932).c_str());
}

PlatformBackend CreateHeadlessBackend() {
    PlatformBackend backend;
    backend.clock = std::make_unique<CVirtualClock>();
    backend.window = std::make_unique<CHeadlessWindow>();
    backend.events = std::make_unique<CHeadlessEvents>();
    backend.messageBox = std::make_unique<CHeadlessMessageBox>();
    backend.audio = CreateHeadlessAudioDevice();
    backend.headless = true;
    return backend;
}

}  // namespace zepa
