// Music and ambience in the browser, played while they decode: the clip holds the file and its
// decoder (CSoundStream) and, once a frame (CWebStreams::Pump, from the device's Poll), hands the
// page the next piece it asks for, so the page stays a few seconds ahead of what it plays. Loading
// decodes only the first half second; no frame decodes more than a bounded slice.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"
#include "platform/web/SoundStream.h"
#include "platform/web/VoiceTable.h"

namespace zepa {

class CWebStreamClip;

// The streaming clips alive now, for the device to feed once a frame. Clips add and remove
// themselves; the device and its clips share it, so either may go first.
class CWebStreams {
  public:
    void Add(CWebStreamClip* clip) { clips_.push_back(clip); }
    void Remove(CWebStreamClip* clip);
    // Feeds each clip that plays; `elapsedMs` since the last call sizes the slice.
    void Pump(double elapsedMs);

  private:
    std::vector<CWebStreamClip*> clips_;
};

class CWebStreamClip : public IAudioClip {
  public:
    CWebStreamClip(std::shared_ptr<CVoiceTable> voices, std::shared_ptr<CWebStreams> streams,
                   std::unique_ptr<CSoundStream> stream, const std::string& name, ClipUse use);
    ~CWebStreamClip() override;
    bool Play(bool loopForever) override;
    void Stop() override;
    bool IsPlaying() const override;
    void SetVolume(int volume) override;
    // Hands the page what it asks for while this clip holds its voice, at most `seconds` of it.
    void Pump(double seconds);

  private:
    void Feed(size_t frames);

    std::shared_ptr<CVoiceTable> voices_;
    std::shared_ptr<CWebStreams> streams_;
    std::unique_ptr<CSoundStream> stream_;
    int pageClip_;
    ClipUse use_;
    double lengthMs_;
    CVoiceTable::Start start_;
    int volume_ = kMaxClipVolume;
    bool fresh_ = true;  // the page still holds the start decoded at load, unplayed
    bool endSent_ = false;
};

}  // namespace zepa
