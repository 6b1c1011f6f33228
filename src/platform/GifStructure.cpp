#include "platform/GifStructure.h"

#include <cstring>
#include <vector>

namespace zepa {
namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kScreenDescriptorSize = 7;
constexpr size_t kImageDescriptorSize = 9;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

int Little16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

// Bytes of the colour table announced by a packed flags byte (0 when there is none).
size_t ColourTableSize(uint8_t packed) {
    return (packed & 0x80) ? 3u * (2u << (packed & 7)) : 0u;
}

// Reads a run of sub-blocks ended by a zero-length block; false when it runs past the end.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t& at) {
    while (at < size) {
        const size_t length = data[at++];
        if (length == 0) return true;
        if (length > size - at) return false;
        at += length;
    }
    return false;
}

// Reads the codes of an image's LZW data, least significant bit first.
class CodeReader {
  public:
    explicit CodeReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    // False at the end of the data.
    bool Read(int width, int& code) {
        if (bit_ + static_cast<size_t>(width) > bytes_.size() * 8) return false;
        code = 0;
        for (int i = 0; i < width; ++i, ++bit_) code |= ((bytes_[bit_ / 8] >> (bit_ % 8)) & 1) << i;
        return true;
    }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t bit_ = 0;
};

// Whether an image's LZW codes are well formed up to its last pixel: the first code after a clear
// is a colour, every later one names an entry that exists or the one being made, and the table
// stays within 4096 entries. What follows the last pixel is not read (encoders differ in the width
// of the end code). The decoder library trusts its input here, and malformed codes make it read
// outside its tables.
bool LzwCodesSound(const std::vector<uint8_t>& bytes, int minimumCodeSize, uint64_t pixels) {
    constexpr int kMaxCodes = 4096;
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    int width = minimumCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::vector<uint32_t> length(kMaxCodes, 1);  // pixels each entry stands for
    uint64_t decoded = 0;
    CodeReader reader(bytes);
    int code = 0;
    while (decoded < pixels && reader.Read(width, code)) {
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) return true;
        if (previous < 0) {
            if (code > clear) return false;
            previous = code;
            ++decoded;
            continue;
        }
        if (code > next || code >= kMaxCodes) return false;
        decoded += code < next ? length[code] : length[previous] + 1;
        if (next < kMaxCodes) {
            length[next++] = length[previous] + 1;
            if (next == (1 << width) && width < 12) ++width;
        }
        previous = code;
    }
    return true;
}

// Gathers a run of sub-blocks ended by a zero-length block; false when it runs past the end.
bool ReadSubBlocks(const uint8_t* data, size_t size, size_t& at, std::vector<uint8_t>& out) {
    while (at < size) {
        const size_t length = data[at++];
        if (length == 0) return true;
        if (length > size - at) return false;
        out.insert(out.end(), data + at, data + at + length);
        at += length;
    }
    return false;
}

struct Screen {
    int width = 0;
    int height = 0;
    bool globalColours = false;
};

bool ImageValid(const uint8_t* data, size_t size, size_t& at, const Screen& screen) {
    if (size - at < kImageDescriptorSize) return false;
    const int left = Little16(data + at);
    const int top = Little16(data + at + 2);
    const int width = Little16(data + at + 4);
    const int height = Little16(data + at + 6);
    const uint8_t packed = data[at + 8];
    at += kImageDescriptorSize;
    if (width == 0 || height == 0 || left + width > screen.width || top + height > screen.height)
        return false;
    const size_t localColours = ColourTableSize(packed);
    if (localColours == 0 && !screen.globalColours) return false;
    if (localColours > size - at) return false;
    at += localColours;
    if (at >= size) return false;
    const uint8_t codeSize = data[at++];
    if (codeSize < 2 || codeSize > 8) return false;
    std::vector<uint8_t> codes;
    return ReadSubBlocks(data, size, at, codes) &&
           LzwCodesSound(codes, codeSize, static_cast<uint64_t>(width) * height);
}

}  // namespace

bool IsGif(const uint8_t* data, size_t size) {
    return data && size >= kHeaderSize &&
           (std::memcmp(data, "GIF87a", kHeaderSize) == 0 || std::memcmp(data, "GIF89a", kHeaderSize) == 0);
}

bool GifStructureValid(const uint8_t* data, size_t size, int maxSide) {
    if (!IsGif(data, size) || size < kHeaderSize + kScreenDescriptorSize) return false;
    const uint8_t* descriptor = data + kHeaderSize;
    Screen screen{Little16(descriptor), Little16(descriptor + 2), (descriptor[4] & 0x80) != 0};
    if (screen.width == 0 || screen.height == 0 || screen.width > maxSide || screen.height > maxSide)
        return false;
    size_t at = kHeaderSize + kScreenDescriptorSize;
    const size_t globalColours = ColourTableSize(descriptor[4]);
    if (globalColours > size - at) return false;
    at += globalColours;
    int images = 0;
    while (at < size) {
        const uint8_t introducer = data[at++];
        if (introducer == kTrailer) return images > 0;
        if (introducer == kExtension) {
            if (at >= size) return false;
            ++at;  // the extension's label
            if (!SkipSubBlocks(data, size, at)) return false;
        } else if (introducer == kImage) {
            if (!ImageValid(data, size, at, screen)) return false;
            ++images;
        } else {
            return false;
        }
    }
    return false;  // no trailer
}

}  // namespace zepa
