// Change tracking of the compositor: a tracked frame that draws what the previous one drew is not
// composed again, and whatever happens (texels changed through Lock with the same draw calls, a
// texture changed or destroyed in the middle of a frame, other writes to the back buffer, a new
// texture where an old one was) the back buffer equals the picture an untracked compositor draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "gfx/SpriteBatch.h"
#include "gfx/Texture.h"

namespace zepa {
namespace {

constexpr uint32_t kBlack = 0xFF000000u;

std::unique_ptr<CTexture> Filled(int width, int height, uint32_t argb) {
    auto texture = CTexture::CreateBlank(width, height);
    uint32_t* texels = texture->Lock();
    std::fill_n(texels, static_cast<size_t>(texture->pitch()) * texture->textureHeight(), argb);
    texture->Unlock();
    return texture;
}

void Paint(CTexture& texture, uint32_t argb) {
    uint32_t* texels = texture.Lock();
    std::fill_n(texels, static_cast<size_t>(texture.pitch()) * texture.textureHeight(), argb);
    texture.Unlock();
}

bool SamePicture(const CSpriteBatch& a, const CSpriteBatch& b) {
    const size_t count = static_cast<size_t>(kScreenWidth) * kScreenHeight;
    return std::equal(a.BackBuffer().Pixels(), a.BackBuffer().Pixels() + count, b.BackBuffer().Pixels());
}

// A tracked compositor and an untracked one that receive the same calls.
class ChangeTrackingTest : public ::testing::Test {
  protected:
    ChangeTrackingTest() {
        tracked_.SetChangeTracking(true);
        plain_.SetChangeTracking(false);
    }

    // Runs `draw(batch, side)` as one frame on both (side 0 tracked, 1 plain; tests that change
    // texels inside a frame keep one copy of their textures per side); returns what the tracked
    // EndFrame said.
    template <typename DrawCalls>
    bool Frame(DrawCalls draw) {
        tracked_.BeginFrame(kBlack);
        draw(tracked_, 0);
        const bool changed = tracked_.EndFrame();
        plain_.BeginFrame(kBlack);
        draw(plain_, 1);
        EXPECT_TRUE(plain_.EndFrame());
        return changed;
    }

    const CSpriteBatch& tracked() const { return tracked_; }
    const CSpriteBatch& plain() const { return plain_; }

    CSpriteBatch tracked_;
    CSpriteBatch plain_;
};

TEST_F(ChangeTrackingTest, TheSameDrawsAreComposedOnceAndAnyDifferenceComposesAgain) {
    auto a = Filled(64, 32, 0xFF336699u);
    auto b = Filled(16, 16, 0x80FF0000u);
    Rect source{0, 0, 8, 8};
    Vector3 at{10, 20, 0};
    uint32_t color = 0xFFFFFFFFu;
    Matrix4x4 transform = MatrixIdentity();
    auto draw = [&](CSpriteBatch& batch, int) {
        batch.Draw(a.get(), nullptr, nullptr, 0xFFFFFFFFu);
        batch.SetTransform(transform);
        batch.Draw(b.get(), &source, &at, color);
    };
    EXPECT_TRUE(Frame(draw));
    EXPECT_FALSE(Frame(draw));
    EXPECT_FALSE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));

    at.x = 11;  // position
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    source.right = 9;  // source rectangle
    EXPECT_TRUE(Frame(draw));
    color = 0xC0FFFFFFu;  // modulation
    EXPECT_TRUE(Frame(draw));
    transform = MatrixScaling(-1.0f, 1.0f, 1.0f);  // mirrored
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_FALSE(Frame(draw));
    // One draw fewer, then one more.
    EXPECT_TRUE(Frame([&](CSpriteBatch& batch, int) { batch.Draw(a.get(), nullptr, nullptr, 0xFFFFFFFFu); }));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
}

