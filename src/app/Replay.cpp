#include "app/Replay.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>
#include <utility>

#include "platform/VirtualKeys.h"

namespace zepa {
namespace {

using Kind = PlatformEvent::Kind;

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream stream{std::string(line)};
    std::string word;
    while (stream >> word) words.push_back(word);
    return words;
}

template <typename Int>
std::optional<Int> ParseInt(const std::string& text) {
    Int value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<bool> ParseDownUp(const std::string& word) {
    if (word == "down") return true;
    if (word == "up") return false;
    return std::nullopt;
}

std::optional<int> ParseMouseButton(const std::string& word) {
    if (word == "left") return 0;
    if (word == "right") return 1;
    if (word == "middle") return 2;
    return std::nullopt;
}

PlatformEvent MakeEvent(Kind kind) {
    PlatformEvent event;
    event.kind = kind;
    return event;
}

// One input verb: its words (the frame and the verb included), the usage shown when a line has
// another count, and the parser of the rest, which adds one or two events and returns an error
// text (empty when the line is good).
using Words = std::vector<std::string>;
using AddEvent = std::function<void(long long frame, const PlatformEvent& event)>;
struct ReplayVerb {
    std::string_view name;
    size_t words;
    std::string_view usage;
    std::string (*parse)(const Words& w, long long frame, const AddEvent& add);
};

std::string KeyEvents(int code, std::optional<bool> down, long long frame, const AddEvent& add) {
    PlatformEvent press = MakeEvent(Kind::KeyDown);
    press.key = code;
    PlatformEvent release = MakeEvent(Kind::KeyUp);
    release.key = code;
    if (!down) {  // a press: down in this frame, up in the next
        add(frame, press);
        add(frame + 1, release);
    } else {
        add(frame, *down ? press : release);
    }
    return "";
}

std::string ParseKey(const Words& w, long long frame, const AddEvent& add) {
    auto code = vk::KeyFromName(w[2]);
    if (!code) return "unknown key name '" + w[2] + "'";
    auto isDown = ParseDownUp(w[3]);
    if (!isDown) return "expected down or up, got '" + w[3] + "'";
    return KeyEvents(*code, isDown, frame, add);
}

std::string ParsePress(const Words& w, long long frame, const AddEvent& add) {
    auto code = vk::KeyFromName(w[2]);
    if (!code) return "unknown key name '" + w[2] + "'";
    return KeyEvents(*code, std::nullopt, frame, add);
}

std::string ParseMouse(const Words& w, long long frame, const AddEvent& add) {
    auto x = ParseInt<int>(w[2]);
    auto y = ParseInt<int>(w[3]);
    if (!x || !y) return "mouse position must be two integers";
    PlatformEvent move = MakeEvent(Kind::MouseMove);
    move.x = *x;
    move.y = *y;
    add(frame, move);
    return "";
}

std::string ParseClick(const Words& w, long long frame, const AddEvent& add) {
    auto button = ParseMouseButton(w[2]);
    if (!button) return "expected left, right or middle, got '" + w[2] + "'";
    PlatformEvent event = MakeEvent(Kind::MouseButton);
    event.button = *button;
    event.down = true;
    add(frame, event);
    event.down = false;
    add(frame + 1, event);
    return "";
}

std::string ParseMouseButtonLine(const Words& w, long long frame, const AddEvent& add) {
    auto button = ParseMouseButton(w[2]);
    if (!button) return "expected left, right or middle, got '" + w[2] + "'";
    auto isDown = ParseDownUp(w[3]);
    if (!isDown) return "expected down or up, got '" + w[3] + "'";
    PlatformEvent event = MakeEvent(Kind::MouseButton);
    event.button = *button;
    event.down = *isDown;
    add(frame, event);
    return "";
}

std::string ParseWheel(const Words& w, long long frame, const AddEvent& add) {
    if (w[2] != "up" && w[2] != "down") return "expected up or down, got '" + w[2] + "'";
    PlatformEvent event = MakeEvent(Kind::MouseWheel);
    event.value = w[2] == "up" ? 1 : -1;
    add(frame, event);
    return "";
}

std::string ParseJoyButton(const Words& w, long long frame, const AddEvent& add) {
    auto index = ParseInt<int>(w[3]);
    if (!index || *index < 0 || *index > 127) return "joystick button must be 0..127";
    auto isDown = ParseDownUp(w[4]);
    if (!isDown) return "expected down or up, got '" + w[4] + "'";
    PlatformEvent event = MakeEvent(Kind::JoyButton);
    event.button = *index;
    event.down = *isDown;
    add(frame, event);
    return "";
}

std::string ParseJoyAxis(const Words& w, long long frame, const AddEvent& add) {
    if (w[3] != "x" && w[3] != "y") return "expected axis x or y, got '" + w[3] + "'";
    auto value = ParseInt<int>(w[4]);
    if (!value || *value < -1000 || *value > 1000) return "axis value must be -1000..1000";
    PlatformEvent event = MakeEvent(Kind::JoyAxis);
    event.axis = w[3] == "x" ? 0 : 1;
    event.value = *value;
    add(frame, event);
    return "";
}

std::string ParseJoy(const Words& w, long long frame, const AddEvent& add) {
    if (w[2] == "button") return ParseJoyButton(w, frame, add);
    if (w[2] == "axis") return ParseJoyAxis(w, frame, add);
    return "expected 'button' or 'axis' after 'joy', got '" + w[2] + "'";
}

// The hat's directions by name, in the order a recording writes them.
constexpr std::pair<std::string_view, int> kHatDirections[] = {
    {"up", kHatUp}, {"down", kHatDown}, {"left", kHatLeft}, {"right", kHatRight}};

// "centered", or directions joined by '+' ("up+left" for a diagonal).
std::optional<int> ParseHatDirections(const std::string& word) {
    if (word == "centered") return 0;
    int directions = 0;
    size_t start = 0;
    while (start <= word.size()) {
        size_t end = word.find('+', start);
        if (end == std::string::npos) end = word.size();
        const std::string_view name = std::string_view(word).substr(start, end - start);
        const auto* found = std::find_if(std::begin(kHatDirections), std::end(kHatDirections),
                                         [&](const auto& direction) { return direction.first == name; });
        if (found == std::end(kHatDirections)) return std::nullopt;
        directions |= found->second;
        start = end + 1;
    }
    return directions;
}

std::string FormatHatDirections(int directions) {
    std::string text;
    for (const auto& [name, bit] : kHatDirections) {
        if ((directions & bit) == 0) continue;
        if (!text.empty()) text += '+';
        text += name;
    }
    return text.empty() ? "centered" : text;
}

std::string ParseJoyHat(const Words& w, long long frame, const AddEvent& add) {
    if (w[2] != "hat") return "expected 'hat' after 'joy', got '" + w[2] + "'";
    auto directions = ParseHatDirections(w[3]);
    if (!directions) return "expected up, down, left, right (joined by '+') or centered, got '" + w[3] + "'";
    PlatformEvent event = MakeEvent(Kind::JoyHat);
    event.value = *directions;
    add(frame, event);
    return "";
}

std::string ParseFocus(const Words& w, long long frame, const AddEvent& add) {
    if (w[2] != "on" && w[2] != "off") return "expected 'F focus on|off'";
    add(frame, MakeEvent(w[2] == "on" ? Kind::FocusGained : Kind::FocusLost));
    return "";
}

std::string ParseQuit(const Words&, long long frame, const AddEvent& add) {
    add(frame, MakeEvent(Kind::Quit));
    return "";
}

constexpr std::string_view kJoyUsage =
    "expected 'F joy button N down|up', 'F joy axis x|y V' or 'F joy hat up|down|left|right|centered'";

// A verb may have forms of several lengths, one entry each.
constexpr ReplayVerb kVerbs[] = {
    {"key", 4, "expected 'F key NAME down|up'", ParseKey},
    {"press", 3, "expected 'F press NAME'", ParsePress},
    {"mouse", 4, "expected 'F mouse X Y'", ParseMouse},
    {"click", 3, "expected 'F click left|right|middle'", ParseClick},
    {"mousebutton", 4, "expected 'F mousebutton left|right|middle down|up'", ParseMouseButtonLine},
    {"wheel", 3, "expected 'F wheel up|down'", ParseWheel},
    {"joy", 5, kJoyUsage, ParseJoy},
    {"joy", 4, kJoyUsage, ParseJoyHat},
    {"focus", 3, "expected 'F focus on|off'", ParseFocus},
    {"quit", 2, "expected 'F quit'", ParseQuit},
};

// Parses the words after the frame number into one or two events; returns an error text.
std::string ParseAction(const Words& w, long long frame, std::vector<ReplayEvent>& out) {
    const std::string& verb = w[1];
    std::string_view usage;
    for (const ReplayVerb& entry : kVerbs) {
        if (verb != entry.name) continue;
        usage = entry.usage;
        if (w.size() != entry.words) continue;
        return entry.parse(w, frame, [&out](long long f, const PlatformEvent& e) { out.push_back({f, e}); });
    }
    if (!usage.empty()) return std::string(usage);
    return "unknown event '" + verb + "'";
}

// The set-up lines; returns an error text.
std::string ParseSetup(const std::vector<std::string>& w, ReplayParseResult& result) {
    if (w[0] == "seed") {
        auto seed = w.size() == 2 ? ParseInt<unsigned>(w[1]) : std::nullopt;
        if (!seed) return "expected 'seed N'";
        result.seed = *seed;
        return "";
    }
    auto width = w.size() == 3 ? ParseInt<int>(w[1]) : std::nullopt;
    auto height = w.size() == 3 ? ParseInt<int>(w[2]) : std::nullopt;
    if (!width || !height || *width < 1 || *height < 1 || *width > 16384 || *height > 16384)
        return "expected 'client W H' with sizes 1..16384";
    result.client = ReplayClientSize{*width, *height};
    return "";
}

}  // namespace

ReplayParseResult ParseReplay(std::string_view text) {
    ReplayParseResult result;
    size_t lineNumber = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        std::vector<std::string> words = SplitWords(line);
        if (words.empty()) continue;
        std::string error;
        auto frame = ParseInt<long long>(words[0]);
        if (words[0] == "seed" || words[0] == "client") {
            error = ParseSetup(words, result);
        } else if (!frame || *frame < 1) {
            error = "expected a frame number (1 or more) first, got '" + words[0] + "'";
        } else if (words.size() < 2) {
            error = "missing event after the frame number";
        } else {
            error = ParseAction(words, *frame, result.events);
        }
        if (!error.empty()) {
            result.ok = false;
            result.error = "line " + std::to_string(lineNumber) + ": " + error;
            result.events.clear();
            return result;
        }
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const ReplayEvent& a, const ReplayEvent& b) { return a.frame < b.frame; });
    return result;
}

