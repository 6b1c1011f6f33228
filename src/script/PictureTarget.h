// The picture set a Sprite or TextPicture statement works on.
#pragma once

#include <optional>

#include "stage/PictureSet.h"

namespace zepa {

// The scene's picture set, or, when there is none (a script run outside the main scene), a scratch
// set without textures that lives as long as this object: the statement still runs its checks on
// it and leaves nothing behind.
class CPictureTarget {
  public:
    CPictureTarget(CPictureSet* scene, IGlyphSource& glyphs) {
        if (!scene) scratch_.emplace(nullptr, glyphs);
        set_ = scene ? scene : &*scratch_;
    }
    CPictureTarget(const CPictureTarget&) = delete;
    CPictureTarget& operator=(const CPictureTarget&) = delete;

    CPictureSet& operator*() const { return *set_; }

  private:
    std::optional<CPictureSet> scratch_;
    CPictureSet* set_ = nullptr;
};

}  // namespace zepa
