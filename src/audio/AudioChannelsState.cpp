// What the state dump shows of the sound channels.
#include <nlohmann/json.hpp>

#include "audio/AudioChannels.h"
#include "platform/Cp932.h"

namespace zepa {

nlohmann::json CAudioChannels::DescribeState() const {
    nlohmann::json dump;
    dump["bgm"] = Cp932ToJsonText(bgmName());
    dump["bgs"] = Cp932ToJsonText(bgsName());
    dump["volumes"] = {{"bgm", bgmVolume()}, {"bgs", bgsVolume()}, {"se", seVolume()}};
    dump["playing"] = {{"bgm", BgmPlaying()}, {"bgs", BgsPlaying()}, {"se", SePlayingCount()}};
    dump["silent"] = silent();
    dump["driver"] = driverName();
    return dump;
}

}  // namespace zepa
