// How many pixels the pictures a game makes may hold together: the images the texture store
// loads, text pictures and the text canvases drawn for them. A script can ask for any number of
// large pictures; past the budget a new one is refused as a missing file is, with a warning, so
// that memory stays bounded and the engine goes on.
#pragma once

#include <cstdint>
#include <string>

namespace zepa {

class ILog;

class CPixelBudget {
  public:
    // 256 M pixels: 1 GB at four bytes a pixel.
    static constexpr uint64_t kDefaultPixels = uint64_t{1} << 28;

    explicit CPixelBudget(ILog& log, uint64_t pixels = kDefaultPixels) : log_(log), limit_(pixels) {}

    // Takes `pixels` from the budget; false (with a warning naming `what`) when they do not fit.
    bool Reserve(uint64_t pixels, const std::string& what);
    void Release(uint64_t pixels) { used_ -= pixels < used_ ? pixels : used_; }
    uint64_t used() const { return used_; }
    uint64_t limit() const { return limit_; }

  private:
    ILog& log_;
    uint64_t limit_;
    uint64_t used_ = 0;
};

}  // namespace zepa
