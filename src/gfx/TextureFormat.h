// The texture formats that image requests name, with the numeric values the data files and the
// layers use.
#pragma once

#include <cstdint>

namespace zepa {

enum D3DFORMAT : uint32_t {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
};

// Formats without an alpha channel draw every texel opaque. Unknown values keep alpha.
constexpr bool FormatHasAlpha(uint32_t format) {
    return format != D3DFMT_R8G8B8 && format != D3DFMT_X8R8G8B8;
}

}  // namespace zepa
