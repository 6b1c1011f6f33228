// What stays on stage across scene changes, owned by the game object.
#pragma once

#include "audio/AudioChannels.h"
#include "stage/BackGround.h"
#include "stage/CharaGraphics.h"

namespace zepa {

struct StageRecord {
    CBackGround background;
    CCharaGraphics characters;
    CAudioChannels audio;
};

// The process-wide stage record, published by the game object at start-up (null before and
// after its life).
StageRecord* Stage();
void PublishStage(StageRecord* stage);

}  // namespace zepa
