// Small image files built in memory for the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace zepa::testing {

std::vector<uint8_t> EncodePng(const std::vector<uint32_t>& argb, int width, int height);
std::vector<uint8_t> EncodeBmp(const std::vector<uint32_t>& argb, int width, int height);
// Uncompressed 32-bit TGA, top-left origin.
std::vector<uint8_t> EncodeTga(const std::vector<uint32_t>& argb, int width, int height);

}  // namespace zepa::testing
