#include "platform/sdl/MidiSource.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace zepa {
namespace {

// A MIDI file larger than this is not one a game plays as a sound.
constexpr std::streamsize kMaxMidiFileBytes = 16 << 20;
constexpr size_t kBlockFrames = 1024;

bool ReadWhole(const std::string& path, std::vector<char>& bytes) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    const std::streamsize size = file.tellg();
    if (size <= 0 || size > kMaxMidiFileBytes) return false;
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0);
    return static_cast<bool>(file.read(bytes.data(), size));
}

// One synthesizer and its player; the player advances with the samples rendered, not the clock.
class CMidiSource final : public IPcmSource {
  public:
    CMidiSource(std::vector<char> bytes, PcmFormat format) : bytes_(std::move(bytes)), format_(format) {}
    ~CMidiSource() override {
        if (player_) delete_fluid_player(player_);
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }
    CMidiSource(const CMidiSource&) = delete;
    CMidiSource& operator=(const CMidiSource&) = delete;

    bool Open(const std::string& soundFont) {
        settings_ = new_fluid_settings();
        if (!settings_) return false;
        fluid_settings_setnum(settings_, "synth.sample-rate", format_.rate);
        fluid_settings_setstr(settings_, "player.timing-source", "sample");
        fluid_settings_setint(settings_, "synth.lock-memory", 0);
        synth_ = new_fluid_synth(settings_);
        if (!synth_) return false;
        // Without a soundfont the piece plays silent, as MIDI music does.
        if (!soundFont.empty()) fluid_synth_sfload(synth_, soundFont.c_str(), 1);
        return Rewind();
    }

    size_t Read(int16_t* out, size_t frames) override {
        if (!player_ || fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) return 0;
        size_t done = 0;
        while (done < frames) {
            const size_t block = std::min(frames - done, kBlockFrames);
            RenderBlock(out + done * format_.channels, block);
            done += block;
        }
        return frames;
    }

    bool Rewind() override {
        if (player_) {
            fluid_player_stop(player_);
            delete_fluid_player(player_);
        }
        fluid_synth_system_reset(synth_);
        player_ = new_fluid_player(synth_);
        if (!player_) return false;
        if (fluid_player_add_mem(player_, bytes_.data(), bytes_.size()) != FLUID_OK) return false;
        return fluid_player_play(player_) == FLUID_OK;
    }

  private:
    void RenderBlock(int16_t* out, size_t frames) {
        const int count = static_cast<int>(frames);
        if (format_.channels == 2) {
            fluid_synth_write_s16(synth_, count, out, 0, 2, out, 1, 2);
            return;
        }
        stereo_.resize(frames * 2);
        fluid_synth_write_s16(synth_, count, stereo_.data(), 0, 2, stereo_.data(), 1, 2);
        const int channels = std::max(format_.channels, 1);
        for (size_t i = 0; i < frames; ++i) {
            int16_t* frame = out + i * channels;
            if (channels == 1) {
                frame[0] = static_cast<int16_t>((stereo_[2 * i] + stereo_[2 * i + 1]) / 2);
                continue;
            }
            std::fill(frame, frame + channels, int16_t{0});
            frame[0] = stereo_[2 * i];
            frame[1] = stereo_[2 * i + 1];
        }
    }

    std::vector<char> bytes_;
    PcmFormat format_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    std::vector<int16_t> stereo_;
};

}  // namespace

bool LooksLikeMidi(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    return file.read(magic, 4) && std::memcmp(magic, "MThd", 4) == 0;
}

std::unique_ptr<IPcmSource> OpenMidiSource(const std::string& path, const std::string& soundFont,
                                           PcmFormat format, std::string& error) {
    std::vector<char> bytes;
    if (!ReadWhole(path, bytes)) {
        error = "cannot read the MIDI file (or it is over 16 MB)";
        return nullptr;
    }
    auto source = std::make_unique<CMidiSource>(std::move(bytes), format);
    if (!source->Open(soundFont)) {
        error = "cannot start the MIDI synthesizer";
        return nullptr;
    }
    return source;
}

}  // namespace zepa
