// Hostile game content run through the built engine: resource names and saved paths that try to
// leave the game folder, images declaring 16384 x 16384 pixels, and fonts that fail to load. Each
// run must end normally, refuse what it must, and go on with the rest of the script.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/TestServices.h"

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "gfx/ImageLoader.h"
#include "gfx/TextureFormat.h"
#include "platform/ImageIo.h"
#include "script/SaveFile.h"
#include "script/VariableStore.h"
#include "support/EngineProcess.h"

namespace zepa {
namespace {

using test::ReadFileBytes;
using test::RunZepa;
using test::TempDir;

void WriteSmallPng(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const std::vector<uint32_t> pixels(8 * 8, 0xFFFF0000u);
    ASSERT_TRUE(WritePng(path, pixels.data(), 8, 8, 8));
}

nlohmann::json RunGame(const TempDir& dir, const std::vector<std::string>& extra, int frames = 6) {
    std::vector<std::string> args = {"--headless",           "--game",         dir / "game",      "--frames",
                                     std::to_string(frames), "--dump-at-exit", dir / "state.json"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto result = RunZepa(args);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return nlohmann::json::parse(ReadFileBytes(dir / "state.json"));
}

bool AnyTextureNamed(const nlohmann::json& state, const std::string& part) {
    for (const auto& name : state["textures"])
        if (name.get<std::string>().find(part) != std::string::npos) return true;
    return false;
}

TEST(HostileContent, NamesThatLeaveTheGameFolderAreRefusedAndTheScriptGoesOn) {
    TempDir dir;
    // Real files outside the game folder, where climbing names would reach them.
    WriteSmallPng(dir / "secret.png");
    dir.Write("outside.txt", "*x\nCalc($num[1] = 666)\nReturn\n");
    dir.Write("game/Script/Script.txt",
              "Background.Set(\"../../../secret.png\")\n"
              "Character.SetGraph(0, \"../../../secret.png\", \"\", 0, 0, 0)\n"
              "Picture.Load(1, \"../../../secret.png\")\n"
              "Picture.Load(2, \"/etc/passwd\")\n"
              "CallSub(x, \"../../outside.txt\")\n"
              "Sound.BGM(\"../../../../secret.png\")\n"
              "Calc($num[2] = 2)\n"
              "WaitOK\n");
    nlohmann::json state = RunGame(dir, {"--scene", "Main"});
    EXPECT_EQ(state["vars"]["ints"].value("1", 0), 0);  // the outside script never ran
    EXPECT_EQ(state["vars"]["ints"].value("2", 0), 2);  // the game went on
    EXPECT_FALSE(AnyTextureNamed(state, "secret"));
    EXPECT_TRUE(state["pictures"]["pictures"].empty());

    // A jump into a file that is refused is a jump into a missing file: the script ends there.
    dir.Write("game/Script/Script.txt",
              "Calc($num[2] = 2)\nJump(x, \"../../outside.txt\")\nCalc($num[2] = 9)\n");
    state = RunGame(dir, {"--scene", "Main"});
    EXPECT_EQ(state["scene"], "Title");
    EXPECT_EQ(state["vars"]["ints"].value("1", 0), 0);
    EXPECT_EQ(state["vars"]["ints"].value("2", 0), 2);
}

TEST(HostileContent, SavedPathsThatLeaveTheGameFolderAreNotLoadedOnResume) {
    TempDir dir;
    WriteSmallPng(dir / "secret.png");
    dir.Write("game/Script/Script.txt", "SavePoint(\"p\")\nCalc($num[3] = 3)\nWaitOK\n");
    // A save whose record names files outside the folder, as a hand-edited save could.
    CVariableStore store;
    SavePointRecord record;
    record.savePointName = "p";
    record.scriptFile = "Script/Script.txt";
    record.backgroundPath = "Graphics/BG/../../../secret.png";
    record.bgmPath = "../../secret.png";
    record.characters[0].imagePath = "/" + (dir / "secret.png");
    store.TakeSnapshot(record);
    dir.Write("game/" + SaveFilePath(1), EncodeSaveFile(store, zepa::testing::TestLog()));
    const nlohmann::json state = RunGame(dir, {"--load", "1"});
    EXPECT_EQ(state["scene"], "Main");
    EXPECT_EQ(state["vars"]["ints"].value("3", 0), 3);
    EXPECT_FALSE(AnyTextureNamed(state, "secret"));
}

TEST(HostileContent, LinkedSavesAndSettingsLeadingOutOfTheGameAreNotWrittenThrough) {
    TempDir dir;
    dir.Write("precious.dat", "the player's own file");
    dir.Write("game/Script/Script.txt", "SavePoint(\"p\")\nSaveData.Save(0)\nCalc($num[2] = 2)\nWaitOK\n");
    std::filesystem::create_directories(dir / "game/Save");
    std::filesystem::create_symlink(dir / "precious.dat", dir / "game/Save/Save0.dat");
    std::filesystem::create_symlink(dir / "precious.dat", dir / "game/option.ini");
    const std::string before = ReadFileBytes(dir / "precious.dat");
    const auto result = RunZepa({"--headless", "--game", dir / "game", "--frames", "6", "--scene", "Main"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("leads out of the game folder"), std::string::npos) << result.output;
    EXPECT_EQ(ReadFileBytes(dir / "precious.dat"), before);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "game/Save/Save0.dat"));

    // A linked save folder, and settings linked to a file not there yet, are refused alike.
    std::filesystem::remove_all(dir / "game/Save");
    std::filesystem::remove(dir / "game/option.ini");
    std::filesystem::create_directories(dir / "elsewhere");
    std::filesystem::create_directory_symlink(dir / "elsewhere", dir / "game/Save");
    std::filesystem::create_symlink(dir / "elsewhere/option.ini", dir / "game/option.ini");
    const auto linkedFolder =
        RunZepa({"--headless", "--game", dir / "game", "--frames", "6", "--scene", "Main"});
    EXPECT_EQ(linkedFolder.exitCode, 0) << linkedFolder.output;
    EXPECT_TRUE(std::filesystem::is_empty(dir / "elsewhere"));
}

// A game's settings and archive as FIFOs or devices: nothing waits for them or reads them
// without end; the run goes on with default settings and loose files.
TEST(HostileContent, SettingsAndArchiveThatAreFifosOrDevicesAreTakenAsMissing) {
    TempDir dir;
    dir.Write("game/Script/Script.txt", "Calc($num[2] = 2)\nWaitOK\n");
    ASSERT_EQ(mkfifo((dir / "game/option.ini").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((dir / "game/GameData.pac").c_str(), 0600), 0);
    const std::string command = "timeout 120 " + zepa::testing::Quote(ZEPA_BINARY) + " --headless --game " +
                                zepa::testing::Quote(dir / "game") +
                                " --frames 4 --scene Main --dump-at-exit " +
                                zepa::testing::Quote(dir / "state.json");
    const auto fifos = zepa::testing::RunCommand("SDL_AUDIODRIVER=dummy " + command);
    EXPECT_EQ(fifos.exitCode, 0) << fifos.output;
    EXPECT_EQ(nlohmann::json::parse(ReadFileBytes(dir / "state.json"))["vars"]["ints"].value("2", 0), 2);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "game/option.ini"));

