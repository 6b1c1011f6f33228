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
#include <unordered_map>
#include <vector>

#include "gfx/BackBuffer.h"
#include "gfx/DrawGeometry.h"
#include "gfx/DrawList.h"
#include "gfx/Matrix.h"
#include "gfx/RowKernels.h"
#include "gfx/Texture.h"
#include "platform/Platform.h"
#include "platform/ResidentMemory.h"

namespace zepa {

class CSpriteBatch : private ITextureWatcher {
  public:
    CSpriteBatch();
    ~CSpriteBatch();
    CSpriteBatch(const CSpriteBatch&) = delete;
    CSpriteBatch& operator=(const CSpriteBatch&) = delete;
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

    // The row kernels this batch draws with (default: BestRowKernels()). Every set draws the same
    // pixels; another set is chosen to compare them.
    void SetRowKernels(const RowKernelSet& kernels) { kernels_ = &kernels; }
    const RowKernelSet& rowKernels() const { return *kernels_; }

    // Whole frames with change tracking. BeginFrame opens a frame that starts from a buffer
    // cleared to `clearColor`. With tracking on, the frame's draws are recorded, not drawn, and
    // EndFrame composes them only when they differ from the previous tracked frame's draws or
    // something else wrote to the back buffer since; a texture about to change or die while its
    // draws wait makes them be drawn at once. EndFrame answers whether the back buffer may have
    // changed since the previous EndFrame (always true with tracking off).
    void SetChangeTracking(bool on);
    bool changeTracking() const { return tracking_; }
    void BeginFrame(uint32_t clearColor);
    bool EndFrame();
    // The pixels the last frame read: the back buffer and the textures drawn. A frame that is not
    // composed reads none of them, so they may sit idle until a change reads them all at once.
    void AppendShownMemory(std::vector<MemoryRange>& ranges) const;

  private:
    void DrawNow(const CTexture* texture, const Rect* source, const Vector3* position, uint32_t color);
    // Clears and draws the recorded commands of this frame; later draws of the frame go straight
    // to the back buffer.
    void ComposeRecorded();
    void BeforeTextureChange(const CTexture& texture) override;
    void BeforeTextureDestroyed(const CTexture& texture) override;
    // Registers on a texture drawn in the open tracked frame, once however often it is drawn.
    void Watch(const CTexture* texture);
    bool DrawnInOpenFrame(const CTexture& texture) const;
    // Drops the registrations on textures the frame just finished did not draw.
    void UnwatchUndrawn();

    // One texture row resampled to the covered columns, kept while neighbouring destination
    // rows still need it.
    struct ResampledRow {
        int textureRow = -1;
        const uint32_t* texels = nullptr;
        std::vector<uint32_t> storage;
    };

    void PrepareColumns(int sourceLeft);
    const uint32_t* Resampled(const CTexture& texture, int textureRow);
    void ResampleInto(const uint32_t* row, ResampledRow& slot);
    // A texture row: stored texels read in place, else a padded copy (PaddedRow).
    const uint32_t* TextureRow(const CTexture& texture, int textureRow) {
        if (!padded_) return texture.Texels() + static_cast<size_t>(textureRow) * texture.pitch();
        return PaddedRow(texture, textureRow);
    }
    const uint32_t* PaddedRow(const CTexture& texture, int textureRow);
    void PreparePaddedRows(const Rect& rect);

    CBackBuffer backBuffer_;
    const RowKernelSet* kernels_ = &BestRowKernels();
    Matrix4x4 transform_;
    bool inFrame_ = false;

    // Per-draw state and scratch, kept to avoid allocations.
    AxisMap columns_;
    AxisMap rows_;
    bool columnsContiguous_ = false;
    bool columnsReversed_ = false;        // right to left without gaps (mirrored)
    std::vector<int> firstTexel_;         // texture column per covered column
    std::vector<int> secondTexel_;        // its filtering neighbour
    std::vector<uint8_t> columnWeights_;  // four bytes per covered column
    ResampledRow cache_[2];
    int nextSlot_ = 0;
    bool padded_ = false;  // the draw samples texels beyond the stored ones
    int paddedLeft_ = 0;
    int paddedRight_ = 0;
    ResampledRow paddedRows_[2];
    int nextPaddedRow_ = 0;

    // Change tracking: this frame's draws, the last composed frame's, and what the back buffer's
    // write count was when that frame was finished. A list naming a texture that has been
    // destroyed is never compared: a new texture may have taken its address and stamp.
    bool tracking_ = false;
    bool recording_ = false;  // a tracked frame is open and its draws are only recorded so far
    bool trackedFrameOpen_ = false;
    bool previousValid_ = false;
    CDrawList current_;
    CDrawList previous_;
    uint64_t writesAfterPrevious_ = 0;
    bool frameLostTexture_ = false;  // a texture drawn in the open tracked frame was destroyed
    // The textures this batch is registered on, those drawn in the open tracked frame or in the
    // previous one, each with the number of the last tracked frame that drew it.
    std::unordered_map<const CTexture*, uint64_t> watched_;
    uint64_t frameNumber_ = 0;
};

}  // namespace zepa
