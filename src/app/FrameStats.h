// The author's frame statistics (--stats FILE): one CSV line per frame with its update, draw and
// present times and whether it came late, and a summary on stderr when the run ends.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/DebugOverlay.h"

namespace zepa {

class CFrameStats {
  public:
    // Frames kept for the summary; a longer run summarises its first this many.
    static constexpr size_t kMaxSummarisedFrames = 1 << 22;

    // Opens (truncates) `path`; `open()` tells whether that worked.
    explicit CFrameStats(const std::string& path);
    ~CFrameStats();
    CFrameStats(const CFrameStats&) = delete;
    CFrameStats& operator=(const CFrameStats&) = delete;

    bool open() const { return file_ != nullptr; }
    // `late`: a windowed frame whose draw the pacing skipped because it was due already.
    void Record(long long frame, const FrameTimes& times, bool late);
    // "zepa: N frames; update + draw: median X ms, 99th percentile Y ms, maximum Z ms; L late".
    std::string Summary() const;
    // False when a line could not be written.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
    bool writeFailed_ = false;
    std::vector<float> workMs_;  // update + draw of each frame
    long long frames_ = 0;
    long long lateFrames_ = 0;
};

}  // namespace zepa
