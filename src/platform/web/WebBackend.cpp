#include "platform/web/WebBackend.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <memory>

#include "platform/Backends.h"
#include "platform/Cp932.h"
#include "platform/Letterbox.h"
#include "platform/web/DomKeyMap.h"
#include "platform/web/WebAudio.h"

// The page's side of the backend is the object ZepaPage of web/zepa-web.js.

EM_JS(void, zepa_page_present, (const uint8_t* rgba, int width, int height),
      { ZepaPage.present(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height); });

EM_JS(int, zepa_page_next_event, (int* fields, char* code, int codeSize), {
    const e = ZepaPage.nextEvent();
    if (!e) return 0;
    const values = [
        e.kind, e.alt ? 1 : 0, e.repeat ? 1 : 0, e.x | 0, e.y | 0, e.button | 0, e.down ? 1 : 0, e.axis | 0,
        e.value | 0
    ];
    for (let i = 0; i < values.length; ++i) HEAP32[(fields >> 2) + i] = values[i];
    stringToUTF8(e.code || "", code, codeSize);
    return 1;
});

EM_JS(void, zepa_page_area, (int* size), {
    const area = ZepaPage.area();
    HEAP32[size >> 2] = area[0];
    HEAP32[(size >> 2) + 1] = area[1];
});

EM_JS(void, zepa_page_canvas_size, (int* size), {
    const area = ZepaPage.canvasSize();
    HEAP32[size >> 2] = area[0];
    HEAP32[(size >> 2) + 1] = area[1];
});

EM_JS(void, zepa_page_set_title, (const char* title), { ZepaPage.setTitle(UTF8ToString(title)); });
EM_JS(void, zepa_page_toggle_fullscreen, (), { ZepaPage.toggleFullscreen(); });
EM_JS(int, zepa_page_is_fullscreen, (), { return ZepaPage.isFullscreen() ? 1 : 0; });
EM_JS(void, zepa_page_show_message, (const char* text, const char* caption),
      { ZepaPage.showMessage(UTF8ToString(text), UTF8ToString(caption)); });
EM_JS(int, zepa_page_message_open, (), { return ZepaPage.messageOpen() ? 1 : 0; });
// Sleeps until the next animation frame, as emscripten_sleep sleeps on a timer: the engine is
// woken as a user callback, so that a main that ends after it still ends the runtime.
EM_JS(void, zepa_page_next_animation_frame, (), {
    Asyncify.handleSleep((wakeUp) => {
        runtimeKeepalivePush();
        ZepaPage.nextAnimationFrame().then(() => {
            runtimeKeepalivePop();
            callUserCallback(wakeUp);
        });
    });
});
EM_JS(double, zepa_page_frame_interval, (), { return ZepaPage.frameInterval(); });

