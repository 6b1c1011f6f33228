// The Sound statement once its words and arguments are read: plays or stops a channel, or shows
// the grammar error box for an unknown sub-command. Results of the play calls are not looked at:
// a missing or unplayable file is silent.
#pragma once

#include <string>
#include <string_view>

namespace zepa {

class CAudioChannels;
class CMessageBoxes;

// The folders the sound statements put before a file name.
inline constexpr std::string_view kMusicFolder = "Music/bgm/";
inline constexpr std::string_view kAmbientFolder = "Music/bgs/";
inline constexpr std::string_view kEffectFolder = "Music/se/";

// `subCommand` is words[1]; `file` is S(0), the file name relative to the channel's folder (only
// BGM, BGS and SE use it). The folder is joined by plain concatenation. With no audio channels
// (null) the known sub-commands do nothing and unknown ones still show the box.
void RunSoundCommand(CAudioChannels* audio, std::string_view subCommand, const std::string& file,
                     CMessageBoxes& boxes);

}  // namespace zepa
