// Fonts shipped with a game: every "*.ttf" and then every "*.ttc" file in the game's Parts folder
// is made available by family name before the game object starts.
#pragma once

#include <string>

namespace zepa {

class IGlyphSource;

// Registers the fonts of `partsFolder` (extensions compared without case); returns how many were
// registered. A missing folder registers nothing.
int RegisterGameFonts(IGlyphSource& glyphs, const std::string& partsFolder = "Parts");

}  // namespace zepa
