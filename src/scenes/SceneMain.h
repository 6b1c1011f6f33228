// The "Main" scene: runs the game's scripts. Init runs "Script/Initialize.txt" to its end, then
// starts "Script/Script.txt", or, for a loaded game, rebuilds the stage from the save point's
// record and continues at that SavePoint statement; each Update steps the script once, and the
// end of the script returns to the title scene.
#pragma once

#include "app/SceneBase.h"
#include "script/SavePointRecord.h"
#include "script/ScriptRunner.h"
#include "stage/PictureSet.h"
#include "windows/WindowSet.h"

namespace zepa {

class CSceneMain : public CSceneBase {
  public:
    CSceneMain();
    ~CSceneMain() override { Exit(); }
    bool Init() override;
    void Update() override;
    void Draw(CSpriteBatch& batch) override;
    void Exit() override;

    const CScriptRunner& runner() const { return runner_; }
    CScriptRunner& runner() { return runner_; }
    const CPictureSet& pictures() const { return pictures_; }
    const CWindowSet& windows() const { return windows_; }
    CWindowSet& windows() { return windows_; }

  private:
    void SeedRandom();
    void RunInitializeScript();
    void ResumeSavedGame(const SavePointRecord& record);

    CPictureSet pictures_;
    CWindowSet windows_;
    CScriptRunner runner_;
};

}  // namespace zepa
