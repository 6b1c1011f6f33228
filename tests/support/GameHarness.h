// A game object run in this process on the headless backend, inside a game folder, with input
// given the way the platform gives it (key, mouse and focus events through the window procedure).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/GameSystem.h"
#include "app/WindowProcedure.h"
#include "platform/Cp932.h"
#include "platform/ImageIo.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessBackend.h"
#include "support/TestFiles.h"

namespace zepa::test {

// Writes a solid image of `width` x `height` pixels of colour `argb` as a PNG.
inline void WriteSolidPng(const std::string& path, int width, int height, uint32_t argb) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, argb);
    ASSERT_TRUE(WritePng(path, pixels.data(), width, height, width)) << path;
}

// A script file in CP932 with CR LF line ends, as games ship them; `utf8` uses "\n".
inline void WriteScriptFile(const std::string& folder, const std::string& name, const std::string& utf8) {
    std::string text;
    for (char c : utf8) {
        if (c == '\n') text += '\r';
        text += c;
    }
    zepa::testing::WriteFileBytes(folder + "/Script/" + name, Cp932(text));
}

class GameHarness {
  public:
    explicit GameHarness(const std::string& folder)
        : inFolder_(folder),
          backend_(CreateHeadlessBackend()),
          game_(std::make_unique<CGameSystem>()),
          procedure_(game_->inputDevices(), game_->sceneRequests(), nullptr, Rect{0, 0, 4000, 4000}, Rect{}) {
        game_->randomSeed = 1u;
        procedure_.SetFocus(true);
        initialized_ = game_->Initialize(backend_);
    }
    ~GameHarness() { game_.reset(); }

    bool initialized() const { return initialized_; }
    CGameSystem& game() { return *game_; }

    // Runs frames as the main loop does: update, then draw.
    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            game_->UpdateFrame();
            game_->DrawFrame();
        }
    }
    void Send(const PlatformEvent& event) { procedure_.HandleEvent(event); }
    void KeyDown(int key) {
        PlatformEvent event;
        event.kind = PlatformEvent::Kind::KeyDown;
        event.key = key;
        Send(event);
    }
    void KeyUp(int key) {
        PlatformEvent event;
        event.kind = PlatformEvent::Kind::KeyUp;
        event.key = key;
        Send(event);
    }
    // Down for one frame, up in the next (two frames).
    void Press(int key) {
        KeyDown(key);
        Frames(1);
        KeyUp(key);
        Frames(1);
    }
    void MoveMouse(int x, int y) {
        PlatformEvent event;
        event.kind = PlatformEvent::Kind::MouseMove;
        event.x = x;
        event.y = y;
        Send(event);
    }
    // Button 0 left, 1 right: down for one frame, up in the next (two frames).
    void Click(int button) {
        PlatformEvent event;
        event.kind = PlatformEvent::Kind::MouseButton;
        event.button = button;
        event.down = true;
        Send(event);
        Frames(1);
        event.down = false;
        Send(event);
        Frames(1);
    }

  private:
    zepa::testing::ScopedWorkingDirectory inFolder_;
    PlatformBackend backend_;
    std::unique_ptr<CGameSystem> game_;
    CWindowProcedure procedure_;
    bool initialized_ = false;
};

}  // namespace zepa::test
