#include "windows/MessageTyping.h"

#include "platform/Cp932.h"

namespace zepa {
namespace {

constexpr int kInvalidByte = 0xFF;

}  // namespace

TypingStep GatherTypingStep(int first, CPendingText& pending, int charactersPerFrame) {
    TypingStep step;
    if (charactersPerFrame < 1) charactersPerFrame = 1;
    int byte = first;
    int count = 0;
    for (;;) {
        if (byte == kInvalidByte) {
            step.text.clear();
            return step;
        }
        step.text.push_back(static_cast<char>(byte));
        if (IsCp932LeadByte(static_cast<uint8_t>(byte))) {
            const int trail = pending.Read();
            if (trail < 0) {
                step.text.pop_back();
                step.streamEnded = true;
                return step;
            }
            step.text.push_back(static_cast<char>(trail));
        }
        if (++count >= charactersPerFrame) return step;
        byte = pending.Read();
        if (byte < 0) {
            step.streamEnded = true;
            return step;
        }
    }
}

}  // namespace zepa
