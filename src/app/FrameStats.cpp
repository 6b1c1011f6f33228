#include "app/FrameStats.h"

#include <algorithm>

#include "platform/Log.h"

namespace zepa {

CFrameStats::CFrameStats(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {
    if (file_ && std::fputs("frame,update_ms,draw_ms,present_ms,late\n", file_) < 0) writeFailed_ = true;
}

CFrameStats::~CFrameStats() {
    Close();
}

void CFrameStats::Record(long long frame, const FrameTimes& times, bool late) {
    ++frames_;
    if (late) ++lateFrames_;
    if (workMs_.size() < kMaxSummarisedFrames)
        workMs_.push_back(static_cast<float>(times.updateMs + times.drawMs));
    if (file_ && std::fprintf(file_, "%lld,%.3f,%.3f,%.3f,%d\n", frame, times.updateMs, times.drawMs,
                              times.presentMs, late ? 1 : 0) < 0)
        writeFailed_ = true;
}

std::string CFrameStats::Summary() const {
    if (workMs_.empty()) return "zepa: no frames ran";
    std::vector<float> sorted = workMs_;
    std::sort(sorted.begin(), sorted.end());
    auto at = [&](double fraction) {
        const auto index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
        return static_cast<double>(sorted[index]);
    };
    return FormatLine(
        "zepa: %lld frames; update + draw: median %.2f ms, 99th percentile %.2f ms, maximum %.2f ms; "
        "%lld late",
        frames_, at(0.5), at(0.99), static_cast<double>(sorted.back()), lateFrames_);
}

bool CFrameStats::Close() {
    if (!file_) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !writeFailed_;
}

}  // namespace zepa
