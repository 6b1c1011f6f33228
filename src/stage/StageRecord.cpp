#include "stage/StageRecord.h"

namespace zepa {
namespace {
StageRecord* g_stage = nullptr;
}  // namespace

StageRecord* Stage() {
    return g_stage;
}

void PublishStage(StageRecord* stage) {
    g_stage = stage;
}

}  // namespace zepa
