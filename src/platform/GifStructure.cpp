#include "platform/GifStructure.h"

#include <cstring>

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
    return SkipSubBlocks(data, size, at);
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
