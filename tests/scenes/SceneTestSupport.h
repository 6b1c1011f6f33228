// A running game object for scene tests: a temporary game folder (entered for the test) with a
// window skin, cursor, arrows and a background of its own, the headless backend, and an audio
// device that records what the engine asks it to play and at which volume instead of sounding.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/GameSystem.h"
#include "support/TestFiles.h"

namespace zepa::test {

// What the engine did with one loaded clip.
struct ClipRecord {
    std::string path;  // file system path as loaded
    ClipUse use = ClipUse::Effect;
    int volume = -1;  // last volume set (0..128), -1 before any
    bool playing = false;
};

// Clips load when their file exists; records live as long as the fixture.
class RecordingAudioDevice : public IAudioDevice {
  public:
    explicit RecordingAudioDevice(std::shared_ptr<std::vector<ClipRecord>> log) : log_(std::move(log)) {}
    bool Open() override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    std::unique_ptr<IAudioClip> Load(const std::string& path, ClipUse use) override;
    const std::string& lastError() const override { return error_; }
    std::string driverName() const override { return "recording"; }

  private:
    std::shared_ptr<std::vector<ClipRecord>> log_;
    bool open_ = false;
    std::string error_;
};

class SceneStage {
  public:
    // Writes `settingsText` as "option.ini" first when it is not empty.
    explicit SceneStage(const std::string& settingsText = "");
    ~SceneStage();

    CGameSystem& game() { return *game_; }
    std::string ReadSettingsFile() const;
    const std::vector<ClipRecord>& clips() const { return *clips_; }
    // Paths (relative to the game folder) of the sound effects played so far, in order.
    std::vector<std::string> EffectsPlayed() const;
    // The volume last given to the music clip of `file` ("Music/bgm/..."), -1 when none.
    int MusicVolume(const std::string& file) const;

    void Frame() { game_->UpdateFrame(); }
    void Frames(int count) {
        for (int i = 0; i < count; ++i) Frame();
    }
    // Holds a key (Windows virtual-key code) for one frame, then releases it for one frame.
    void Press(uint8_t virtualKey);
    // Runs frames until the window's opening animation is over: its next Update reads input.
    template <typename Window>
    void WaitForOpening(const Window& window) {
        for (int i = 0; i < 60 && window.animating(); ++i) Frame();
    }
    // Requests `name` and runs the frame that switches to it.
    void SwitchTo(const std::string& name);

  private:
    testing::TempFolder folder_;
    std::unique_ptr<testing::ScopedWorkingDirectory> cwd_;
    std::shared_ptr<std::vector<ClipRecord>> clips_ = std::make_shared<std::vector<ClipRecord>>();
    PlatformBackend backend_;  // the game object keeps pointers into it
    std::unique_ptr<CGameSystem> game_;
};

// Virtual-key codes of the keys the tests press.
inline constexpr uint8_t kKeyReturn = 0x0D;
inline constexpr uint8_t kKeyCancel = 0x58;  // X
inline constexpr uint8_t kKeySpace = 0x20;
inline constexpr uint8_t kKeyLeft = 0x25;
inline constexpr uint8_t kKeyUp = 0x26;
inline constexpr uint8_t kKeyRight = 0x27;
inline constexpr uint8_t kKeyDown = 0x28;

// The background the stage's game folder holds: "Graphics/BG/plain.png", 640 x 480.
inline constexpr const char* kTestBackground = "plain.png";

// Compares the back buffer's region (x, y, width, height) with the golden image `name` in
// tests/golden (RGB PAM), tolerance 0. With ZEPA_UPDATE_GOLDEN set, writes the golden first and a
// PNG of the whole buffer into the temporary folder for review. Returns the number of differing pixels.
int CompareWithGolden(const CSpriteBatch& batch, const std::string& name, int x, int y, int width,
                      int height);

}  // namespace zepa::test
