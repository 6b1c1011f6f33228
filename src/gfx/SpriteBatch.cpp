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

// The largest texel index a map samples (maps run monotonically, up or down).
int LastSampled(const AxisMap& map, int start) {
    return start + std::max(map.samples.front().i1, map.samples.back().i1);
}

// Removes the covered pixels whose texels (both filter taps) lie at or beyond `stored`: with
// transparent padding they draw nothing. Such pixels form a run at one end of the map.
void DropPaddingSamples(AxisMap& map, int start, int stored) {
    auto inPadding = [&](const AxisSample& sample) { return start + sample.i0 >= stored; };
    std::vector<AxisSample>& samples = map.samples;
    size_t lead = 0;
    while (lead < samples.size() && inPadding(samples[lead])) ++lead;
    size_t end = samples.size();
    while (end > lead && inPadding(samples[end - 1])) --end;
    samples.erase(samples.begin() + static_cast<std::ptrdiff_t>(end), samples.end());
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(lead));
    map.first += static_cast<int>(lead);
}

}  // namespace

CSpriteBatch::CSpriteBatch() {
    for (ResampledRow& slot : cache_) slot.storage.reserve(kScreenWidth);
}

CSpriteBatch::~CSpriteBatch() {
    for (const auto& [texture, frame] : watched_) texture->RemoveWatcher(this);
}

void CSpriteBatch::Begin() {
    inFrame_ = true;
    transform_ = MatrixIdentity();
}

void CSpriteBatch::SetTransform(const Matrix4x4& transform) {
    transform_ = transform;
}

void CSpriteBatch::Draw(const CTexture* texture, const Rect* source, const Vector3* position,
                        uint32_t color) {
    if (trackedFrameOpen_) {
        current_.Add(MakeDrawCommand(texture, source, position, color, transform_));
        Watch(texture);
        if (recording_) return;
    }
    DrawNow(texture, source, position, color);
}

void CSpriteBatch::SetChangeTracking(bool on) {
    tracking_ = on;
    previousValid_ = false;
}

void CSpriteBatch::BeginFrame(uint32_t clearColor) {
    if (trackedFrameOpen_) EndFrame();  // an unfinished frame is finished first
    if (!tracking_) {
        backBuffer_.Clear(clearColor);
        Begin();
        return;
    }
    current_.Clear(clearColor);
    trackedFrameOpen_ = true;
    recording_ = true;
    frameLostTexture_ = false;
    ++frameNumber_;
    Begin();
}

bool CSpriteBatch::EndFrame() {
    End();
    if (!trackedFrameOpen_) return true;
    trackedFrameOpen_ = false;
    const bool unchanged = recording_ && previousValid_ && current_ == previous_ &&
                           backBuffer_.writeAccesses() == writesAfterPrevious_;
    if (recording_ && !unchanged) ComposeRecorded();
    recording_ = false;
    previous_.Swap(current_);
    previousValid_ = !frameLostTexture_;
    writesAfterPrevious_ = backBuffer_.writeAccesses();
    UnwatchUndrawn();
    return !unchanged;
}

// After EndFrame only the textures of the frame are watched.
void CSpriteBatch::AppendShownMemory(std::vector<MemoryRange>& ranges) const {
    const CBackBuffer& screen = backBuffer_;
    ranges.push_back({screen.Pixels(), size_t{kScreenWidth} * kScreenHeight * sizeof(uint32_t)});
    for (const auto& drawn : watched_) ranges.push_back({drawn.first->Texels(), drawn.first->StoredBytes()});
}

void CSpriteBatch::ComposeRecorded() {
    recording_ = false;
    const Matrix4x4 transform = transform_;
    backBuffer_.Clear(current_.clearColor());
    for (const DrawCommand& command : current_.commands()) {
        transform_ = command.transform;
        DrawNow(command.texture, command.hasSource ? &command.source : nullptr,
                command.hasPosition ? &command.position : nullptr, command.color);
    }
    transform_ = transform;
}

void CSpriteBatch::BeforeTextureChange(const CTexture& texture) {
    // Only recorded draws would see the new texels; the previous frame's list keeps the old stamp,
    // which the texture never has again.
    if (recording_ && DrawnInOpenFrame(texture)) ComposeRecorded();
}

void CSpriteBatch::BeforeTextureDestroyed(const CTexture& texture) {
    const bool drawnNow = DrawnInOpenFrame(texture);
    if (recording_ && drawnNow) ComposeRecorded();
    watched_.erase(&texture);  // the texture has already forgotten this batch
    // A texture made later at the same address starts from the same stamp: no list naming this
    // one may be compared with a later frame's.
    previousValid_ = false;
    if (drawnNow) frameLostTexture_ = true;
}

void CSpriteBatch::Watch(const CTexture* texture) {
    if (!texture) return;
    const auto [entry, added] = watched_.try_emplace(texture, frameNumber_);
    if (added) {
        texture->AddWatcher(this);
    } else {
        entry->second = frameNumber_;
    }
}

bool CSpriteBatch::DrawnInOpenFrame(const CTexture& texture) const {
    if (!trackedFrameOpen_) return false;
    const auto entry = watched_.find(&texture);
    return entry != watched_.end() && entry->second == frameNumber_;
}

void CSpriteBatch::UnwatchUndrawn() {
    for (auto entry = watched_.begin(); entry != watched_.end();) {
        if (entry->second == frameNumber_) {
            ++entry;
            continue;
        }
        entry->first->RemoveWatcher(this);
        entry = watched_.erase(entry);
    }
}

