// Images decoded ahead on the worker: a waiting script has the images of its next statements
// decoded before they run, and what a load gets (pixels, work charged) is the same as decoding on
// the spot; a file changed after its read-ahead is read again; the memory held stays bounded.
#include "resources/ImageReadAhead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/WorkMeter.h"
#include "platform/Log.h"
#include "resources/TextureStore.h"
#include "scenes/SaveResume.h"
#include "support/GameHarness.h"

namespace zepa {
namespace {

using testing::ScopedWorkingDirectory;
using testing::TempFolder;

// Polls `done` for up to five seconds: the worker runs on its own time.
template <typename Done>
bool Eventually(Done done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<uint32_t> Texels(const CTexture& texture) {
    std::vector<uint32_t> texels;
    for (int y = 0; y < texture.height(); ++y)
        for (int x = 0; x < texture.width(); ++x) texels.push_back(texture.TexelAt(x, y));
    return texels;
}

TEST(ImageReadAhead, ALoadTakesTheDecodedImageWithTheSamePixelsAndWorkUnlessTheFileChanged) {
    TempFolder folder;
    ScopedWorkingDirectory inFolder(folder.path());
    // Pure green is the picture colour key: the read-ahead applies it as the load would.
    std::vector<uint32_t> pixels = {0xFF00FF00u, 0xFF102030u, 0xFF405060u, 0xFF708090u};
    ASSERT_TRUE(WritePng("a.png", pixels.data(), 2, 2, 2));
    test::WriteSolidPng(folder.path() + "/b.png", 3, 3, 0xFF112233u);
    CQuietLog log;

    CWorkMeter onTheSpotWork;
    CTextureStore onTheSpot(nullptr, log, &onTheSpotWork);
    ASSERT_TRUE(onTheSpot.LoadTextureFile("a.png"));

    CWorkMeter aheadWork;
    CTextureStore ahead(nullptr, log, &aheadWork);
    ahead.ReadAhead("a.png", D3DFMT_A8R8G8B8, CTextureStore::kPictureColorKey);
    ahead.ReadAhead("b.png", D3DFMT_A8R8G8B8, CTextureStore::kPictureColorKey);
    ASSERT_TRUE(Eventually([&] { return ahead.readAhead().decodedCount() == 2; }));
    EXPECT_EQ(aheadWork.units(), 0u);  // nothing is charged until a statement takes it
    ASSERT_TRUE(ahead.LoadTextureFile("a.png"));
    EXPECT_EQ(ahead.readAhead().hits(), 1u);
    EXPECT_EQ(aheadWork.units(), onTheSpotWork.units());
    EXPECT_EQ(Texels(*ahead.GetTexture("a.png")), Texels(*onTheSpot.GetTexture("a.png")));

    // b.png is rewritten after it was read ahead: the load reads the new file.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    test::WriteSolidPng(folder.path() + "/b.png", 5, 5, 0xFF445566u);
    ASSERT_TRUE(ahead.LoadTextureFile("b.png"));
    EXPECT_EQ(ahead.readAhead().hits(), 1u);
    EXPECT_EQ(ahead.GetTexture("b.png")->width(), 5);
    EXPECT_EQ(ahead.readAhead().decodedCount(), 0u);
}

TEST(ImageReadAhead, DecodedImagesStayWithinTheirMemoryBound) {
    TempFolder folder;
    ScopedWorkingDirectory inFolder(folder.path());
    CQuietLog log;
    CTextureStore store(nullptr, log);
    // Five images of 16 MB each: only four fit in 64 MB.
    for (int i = 0; i < 5; ++i) {
        const std::string name = "big" + std::to_string(i) + ".png";
        test::WriteSolidPng(folder.path() + "/" + name, 2048, 2048, 0xFF000000u + uint32_t(i));
        store.ReadAhead(name, D3DFMT_A8R8G8B8, 0);
    }
    ASSERT_TRUE(Eventually([&] { return store.readAhead().pendingCount() == 0; }));
    EXPECT_EQ(store.readAhead().decodedCount(), 4u);
    EXPECT_LE(store.readAhead().decodedBytes(), CImageReadAhead::kMaxBytes);
    store.DropReadAhead();
    EXPECT_EQ(store.readAhead().decodedBytes(), 0u);
    // The one dropped is decoded on the spot when a statement loads it.
    StageImage big4;
    big4.name = "big4.png";
    EXPECT_TRUE(store.LoadTexture(big4));
    EXPECT_NE(store.GetTexture("big4.png"), nullptr);
}

TEST(ImageReadAhead, AWaitingScriptHasTheImagesOfItsNextStatementsDecodedBeforeTheyRun) {
    TempFolder folder;
    test::WriteSolidPng(folder.path() + "/Graphics/BG/room.png", 8, 8, 0xFF0000FFu);
    test::WriteSolidPng(folder.path() + "/Graphics/Char/aoi.png", 4, 8, 0xFFFF0000u);
    test::WriteSolidPng(folder.path() + "/Graphics/Picture/sign.png", 4, 4, 0xFF00FFFFu);
    test::WriteSolidPng(folder.path() + "/Graphics/BG/later.png", 8, 8, 0xFF000000u);
    test::WriteSolidPng(folder.path() + "/Graphics/Picture/unused.png", 4, 4, 0xFF00FF00u);
    test::WriteScriptFile(folder.path(), "Initialize.txt", "");
    test::WriteScriptFile(folder.path(), "Sub.txt", "*x\nReturn\n");
    // A sub-call and an if block come back, so the look goes on past them; past the second wait
    // nothing is looked at; a name in a variable is not guessed. The image of the branch not taken
    // is dropped at the next look.
    test::WriteScriptFile(folder.path(), "Script.txt",
                          "Wait(10)\n"
                          "CallSub(x, \"Sub.txt\")\n"
                          "Background.Set(\"room.png\", \"crossfade\", 20)\n"
                          "Character.SetGraph(0, \"aoi.png\")\n"
                          "if($num[1] == 1)\n"
                          "Picture.Load(3, \"unused.png\")\n"
                          "end\n"
                          "Picture.Load(1, \"sign.png\")\n"
                          "Picture.Load(2, $str[1])\n"
                          "WaitOK\n"
                          "Background.Set(\"later.png\")\n");
    test::GameHarness harness(folder.path());
    ASSERT_TRUE(harness.initialized());
    CGameSystem& game = harness.game();
    StartNewGame(game.variables(), 0, game.sceneRequests());
    harness.Frames(3);
    const CImageReadAhead& readAhead = game.textureStore().readAhead();
    ASSERT_TRUE(Eventually([&] { return readAhead.decodedCount() == 4; }));
    EXPECT_EQ(readAhead.pendingCount(), 0u);
    EXPECT_EQ(game.textureStore().GetTexture("Graphics/BG/room.png"), nullptr);

    harness.Frames(12);
    EXPECT_EQ(readAhead.hits(), 3u);
    const CTexture* room = game.textureStore().GetTexture("Graphics/BG/room.png");
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->TexelAt(1, 1) | 0xFF000000u, 0xFF0000FFu);
    EXPECT_NE(game.textureStore().GetTexture("Graphics/Picture/sign.png"), nullptr);
    EXPECT_EQ(game.textureStore().GetTexture("Graphics/Picture/unused.png"), nullptr);
    // Only the image the look from WaitOK asked for is held; the branch's was dropped.
    EXPECT_TRUE(Eventually([&] { return readAhead.pendingCount() == 0 && readAhead.decodedCount() == 1; }));
}

}  // namespace
}  // namespace zepa
