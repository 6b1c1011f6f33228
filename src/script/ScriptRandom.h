// The scripts' random generator: the classic linear congruential "rand" with values 0..32767, so
// a seed gives the same sequence on every machine (replays and tests depend on it).
#pragma once

#include <cstdint>

namespace zepa {

class CScriptRandom {
  public:
    static constexpr int kMax = 32767;

    void Seed(uint32_t seed) { state_ = seed; }
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

  private:
    uint32_t state_ = 1;  // an unseeded generator behaves as if seeded with 1
};

}  // namespace zepa
