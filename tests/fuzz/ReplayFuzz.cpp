// Random bytes as a replay file: parsing never fails unsoundly, every parsed event formats back to
// a line that parses to the same event, and the events drive the window procedure and the input
// fold of a game object frame by frame as a headless run would.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/GameSystem.h"
#include "app/Replay.h"
#include "app/WindowProcedure.h"

namespace {

bool SameEvent(const zepa::PlatformEvent& a, const zepa::PlatformEvent& b) {
    return a.kind == b.kind && a.key == b.key && a.x == b.x && a.y == b.y && a.button == b.button &&
           a.down == b.down && a.axis == b.axis && a.value == b.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static zepa::CGameSystem game;
    const zepa::ReplayParseResult parsed =
        zepa::ParseReplay(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.ok) {
        if (parsed.error.empty()) __builtin_trap();
        return 0;
    }
    long long previousFrame = 0;
    for (const zepa::ReplayEvent& event : parsed.events) {
        if (event.frame < previousFrame) __builtin_trap();  // sorted by frame
        previousFrame = event.frame;
        const std::string line = zepa::FormatReplayEvent(event.frame, event.event);
        if (line.empty()) continue;
        const zepa::ReplayParseResult again = zepa::ParseReplay(line);
        if (!again.ok || again.events.size() != 1 || again.events[0].frame != event.frame ||
            !SameEvent(again.events[0].event, event.event))
            __builtin_trap();
    }

    zepa::CWindowProcedure procedure(game.inputDevices(), game.sceneRequests(), nullptr,
                                     zepa::Rect{0, 0, 1920, 1080}, zepa::Rect{0, 0, 0, 0});
    procedure.SetFocus(true);
    zepa::CReplayFeed feed(parsed.events);
    // Frames far apart are skipped in one step: the feed hands out every earlier event.
    for (long long frame = 1; !feed.Finished() && frame < (1LL << 62);
         frame = frame < 64 ? frame + 1 : frame * 2) {
        feed.ApplyFrame(frame, [&](const zepa::PlatformEvent& e) { procedure.HandleEvent(e); });
        game.UpdateButtons();
        if (procedure.quitRequested()) break;
    }
    for (int key = 0; key < 256; ++key) game.inputDevices().SetKey(key, false);
    return 0;
}
