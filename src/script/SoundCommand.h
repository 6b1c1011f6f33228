// The folders the sound statements put before a file name: the Sound statement's channels and the
// selection windows' sound effects. The folder is joined by plain concatenation.
#pragma once

#include <string_view>

namespace zepa {

inline constexpr std::string_view kMusicFolder = "Music/bgm/";
inline constexpr std::string_view kAmbientFolder = "Music/bgs/";
inline constexpr std::string_view kEffectFolder = "Music/se/";

}  // namespace zepa