TEST_F(ChangeTrackingTest, TexelsChangedThroughLockComposeAgainWithIdenticalDrawCalls) {
    auto canvas = Filled(128, 32, 0x00000000u);
    auto draw = [&](CSpriteBatch& batch, int) { batch.Draw(canvas.get(), nullptr, nullptr, 0xFFFFFFFFu); };
    EXPECT_TRUE(Frame(draw));
    EXPECT_FALSE(Frame(draw));
    uint32_t* texels = canvas->Lock();  // a glyph appears on the text canvas
    texels[5 * canvas->pitch() + 7] = 0xFFFFFFFFu;
    canvas->Unlock();
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_EQ(tracked().BackBuffer().At(7, 5), 0xFFFFFFFFu);
    EXPECT_FALSE(Frame(draw));
}

// A draw issued before the texture changes shows the texels it had then, as immediate drawing does.
TEST_F(ChangeTrackingTest, ATextureChangedAfterItsDrawInTheSameFrameKeepsTheEarlierTexels) {
    std::unique_ptr<CTexture> texture[2] = {Filled(32, 32, 0xFF0000FFu), Filled(32, 32, 0xFF0000FFu)};
    auto other = Filled(32, 32, 0xFF00FF00u);
    uint32_t next = 0xFFFF0000u;
    auto draw = [&](CSpriteBatch& batch, int side) {
        const Vector3 left{0, 0, 0}, right{100, 0, 0}, further{200, 0, 0};
        batch.Draw(texture[side].get(), nullptr, &left, 0xFFFFFFFFu);
        batch.Draw(other.get(), nullptr, &further, 0xFFFFFFFFu);
        Paint(*texture[side], next);
        batch.Draw(texture[side].get(), nullptr, &right, 0xFFFFFFFFu);
    };
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_EQ(tracked().BackBuffer().At(0, 0), 0xFF0000FFu);  // drawn before the change
    EXPECT_EQ(tracked().BackBuffer().At(100, 0), 0xFFFF0000u);
    EXPECT_EQ(tracked().BackBuffer().At(200, 0), 0xFF00FF00u);
    next = 0xFF123456u;
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_EQ(tracked().BackBuffer().At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(tracked().BackBuffer().At(100, 0), 0xFF123456u);
}

TEST_F(ChangeTrackingTest, ATextureDestroyedInTheMiddleOfAFrameIsDrawnBeforeItGoes) {
    auto keep = Filled(32, 32, 0xFF00FF00u);
    auto draw = [&](CSpriteBatch& batch, int) {
        auto passing = Filled(32, 32, 0xFFFF00FFu);
        const Vector3 at{50, 50, 0};
        batch.Draw(passing.get(), nullptr, &at, 0xFFFFFFFFu);
        passing.reset();  // its memory is gone before the frame ends
        batch.Draw(keep.get(), nullptr, nullptr, 0xFFFFFFFFu);
    };
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_EQ(tracked().BackBuffer().At(60, 60), 0xFFFF00FFu);
    EXPECT_TRUE(Frame(draw));  // a new texture each time: never taken for the old one
    EXPECT_TRUE(SamePicture(tracked(), plain()));
}

TEST(ChangeTracking, CompositorsWhoseFramesOverlapAreEachToldOfChanges) {
    CSpriteBatch first, second;
    first.SetChangeTracking(true);
    second.SetChangeTracking(true);
    auto a = Filled(16, 16, 0xFF0000FFu);
    auto b = Filled(16, 16, 0xFF00FF00u);
    const Vector3 right{100, 0, 0};
    first.BeginFrame(kBlack);
    first.Draw(a.get(), nullptr, nullptr, 0xFFFFFFFFu);
    second.BeginFrame(kBlack);
    second.Draw(b.get(), nullptr, nullptr, 0xFFFFFFFFu);
    first.EndFrame();  // the first one's frame ends while the second's is still open
    Paint(*b, 0xFFFF0000u);
    second.Draw(b.get(), nullptr, &right, 0xFFFFFFFFu);
    Paint(*a, 0xFFFFFFFFu);
    EXPECT_TRUE(second.EndFrame());
    EXPECT_EQ(second.BackBuffer().At(0, 0), 0xFF00FF00u);  // drawn before the change
    EXPECT_EQ(second.BackBuffer().At(100, 0), 0xFFFF0000u);
    EXPECT_EQ(first.BackBuffer().At(0, 0), 0xFF0000FFu);
}

TEST_F(ChangeTrackingTest, ANewTextureWhereAnOldOneWasIsNotTakenForIt) {
    auto texture = Filled(16, 16, 0xFF0000FFu);
    auto draw = [&](CSpriteBatch& batch, int) { batch.Draw(texture.get(), nullptr, nullptr, 0xFFFFFFFFu); };
    EXPECT_TRUE(Frame(draw));
    EXPECT_FALSE(Frame(draw));
    // Freed and made again with the same size: the allocator often hands out the same address.
    texture.reset();
    texture = Filled(16, 16, 0xFFFFFF00u);
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
}

// A new texture starts from the same content stamp, and the allocator often hands it the freed
// address: a frame that drew a texture destroyed before the frame ended is never compared.
TEST_F(ChangeTrackingTest, ATextureDestroyedAfterItsDrawIsNotTakenForANewOneInTheNextFrame) {
    std::unique_ptr<CTexture> texture[2];
    uint32_t argb = 0xFF0000FFu;
    bool destroyAfterDraw = true;
    auto draw = [&](CSpriteBatch& batch, int side) {
        if (!texture[side]) texture[side] = Filled(16, 16, argb);
        batch.Draw(texture[side].get(), nullptr, nullptr, 0xFFFFFFFFu);
        if (destroyAfterDraw) texture[side].reset();
    };
    EXPECT_TRUE(Frame(draw));
    argb = 0xFFFFFF00u;
    destroyAfterDraw = false;
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    EXPECT_EQ(tracked().BackBuffer().At(0, 0), 0xFFFFFF00u);
    EXPECT_FALSE(Frame(draw));
}

// Only the textures of the open and the previous frame concern a compositor: one drawn earlier
// may change or go while the picture stays as it is.
TEST_F(ChangeTrackingTest, ATextureNoLongerDrawnMayChangeOrGoWithoutComposingAgain) {
    auto kept = Filled(16, 16, 0xFF0000FFu);
    auto dropped = Filled(16, 16, 0xFF00FF00u);
    bool both = true;
    auto draw = [&](CSpriteBatch& batch, int) {
        batch.Draw(kept.get(), nullptr, nullptr, 0xFFFFFFFFu);
        const Vector3 right{100, 0, 0};
        if (both) batch.Draw(dropped.get(), nullptr, &right, 0xFFFFFFFFu);
    };
    EXPECT_TRUE(Frame(draw));
    both = false;
    EXPECT_TRUE(Frame(draw));
    Paint(*dropped, 0xFFFF0000u);
    EXPECT_FALSE(Frame(draw));
    dropped.reset();
    EXPECT_FALSE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
}

// Textures it watched, of its previous frame and of a frame left open, outlive the compositor:
// changing and destroying them afterwards must not reach it.
TEST(ChangeTracking, ACompositorDestroyedBeforeItsTexturesIsNotToldOfThem) {
    auto previous = Filled(16, 16, 0xFF0000FFu);
    auto open = Filled(16, 16, 0xFF00FF00u);
    auto batch = std::make_unique<CSpriteBatch>();
    batch->SetChangeTracking(true);
    batch->BeginFrame(kBlack);
    batch->Draw(previous.get(), nullptr, nullptr, 0xFFFFFFFFu);
    batch->EndFrame();
    batch->BeginFrame(kBlack);
    batch->Draw(open.get(), nullptr, nullptr, 0xFFFFFFFFu);
    batch.reset();
    Paint(*previous, 0xFFFFFFFFu);
    Paint(*open, 0xFFFFFFFFu);
    previous.reset();
    open.reset();
}

TEST_F(ChangeTrackingTest, OtherWritesToTheBackBufferComposeTheNextFrameAgain) {
    auto texture = Filled(16, 16, 0xFF0000FFu);
    auto draw = [&](CSpriteBatch& batch, int) { batch.Draw(texture.get(), nullptr, nullptr, 0xFFFFFFFFu); };
    EXPECT_TRUE(Frame(draw));
    tracked_.BackBuffer().Clear(0xFFFFFFFFu);
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    tracked_.BackBuffer().Row(300)[300] = 0xFFFF0000u;
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    // Drawing outside a tracked frame writes the buffer too.
    tracked_.Begin();
    tracked_.Draw(texture.get(), nullptr, nullptr, 0xFFFFFFFFu);
    tracked_.End();
    const Vector3 away{200, 200, 0};
    tracked_.Begin();
    tracked_.Draw(texture.get(), nullptr, &away, 0xFFFFFFFFu);
    tracked_.End();
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
    // Reading it does not.
    EXPECT_FALSE(Frame(draw));
}

TEST_F(ChangeTrackingTest, TurningTrackingOffComposesEveryFrame) {
    auto texture = Filled(16, 16, 0xFF0000FFu);
    auto draw = [&](CSpriteBatch& batch, int) { batch.Draw(texture.get(), nullptr, nullptr, 0xFFFFFFFFu); };
    EXPECT_TRUE(Frame(draw));
    EXPECT_FALSE(Frame(draw));
    tracked_.SetChangeTracking(false);
    EXPECT_TRUE(Frame(draw));
    EXPECT_TRUE(Frame(draw));
    tracked_.SetChangeTracking(true);
    EXPECT_TRUE(Frame(draw));  // nothing known about the previous frame
    EXPECT_FALSE(Frame(draw));
    EXPECT_TRUE(SamePicture(tracked(), plain()));
}

// Random frames over a few textures: random draws, random texel changes between and inside
// frames, repeated frames; after every frame the pictures agree and repeats are skipped.
TEST_F(ChangeTrackingTest, RandomFramesAlwaysMatchAnUntrackedCompositor) {
    std::mt19937 random(20261208);
    constexpr int kTextures = 6;
    std::vector<std::unique_ptr<CTexture>> textures[2];
    for (auto& side : textures) {
        for (int i = 0; i < kTextures; ++i)
            side.push_back(Filled(8 + 9 * i, 40 - 5 * i, 0x80000000u + 0x102030u * i));
    }
    struct Call {
        int texture;
        Vector3 at;
        uint32_t color;
        float scale;
        int paintBefore;  // -1: none; else the texture painted just before this call
        uint32_t paint;
    };
    std::vector<Call> calls;
    auto draw = [&](CSpriteBatch& batch, int side) {
        for (const Call& call : calls) {
            if (call.paintBefore >= 0) Paint(*textures[side][call.paintBefore], call.paint);
            batch.SetTransform(MatrixScaling(call.scale, call.scale, 1.0f));
            batch.Draw(textures[side][call.texture].get(), nullptr, &call.at, call.color);
        }
    };
    int skipped = 0, repeats = 0;
    for (int frame = 0; frame < 300; ++frame) {
        const int what = static_cast<int>(random() % 4);
        if (what == 0 || calls.empty()) {  // a new list
            calls.clear();
            const int count = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < count; ++i) {
                const bool paints = random() % 5 == 0;
                calls.push_back(Call{
                    static_cast<int>(random() % kTextures),
                    Vector3{static_cast<float>(random() % 600), static_cast<float>(random() % 440), 0},
                    0xFF000000u | static_cast<uint32_t>(random() & 0x00FFFFFFu),
                    random() % 3 == 0 ? 1.5f : 1.0f, paints ? static_cast<int>(random() % kTextures) : -1,
                    static_cast<uint32_t>(random())});
            }
        } else if (what == 1) {  // the same list over changed texels
            const size_t which = random() % kTextures;
            const uint32_t argb = static_cast<uint32_t>(random());
            for (auto& side : textures) Paint(*side[which], argb);
        } else if (what == 2) {  // one call moves
            calls[random() % calls.size()].at.x += 1;
        }
        const bool paintsInside =
            std::any_of(calls.begin(), calls.end(), [](const Call& c) { return c.paintBefore >= 0; });
        const bool changed = Frame(draw);
        ASSERT_TRUE(SamePicture(tracked(), plain())) << "frame " << frame;
        if (what == 3 && !paintsInside) {
            ++repeats;
            skipped += !changed;
        }
    }
    EXPECT_GT(repeats, 20);
    EXPECT_EQ(skipped, repeats);  // every plain repeat was skipped
}

}  // namespace
}  // namespace zepa
