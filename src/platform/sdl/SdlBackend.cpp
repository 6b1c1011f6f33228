#include "platform/sdl/SdlBackend.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <utility>

#include "platform/Backends.h"
#include "platform/Cp932.h"
#include "platform/Letterbox.h"
#include "platform/SteadyClock.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/SdlMixerAudio.h"

namespace zepa {
namespace {

constexpr Uint32 kSdlSubsystems =
    SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_EVENTS;

// Owns SDL's video and joystick subsystems for the life of the backend, and the one pad in use:
// a game controller where SDL knows the device as one, else a plain joystick.
class CSdlSession {
  public:
    ~CSdlSession() {
        CloseJoystick();
        SDL_QuitSubSystem(kSdlSubsystems);
    }
    // Opens the device with this index; false when it cannot be opened.
    bool OpenJoystick(int index) {
        CloseJoystick();
        if (SDL_IsGameController(index)) {
            controller_ = SDL_GameControllerOpen(index);
            if (controller_) joystick_ = SDL_GameControllerGetJoystick(controller_);
            if (!joystick_ && controller_) {
                SDL_GameControllerClose(controller_);
                controller_ = nullptr;
            }
        }
        if (!joystick_) joystick_ = SDL_JoystickOpen(index);
        return joystick_ != nullptr;
    }
    void CloseJoystick() {
        if (controller_)
            SDL_GameControllerClose(controller_);
        else if (joystick_)
            SDL_JoystickClose(joystick_);
        controller_ = nullptr;
        joystick_ = nullptr;
        dpad_ = 0;
    }
    SDL_Joystick* joystick_ = nullptr;
    SDL_GameController* controller_ = nullptr;  // set when the pad is used as a game controller
    int dpad_ = 0;                              // the controller's D-pad directions held
};

class CSdlWindow : public IWindow {
  public:
    ~CSdlWindow() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
    }

    bool Create(const std::string& titleCp932, int clientWidth, int clientHeight, bool fullscreen) override {
        clientWidth_ = clientWidth;
        clientHeight_ = clientHeight;
        const Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        window_ = SDL_CreateWindow(Cp932ToUtf8(titleCp932).c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, clientWidth, clientHeight, flags);
        if (!window_) {
            std::fprintf(stderr, "zepa: cannot create the window: %s\n", SDL_GetError());
            return false;
        }
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (!renderer_) {
            std::fprintf(stderr, "zepa: cannot create a renderer: %s\n", SDL_GetError());
            return false;
        }
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     kScreenWidth, kScreenHeight);
        if (!texture_) {
            std::fprintf(stderr, "zepa: cannot create the screen texture: %s\n", SDL_GetError());
            return false;
        }
        if (!fullscreen) Centre();
        // Keys are read as keys: an input method left active would swallow Z, X, A and S into a
        // composition window.
        SDL_StopTextInput();
        return true;
    }

