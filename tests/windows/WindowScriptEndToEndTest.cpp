// A whole game run headless: a message window types Japanese text, the script waits for OK
// (a replayed Z), a choice is made with replayed Down presses and Z, and the dumps and a
// screenshot show each step.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/Cp932.h"
#include "platform/ImageIo.h"
#include "support/EngineProcess.h"

namespace zepa {
namespace {

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream file(path);
    return nlohmann::json::parse(file);
}

TEST(WindowScriptEndToEnd, TypesJapaneseWaitsForOkAndStoresTheChoice) {
    test::TempDir game;
    game.Write("Script/Initialize.txt", "");
    game.Write("Script/Script.txt", Cp932("MessageWindow.Open(0)\n"
                                          "MessageWindow.PrintText(0, \"こんにちは、世界\")\n"
                                          "WaitOK\n"
                                          "SelectWindow.Open(0, 120, 300, 400, 120)\n"
                                          "SelectWindow.ContentsNum(0, 3)\n"
                                          "SelectWindow.ContentsHeight(0, 24)\n"
                                          "SelectWindow.SetContents(0, 0, \"左へ\")\n"
                                          "SelectWindow.SetContents(0, 1, \"右へ\")\n"
                                          "SelectWindow.SetContents(0, 2, \"戻る\")\n"
                                          "SelectWindow.Select(0, true, 100)\n"
                                          "Calc($num[101] = $num[100] + 10)\n"
                                          "WaitOK\n"));
    game.Write("input.txt", "6 press Z\n9 press Down\n11 press Down\n13 press Z\n");
    std::vector<std::string> args{"--headless",
                                  "--scene",
                                  "Main",
                                  "--game",
                                  game.path().string(),
                                  "--frames",
                                  "14",
                                  "--input",
                                  game / "input.txt",
                                  "--shot",
                                  "5:" + game / "shot5.png"};
    for (int frame : {1, 4, 5, 7, 12, 13, 14}) {
        args.push_back("--dump");
        args.push_back(std::to_string(frame) + ":" + game / ("f" + std::to_string(frame) + ".json"));
    }
    const test::ProcessResult run = test::RunZepa(args);
    ASSERT_EQ(run.exitCode, 0) << run.output;

    auto dump = [&](int frame) { return ReadJson(game / ("f" + std::to_string(frame) + ".json")); };
    // Eight characters at two a frame: typing on frames 1-4, over on frame 5.
    const nlohmann::json f1 = dump(1);
    EXPECT_EQ(f1["messageWindows"].size(), 10u);
    EXPECT_EQ(f1["messageWindows"][0],
              (nlohmann::json{{"open", true}, {"visible", true}, {"typing", true}, {"text", "こん"}}));
    EXPECT_EQ(f1["messageWindows"][1]["open"], false);
    EXPECT_TRUE(f1["script"]["waitForOk"].get<bool>());
    EXPECT_TRUE(dump(4)["messageWindows"][0]["typing"].get<bool>());
    EXPECT_FALSE(dump(5)["messageWindows"][0]["typing"].get<bool>());
    EXPECT_EQ(dump(5)["messageWindows"][0]["text"], "こんにちは、世界");

    const nlohmann::json f7 = dump(7);
    EXPECT_EQ(f7["selectWindows"].size(), 10u);
    EXPECT_EQ(f7["selectWindows"][0],
              (nlohmann::json{{"open", true}, {"active", true}, {"cursor", 0}, {"items", 3}}));
    EXPECT_EQ(dump(12)["selectWindows"][0]["cursor"], 2);
    const nlohmann::json f13 = dump(13);
    EXPECT_EQ(f13["vars"]["ints"]["100"], 2);
    EXPECT_EQ(f13["selectWindows"][0]["active"], false);
    EXPECT_EQ(f13["selectWindows"][0]["cursor"], -1);
    EXPECT_FALSE(f13["vars"]["ints"].contains("101"));
    EXPECT_EQ(dump(14)["vars"]["ints"]["101"], 12);
    EXPECT_TRUE(dump(14)["messages"].empty());

    // No skin image: the only light pixels of frame 5 are the typed glyphs, on the first line.
    const std::string png = test::ReadFileBytes(game / "shot5.png");
    DecodedImage shot;
    ASSERT_TRUE(DecodeImage(reinterpret_cast<const uint8_t*>(png.data()), png.size(), 1024, shot));
    int inkedOnLine = 0, inkedElsewhere = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool light = (shot.pixels[y * 640 + x] & 0xFF) > 128;
            (y >= 5 && y < 5 + 30 ? inkedOnLine : inkedElsewhere) += light;
        }
    EXPECT_GT(inkedOnLine, 300);
    EXPECT_EQ(inkedElsewhere, 0);
}

}  // namespace
}  // namespace zepa

namespace zepa {
namespace {

// The settings' message speed reaches the windows: 8 characters a frame type the whole text in
// the first frame, and a speed of 0 types one a frame.
TEST(WindowScriptEndToEnd, MessageSpeedComesFromTheSettings) {
    for (const auto& [speed, framesTyping] : {std::pair{8, 1}, std::pair{0, 8}}) {
        SCOPED_TRACE(speed);
        test::TempDir game;
        game.Write("option.ini", "MESSAGE_SPEED=" + std::to_string(speed) + "\n");
        game.Write("Script/Initialize.txt", "");
        game.Write(
            "Script/Script.txt",
            Cp932("MessageWindow.Open(0)\nMessageWindow.PrintText(0, \"こんにちは、世界\")\nWaitOK\n"));
        std::vector<std::string> args{"--headless",         "--scene",  "Main", "--game",
                                      game.path().string(), "--frames", "10"};
        for (int frame : {framesTyping, framesTyping + 1}) {
            args.push_back("--dump");
            args.push_back(std::to_string(frame) + ":" + game / ("f" + std::to_string(frame) + ".json"));
        }
        const test::ProcessResult run = test::RunZepa(args);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        // The last characters go in on the last typing frame; the end is noticed a frame later.
        EXPECT_TRUE(
            ReadJson(game / ("f" + std::to_string(framesTyping) + ".json"))["messageWindows"][0]["typing"]
                .get<bool>());
        EXPECT_FALSE(
            ReadJson(game / ("f" + std::to_string(framesTyping + 1) + ".json"))["messageWindows"][0]["typing"]
                .get<bool>());
    }
}

}  // namespace
}  // namespace zepa
