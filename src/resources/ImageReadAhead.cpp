#include "resources/ImageReadAhead.h"

#include <algorithm>
#include <system_error>

#include "core/LooseFiles.h"
#include "gfx/ImageLoader.h"
#include "platform/BackgroundThread.h"
#include "platform/FileReader.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "resources/PackArchive.h"
#include "resources/ResourceFiles.h"

namespace zepa {

CImageReadAhead::~CImageReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

uint64_t CImageReadAhead::BytesOf(const CTexture& texture) {
    return uint64_t(texture.textureWidth()) * uint64_t(texture.textureHeight()) * 4;
}

namespace {

bool SameRequest(const ImageKey& key, const ImageRequest& request) {
    return key.name == request.name && key.format == request.format && key.colorKey == request.colorKey;
}

}  // namespace

// A request of an earlier look being decoded does not count: its result is dropped when it ends,
// unless the current look asks for it too.
bool CImageReadAhead::Holds(const ImageRequest& request) const {
    if (running_ && running_->look == look_ && running_->request == request) return true;
    for (const Queued& queued : queue_) {
        if (queued.request == request) return true;
    }
    return std::any_of(decoded_.begin(), decoded_.end(),
                       [&](const Entry& entry) { return SameRequest(entry.key, request); });
}

void CImageReadAhead::BeginLook() {
    std::lock_guard lock(mutex_);
    ++look_;
    queue_.clear();
    decoded_.clear();
    decodedBytes_ = 0;
}

void CImageReadAhead::Request(const ImageRequest& request) {
    {
        std::lock_guard lock(mutex_);
        if (noWorker_ || queue_.size() >= kMaxQueued || Holds(request)) return;
        if (!worker_.joinable() && !StartWorker()) return;
        queue_.push_back(Queued{request, look_});
    }
    wake_.notify_one();
}

bool CImageReadAhead::StartWorker() {
    // Where no thread can be had (a build without threads, a process at its limit), nothing is
    // read ahead and every load decodes on the spot.
    try {
        worker_ = std::thread([this] { Run(); });
        return true;
    } catch (const std::system_error&) {
        noWorker_ = true;
        return false;
    }
}

CImageReadAhead::Decoded CImageReadAhead::Take(const ImageKey& key) {
    const ImageRequest request{key.name, key.format, key.colorKey};
    std::unique_lock lock(mutex_);
    std::erase_if(queue_, [&](const Queued& queued) { return queued.request == request; });
    // Waiting for the decode under way costs less than starting the same decode again.
    idle_.wait(lock, [&] { return !running_ || running_->request != request; });
    auto it = std::find_if(decoded_.begin(), decoded_.end(),
                           [&](const Entry& entry) { return SameRequest(entry.key, request); });
    if (it == decoded_.end()) return {};
    decodedBytes_ -= BytesOf(*it->decoded.texture);
    Decoded found;
    // An image made from another file than the one the caller reads now is of no use.
    if (it->key == key) {
        found = std::move(it->decoded);
        ++hits_;
    }
    decoded_.erase(it);
    return found;
}

void CImageReadAhead::DropAll() {
    std::unique_lock lock(mutex_);
    queue_.clear();
    idle_.wait(lock, [&] { return !running_; });
    decoded_.clear();
    decodedBytes_ = 0;
}

void CImageReadAhead::AppendDecodedMemory(std::vector<MemoryRange>& ranges) const {
    std::lock_guard lock(mutex_);
    for (const Entry& entry : decoded_)
        ranges.push_back({entry.decoded.texture->Texels(), entry.decoded.texture->StoredBytes()});
}

size_t CImageReadAhead::decodedCount() const {
    std::lock_guard lock(mutex_);
    return decoded_.size();
}

size_t CImageReadAhead::pendingCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size() + (running_ ? 1 : 0);
}

uint64_t CImageReadAhead::decodedBytes() const {
    std::lock_guard lock(mutex_);
    return decodedBytes_;
}

// A result of an earlier look is kept only when the current look asked for it too (its request
// then waits in the queue, and is taken out).
void CImageReadAhead::Keep(Entry entry) {
    if (entry.look != look_) {
        const auto again = std::find_if(queue_.begin(), queue_.end(), [&](const Queued& queued) {
            return SameRequest(entry.key, queued.request);
        });
        if (again == queue_.end()) return;
        queue_.erase(again);
        entry.look = look_;
    }
    const uint64_t bytes = BytesOf(*entry.decoded.texture);
    // Past the bound the image is dropped: the statement decodes it when it runs.
    if (decodedBytes_ + bytes > kMaxBytes) return;
    decodedBytes_ += bytes;
    decoded_.push_back(std::move(entry));
}

void CImageReadAhead::Run() {
    LowerThisThreadsPriority();
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        running_ = queue_.front();
        queue_.pop_front();
        const Queued job = *running_;
        lock.unlock();
        Entry entry = DecodeOnWorker(job.request);
        entry.look = job.look;
        lock.lock();
        if (entry.decoded.texture) Keep(std::move(entry));
        running_.reset();
        idle_.notify_all();
    }
}

// The same reads and decodes, in the same order, as the texture store's own load: the loose
// file first, the archive when it is missing or does not decode.
CImageReadAhead::Entry CImageReadAhead::DecodeOnWorker(const ImageRequest& request) {
    CQuietLog quiet;  // the statement itself reports a refused name when it runs
    CLooseFiles files(quiet);
    const std::optional<std::string> loose = FindLooseFile(request.name, files);
    Entry entry{ImageKey{request.name, request.format, request.colorKey,
                         loose ? StampOfFile(*loose) : std::nullopt},
                {},
                0};
    auto decode = [&](const std::vector<uint8_t>& bytes) {
        entry.decoded.texture = CreateTextureFromImage(bytes, request.format, request.colorKey);
        entry.decoded.work += bytes.size();
        if (entry.decoded.texture)
            entry.decoded.work += uint64_t(entry.decoded.texture->width()) * uint64_t(entry.decoded.texture->height());
    };
    std::vector<uint8_t> bytes;
    if (loose && ReadWholeFile(*loose, bytes) == FileReadResult::Ok) decode(bytes);
    if (!entry.decoded.texture) {
        bytes.clear();
        if (archive_ && archive_->ReadEntry(request.name, bytes)) decode(bytes);
    }
    return entry;
}

}  // namespace zepa
