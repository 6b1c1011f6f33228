// Memory left untouched for a while may be set aside by the system: compressed, swapped out, or
// taken back by the host of a virtual machine. The first frame that reads it again then waits for
// each of its pages: on a cloud machine, reading one byte of each of 300 pages idle for a second
// took 3 to 17 ms, against 0.1 ms for the same pages in use. Reading one byte of a page now and
// then keeps it at hand. The pixels a frame is about to draw (the scene on screen while nothing
// changes, images decoded or kept for the statements ahead) are kept so, a slice at a time: each
// call reads one page in kResidentSlices, so at 60 frames a second each page is read every 67 ms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zepa {

constexpr unsigned kResidentSlices = 4;

// Reads one byte of every kResidentSlices-th page of [data, data + bytes), starting with page
// `slice % kResidentSlices`.
void TouchPageSlice(const void* data, size_t bytes, unsigned slice);

}  // namespace zepa
