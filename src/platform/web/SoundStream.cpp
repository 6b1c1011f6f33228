#include "platform/web/SoundStream.h"

#include <algorithm>

namespace zepa {

std::unique_ptr<CSoundStream> CSoundStream::Open(std::vector<uint8_t> bytes, Opener open,
                                                 std::string& error) {
    // The decoder reads the vector's buffer, which moving the vector does not move.
    std::unique_ptr<IPcmSource> source = open(bytes, error);
    if (!source) return nullptr;
    return std::unique_ptr<CSoundStream>(new CSoundStream(std::move(bytes), std::move(source)));
}

CSoundStream::CSoundStream(std::vector<uint8_t> bytes, std::unique_ptr<IPcmSource> source)
    : bytes_(std::move(bytes)),
      source_(std::move(source)),
      piece_(kPieceFrames * static_cast<size_t>(source_->channels())) {}

std::vector<uint8_t> CSoundStream::TakeBytes() {
    source_.reset();
    ended_ = true;
    return std::move(bytes_);
}

void CSoundStream::Restart(bool loop) {
    loop_ = loop;
    position_ = 0;
    ended_ = !Rewind();
}

void CSoundStream::SetLoop(bool loop) {
    loop_ = loop;
    if (loop_ && ended_) ended_ = !Rewind();
}

void CSoundStream::SkipTo(uint64_t frame) {
    if (frame == fileFrame_ || ended_) return;
    ended_ = !source_->Seek(frame);
    fileFrame_ = frame;
    position_ = frame;
    lapHadFrames_ = true;
}

bool CSoundStream::Rewind() {
    fileFrame_ = 0;
    lapHadFrames_ = false;
    return source_->Seek(0);
}

size_t CSoundStream::Feed(size_t maxFrames, ISoundSink& sink) {
    size_t fed = 0;
    while (fed < maxFrames && !ended_) {
        const size_t got = ReadPiece(std::min(kPieceFrames, maxFrames - fed));
        if (got > 0) {
            sink.Append(std::span<const float>(piece_.data(), got * static_cast<size_t>(channels())));
            fed += got;
            continue;
        }
        // The end of the data: a loop that had frames this lap starts the next one.
        ended_ = !loop_ || !lapHadFrames_ || !Rewind();
    }
    return fed;
}

size_t CSoundStream::ReadPiece(size_t frames) {
    const uint64_t stated = source_->statedFrames();
    if (!loop_ && stated > 0) {
        if (fileFrame_ >= stated) return 0;
        frames = static_cast<size_t>(std::min<uint64_t>(frames, stated - fileFrame_));
    }
    const size_t got =
        source_->Read(std::span<float>(piece_.data(), frames * static_cast<size_t>(channels())));
    fileFrame_ += got;
    position_ += got;
    if (got > 0) lapHadFrames_ = true;
    return got;
}

}  // namespace zepa
