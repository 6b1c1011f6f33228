// A headless game shows a background with a fade, two characters with cross-fades (one mirrored
// and moving linearly), waits, then shakes the background with the focus on one character. Its
// screenshots must equal frames composed by the reference compositor from the layers' frame
// arithmetic, and its state dumps must carry the predicted values.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../gfx/ImageTestFiles.h"
#include "../gfx/ReferenceCompositor.h"
#include "gfx/Texture.h"
#include "platform/ImageIo.h"

namespace zepa {
namespace {

namespace fs = std::filesystem;

struct Image {
    int width;
    int height;
    std::vector<uint32_t> argb;
};

Image MakeImage(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    Image image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.argb[static_cast<size_t>(y) * width + x] = pixel(x, y);
    return image;
}

// Background: every column and row different, so shifts and wrapped strips show.
const Image kRoom = MakeImage(640, 480, [](int x, int y) {
    return 0xFF000000u | (x & 0xFF) << 16 | (x >> 8) * 0x60 << 8 | (y & 0xFF);
});
// Characters: one with half-transparent and transparent texels, one whose columns differ.
const Image kGirl = MakeImage(50, 80, [](int x, int y) {
    return (x + y) % 3 == 0 ? 0x80FF8000u : (x + y) % 3 == 1 ? 0x00000000u : 0xFF00C0FFu;
});
const Image kBoy =
    MakeImage(30, 60, [](int x, int y) { return 0xFF000000u | (x * 8) << 16 | 0x3000u | (y * 4); });

class StageEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zepa-stage-e2e-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Script");
        WritePng("Graphics/BG/room.png", kRoom);
        WritePng("Graphics/Char/girl.png", kGirl);
        WritePng("Graphics/Char/boy.png", kBoy);
        std::ofstream(dir / "Script" / "Script.txt", std::ios::binary)
            << "Background.Set(\"room.png\", \"fade\", 10)\n"
               "Character.SetGraph(0, \"girl.png\", \"crossfade\", 10, 100, 200)\n"
               "Character.SetGraph(1, \"boy.png\", \"crossfade\", 10, 300, 200, \"default\", 0)\n"
               "Character[1].SetReverse(true)\n"
               "Character.MovePos(1, 600, 200, \"linear\", 3)\n"
               "Wait(20)\n"
               "Background.Effect(\"shake_h\", 10)\n"
               "Character.SetFocus(0)\n"
               "Wait(30)\n";
    }
    void TearDown() override { fs::remove_all(dir); }

    void WritePng(const std::string& name, const Image& image) {
        fs::create_directories((dir / name).parent_path());
        const std::vector<uint8_t> png = testing::EncodePng(image.argb, image.width, image.height);
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    std::string Shot(int frame) const { return (dir / ("shot" + std::to_string(frame) + ".png")).string(); }
    std::string DumpPath(int frame) const {
        return (dir / ("dump" + std::to_string(frame) + ".json")).string();
    }

    int Run(int frames, const std::vector<int>& shots, const std::vector<int>& dumps) {
        std::string command = std::string(ZEPA_BINARY) + " --headless --scene Main --game '" + dir.string() +
                              "' --frames " + std::to_string(frames);
        for (int f : shots) command += " --shot " + std::to_string(f) + ":'" + Shot(f) + "'";
        for (int f : dumps) command += " --dump " + std::to_string(f) + ":'" + DumpPath(f) + "'";
        command += " 2>'" + (dir / "stderr.txt").string() + "'";
        return std::system(command.c_str());
    }
    nlohmann::json Dump(int frame) const {
        std::ifstream file(DumpPath(frame));
        return nlohmann::json::parse(file);
    }
    std::vector<uint32_t> ReadShot(int frame) const {
        std::ifstream file(Shot(frame), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        DecodedImage decoded;
        if (!DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 4096, decoded))
            return {};
        return decoded.pixels;
    }

    fs::path dir;
};

// The frame the engine should draw, composed from the predicted layer state.
struct ExpectedFrame {
    testing::ReferenceCompositor compositor;
    std::unique_ptr<CTexture> room = CTexture::CreateFromPixels(kRoom.argb.data(), 640, 480, D3DFMT_R8G8B8);
    std::unique_ptr<CTexture> girl = CTexture::CreateFromPixels(kGirl.argb.data(), 50, 80, D3DFMT_A8R8G8B8);
    std::unique_ptr<CTexture> boy = CTexture::CreateFromPixels(kBoy.argb.data(), 30, 60, D3DFMT_A8R8G8B8);