std::string FormatReplayEvent(long long frame, const PlatformEvent& event) {
    const std::string f = std::to_string(frame) + " ";
    auto downUp = [](bool down) { return down ? "down" : "up"; };
    auto leftRight = [](int button) { return button == 0 ? "left" : button == 1 ? "right" : "middle"; };
    // Alt+Enter only toggles fullscreen, which changes nothing in the game; written without its
    // Alt it would replay as a press of the OK key.
    if (event.kind == Kind::KeyDown && event.alt && event.key == vk::kReturn) return "";
    switch (event.kind) {
        case Kind::KeyDown:
        case Kind::KeyUp:
            return f + "key " + vk::NameOfKey(event.key) + " " + downUp(event.kind == Kind::KeyDown);
        case Kind::MouseMove:
            return f + "mouse " + std::to_string(event.x) + " " + std::to_string(event.y);
        case Kind::MouseButton:
            return f + "mousebutton " + leftRight(event.button) + " " + downUp(event.down);
        case Kind::MouseWheel: {
            // One line a notch.
            std::string lines;
            const int notches = std::min(std::abs(event.value), 100);
            for (int i = 0; i < notches; ++i)
                lines += (i ? "\n" : "") + f + (event.value > 0 ? "wheel up" : "wheel down");
            return lines;
        }
        case Kind::JoyButton:
            return f + "joy button " + std::to_string(event.button) + " " + downUp(event.down);
        case Kind::JoyAxis:
            return f + "joy axis " + (event.axis == 0 ? "x " : "y ") + std::to_string(event.value);
        case Kind::JoyHat:
            return f + "joy hat " + FormatHatDirections(event.value);
        case Kind::FocusGained:
            return f + "focus on";
        case Kind::FocusLost:
            return f + "focus off";
        case Kind::Quit:
            return f + "quit";
        default:
            return "";
    }
}

CReplayRecorder::CReplayRecorder(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {
    if (file_)
        std::fputs("# zepa replay: one event a line, applied before the input fold of its frame\n", file_);
}

CReplayRecorder::~CReplayRecorder() {
    if (file_) std::fclose(file_);
}

void CReplayRecorder::RecordStart(unsigned seed, ReplayClientSize client, bool focused) {
    if (!file_) return;
    std::fprintf(file_, "seed %u\nclient %d %d\n", seed, client.width, client.height);
    if (!focused) std::fputs("1 focus off\n", file_);
    std::fflush(file_);
}

void CReplayRecorder::Record(long long frame, const PlatformEvent& event) {
    if (!file_) return;
    // A joystick that goes away leaves its stick and hat centred; the replay has no such event, so the
    // centring is written as stick positions.
    if (event.kind == Kind::JoyRemoved) {
        std::fprintf(file_, "%lld joy axis x 0\n%lld joy axis y 0\n%lld joy hat centered\n", frame, frame,
                     frame);
        std::fflush(file_);
        return;
    }
    std::string line = FormatReplayEvent(frame, event);
    if (line.empty()) return;
    line += '\n';
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

}  // namespace zepa
