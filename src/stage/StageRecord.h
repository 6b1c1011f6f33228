// What stays on stage across scene changes, owned by the game object: the background, the six
// character slots and the sound channels.
#pragma once

#include "audio/AudioChannels.h"
#include "stage/BackGround.h"
#include "stage/CharaGraphics.h"

namespace zepa {

struct StageRecord {
    // The layers load their images into `textures` (null: none); warnings go to `log`.
    StageRecord(CTextureStore* textures, ILog& log)
        : background(textures), characters(textures), audio(log) {}

    CBackGround background;
    CCharaGraphics characters;
    CAudioChannels audio;
};

}  // namespace zepa