    void SetIcon(const uint32_t* argbPixels, int width, int height) override {
        if (!window_) return;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(argbPixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (!surface) return;
        SDL_SetWindowIcon(window_, surface);
        SDL_FreeSurface(surface);
    }

    Rect UsableBounds() override {
        SDL_Rect bounds;
        if (SDL_GetDisplayUsableBounds(0, &bounds) != 0) return Rect{0, 0, 1280 + 64, 960 + 96};
        return Rect{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    }

    Rect BorderSizes() override {
        int top = 0, left = 0, bottom = 0, right = 0;
        if (window_ && SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0) {
            return Rect{left, top, right, bottom};
        }
        // Before the window exists (or where the window manager does not say): a typical title
        // bar and frame, so the size choice stays on the safe side.
        return Rect{2, 32, 2, 2};
    }

    void ResizeClient(int clientWidth, int clientHeight) override {
        clientWidth_ = clientWidth;
        clientHeight_ = clientHeight;
        if (!window_) return;
        SDL_SetWindowSize(window_, clientWidth, clientHeight);
        Centre();
    }

    void SetTitle(const std::string& titleCp932) override {
        if (window_) SDL_SetWindowTitle(window_, Cp932ToUtf8(titleCp932).c_str());
    }

    void Present(const uint32_t* pixels) override {
        if (!renderer_) return;
        SDL_UpdateTexture(texture_, nullptr, pixels, kScreenWidth * 4);
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        int outputWidth = 0, outputHeight = 0;
        SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
        const Rect box = LetterboxRect(outputWidth, outputHeight);
        const SDL_Rect target{box.left, box.top, box.Width(), box.Height()};
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
    }

    bool TakeRepaintRequest() override { return std::exchange(repaintRequested_, false); }
    // Called by the event source when the window system says the shown picture is lost.
    void RequestRepaint() { repaintRequested_ = true; }

    void ToggleFullscreen() override {
        if (!window_) return;
        repaintRequested_ = true;
        const bool goFullscreen = !IsFullscreen();
        SDL_SetWindowFullscreen(window_, goFullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        if (!goFullscreen) {
            SDL_SetWindowSize(window_, clientWidth_, clientHeight_);
            Centre();
        }
    }

    bool IsFullscreen() const override {
        return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    }

    SDL_Window* handle() const { return window_; }

    // Window points -> client pixels of the chosen client size, through the letterbox.
    void ToClientPixels(int& x, int& y) const override {
        if (!window_) return;
        int width = 0, height = 0;
        SDL_GetWindowSize(window_, &width, &height);
        WindowToClient(width, height, clientWidth_, clientHeight_, x, y);
    }

  private:
    void Centre() {
        const Rect work = UsableBounds();
        const Rect borders = BorderSizes();
        const int outerWidth = clientWidth_ + borders.left + borders.right;
        const int outerHeight = clientHeight_ + borders.top + borders.bottom;
        const int x = work.left + (work.Width() - outerWidth) / 2;
        const int y = work.top + (work.Height() - outerHeight) / 2;
        SDL_SetWindowPosition(window_, x + borders.left, y + borders.top);
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int clientWidth_ = kScreenWidth;
    int clientHeight_ = kScreenHeight;
    bool repaintRequested_ = false;
};

class CSdlEvents : public IEventSource {
  public:
    CSdlEvents(std::shared_ptr<CSdlSession> session, CSdlWindow& window)
        : session_(std::move(session)), window_(window) {}

    bool PollEvent(PlatformEvent& out) override {
        // After the pad in use went away, another one still plugged in takes its place.
        if (lookForAnother_) {
            lookForAnother_ = false;
            for (int index = 0; index < SDL_NumJoysticks(); ++index) {
                if (!session_->OpenJoystick(index)) continue;
                out = PlatformEvent{};
                out.kind = PlatformEvent::Kind::JoyAdded;
                return true;
            }
        }
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (Translate(event, out)) return true;
        }
        return false;
    }

  private:
    bool Translate(const SDL_Event& event, PlatformEvent& out) {
        using Kind = PlatformEvent::Kind;
        out = PlatformEvent{};
        switch (event.type) {
            case SDL_QUIT:
                out.kind = Kind::Quit;
                return true;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                    out.kind = Kind::FocusGained;
                    return true;
                }
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    out.kind = Kind::FocusLost;
                    return true;
                }
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                    out.kind = Kind::Quit;
                    return true;
                }
                if (PictureLost(event.window.event)) window_.RequestRepaint();
                return false;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                out.kind = event.type == SDL_KEYDOWN ? Kind::KeyDown : Kind::KeyUp;
                out.key = VirtualKeyFromSdl(event.key.keysym.sym);
                out.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
                out.repeat = event.key.repeat != 0;
                return out.key != 0;
            case SDL_MOUSEMOTION:
                out.kind = Kind::MouseMove;
                out.x = event.motion.x;
                out.y = event.motion.y;
                window_.ToClientPixels(out.x, out.y);
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                return MouseButtonEventFromSdl(event.button, out);
            case SDL_MOUSEWHEEL:
                return MouseWheelEventFromSdl(event.wheel, out);
            case SDL_JOYDEVICEADDED:
                if (session_->joystick_) return false;
                out.kind = Kind::JoyAdded;
                return session_->OpenJoystick(event.jdevice.which);
            case SDL_JOYDEVICEREMOVED:
                if (!IsOurJoystick(event.jdevice.which)) return false;
                session_->CloseJoystick();
                lookForAnother_ = true;
                out.kind = Kind::JoyRemoved;
                return true;
            // A game controller's own events stand for its joystick's.
            case SDL_JOYBUTTONDOWN:
            case SDL_JOYBUTTONUP:
                if (!IsOurPlainJoystick(event.jbutton.which)) return false;
                JoyButtonEventFromSdl(event.jbutton, out);
                return true;
            case SDL_JOYAXISMOTION:
                return IsOurPlainJoystick(event.jaxis.which) && JoyAxisEventFromSdl(event.jaxis, out);
            case SDL_JOYHATMOTION:
                return IsOurPlainJoystick(event.jhat.which) && JoyHatEventFromSdl(event.jhat, out);
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                return IsOurController(event.cbutton.which) &&
                       ControllerButtonEventFromSdl(event.cbutton, session_->dpad_, out);
            case SDL_CONTROLLERAXISMOTION:
                return IsOurController(event.caxis.which) && ControllerAxisEventFromSdl(event.caxis, out);
            default:
                return false;
        }
    }