    std::filesystem::remove(dir / "game/option.ini");
    std::filesystem::remove(dir / "game/GameData.pac");
    std::filesystem::create_symlink("/dev/zero", dir / "game/option.ini");
    std::filesystem::create_symlink("/dev/urandom", dir / "game/GameData.pac");
    const auto devices = zepa::testing::RunCommand("SDL_AUDIODRIVER=dummy " + command);
    EXPECT_EQ(devices.exitCode, 0) << devices.output;
}

// Loops of expensive statements: each frame ends after a bounded amount of work, counted here
// as loop turns, and the run goes on. Uncharged, the first frame would run every turn.
TEST(HostileContent, LoopsOfLoadsAndTextPicturesSpreadOverFrames) {
    TempDir dir;
    std::filesystem::create_directories(dir / "game/Graphics/Picture");
    const std::vector<uint32_t> pixels(256 * 256, 0xFF336699u);
    ASSERT_TRUE(WritePng(dir / "game/Graphics/Picture/big.png", pixels.data(), 256, 256, 256));
    std::filesystem::create_directories(dir / "game/Graphics/BG");
    std::filesystem::copy_file(dir / "game/Graphics/Picture/big.png", dir / "game/Graphics/BG/big.png");
    dir.Write("game/Script/Script.txt",
              "*loop\nPicture.Load(1, \"big.png\")\nBackground.Set(\"big.png\", \"\", 0)\n"
              "Background.Set(\"\", \"\", 0)\nTextPicture.Create(2, 512, 512, \"text\")\n"
              "Calc($num[1] += 1)\nif($num[1] < 3000)\nJump(loop)\nend\nWaitOK\n");
    const int frames = 4;
    const nlohmann::json state = RunGame(dir, {"--scene", "Main"}, frames);
    const int turns = state["vars"]["ints"].value("1", 0);
    EXPECT_GT(turns, 0);
    EXPECT_LT(turns, frames * 100) << "turns of the loop in " << frames << " frames";
}

// The PNG signature and an IHDR chunk for a 16384 x 16384 RGB image, then a few bytes of nothing:
// the decoder must not be asked to allocate a gigabyte for it.
std::vector<uint8_t> HugePngHeader() {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0,
                                  13,   'I', 'H', 'D', 'R',  0,    0,    0x40, 0, 0, 0,
                                  0x40, 0,   8,   2,   0,    0,    0,    0,    0, 0, 0};
    bytes.resize(200, 0);
    return bytes;
}