    void Background(uint32_t color, const Rect& source, float x) {
        const Vector3 at{x, 0, 0};
        compositor.Draw(room.get(), &source, &at, color);
    }
    void Girl(uint32_t color) {
        const Vector3 at{100, 200, 0};
        compositor.Draw(girl.get(), nullptr, &at, color);
    }
    void MirroredBoy(float x, uint32_t color) {
        compositor.SetScale(-1, 1);
        const Vector3 at{-x, 200, 0};
        compositor.Draw(boy.get(), nullptr, &at, color);
        compositor.SetScale(1, 1);
    }
};

int CountDifferences(const std::vector<uint32_t>& actual, const std::vector<uint32_t>& expected) {
    if (actual.size() != expected.size()) return -1;
    int differences = 0;
    for (size_t i = 0; i < actual.size(); ++i)
        differences += (actual[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF);
    return differences;
}

TEST_F(StageEndToEnd, ScreenshotsAndDumpsFollowTheLayersArithmetic) {
    ASSERT_EQ(Run(34, {3, 8, 12, 25, 27}, {8, 12, 27, 32}), 0);

    // Frame 3: the background is still invisible (first half of its fade); both characters are at
    // alpha 2 * 255 / 10 = 51; the boy's linear move has reached 600 and he is mirrored.
    {
        ExpectedFrame expected;
        expected.Girl(0x33FFFFFFu);
        expected.MirroredBoy(600, 0x33FFFFFFu);
        EXPECT_EQ(CountDifferences(ReadShot(3), expected.compositor.pixels()), 0);
    }
    // Frame 8: background alpha (7 - 5) * 255 / 5 = 102, characters 7 * 255 / 10 = 178.
    {
        ExpectedFrame expected;
        expected.Background(0x66FFFFFFu, Rect{0, 0, 640, 480}, 0);
        expected.Girl(0xB2FFFFFFu);
        expected.MirroredBoy(600, 0xB2FFFFFFu);
        EXPECT_EQ(CountDifferences(ReadShot(8), expected.compositor.pixels()), 0);
    }
    // Frame 12: everything settled and opaque.
    {
        ExpectedFrame expected;
        expected.Background(0xFFFFFFFFu, Rect{0, 0, 640, 480}, 0);
        expected.Girl(0xFFFFFFFFu);
        expected.MirroredBoy(600, 0xFFFFFFFFu);
        EXPECT_EQ(CountDifferences(ReadShot(12), expected.compositor.pixels()), 0);
    }
    // The shake starts on frame 22 (after the 20 waited frames): frame 25 is 36 pixels out,
    // frame 27 the peak of 60; the strip pushed off the right edge shows at the left. The boy is
    // dimmed by the focus on slot 0.
    for (const auto& [frame, shift] : {std::pair{25, 36}, std::pair{27, 60}}) {
        ExpectedFrame expected;
        expected.Background(0xFFFFFFFFu, Rect{640 - shift, 0, 640, 480}, 0);
        expected.Background(0xFFFFFFFFu, Rect{0, 0, 640 - shift, 480}, static_cast<float>(shift));
        expected.Girl(0xFFFFFFFFu);
        expected.MirroredBoy(600, 0xFF888888u);
        EXPECT_EQ(CountDifferences(ReadShot(frame), expected.compositor.pixels()), 0) << frame;
    }

    const nlohmann::json mid = Dump(8);
    EXPECT_EQ(mid["background"]["name"], "Graphics/BG/room.png");
    EXPECT_EQ(mid["background"]["transition"], "fade");
    EXPECT_EQ(mid["background"]["shaking"], false);
    ASSERT_EQ(mid["characters"].size(), 6u);
    EXPECT_EQ(mid["characters"][0]["name"], "Graphics/Char/girl.png");
    EXPECT_EQ(mid["characters"][0]["x"], 100.0);
    EXPECT_EQ(mid["characters"][0]["y"], 200.0);
    EXPECT_EQ(mid["characters"][1]["x"], 600.0);
    EXPECT_EQ(mid["characters"][1]["mirrored"], true);
    EXPECT_EQ(mid["characters"][1]["visible"], true);
    EXPECT_EQ(mid["characters"][2]["name"], "");
    EXPECT_EQ(mid["characters"][1]["focus"], true);

    EXPECT_EQ(Dump(12)["background"]["transition"], "idle");
    const nlohmann::json peak = Dump(27);
    EXPECT_EQ(peak["background"]["shaking"], true);
    EXPECT_EQ(peak["characters"][0]["focus"], true);
    EXPECT_EQ(peak["characters"][1]["focus"], false);
    EXPECT_EQ(Dump(32)["background"]["shaking"], false) << "a shake of 10 ends on its 11th step";
    EXPECT_TRUE(Dump(32)["messages"].empty());
}

}  // namespace
}  // namespace zepa
