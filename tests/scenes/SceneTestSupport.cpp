#include "scenes/SceneTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/SceneRequests.h"
#include "platform/ImageIo.h"
#include "platform/headless/HeadlessBackend.h"
#include "windows/WindowSelectable.h"

namespace zepa::test {
namespace {

class RecordingClip : public IAudioClip {
  public:
    RecordingClip(std::shared_ptr<std::vector<ClipRecord>> log, size_t index)
        : log_(std::move(log)), index_(index) {}
    ~RecordingClip() override { Stop(); }
    bool Play(bool) override { return Record().playing = true; }
    void Stop() override { Record().playing = false; }
    bool IsPlaying() const override { return (*log_)[index_].playing; }
    void SetVolume(int volume) override { Record().volume = volume; }

  private:
    ClipRecord& Record() { return (*log_)[index_]; }
    std::shared_ptr<std::vector<ClipRecord>> log_;
    size_t index_;
};

void WriteImage(const std::string& path, int width, int height, uint32_t (*colour)(int, int)) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WritePng(path, pixels.data(), width, height, width);
}

// A tiled frame (12-pixel border, translucent centre) beside a stretched picture, like a skin.
uint32_t SkinColour(int x, int y) {
    const int u = x % 96;
    const bool border = u < 12 || u >= 84 || y < 12 || y >= 84;
    if (x >= 96) return border ? 0xFFC8D0F0u : 0xD0182858u;
    return border ? 0xE83C5096u : 0xC8141E46u;
}
uint32_t CursorColour(int x, int y) {
    return (x == 0 || y == 0 || x == 23 || y == 23) ? 0xE0E6F0FFu : 0x6E96BEFFu;
}
uint32_t ArrowColour(int x, int y) {
    const int row = y % 16;
    return (x >= 8 - row / 2 && x < 8 + row / 2) ? 0xFFFFFFFFu : 0;
}
// A dark diagonal pattern, so translucent windows show that they blend.
uint32_t BackgroundColour(int x, int y) {
    const uint32_t v = static_cast<uint32_t>(((x + y) / 20) % 2 ? 0x30 : 0x58);
    return 0xFF000000u | (v << 16) | ((v / 2) << 8) | 0x20;
}

std::string GoldenPath(const std::string& name) {
    return std::string(ZEPA_SOURCE_DIR) + "/tests/golden/" + name;
}

}  // namespace

std::unique_ptr<IAudioClip> RecordingAudioDevice::Load(const std::string& path, ClipUse use) {
    if (!std::filesystem::exists(path)) {
        error_ = "no such file";
        return nullptr;
    }
    log_->push_back(ClipRecord{path, use, -1, false});
    return std::make_unique<RecordingClip>(log_, log_->size() - 1);
}

SceneStage::SceneStage(const std::string& settingsText) {
    cwd_ = std::make_unique<testing::ScopedWorkingDirectory>(folder_.path());
    if (!settingsText.empty()) testing::WriteFileBytes("option.ini", settingsText);
    WriteImage(CWindowBase::kDefaultSkinFile, 192, 96, SkinColour);
    WriteImage(CWindowSelectable::kCursorFile, 24, 24, CursorColour);
    WriteImage(CWindowSelectable::kArrowFile, 16, 32, ArrowColour);
    WriteImage(std::string("Graphics/BG/") + kTestBackground, 640, 480, BackgroundColour);
    for (const char* sound :
         {"Music/se/mokin.wav", "Music/se/cursor8.wav", "Music/se/bahu.wav", "Music/bgm/theme.wav"})
        testing::WriteFileBytes(sound, "RIFF");

    game_ = std::make_unique<CGameSystem>();
    backend_ = CreateHeadlessBackend();
    backend_.audio = std::make_unique<RecordingAudioDevice>(clips_);
    game_->Initialize(backend_);
}

SceneStage::~SceneStage() {
    game_.reset();
    cwd_.reset();
}

std::string SceneStage::ReadSettingsFile() const {
    return testing::ReadFileBytes(folder_ / "option.ini");
}

std::vector<std::string> SceneStage::EffectsPlayed() const {
    std::vector<std::string> paths;
    for (const ClipRecord& clip : *clips_) {
        if (clip.use != ClipUse::Effect) continue;
        std::string path = clip.path;
        const std::string prefix = folder_.path() + "/";
        if (path.rfind(prefix, 0) == 0) path.erase(0, prefix.size());
        paths.push_back(path);
    }
    return paths;
}

int SceneStage::MusicVolume(const std::string& file) const {
    int volume = -1;
    for (const ClipRecord& clip : *clips_) {
        if (clip.use == ClipUse::Music && clip.path.size() >= file.size() &&
            clip.path.compare(clip.path.size() - file.size(), file.size(), file) == 0)
            volume = clip.volume;
    }
    return volume;
}

void SceneStage::Press(uint8_t virtualKey) {
    game_->inputDevices().SetKey(virtualKey, true);
    Frame();
    game_->inputDevices().SetKey(virtualKey, false);
    Frame();
}

void SceneStage::SwitchTo(const std::string& name) {
    game_->sceneRequests().Request(name);
    Frame();
}

int CompareWithGolden(const CSpriteBatch& batch, const std::string& name, int x0, int y0, int width,
                      int height) {
    const CBackBuffer& buffer = batch.BackBuffer();
    const std::string path = GoldenPath(name);
    if (std::getenv("ZEPA_UPDATE_GOLDEN")) {
        std::ofstream out(path, std::ios::binary);
        out << "P7\nWIDTH " << width << "\nHEIGHT " << height
            << "\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
        for (int y = y0; y < y0 + height; ++y) {
            for (int x = x0; x < x0 + width; ++x) {
                const uint32_t p = buffer.At(x, y);
                const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8),
                                     static_cast<char>(p)};
                out.write(rgb, 3);
            }
        }
        const std::string review = (std::filesystem::temp_directory_path() / (name + ".png")).string();
        WritePng(review, buffer.Pixels(), kScreenWidth, kScreenHeight, kScreenWidth);
    }
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int goldenWidth = 0;
    int goldenHeight = 0;
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "WIDTH") fields >> goldenWidth;
        if (key == "HEIGHT") fields >> goldenHeight;
    }
    if (goldenWidth != width || goldenHeight != height) return width * height;
    int differing = 0;
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            unsigned char rgb[3];
            if (!in.read(reinterpret_cast<char*>(rgb), 3)) return width * height;
            const uint32_t expected = (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
            if ((buffer.At(x, y) & 0xFFFFFFu) != expected) ++differing;
        }
    }
    return differing;
}

}  // namespace zepa::test