namespace zepa {
namespace {

// The page's event kinds (zepa-web.js, EventKind) in its order.
constexpr PlatformEvent::Kind kPageKinds[] = {
    PlatformEvent::Kind::Quit,        PlatformEvent::Kind::FocusGained, PlatformEvent::Kind::FocusLost,
    PlatformEvent::Kind::KeyDown,     PlatformEvent::Kind::KeyUp,       PlatformEvent::Kind::MouseMove,
    PlatformEvent::Kind::MouseButton, PlatformEvent::Kind::MouseWheel,  PlatformEvent::Kind::JoyButton,
    PlatformEvent::Kind::JoyAxis,     PlatformEvent::Kind::JoyHat,      PlatformEvent::Kind::JoyAdded,
    PlatformEvent::Kind::JoyRemoved,
};

// How often a waiting message box looks whether the player closed it.
constexpr unsigned kMessagePollMs = 50;

// The page's fields in the order zepa_page_next_event writes them.
enum Field { kKind, kAlt, kRepeat, kX, kY, kButton, kDown, kAxis, kValue, kFieldCount };

struct PageSize {
    int width = 0;
    int height = 0;
};

// Fills `event` from one page event; false when it means nothing to the engine.
bool FromPageEvent(const int (&fields)[kFieldCount], const char* code, PlatformEvent& event) {
    if (fields[kKind] < 0 || fields[kKind] >= static_cast<int>(std::size(kPageKinds))) return false;
    event = PlatformEvent{};
    event.kind = kPageKinds[fields[kKind]];
    event.alt = fields[kAlt] != 0;
    event.repeat = fields[kRepeat] != 0;
    event.x = fields[kX];
    event.y = fields[kY];
    event.button = fields[kButton];
    event.down = fields[kDown] != 0;
    event.axis = fields[kAxis];
    event.value = fields[kValue];
    if (event.kind == PlatformEvent::Kind::KeyDown || event.kind == PlatformEvent::Kind::KeyUp) {
        event.key = VirtualKeyFromDomCode(code);
        return event.key != 0;
    }
    return true;
}

}  // namespace

uint32_t CWebClock::Milliseconds() {
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

int64_t CWebClock::Counter() {
    return static_cast<int64_t>(std::llround(emscripten_get_now() * 1000.0));
}

// The browser drives the frame loop with its animation frames: a wait for a frame due more than
// half a display refresh away ends at the next one, and the frame then runs, is drawn and put on
// the canvas before the browser shows it. A frame due sooner waits on a timer instead, so that it
// still makes the display's next refresh. So a 60 fps game on a 60 Hz display runs one frame per
// refresh even where its due times and the refreshes nearly coincide.
void CWebClock::SleepMs(uint32_t ms) {
    if (static_cast<double>(ms) + 1.0 > zepa_page_frame_interval() / 2) {
        zepa_page_next_animation_frame();
    } else {
        emscripten_sleep(ms);
    }
}

// The browser's timers have no finer step than a millisecond; a zero sleep still lets the page
// run its events.
void CWebClock::Yield() {
    emscripten_sleep(0);
}

bool CWebWindow::Create(const std::string& titleCp932, int clientWidth, int clientHeight, bool fullscreen) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
    rgba_.assign(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4, 255);
    SetTitle(titleCp932);
    if (fullscreen) ToggleFullscreen();
    return true;
}

Rect CWebWindow::UsableBounds() {
    int size[2] = {kScreenWidth, kScreenHeight};
    zepa_page_area(size);
    return Rect{0, 0, std::max(size[0], kScreenWidth), std::max(size[1], kScreenHeight)};
}

void CWebWindow::ResizeClient(int clientWidth, int clientHeight) {
    clientWidth_ = clientWidth;
    clientHeight_ = clientHeight;
}

void CWebWindow::SetTitle(const std::string& titleCp932) {
    zepa_page_set_title(Cp932ToUtf8(titleCp932).c_str());
}

// XRGB words (bytes B, G, R, X) into the canvas's RGBA bytes, opaque.
void CWebWindow::Present(const uint32_t* pixels) {
    const size_t count = static_cast<size_t>(kScreenWidth) * kScreenHeight;
    uint8_t* out = rgba_.data();
    for (size_t i = 0; i < count; ++i, out += 4) {
        out[0] = static_cast<uint8_t>(pixels[i] >> 16);
        out[1] = static_cast<uint8_t>(pixels[i] >> 8);
        out[2] = static_cast<uint8_t>(pixels[i]);
    }
    zepa_page_present(rgba_.data(), kScreenWidth, kScreenHeight);
}

void CWebWindow::ToggleFullscreen() {
    zepa_page_toggle_fullscreen();
}

bool CWebWindow::IsFullscreen() const {
    return zepa_page_is_fullscreen() != 0;
}

void CWebWindow::ToClientPixels(int& x, int& y) const {
    int size[2] = {kScreenWidth, kScreenHeight};
    zepa_page_canvas_size(size);
    WindowToClient(std::max(size[0], 1), std::max(size[1], 1), clientWidth_, clientHeight_, x, y);
}

bool CWebEvents::PollEvent(PlatformEvent& event) {
    int fields[kFieldCount] = {};
    char code[32] = {};
    while (zepa_page_next_event(fields, code, sizeof(code)) != 0) {
        if (FromPageEvent(fields, code, event)) return true;
    }
    return false;
}

void CWebMessageBox::Show(const std::string& textCp932, const std::string& captionCp932) {
    const std::string text = Cp932ToUtf8(textCp932);
    std::fprintf(stderr, "message: %s\n", text.c_str());
    zepa_page_show_message(text.c_str(), Cp932ToUtf8(captionCp932).c_str());
    // Modal as on the desktop: the game stands still until the player closes the box.
    while (zepa_page_message_open() != 0) emscripten_sleep(kMessagePollMs);
}

std::optional<PlatformBackend> CreateWindowedBackend(std::string&) {
    PlatformBackend backend;
    backend.clock = std::make_unique<CWebClock>();
    backend.window = std::make_unique<CWebWindow>();
    backend.events = std::make_unique<CWebEvents>();
    backend.messageBox = std::make_unique<CWebMessageBox>();
    backend.audio = CreateWebAudioDevice();
    backend.headless = false;
    return backend;
}

std::unique_ptr<IAudioDevice> CreateHeadlessAudioDevice() {
    return CreateSilentAudioDevice();
}

}  // namespace zepa
