// What a save point remembers about the stage so that a loaded game can rebuild it: the
// background, the music, the six character slots, the focus, the outermost script file and the
// save point's name. Save files hold it as a fixed block of 2892 bytes (see SaveFile.h); in memory
// the names are plain strings, cut to their field size only when the block is written.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zepa {

struct CharacterSlotRecord {
    static constexpr uint32_t kVisibleBit = 1u << 0;
    static constexpr uint32_t kMirroredBit = 1u << 1;

    std::string imagePath;  // with its folder ("Graphics/Char/..."); empty when the slot is empty
    float x = 0.0f;
    float y = 0.0f;
    uint32_t flags = 0;

    bool visible() const { return (flags & kVisibleBit) != 0; }
    bool mirrored() const { return (flags & kMirroredBit) != 0; }
    void SetFlags(bool visible, bool mirrored) {
        flags = (visible ? kVisibleBit : 0u) | (mirrored ? kMirroredBit : 0u);
    }

    bool operator==(const CharacterSlotRecord&) const = default;
};

struct SavePointRecord {
    static constexpr int kCharacterSlots = 6;
    static constexpr int32_t kNoFocus = 100;

    std::string backgroundPath;
    std::string bgmPath;
    std::string bgsPath;
    std::array<CharacterSlotRecord, kCharacterSlots> characters;
    int32_t focus = 0;
    std::string scriptFile;     // the outermost level's file, as it was loaded
    std::string savePointName;  // empty: the record holds no save point (a new game)

    bool operator==(const SavePointRecord&) const = default;
};

}  // namespace zepa
