// The work that reading and decoding game files causes, in units of about one byte read or one
// pixel made. The texture store adds what it reads and decodes; the script runner charges each
// statement by the work it caused, so that a loop of expensive statements spreads over frames.
#pragma once

#include <cstdint>

namespace zepa {

class CWorkMeter {
  public:
    void Add(uint64_t units) { units_ += units; }
    uint64_t units() const { return units_; }

  private:
    uint64_t units_ = 0;
};

}  // namespace zepa
