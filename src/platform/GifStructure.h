// A strict walk over a GIF file's block structure, run before the file reaches the decoder
// library. The library's GIF reader skips stray bytes, trusts frame sizes and code sizes, and on
// some damaged files frees memory it does not own; a file that passes this walk has nothing of
// the kind left for it to trip over.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zepa {

// True when `data` starts with "GIF87a" or "GIF89a".
bool IsGif(const uint8_t* data, size_t size);

// True when the whole file is well formed: a logical screen of at most maxSide on each side,
// colour tables inside the file, only extension, image and trailer blocks, every image non-empty,
// inside the screen, with a colour table and an LZW code size of 2 to 8, every sub-block chain
// ended inside the file, at least one image, and the trailer.
bool GifStructureValid(const uint8_t* data, size_t size, int maxSide);

}  // namespace zepa
