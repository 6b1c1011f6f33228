#include "stage/CharaGraphics.h"

#include "gfx/SpriteBatch.h"
#include "stage/BackGround.h"

namespace zepa {
namespace {

constexpr uint32_t kRgbMask = 0x00FFFFFFu;

uint32_t WithAlpha(uint32_t color, int64_t alpha) {
    return static_cast<uint32_t>(alpha & 0xFF) << 24 | (color & kRgbMask);
}

uint32_t WithRgb(uint32_t color, uint32_t rgb) {
    return (color & ~kRgbMask) | rgb;
}

}  // namespace

CCharaGraphics::Slot::Slot() {
    for (StageImage* image : {&current, &previous}) {
        image->colorKey = 0x0000FF00u;
        image->format = D3DFMT_A8R8G8B8;
    }
}

CCharaGraphics::TransitionKind CCharaGraphics::TransitionFromName(const std::string& name) {
    if (name == "fade") return kFade;
    if (name == "crossfade") return kCrossFade;
    if (name == "crossfade2") return kCrossFade2;
    return kCut;  // "", "flash" and any unknown name
}

CCharaGraphics::MoveMode CCharaGraphics::MoveFromName(const std::string& name) {
    return name == "linear" ? kMoveLinear : kMoveJump;
}

bool CCharaGraphics::SetCharacter(int slot, const std::string& file, const std::string& transition,
                                  int32_t length, int32_t x, int32_t y, const std::string& move,
                                  int32_t moveFrames) {
    SetCharacterPath(slot, file.empty() ? std::string() : kFolder + file, transition, length, x, y, move,
                     moveFrames);
    return true;
}

void CCharaGraphics::ReadAhead(const std::string& file) const {
    const StageImage& image = slots_[0].current;
    if (textures_ && !file.empty()) textures_->ReadAhead(kFolder + file, image.format, image.colorKey);
}

bool CCharaGraphics::SetCharacterPath(int index, const std::string& path, const std::string& transition,
                                      int32_t length, int32_t x, int32_t y, const std::string& move,
                                      int32_t moveFrames) {
    if (!ValidSlot(index)) return true;
    Slot& slot = slots_[static_cast<size_t>(index)];
    slot.transitionLength = length;
    slot.moveFrames = moveFrames;
    ReleasePrevious(index);
    slot.previous = slot.current;
    // The current colour stays, so a focus dimming survives the change.
    slot.current.texture = nullptr;
    slot.current.name = path;
    if (!path.empty()) {
        if (CTextureStore* store = textures_) {
            store->LoadTexture(slot.current);
            slot.current.texture = store->GetTexture(path);
        }
    }
    slot.kind = TransitionFromName(transition);
    if (x != kKeep) slot.targetX = x;
    if (y != kKeep) slot.targetY = y;
    if (slot.moveFrames == 0) {
        slot.position.x = static_cast<float>(slot.targetX);
        slot.position.y = static_cast<float>(slot.targetY);
    }
    slot.t = 0;
    slot.moveMode = MoveFromName(move);
    return true;
}

void CCharaGraphics::MoveCharacter(int index, int32_t x, int32_t y, const std::string& move,
                                   int32_t moveFrames) {
    if (!ValidSlot(index)) return;
    Slot& slot = slots_[static_cast<size_t>(index)];
    slot.targetX = x;
    slot.targetY = y;
    slot.moveFrames = moveFrames;
    slot.moveMode = MoveFromName(move);
    if (moveFrames == 0) {
        slot.position.x = static_cast<float>(x);
        slot.position.y = static_cast<float>(y);
    }
}

void CCharaGraphics::SetCharacterVisible(int index, bool visible) {
    if (ValidSlot(index)) slots_[static_cast<size_t>(index)].visible = visible;
}

void CCharaGraphics::SetCharacterReverse(int index, bool mirrored) {
    if (ValidSlot(index)) slots_[static_cast<size_t>(index)].mirrored = mirrored;
}

void CCharaGraphics::SetFocus(int32_t focus) {
    focus_ = focus;
    for (int i = 0; i < kSlotCount; ++i) {
        Slot& slot = slots_[static_cast<size_t>(i)];
        const uint32_t rgb = focus == kNoFocus || i == focus ? kRgbMask : kDimmedRgb;
        slot.current.color = WithRgb(slot.current.color, rgb);
        slot.previous.color = WithRgb(slot.previous.color, rgb);
    }
}

void CCharaGraphics::EraseAll(const std::string& transition, int32_t length) {
    for (int i = 0; i < kSlotCount; ++i) SetCharacter(i, "", transition, length, kKeep, kKeep, "default", 30);
}

void CCharaGraphics::ResetCharacters() {
    EraseAll("", 0);
    for (Slot& slot : slots_) slot = Slot();
    focus_ = kNoFocus;
}

// Releases a slot's outgoing texture unless any slot still shows or fades out the same name.
void CCharaGraphics::ReleasePrevious(int index) {
    Slot& slot = slots_[static_cast<size_t>(index)];
    if (!slot.previous.texture) return;
    bool inUse = false;
    for (int i = 0; i < kSlotCount && !inUse; ++i) {
        const Slot& other = slots_[static_cast<size_t>(i)];
        inUse = other.current.name == slot.previous.name ||
                (i != index && other.previous.name == slot.previous.name);
    }
    if (!inUse) {
        if (CTextureStore* store = textures_) store->ReleaseTexture(slot.previous.name);
    }
    slot.previous.texture = nullptr;
    slot.previous.name.clear();
}

void CCharaGraphics::FinishTransition(Slot& slot, int index) {
    ReleasePrevious(index);
    slot.current.color = WithAlpha(slot.current.color, 255);
    slot.kind = kIdle;
}

void CCharaGraphics::UpdateTransition(Slot& slot, int index) {
    const int64_t t = slot.t;
    const int64_t d = slot.transitionLength;
    switch (slot.kind) {
        case kCut:
            FinishTransition(slot, index);
            return;
        case kFade: {
            const int64_t h = d / 2;
            if (t < h) {
                slot.previous.color = WithAlpha(slot.previous.color, 255 - t * 255 / h);
                slot.current.color = WithAlpha(slot.current.color, 0);
            } else if (t < d) {
                slot.previous.color = WithAlpha(slot.previous.color, 0);
                slot.current.color = WithAlpha(slot.current.color, (t - h) * 255 / (d - h));
            } else {
                FinishTransition(slot, index);
            }
            break;
        }
        case kCrossFade:
            if (t < d) {
                slot.previous.color = WithAlpha(slot.previous.color, 255);
                slot.current.color = WithAlpha(slot.current.color, t * 255 / d);
            } else {
                FinishTransition(slot, index);
            }
            break;
        case kCrossFade2:
            if (t < d) {
                const int64_t a = t * 255 / d;
                slot.previous.color = WithAlpha(slot.previous.color, 255 - a);
                slot.current.color = WithAlpha(slot.current.color, a);
            } else {
                FinishTransition(slot, index);
            }
            break;
        default:
            return;  // idle
    }
    ++slot.t;
}

void CCharaGraphics::UpdateMove(Slot& slot) {
    if (slot.moveMode == kMoveJump) {
        slot.position.x = static_cast<float>(slot.targetX);
        slot.position.y = static_cast<float>(slot.targetY);
        slot.moveMode = kMoveNone;
    } else if (slot.moveMode == kMoveLinear) {
        const int32_t n = slot.moveFrames;
        if (n < 1) {
            slot.moveMode = kMoveNone;
        } else {
            // Each step covers an equal share of what is left, so the n-th lands on the target.
            slot.position.x += (static_cast<float>(slot.targetX) - slot.position.x) / static_cast<float>(n);
            slot.position.y += (static_cast<float>(slot.targetY) - slot.position.y) / static_cast<float>(n);
        }
    }
    if (slot.moveFrames > 0) --slot.moveFrames;
}

bool CCharaGraphics::Update() {
    for (int i = 0; i < kSlotCount; ++i) UpdateTransition(slots_[static_cast<size_t>(i)], i);
    for (Slot& slot : slots_) UpdateMove(slot);
    return true;
}

void CCharaGraphics::DrawSlot(CSpriteBatch& batch, const Slot& slot) const {
    if (!slot.visible) return;
    const bool transition = slot.kind != kIdle;
    const CTexture* previous = transition ? LiveTexture(textures_, slot.previous) : nullptr;
    const CTexture* current = LiveTexture(textures_, slot.current);
    if (!previous && !current) return;
    Vector3 at = slot.position;
    if (slot.mirrored) {
        // Mirrored about the position: the image covers x - width .. x.
        batch.SetTransform(MatrixScaling(-1, 1, 1));
        at.x = -at.x;
    }
    if (previous) batch.Draw(previous, nullptr, &at, slot.previous.color);
    if (current) batch.Draw(current, nullptr, &at, slot.current.color);
    if (slot.mirrored) batch.SetTransform(transform_);
}

bool CCharaGraphics::Draw(CSpriteBatch& batch) {
    batch.SetTransform(transform_);
    for (const Slot& slot : slots_) DrawSlot(batch, slot);
    return true;
}

}  // namespace zepa