// A baseline JPEG's start and its frame header for 16384 x 16384, three components.
std::vector<uint8_t> HugeJpegHeader() {
    std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17,   8, 0x40, 0,    0x40, 0,
                                  3,    1,    0x22, 0,    2, 0x11, 1, 3,    0x11, 1};
    bytes.resize(200, 0);
    return bytes;
}

// An uncompressed true-colour TGA header for 16384 x 16384.
std::vector<uint8_t> HugeTgaHeader() {
    std::vector<uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0x40, 32, 8};
    bytes.resize(200, 0);
    return bytes;
}

// A GIF whose screen is 2 x 2 but whose first image is 16384 x 16384.
std::vector<uint8_t> HugeGifImage() {
    std::vector<uint8_t> bytes = {'G', 'I', 'F', '8',  '9',  'a',  2, 0, 2, 0,    0x80, 0, 0,    0, 0,
                                  0,   255, 255, 255,  0x21, 0xF9, 4, 1, 0, 0,    1,    0, 0x2C, 0, 0,
                                  0,   0,   0,   0x40, 0,    0x40, 0, 2, 2, 0x44, 1,    0, 0x3B};
    return bytes;
}

// A binary PNM (P6) declaring 16384 x 16384.
std::vector<uint8_t> HugePnmHeader() {
    const std::string header = "P6\n# big\n16384 16384\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.resize(200, 0);
    return bytes;
}

TEST(HostileContent, ImagesOf16384PixelsSquareAreRefusedBeforeDecoding) {
    for (const auto& [format, bytes] :
         std::vector<std::pair<const char*, std::vector<uint8_t>>>{{"png", HugePngHeader()},
                                                                   {"jpeg", HugeJpegHeader()},
                                                                   {"tga", HugeTgaHeader()},
                                                                   {"gif", HugeGifImage()},
                                                                   {"pnm", HugePnmHeader()}}) {
        DecodedImage image;
        EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), 8192, image)) << format;
        EXPECT_TRUE(image.pixels.empty()) << format;
        EXPECT_EQ(CreateTextureFromImage(bytes, D3DFMT_A8R8G8B8, 0xFF00FF00u), nullptr) << format;
    }
    // In a game: the background is refused, the rest of the script runs.
    TempDir dir;
    const std::vector<uint8_t> png = HugePngHeader();
    dir.Write("game/Graphics/BG/huge.png", std::string(png.begin(), png.end()));
    dir.Write("game/Script/Script.txt", "Background.Set(\"huge.png\", \"\", 0)\nCalc($num[4] = 4)\nWaitOK\n");
    const nlohmann::json state = RunGame(dir, {"--scene", "Main"});
    EXPECT_EQ(state["vars"]["ints"].value("4", 0), 4);
    EXPECT_FALSE(AnyTextureNamed(state, "huge"));
}

TEST(HostileContent, OnlyTheImageTypesOfAGameAreDecoded) {
    const std::string pnm = std::string("P6\n2 1\n255\n") + std::string("\xFF\0\0\0\xFF\0", 6);
    DecodedImage image;
    ASSERT_TRUE(DecodeImage(reinterpret_cast<const uint8_t*>(pnm.data()), pnm.size(), 8192, image));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u}));
    // Types a game's images never come in stay away from their decoders.
    const std::string xpm = "/* XPM */\nstatic char* x[] = {\"1 1 1 1\", \"a c #FF0000\", \"a\"};\n";
    EXPECT_FALSE(DecodeImage(reinterpret_cast<const uint8_t*>(xpm.data()), xpm.size(), 8192, image));
    // A size field with junk in it: the decoder would skip the junk and read a huge height.
    const std::string junk = "P61P610000001 0000001";
    EXPECT_FALSE(DecodeImage(reinterpret_cast<const uint8_t*>(junk.data()), junk.size(), 8192, image));
}

