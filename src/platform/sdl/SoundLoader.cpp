#include "platform/sdl/SoundLoader.h"

#include <SDL2/SDL.h>

namespace zepa {

CLoadJob::~CLoadJob() {
    Free(result_);
}

bool CLoadJob::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

DecodedSound CLoadJob::Take() {
    std::lock_guard lock(mutex_);
    if (!done_) return {};
    DecodedSound taken = std::move(result_);
    result_ = {};
    return taken;
}

void CLoadJob::Cancel() {
    DecodedSound dropped;
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        dropped = std::move(result_);
        result_ = {};
    }
    Free(dropped);
}

void CLoadJob::Run() {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) return;
    }
    DecodedSound sound = Decode(path_, use_);
    std::lock_guard lock(mutex_);
    done_ = true;
    if (cancelled_) {
        Free(sound);
        return;
    }
    result_ = std::move(sound);
}

DecodedSound CLoadJob::Decode(const std::string& path, ClipUse use) {
    DecodedSound sound;
    if (use == ClipUse::Music) {
        sound.music = Mix_LoadMUS(path.c_str());
    } else {
        sound.chunk = CEffectChunkCache::Decode(path);
    }
    // SDL keeps its error text per thread: read it here, on the thread that failed.
    if (!sound.music && !sound.chunk) sound.error = Mix_GetError();
    if (sound.error.empty() && !sound.music && !sound.chunk) sound.error = "cannot decode";
    return sound;
}

void CLoadJob::Free(DecodedSound& sound) {
    if (sound.music) Mix_FreeMusic(sound.music);
    sound.music = nullptr;
    sound.chunk.reset();
}

CSoundLoader::CSoundLoader() : thread_([this] { Work(); }) {}

CSoundLoader::~CSoundLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    thread_.join();
}

std::shared_ptr<CLoadJob> CSoundLoader::Submit(const std::string& path, ClipUse use) {
    auto job = std::make_shared<CLoadJob>(path, use);
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(job);
    }
    wake_.notify_one();
    return job;
}

void CSoundLoader::Work() {
    for (;;) {
        std::shared_ptr<CLoadJob> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) break;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        job->Run();
    }
    // SDL keeps an error buffer per thread; a thread SDL did not start frees it by hand.
    SDL_TLSCleanup();
}

}  // namespace zepa
