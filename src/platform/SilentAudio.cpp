#include <algorithm>

#include "platform/Audio.h"
#include "platform/FileSystem.h"

namespace zepa {
namespace {

// Looping clips count as sounding until stopped; a one-shot has no known length, so it counts as
// finished at once.
class CSilentClip : public IAudioClip {
  public:
    bool Play(bool loopForever) override {
        playing_ = loopForever;
        return true;
    }
    void Stop() override { playing_ = false; }
    bool IsPlaying() const override { return playing_; }
    void SetVolume(int volume) override { volume_ = std::clamp(volume, 0, kMaxClipVolume); }

  private:
    bool playing_ = false;
    int volume_ = kMaxClipVolume;
};

class CSilentAudioDevice : public IAudioDevice {
  public:
    bool Open() override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    std::unique_ptr<IAudioClip> Load(const std::string& path, ClipUse) override {
        if (!IsRegularFile(path)) {
            lastError_ = "no such file";
            return nullptr;
        }
        return std::make_unique<CSilentClip>();
    }
    const std::string& lastError() const override { return lastError_; }
    std::string driverName() const override { return "silent"; }

  private:
    std::string lastError_;
};

}  // namespace

std::unique_ptr<IAudioDevice> CreateSilentAudioDevice() {
    return std::make_unique<CSilentAudioDevice>();
}

}  // namespace zepa
