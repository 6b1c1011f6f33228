// A sound sink that keeps everything a decoder hands it, for the decoder tests.
#pragma once

#include <vector>

#include "platform/web/SoundSink.h"

namespace zepa::test {

struct CollectingSink : ISoundSink {
    void Begin(int sampleRate, int channelCount) override {
        rate = sampleRate;
        channels = channelCount;
        ++begun;
    }
    void Append(std::span<const float> piece) override {
        samples.insert(samples.end(), piece.begin(), piece.end());
    }
    int rate = 0;
    int channels = 0;
    int begun = 0;
    std::vector<float> samples;
};

}  // namespace zepa::test
