#include "gfx/SpriteBatch.h"

#include <algorithm>

#include "gfx/RowKernels.h"

namespace zepa {
namespace {

constexpr uint32_t kAlphaMask = 0xFF000000u;

// The source rectangle cut to the texture; false when nothing is left.
bool ClipSource(const CTexture& texture, const Rect* source, Rect& clipped) {
    const Rect whole{0, 0, texture.textureWidth(), texture.textureHeight()};
    const Rect wanted = source ? *source : whole;
    clipped.left = std::max(wanted.left, 0);
    clipped.top = std::max(wanted.top, 0);
    clipped.right = std::min(wanted.right, whole.right);
    clipped.bottom = std::min(wanted.bottom, whole.bottom);
    return clipped.left < clipped.right && clipped.top < clipped.bottom;
}

}  // namespace

void CSpriteBatch::Begin() {
    inFrame_ = true;
    transform_ = MatrixIdentity();
}

void CSpriteBatch::SetTransform(const Matrix4x4& transform) {
    transform_ = transform;
}

void CSpriteBatch::Draw(const CTexture* texture, const Rect* source, const Vector3* position,
                        uint32_t color) {
    if (!texture || (color & kAlphaMask) == 0) return;
    Rect rect;
    if (!ClipSource(*texture, source, rect)) return;
    const Vector3 origin = position ? *position : Vector3{};
    // The position belongs to the requested edge; a cut edge moves inwards with it.
    const double shiftX = source ? static_cast<double>(rect.left) - source->left : 0.0;
    const double shiftY = source ? static_cast<double>(rect.top) - source->top : 0.0;
    BuildAxisMap(transform_.m[0][0], origin.x + shiftX, rect.Width(), kScreenWidth, columns_);
    if (columns_.empty()) return;
    BuildAxisMap(transform_.m[1][1], origin.y + shiftY, rect.Height(), kScreenHeight, rows_);
    if (rows_.empty()) return;

    // Column bookkeeping shared by every row of the draw.
    sourceLeft_ = rect.left;
    const int count = columns_.count();
    spanFirst_ = rect.Width();
    int spanLast = -1;
    for (const AxisSample& s : columns_.samples) {
        spanFirst_ = std::min({spanFirst_, s.i0, s.i1});
        spanLast = std::max({spanLast, s.i0, s.i1});
    }
    spanCount_ = spanLast - spanFirst_ + 1;
    columnsContiguous_ =
        columns_.nearest && columns_.samples.back().i0 - columns_.samples.front().i0 == count - 1;
    if (!columns_.nearest) {
        columnWeights_.resize(static_cast<size_t>(count) * 4);
        for (int i = 0; i < count; ++i)
            std::fill_n(&columnWeights_[static_cast<size_t>(i) * 4], 4, columns_.samples[i].weight);
    }

    const bool copy = texture->allOpaque() && color == 0xFFFFFFFFu;
    for (int r = 0; r < rows_.count(); ++r) {
        const AxisSample& row = rows_.samples[r];
        const uint32_t* texels =
            ColumnsOf(SourceRow(*texture, AxisSample{row.i0 + rect.top, row.i1 + rect.top, row.weight}));
        uint32_t* dst = backBuffer_.Row(rows_.first + r) + columns_.first;
        if (copy) {
            CopyRowOpaque(dst, texels, count);
        } else {
            BlendRow(dst, texels, count, color);
        }
    }
}

// The texels of the span the columns read, interpolated between two texture rows when the
// rows are filtered. Indexing the result by (column index - spanFirst_) gives the texel.
const uint32_t* CSpriteBatch::SourceRow(const CTexture& texture, const AxisSample& row) {
    const int pitch = texture.pitch();
    const uint32_t* first = texture.Texels() + static_cast<size_t>(row.i0) * pitch + sourceLeft_ + spanFirst_;
    if (row.weight == 0) return first;
    const uint32_t* second =
        texture.Texels() + static_cast<size_t>(row.i1) * pitch + sourceLeft_ + spanFirst_;
    filteredRow_.resize(static_cast<size_t>(spanCount_));
    LerpRows(filteredRow_.data(), first, second, spanCount_, row.weight);
    return filteredRow_.data();
}

// One texel per covered column, in destination order.
const uint32_t* CSpriteBatch::ColumnsOf(const uint32_t* row) {
    const int count = columns_.count();
    if (columnsContiguous_) return row + (columns_.samples.front().i0 - spanFirst_);
    gathered_.resize(static_cast<size_t>(count));
    if (columns_.nearest) {
        for (int i = 0; i < count; ++i) gathered_[i] = row[columns_.samples[i].i0 - spanFirst_];
        return gathered_.data();
    }
    gatheredNext_.resize(static_cast<size_t>(count));
    lerped_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        gathered_[i] = row[columns_.samples[i].i0 - spanFirst_];
        gatheredNext_[i] = row[columns_.samples[i].i1 - spanFirst_];
    }
    LerpPixels(lerped_.data(), gathered_.data(), gatheredNext_.data(), columnWeights_.data(), count);
    return lerped_.data();
}

}  // namespace zepa
