// What every window draws, types and sounds with, owned by the game object and handed to each
// window when it is made: the texture store that holds the skin, the glyph source, the sound
// channels for the selection sounds and the player's message speed.
#pragma once

#include <string>

#include "windows/MessageTyping.h"

namespace zepa {

class CAudioChannels;
class CTextureStore;
class IGlyphSource;

struct WindowEnvironment {
    WindowEnvironment(CTextureStore* textures, IGlyphSource& glyphs, CAudioChannels* audio)
        : textures(textures), glyphs(glyphs), audio(audio) {}

    // Loads the skin image when the store does not hold it yet, and draws every frame with it.
    // The skin is looked up by name at each draw, so a released texture is never drawn.
    void LoadSkin(const std::string& file);

    CTextureStore* textures;  // null: no skin, cursor or arrows are drawn
    IGlyphSource& glyphs;
    CAudioChannels* audio;                    // null: the windows are silent
    std::string skinFile;                     // empty until a skin is loaded
    int messageSpeed = kDefaultMessageSpeed;  // characters typed per frame; below 1 acts as 1
};

}  // namespace zepa
