// Replay files: one input event per line, applied before the input fold of its frame.
//   F key NAME down|up        F press NAME (down at F, up at F+1)
//   F mouse X Y               F click left|right|middle (down at F, up at F+1)
//   F mousebutton left|right|middle down|up
//   F wheel up|down           one notch of the mouse wheel
//   F joy button N down|up    F joy axis x|y V
//   F joy hat up|down|left|right|centered (directions may be joined: up+left)
//   F focus on|off            F quit
// and two set-up lines without a frame, which a recording writes first so that its replay starts
// as the recorded run did:
//   seed N                    the Random seed (used unless the command line gives one)
//   client W H                the initial client size (unless the command line gives a scale)
// '#' starts a comment; blank lines are ignored.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace zepa {

struct ReplayEvent {
    long long frame = 0;
    PlatformEvent event;
};

// The client size a recording started with.
struct ReplayClientSize {
    int width = 0;
    int height = 0;
};

struct ReplayParseResult {
    bool ok = true;
    std::vector<ReplayEvent> events;         // sorted by frame, file order kept within a frame
    std::string error;                       // "line N: what is wrong"
    std::optional<unsigned> seed;            // from a "seed N" line
    std::optional<ReplayClientSize> client;  // from a "client W H" line
};

ReplayParseResult ParseReplay(std::string_view text);

// The replay line for one event (without the last line break; a wheel event of several notches
// gives a line per notch); empty for events a replay cannot hold.
std::string FormatReplayEvent(long long frame, const PlatformEvent& event);

// Hands out the events of a parsed replay frame by frame.
class CReplayFeed {
  public:
    explicit CReplayFeed(std::vector<ReplayEvent> events) : events_(std::move(events)) {}
    // Calls `apply` for every event of `frame` (and of earlier frames not yet handed out).
    template <typename Apply>
    void ApplyFrame(long long frame, Apply apply) {
        while (next_ < events_.size() && events_[next_].frame <= frame) apply(events_[next_++].event);
    }
    bool Finished() const { return next_ >= events_.size(); }

  private:
    std::vector<ReplayEvent> events_;
    size_t next_ = 0;
};

// Writes the player's input as a replay file while a windowed run goes on.
class CReplayRecorder {
  public:
    explicit CReplayRecorder(const std::string& path);
    ~CReplayRecorder();
    CReplayRecorder(const CReplayRecorder&) = delete;
    CReplayRecorder& operator=(const CReplayRecorder&) = delete;
    bool IsOpen() const { return file_ != nullptr; }
    // Writes the set-up lines and, when the run starts without the focus, a "focus off" for the
    // first frame (a replay starts focused). Call once, before the first event.
    void RecordStart(unsigned seed, ReplayClientSize client, bool focused);
    void Record(long long frame, const PlatformEvent& event);

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace zepa
