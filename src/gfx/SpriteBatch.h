// The compositor: draws textures into the 640 x 480 back buffer. One instance per game object;
// every drawable receives it in Draw.
//
// A draw places the source rectangle (or the whole texture) with its top-left edge at the
// position, scaled by the current transform (a 2-D scale; -1 mirrors), modulated by an ARGB
// colour and alpha-blended. The rectangle is first cut to the texture, the position moving with
// its cut edge. Coverage and sampling follow DrawGeometry.h, arithmetic RowKernels.h. Nothing is
// written outside the back buffer; a null texture or a colour with alpha 0 draws nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/BackBuffer.h"
#include "gfx/DrawGeometry.h"
#include "gfx/Matrix.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"

namespace zepa {

class CSpriteBatch {
  public:
    CBackBuffer& BackBuffer() { return backBuffer_; }
    const CBackBuffer& BackBuffer() const { return backBuffer_; }
    // Opens the frame with the identity transform.
    void Begin();
    void End() { inFrame_ = false; }
    bool InFrame() const { return inFrame_; }

    // Only the scale of the matrix is used (m[0][0] and m[1][1]).
    void SetTransform(const Matrix4x4& transform);
    const Matrix4x4& GetTransform() const { return transform_; }

    // Draws `texture`'s `source` rectangle (null: the whole texture) at `position` (null: the
    // origin) with the modulation colour `color` (0xFFFFFFFF: unchanged).
    void Draw(const CTexture* texture, const Rect* source, const Vector3* position, uint32_t color);

  private:
    // Where the texels of one destination row come from.
    const uint32_t* SourceRow(const CTexture& texture, const AxisSample& row);
    const uint32_t* ColumnsOf(const uint32_t* row);

    CBackBuffer backBuffer_;
    Matrix4x4 transform_;
    bool inFrame_ = false;

    // Per-draw scratch, kept to avoid allocations.
    AxisMap columns_;
    AxisMap rows_;
    int sourceLeft_ = 0;  // texture column of the rectangle's left edge
    int spanFirst_ = 0;   // texels the columns read: [spanFirst_, spanFirst_ + spanCount_)
    int spanCount_ = 0;
    bool columnsContiguous_ = false;
    std::vector<uint32_t> filteredRow_;
    std::vector<uint32_t> gathered_;
    std::vector<uint32_t> gatheredNext_;
    std::vector<uint32_t> lerped_;
    std::vector<uint8_t> columnWeights_;
};

}  // namespace zepa
