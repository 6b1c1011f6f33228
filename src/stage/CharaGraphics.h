// The character layer: six portrait slots drawn over the background, slot 0 lowest. Each slot
// changes its image with a cut, a fade or a cross-fade, moves by jumping or linearly, can be
// mirrored or hidden; a focus dims every slot but the speaking one.
#pragma once

#include <array>
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>

#include "gfx/Matrix.h"
#include "resources/TextureStore.h"
#include "stage/GraphicsBase.h"

namespace zepa {

class CCharaGraphics : public CGraphicsBase {
  public:
    // What the state dump shows of it (JSON, UTF-8).
    nlohmann::json DescribeState() const;

    static constexpr int kSlotCount = 6;
    static constexpr const char* kFolder = "Graphics/Char/";
    static constexpr int32_t kNoFocus = 100;

    // Images are loaded into and released from `textures` (null: none are shown).
    explicit CCharaGraphics(CTextureStore* textures) : textures_(textures) {}
    static constexpr int32_t kKeep = -1;  // a position argument that keeps the coordinate
    static constexpr uint32_t kDimmedRgb = 0x888888u;

    enum TransitionKind : int32_t { kCut = 0, kFade = 1, kCrossFade = 2, kCrossFade2 = 3, kIdle = 6 };
    enum MoveMode : int32_t { kMoveJump = 0, kMoveLinear = 1, kMoveNone = 2 };

    struct Slot {
        StageImage current;
        StageImage previous;
        Vector3 position;
        int32_t targetX = 0;
        int32_t targetY = 0;
        bool mirrored = false;
        bool visible = true;
        int32_t transitionLength = 30;
        int32_t moveFrames = 30;
        int32_t t = 0;
        int32_t kind = kIdle;
        int32_t moveMode = kMoveNone;

        Slot();
    };

    // Shows "Graphics/Char/" + file in a slot (an empty file empties it); see SetCharacterPath.
    // Has the image a later SetCharacter(…, file, …) loads decoded ahead.
    void ReadAhead(const std::string& file) const;
    bool SetCharacter(int slot, const std::string& file, const std::string& transition, int32_t length,
                      int32_t x, int32_t y, const std::string& move, int32_t moveFrames);
    // Changes a slot's image to the one at a resource path with a transition and sets its target
    // position (kKeep keeps a coordinate). Slots outside 0..5 are ignored.
    bool SetCharacterPath(int slot, const std::string& path, const std::string& transition, int32_t length,
                          int32_t x, int32_t y, const std::string& move, int32_t moveFrames);
    // Moves a slot toward (x, y); 0 frames places it at once.
    void MoveCharacter(int slot, int32_t x, int32_t y, const std::string& move, int32_t moveFrames);
    void SetCharacterVisible(int slot, bool visible);
    void SetCharacterReverse(int slot, bool mirrored);
    // Dims every slot but `slot` (kNoFocus: none is dimmed; a number naming no slot dims all).
    void SetFocus(int32_t slot);
    // Empties all six slots with the transition.
    void EraseAll(const std::string& transition, int32_t length);
    // Empties the slots at once and returns every slot and the focus to their initial state.
    // Textures stay in the store.
    void ResetCharacters();

    bool Update() override;
    bool Draw(CSpriteBatch& batch) override;

    static TransitionKind TransitionFromName(const std::string& name);
    static MoveMode MoveFromName(const std::string& name);

    // What a save point records and the state dump shows. Slots outside 0..5 are not valid here.
    const Slot& slot(int index) const { return slots_[static_cast<size_t>(index)]; }
    const std::string& name(int index) const { return slot(index).current.name; }
    int32_t focus() const { return focus_; }

  private:
    CTextureStore* textures_;
    void UpdateTransition(Slot& slot, int index);
    static void UpdateMove(Slot& slot);
    void FinishTransition(Slot& slot, int index);
    void ReleasePrevious(int index);
    static bool ValidSlot(int slot) { return slot >= 0 && slot < kSlotCount; }
    void DrawSlot(CSpriteBatch& batch, const Slot& slot) const;

    std::array<Slot, kSlotCount> slots_;
    int32_t focus_ = kNoFocus;
};

}  // namespace zepa