void CSpriteBatch::DrawNow(const CTexture* texture, const Rect* source, const Vector3* position,
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
    if (texture->hasAlpha()) {  // transparent padding draws nothing: leave it out
        DropPaddingSamples(columns_, rect.left, texture->storedWidth());
        DropPaddingSamples(rows_, rect.top, texture->storedHeight());
        if (columns_.empty() || rows_.empty()) return;
    }
    // A draw still sampling the unstored padding reads through padded copies of its rows, indexed
    // from the rectangle's left edge.
    padded_ = LastSampled(columns_, rect.left) >= texture->storedWidth() ||
              LastSampled(rows_, rect.top) >= texture->storedHeight();
    if (padded_) PreparePaddedRows(rect);
    PrepareColumns(padded_ ? 0 : rect.left);

    const int count = columns_.count();
    const bool copy = texture->allOpaque() && color == 0xFFFFFFFFu;
    const RowKernelSet& kernels = *kernels_;
    for (int r = 0; r < rows_.count(); ++r) {
        const AxisSample& row = rows_.samples[r];
        uint32_t* dst = backBuffer_.Row(rows_.first + r) + columns_.first;
        if (row.weight == 0 && columnsReversed_) {  // mirrored exact copy: read backwards in place
            const uint32_t* texels = TextureRow(*texture, rect.top + row.i0);
            kernels.BlendReversedRow(dst, texels + firstTexel_.back(), count, color);
            continue;
        }
        const uint32_t* texels = Resampled(*texture, rect.top + row.i0);
        if (row.weight != 0) {
            const uint32_t* next = Resampled(*texture, rect.top + row.i1);  // keeps the first row cached
            kernels.BlendLerpedRows(dst, texels, next, row.weight, count, color);
        } else if (copy) {
            CopyRowOpaque(dst, texels, count);
        } else {
            kernels.BlendRow(dst, texels, count, color);
        }
    }
}

// Texture columns per covered column, and whether they run left to right without gaps (then a
// texture row can be read in place).
void CSpriteBatch::PrepareColumns(int sourceLeft) {
    const int count = columns_.count();
    firstTexel_.resize(static_cast<size_t>(count));
    secondTexel_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        firstTexel_[i] = sourceLeft + columns_.samples[i].i0;
        secondTexel_[i] = sourceLeft + columns_.samples[i].i1;
    }
    columnsContiguous_ = columns_.nearest && firstTexel_.back() - firstTexel_.front() == count - 1;
    columnsReversed_ = columns_.nearest && firstTexel_.front() - firstTexel_.back() == count - 1;
    if (!columns_.nearest) {
        columnWeights_.resize(static_cast<size_t>(count) * 4);
        for (int i = 0; i < count; ++i)
            std::fill_n(&columnWeights_[static_cast<size_t>(i) * 4], 4, columns_.samples[i].weight);
    }
    for (ResampledRow& slot : cache_) slot.textureRow = -1;
}

// The texels of a texture row at the covered columns, in destination order.
const uint32_t* CSpriteBatch::Resampled(const CTexture& texture, int textureRow) {
    const uint32_t* row = TextureRow(texture, textureRow);
    if (columnsContiguous_) return row + firstTexel_.front();
    for (int index = 0; index < 2; ++index) {
        if (cache_[index].textureRow != textureRow) continue;
        nextSlot_ = 1 - index;  // the least recently used slot is refilled next
        return cache_[index].texels;
    }
    ResampledRow& slot = cache_[nextSlot_];
    nextSlot_ ^= 1;
    slot.textureRow = textureRow;
    ResampleInto(row, slot);
    return slot.texels;
}

// For draws sampling the padding: a copy of the rectangle's part of the texture row with the
// padding filled in. Two copies are kept, for the two rows of a filtered destination row.
const uint32_t* CSpriteBatch::PaddedRow(const CTexture& texture, int textureRow) {
    for (int index = 0; index < 2; ++index) {
        if (paddedRows_[index].textureRow != textureRow) continue;
        nextPaddedRow_ = 1 - index;
        return paddedRows_[index].texels;
    }
    ResampledRow& slot = paddedRows_[nextPaddedRow_];
    nextPaddedRow_ ^= 1;
    slot.textureRow = textureRow;
    std::fill(slot.storage.begin(), slot.storage.end(), texture.paddingTexel());
    if (textureRow < texture.storedHeight() && paddedLeft_ < texture.storedWidth()) {
        const uint32_t* stored = texture.Texels() + static_cast<size_t>(textureRow) * texture.pitch();
        const int end = std::min(paddedRight_, texture.storedWidth());
        std::copy(stored + paddedLeft_, stored + end, slot.storage.begin());
    }
    return slot.texels;
}

void CSpriteBatch::PreparePaddedRows(const Rect& rect) {
    paddedLeft_ = rect.left;
    paddedRight_ = rect.right;
    for (ResampledRow& slot : paddedRows_) {
        slot.storage.resize(static_cast<size_t>(rect.Width()));
        slot.texels = slot.storage.data();
        slot.textureRow = -1;
    }
}

void CSpriteBatch::ResampleInto(const uint32_t* row, ResampledRow& slot) {
    const int count = columns_.count();
    slot.storage.resize(static_cast<size_t>(count));
    slot.texels = slot.storage.data();
    if (columnsReversed_) {
        kernels_->ReverseRow(slot.storage.data(), row + firstTexel_.back(), count);
    } else if (columns_.nearest) {
        kernels_->GatherRow(slot.storage.data(), row, firstTexel_.data(), count);
    } else {
        kernels_->GatherLerpRow(slot.storage.data(), row, firstTexel_.data(), secondTexel_.data(),
                                columnWeights_.data(), count);
    }
}

}  // namespace zepa
