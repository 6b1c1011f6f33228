// What the state dump shows of the stage layers and the picture set.
#include <nlohmann/json.hpp>

#include "platform/Cp932.h"
#include "stage/BackGround.h"
#include "stage/CharaGraphics.h"
#include "stage/PictureSet.h"

namespace zepa {

nlohmann::json CBackGround::DescribeState() const {
    return {{"name", Cp932ToJsonText(name())},
            {"transition", TransitionName(transitionKind())},
            {"shaking", shaking()},
            {"colorTone", ToneColor()}};
}

nlohmann::json CCharaGraphics::DescribeState() const {
    nlohmann::json slots = nlohmann::json::array();
    for (int i = 0; i < kSlotCount; ++i) {
        const Slot& entry = slot(i);
        slots.push_back({{"name", Cp932ToJsonText(entry.current.name)},
                         {"x", entry.position.x},
                         {"y", entry.position.y},
                         {"visible", entry.visible},
                         {"mirrored", entry.mirrored},
                         {"focus", focus() == kNoFocus || focus() == i},
                         {"alpha", entry.current.color >> 24},
                         {"transitioning", entry.kind != kIdle}});
    }
    return slots;
}

nlohmann::json CPictureSet::DescribeState() const {
    nlohmann::json pictures = nlohmann::json::object();
    nlohmann::json textPictures = nlohmann::json::array();
    for (int n = 0; n < kPictureCount; ++n) {
        if (picture(n).texture) pictures[std::to_string(n)] = Cp932ToJsonText(picture(n).fileName);
        if (textPicture(n)) textPictures.push_back(n);
    }
    nlohmann::json sprites = nlohmann::json::object();
    for (int n = 0; n < kSpriteCount; ++n) {
        const SpriteState& entry = sprite(n);
        if (!entry.visible) continue;
        sprites[std::to_string(n)] = {{"x", entry.x},
                                      {"y", entry.y},
                                      {"scale", {entry.scaleX, entry.scaleY}},
                                      {"color", entry.Argb()},
                                      {"shown", entry.source && *entry.source}};
    }
    return {{"pictures", pictures}, {"textPictures", textPictures}, {"sprites", sprites}};
}

}  // namespace zepa