// A 2 x 2 GIF with a two-colour table (green, magenta) whose first pixel is green.
std::vector<uint8_t> SmallGif() {
    return {'G', 'I',  'F', '8', '9', 'a', 2, 0, 2, 0, 0x80, 0, 0, 0,    255, 0, 255, 0,
            255, 0x2C, 0,   0,   0,   0,   2, 0, 2, 0, 0,    2, 2, 0x44, 1,   0, 0x3B};
}

TEST(HostileContent, GifsDecodeOnlyWhenTheirWholeStructureIsSound) {
    DecodedImage image;
    const std::vector<uint8_t> good = SmallGif();
    ASSERT_TRUE(DecodeImage(good.data(), good.size(), 8192, image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels.at(0), 0xFF00FF00u);

    std::vector<std::pair<const char*, std::vector<uint8_t>>> damaged;
    auto variant = [&](const char* what, auto change) {
        std::vector<uint8_t> bytes = SmallGif();
        change(bytes);
        damaged.emplace_back(what, bytes);
    };
    variant("stray byte before the image", [](auto& b) { b.insert(b.begin() + 19, 0x01); });
    variant("image wider than the screen", [](auto& b) { b[24] = 44; });
    variant("empty image", [](auto& b) { b[26] = 0; });
    variant("LZW code size 9", [](auto& b) { b[29] = 9; });
    variant("no colour table", [](auto& b) {
        b[10] = 0;
        b.erase(b.begin() + 13, b.begin() + 19);
    });
    variant("no trailer", [](auto& b) { b.pop_back(); });
    variant("sub-block past the end", [](auto& b) { b.resize(31); });
    variant("no image", [](auto& b) { b.erase(b.begin() + 19, b.end() - 1); });
    damaged.emplace_back("first image far larger than its screen", HugeGifImage());
    const std::string regressions = std::string(ZEPA_SOURCE_DIR) + "/tests/fuzz/corpus/image_load/";
    for (const char* name : {"regress-gif-decoder-bad-free", "regress-gif-first-image-larger-than-screen",
                             "regress-gif-lzw-code-past-the-table"}) {
        const std::string file = ReadFileBytes(regressions + name);
        damaged.emplace_back(
            name, std::vector<uint8_t>(file.begin() + 1, file.end()));  // past the fuzzer's option byte
    }
    for (const auto& [what, bytes] : damaged) {
        DecodedImage refused;
        EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), 8192, refused)) << what;
    }
}

// LZW codes of `indices` as a GIF encoder writes them: a clear first, a clear whenever the table
// is full, the end code at the width the reader is at (or, as some encoders do, one narrower).
std::vector<uint8_t> LzwCodes(const std::vector<uint8_t>& indices, int minimumCodeSize, bool narrowEnd) {
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](int code, int width) {
        bits |= static_cast<uint32_t>(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8) out.push_back(static_cast<uint8_t>(bits));
    };
    const int clear = 1 << minimumCodeSize;
    std::map<std::pair<int, int>, int> table;
    int next = clear + 2, width = minimumCodeSize + 1, prefix = -1;
    const auto add = [&](int key, int byte) {
        table[{key, byte}] = next;
        if (next++ == (1 << width) && width < 12) ++width;
    };
    emit(clear, width);
    for (uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
        } else if (auto found = table.find({prefix, index}); found != table.end()) {
            prefix = found->second;
        } else {
            emit(prefix, width);
            add(prefix, index);
            prefix = index;
            if (next == 4096) {
                emit(clear, width);
                table.clear();
                next = clear + 2;
                width = minimumCodeSize + 1;
            }
        }
    }
    emit(prefix, width);
    if (!narrowEnd && next < 4096 && next++ == (1 << width) && width < 12) ++width;
    emit(clear + 1, width);
    if (count > 0) out.push_back(static_cast<uint8_t>(bits));
    return out;
}

