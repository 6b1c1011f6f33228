// Images decoded ahead of the script on a worker thread. While a script waits, the statements it
// will run next name the images they load; each is read and decoded here, so that the statement
// finds its texture ready instead of decoding it on the frame that shows it. The texture store
// takes a finished image only when it was made from the same file (name, conversion, file stamp)
// it would read itself, so what is shown never depends on whether the read-ahead won the race.
// What one look asked for is of use until the next look: by then the statements it looked at have
// run (or a branch passed them by), so whatever they did not take is dropped.
//
// Only this class touches the worker; every public function runs on the engine's thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gfx/Texture.h"
#include "platform/ResidentMemory.h"
#include "resources/ReleasedTextures.h"

namespace zepa {

class CPackArchive;

// An image a statement will load: its resource name and how it is converted.
struct ImageRequest {
    std::string name;
    uint32_t format = 0;
    uint32_t colorKey = 0;
    bool operator==(const ImageRequest&) const = default;
};

class CImageReadAhead {
  public:
    // Decoded images waiting to be taken, in bytes of texture memory.
    static constexpr uint64_t kMaxBytes = uint64_t{64} << 20;
    // Requests waiting for the worker; more are ignored (they decode on the spot when run).
    static constexpr size_t kMaxQueued = 64;

    // Images are read loose first, then from `archive` (may be null), as the store reads them.
    explicit CImageReadAhead(const CPackArchive* archive) : archive_(archive) {}
    ~CImageReadAhead();
    CImageReadAhead(const CImageReadAhead&) = delete;
    CImageReadAhead& operator=(const CImageReadAhead&) = delete;

    // Starts a new look: what earlier looks asked for and no load took is dropped.
    void BeginLook();
    // Queues `request` for the current look unless it is queued, being decoded or decoded already.
    // The worker starts with the first request.
    void Request(const ImageRequest& request);

    // A decoded image and the work its reading and decoding took (bytes read plus pixels made),
    // which the caller charges as if it had done that work itself.
    struct Decoded {
        std::unique_ptr<CTexture> texture;
        uint64_t work = 0;
    };
    // The image decoded for `key`, taken out. When the worker is decoding that request now, waits
    // for it; a request still queued is dropped (the caller decodes it). Null texture: none.
    Decoded Take(const ImageKey& key);

    // The pixels of every decoded image.
    void AppendDecodedMemory(std::vector<MemoryRange>& ranges) const;

    // Drops every queued request and decoded image and waits for the worker to be idle: the
    // archive or the files are about to change under it.
    void DropAll();

    // What is held now (for tests and statistics).
    size_t decodedCount() const;
    // Requests queued or being decoded.
    size_t pendingCount() const;
    uint64_t decodedBytes() const;
    uint64_t hits() const { return hits_; }

  private:
    struct Queued {
        ImageRequest request;
        uint64_t look = 0;
    };
    struct Entry {
        ImageKey key;
        Decoded decoded;
        uint64_t look = 0;
    };
    static uint64_t BytesOf(const CTexture& texture);
    bool StartWorker();
    void Run();
    Entry DecodeOnWorker(const ImageRequest& request);
    bool Holds(const ImageRequest& request) const;  // mutex held
    void Keep(Entry entry);                         // mutex held

    const CPackArchive* archive_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // a request came, or the worker is asked to stop
    std::condition_variable idle_;  // the running request ended
    std::deque<Queued> queue_;
    std::optional<Queued> running_;
    uint64_t look_ = 0;
    std::vector<Entry> decoded_;
    uint64_t decodedBytes_ = 0;
    uint64_t hits_ = 0;
    bool stopping_ = false;
    bool noWorker_ = false;
    std::thread worker_;
};

}  // namespace zepa
