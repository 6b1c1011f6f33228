// The "Main" scene: runs the game's scripts. Init runs "Script/Initialize.txt" to its end, then
// starts "Script/Script.txt", or, for a loaded game, rebuilds the stage from the save point's
// record and continues at that SavePoint statement; each Update steps the script once, and the
// end of the script returns to the title scene. While the script waits for OK the player may
// quick-save: the last save point's snapshot is written to the slot chosen at the title.
//
// The player's reading aids live here too: the message history view (wheel up or Page Up opens
// it over the game), during which the game is paused: no script, wait, typing, transition or
// animation advances, and no input reaches the game; and auto-advance (F2), which ends a wait for
// OK by itself once the message windows have finished typing and a pause has passed (the
// engine's settings give its length), while an "AUTO" mark shows in the top-left corner; and
// hiding the windows (H or a middle click), which leaves the picture alone, paused, until the
// next press or click, which only shows the windows again.
#pragma once

#include <cstdint>

#include "scenes/SceneBase.h"
#include "scenes/SceneServices.h"
#include "script/SavePointRecord.h"
#include "script/ScriptRunner.h"
#include "stage/PictureSet.h"
#include "text/TextCanvasStore.h"
#include "windows/HistoryView.h"
#include "windows/WindowSet.h"

namespace zepa {

struct ButtonState;

class CSceneMain : public CSceneBase {
  public:
    explicit CSceneMain(const SceneServices& services);
    ~CSceneMain() override { Exit(); }
    bool Init() override;
    void Update(const ButtonState& buttons) override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override;
    void DescribeState(nlohmann::json& state) const override;

    const CScriptRunner& runner() const { return runner_; }
    CScriptRunner& runner() { return runner_; }
    const CPictureSet& pictures() const { return pictures_; }
    const CWindowSet& windows() const { return windows_; }
    CWindowSet& windows() { return windows_; }
    const CHistoryView& historyView() const { return historyView_; }
    bool autoAdvance() const { return autoAdvance_; }
    bool windowsHidden() const { return windowsHidden_; }

    static constexpr const char* kQuickSaveIconFile = "Graphics/System/QuickSave.png";
    // The icon is drawn at (kIconLeft, 0); the click area and where it is drawn lit.
    static constexpr int kIconLeft = 576;
    static constexpr int kIconRight = 640;
    static constexpr int kIconTop = 1;
    static constexpr int kIconBottom = 16;
    // The mouse within this larger area shows the icon, dimmed.
    static constexpr int kIconNearLeft = 512;
    static constexpr int kIconNearBottom = 64;
    static constexpr uint32_t kIconLit = 0xFFFFFFFFu;
    static constexpr uint32_t kIconDim = 0x88FFFFFFu;

    // During a wait for OK: whether this frame's input asks for the quick save.
    static bool QuickSaveAsked(const ButtonState& buttons);
    static bool InQuickSaveIcon(int x, int y);

    // Up and Down held in the history view scroll again after this many frames, then every few.
    static constexpr int kScrollRepeatDelay = 20;
    static constexpr int kScrollRepeatPeriod = 4;
    // Where the "AUTO" mark is drawn: the corner opposite the quick-save icon.
    static constexpr int kAutoMarkLeft = 6;
    static constexpr int kAutoMarkTop = 4;
    static constexpr int kAutoMarkFontSize = 16;

  private:
    // The reading aids' part of a frame; true when the game stays paused in it.
    bool UpdateReadingAids(const ButtonState& buttons);
    void UpdateHistoryView(const ButtonState& buttons);
    // A press of Up or Down, or its repeat while held.
    static bool ScrollRepeats(const ButtonState& buttons, int button, int& heldFrames);
    void SwitchAutoAdvance();
    // Counts down the pause of a wait for OK that auto-advance ends.
    void UpdateAutoAdvance();
    void DrawAutoMark(CSpriteBatch& batch) const;
    void DrawQuickSaveIcon(CSpriteBatch& batch, const ButtonState& buttons) const;
    void SeedRandom();
    void RunInitializeScript();
    void ResumeSavedGame(const SavePointRecord& record);
    void StartAtWarpTarget(const WarpTarget& target);

    SceneServices services_;
    CPictureSet pictures_;
    CWindowSet windows_;
    CScriptRunner runner_;
    CHistoryView historyView_;
    int heldUp_ = 0;
    int heldDown_ = 0;
    bool autoAdvance_ = false;
    bool windowsHidden_ = false;
    // Frames left of the pause; -1 while it has not started.
    int autoFramesLeft_ = -1;
    // The characters typed when the previous wait for OK ended.
    uint64_t typedAtLastWait_ = 0;
    CTextCanvasStore markStore_;
    CTexture* autoMark_ = nullptr;
    bool initializing_ = false;
};

}  // namespace zepa