    // Window events after which the window shows nothing or a stale picture until presented again.
    static bool PictureLost(Uint8 windowEvent) {
        return windowEvent == SDL_WINDOWEVENT_EXPOSED || windowEvent == SDL_WINDOWEVENT_SHOWN ||
               windowEvent == SDL_WINDOWEVENT_RESIZED || windowEvent == SDL_WINDOWEVENT_SIZE_CHANGED ||
               windowEvent == SDL_WINDOWEVENT_RESTORED || windowEvent == SDL_WINDOWEVENT_MAXIMIZED;
    }

    bool IsOurJoystick(SDL_JoystickID which) const {
        return session_->joystick_ && SDL_JoystickInstanceID(session_->joystick_) == which;
    }
    bool IsOurPlainJoystick(SDL_JoystickID which) const {
        return !session_->controller_ && IsOurJoystick(which);
    }
    bool IsOurController(SDL_JoystickID which) const { return session_->controller_ && IsOurJoystick(which); }

    std::shared_ptr<CSdlSession> session_;
    CSdlWindow& window_;
    bool lookForAnother_ = false;
};

class CSdlMessageBox : public IMessageBox {
  public:
    explicit CSdlMessageBox(const CSdlWindow& window) : window_(window) {}
    void Show(const std::string& textCp932, const std::string& captionCp932) override {
        SDL_Window* owner = window_.handle();
        if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, Cp932ToUtf8(captionCp932).c_str(),
                                     Cp932ToUtf8(textCp932).c_str(), owner) != 0) {
            std::fprintf(stderr, "message: %s\n", Cp932ToUtf8(textCp932).c_str());
        }
    }

  private:
    const CSdlWindow& window_;
};

// Keeps the session alive as long as the window (the events hold it too).
class CSdlWindowWithSession : public CSdlWindow {
  public:
    explicit CSdlWindowWithSession(std::shared_ptr<CSdlSession> session) : session_(std::move(session)) {}

  private:
    std::shared_ptr<CSdlSession> session_;
};

}  // namespace

std::optional<PlatformBackend> CreateSdlBackend(std::string& error) {
    if (SDL_InitSubSystem(kSdlSubsystems) != 0) {
        error = std::string("cannot start SDL video: ") + SDL_GetError();
        return std::nullopt;
    }
    auto session = std::make_shared<CSdlSession>();
    PlatformBackend backend;
    backend.clock = std::make_unique<CSteadyClock>();
    auto window = std::make_unique<CSdlWindowWithSession>(session);
    backend.events = std::make_unique<CSdlEvents>(session, *window);
    backend.messageBox = std::make_unique<CSdlMessageBox>(*window);
    backend.window = std::move(window);
    backend.audio = CreateSdlMixerDevice(nullptr);
    backend.headless = false;
    return backend;
}

std::optional<PlatformBackend> CreateWindowedBackend(std::string& error) {
    return CreateSdlBackend(error);
}

std::unique_ptr<IAudioDevice> CreateHeadlessAudioDevice() {
    return CreateSdlMixerDevice("dummy");
}

}  // namespace zepa