// A GIF of `indices` over a grey ramp of 256 colours.
std::vector<uint8_t> GreyGif(int width, int height, const std::vector<uint8_t>& codes) {
    std::vector<uint8_t> gif = {'G',
                                'I',
                                'F',
                                '8',
                                '9',
                                'a',
                                static_cast<uint8_t>(width),
                                static_cast<uint8_t>(width >> 8),
                                static_cast<uint8_t>(height),
                                static_cast<uint8_t>(height >> 8),
                                0xF7,
                                0,
                                0};
    for (int i = 0; i < 256; ++i) gif.insert(gif.end(), 3, static_cast<uint8_t>(i));
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
                           static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8), 0, 8});
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t length = std::min<size_t>(255, codes.size() - at);
        gif.push_back(static_cast<uint8_t>(length));
        gif.insert(gif.end(), codes.begin() + at, codes.begin() + at + length);
    }
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

TEST(HostileContent, GifLzwCodesAreCheckedBeforeTheDecoderSeesThem) {
    // Enough noise to fill the code table several times over, with runs so entries get reused.
    const int width = 150, height = 100;
    std::vector<uint8_t> indices(width * height);
    uint32_t seed = 12345;
    for (size_t i = 0; i < indices.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        indices[i] = i % 7 < 3 && i > 0 ? indices[i - 1] : static_cast<uint8_t>(seed >> 24);
    }
    for (bool narrowEnd : {false, true}) {
        const std::vector<uint8_t> gif = GreyGif(width, height, LzwCodes(indices, 8, narrowEnd));
        DecodedImage image;
        ASSERT_TRUE(DecodeImage(gif.data(), gif.size(), 8192, image)) << narrowEnd;
        ASSERT_EQ(image.pixels.size(), indices.size());
        for (size_t i = 0; i < indices.size(); i += 97)
            ASSERT_EQ(image.pixels[i], 0xFF000000u | indices[i] * 0x010101u) << i;
    }
    // A code naming an entry not yet made, and a code right after a clear that is no colour
    // (nine-bit codes: clear 256, end 257, the table's next entry 258).
    const auto nineBitCodes = [](std::initializer_list<int> codes) {
        std::vector<uint8_t> out;
        uint32_t bits = 0;
        int count = 0;
        for (int code : codes) {
            bits |= static_cast<uint32_t>(code) << count;
            for (count += 9; count >= 8; count -= 8, bits >>= 8) out.push_back(static_cast<uint8_t>(bits));
        }
        out.push_back(static_cast<uint8_t>(bits));
        return out;
    };
    const std::vector<uint8_t> ahead = nineBitCodes({256, 1, 258, 300, 257});
    const std::vector<uint8_t> notAColour = nineBitCodes({256, 1, 256, 300, 257});
    const std::vector<uint8_t> sound = nineBitCodes({256, 1, 258, 259, 1, 257});
    const std::vector<uint8_t> soundGif = GreyGif(4, 2, sound);
    DecodedImage decoded;
    EXPECT_TRUE(DecodeImage(soundGif.data(), soundGif.size(), 8192, decoded));
    for (const auto& codes : {ahead, notAColour}) {
        const std::vector<uint8_t> gif = GreyGif(4, 4, codes);
        DecodedImage image;
        EXPECT_FALSE(DecodeImage(gif.data(), gif.size(), 8192, image));
    }
}

TEST(HostileContent, FontsThatFailToLoadFallBackAndTextStillDraws) {
    TempDir dir;
    dir.Write("game/Parts/broken.ttf", std::string(4096, '\x5A'));
    dir.Write("game/Parts/empty.ttc", "");
    dir.Write("game/Parts/truncated.ttf", std::string("\x00\x01\x00\x00\x00\x10", 6));
    dir.Write("game/Script/Script.txt",
              "MessageWindow.FontType(0, \"broken\")\n"
              "MessageWindow.Open(0, 0, 320, 640, 160)\n"
              "MessageWindow.PrintText(0, \"Text in a font that does not exist\")\n"
              "TextPicture.FontType(\"NoSuchFace\")\n"
              "TextPicture.Create(3, 200, 40, \"fallback\")\n"
              "Calc($num[5] = 5)\n"
              "Wait(30)\n");
    const nlohmann::json state = RunGame(dir, {"--scene", "Main"}, 20);
    EXPECT_EQ(state["vars"]["ints"].value("5", 0), 5);
    ASSERT_TRUE(state["pictures"]["textPictures"].is_array());
    EXPECT_EQ(state["pictures"]["textPictures"].size(), 1u);
    EXPECT_EQ(state["messageWindows"][0]["open"], true);
}

}  // namespace
}  // namespace zepa
