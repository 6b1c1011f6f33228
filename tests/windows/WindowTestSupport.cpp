#include "windows/WindowTestSupport.h"

#include <filesystem>
#include <vector>

#include "platform/ImageIo.h"
#include "support/TestServices.h"

namespace zepa::test {

WindowStage::WindowStage() {
    cwd_ = std::make_unique<testing::ScopedWorkingDirectory>(folder_.path());
    std::filesystem::create_directories("Graphics/System");
    store_ = std::make_unique<CTextureStore>(nullptr, testing::TestLog());
    environment_ = std::make_unique<WindowEnvironment>(store_.get(), testing::SharedGlyphs(), nullptr);
}

WindowStage::~WindowStage() {
    environment_.reset();
    store_.reset();
    cwd_.reset();
}

void WindowStage::WriteImage(const std::string& name, int width, int height,
                             const std::function<uint32_t(int, int)>& colour) const {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
    WritePng(name, pixels.data(), width, height, width);
}

}  // namespace zepa::test
