#include "app/WindowProcedure.h"

#include "core/SceneRequests.h"
#include "platform/VirtualKeys.h"

namespace zepa {

bool WindowFits(ClientSize size, const Rect& workArea, const Rect& borders) {
    const int outerWidth = size.width + borders.left + borders.right;
    const int outerHeight = size.height + borders.top + borders.bottom;
    return outerWidth <= workArea.Width() && outerHeight <= workArea.Height();
}

ClientSize ChooseClientSize(const Rect& workArea, const Rect& borders) {
    for (ClientSize size : kClientSizes) {
        if (WindowFits(size, workArea, borders)) return size;
    }
    return ClientSize{};
}

CWindowProcedure::CWindowProcedure(CInputDevices& input, CSceneRequests& sceneRequests, IWindow* window,
                                   const Rect& workArea, const Rect& borders)
    : input_(input), sceneRequests_(sceneRequests), window_(window), workArea_(workArea), borders_(borders) {}

bool CWindowProcedure::TakeScreenshotRequest() {
    const bool requested = screenshotRequested_;
    screenshotRequested_ = false;
    return requested;
}

bool CWindowProcedure::TakeReloadRequest() {
    const bool requested = reloadRequested_;
    reloadRequested_ = false;
    return requested;
}

void CWindowProcedure::HandleEvent(const PlatformEvent& event) {
    using Kind = PlatformEvent::Kind;
    switch (event.kind) {
        case Kind::Quit:
            quit_ = true;
            break;
        case Kind::FocusGained:
            focus_ = true;
            break;
        case Kind::FocusLost:
            focus_ = false;
            break;
        case Kind::KeyDown:
            OnKeyDown(event);
            break;
        case Kind::KeyUp:
            if (event.key == vk::kTab) fastForward_ = false;
            input_.SetKey(event.key, false);
            break;
        default:
            input_.OnEvent(event);
            break;
    }
}

void CWindowProcedure::OnKeyDown(const PlatformEvent& event) {
    switch (event.key) {
        case vk::kEscape:
            quit_ = true;
            return;
        case vk::kF4:
            ResizeTo(kClientSizes[3]);
            return;
        case vk::kF5:
            ResizeTo(kClientSizes[2]);
            return;
        case vk::kF6:
            ResizeTo(kClientSizes[1]);
            return;
        case vk::kF7:
            ResizeTo(kClientSizes[0]);
            return;
        case vk::kF12:
            sceneRequests_.Request("Title");
            return;
        case vk::kF11:
            if (!event.repeat && window_) window_->ToggleFullscreen();
            return;
        case vk::kF9:
            if (!event.repeat) screenshotRequested_ = true;
            return;
        case vk::kF10:
            if (!event.repeat) reloadRequested_ = true;
            return;
        case vk::kF3:
            if (!event.repeat) debugOverlay_ = !debugOverlay_;
            return;
        case vk::kTab:
            fastForward_ = true;
            return;
        // The message history's keys; auto-repeat scrolls on.
        case vk::kPageUp:
            input_.PressEngineKey(EngineKey::PageUp);
            return;
        case vk::kPageDown:
            input_.PressEngineKey(EngineKey::PageDown);
            return;
        case vk::kF2:
            if (!event.repeat) input_.PressEngineKey(EngineKey::AutoAdvance);
            return;
        case 'H':
            if (!event.repeat) input_.PressEngineKey(EngineKey::HideWindows);
            return;
        case vk::kReturn:
            if (event.alt) {
                if (!event.repeat && window_) window_->ToggleFullscreen();
                return;
            }
            break;
        default:
            break;
    }
    input_.SetKey(event.key, true);
}

void CWindowProcedure::ResizeTo(ClientSize size) {
    if (window_ && window_->IsFullscreen()) return;
    if (!WindowFits(size, workArea_, borders_)) return;
    input_.SetClientSize(size.width, size.height);
    if (window_) window_->ResizeClient(size.width, size.height);
}

}  // namespace zepa
