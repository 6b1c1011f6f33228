// A temporary game folder entered for the test, with a texture store over it and the windows'
// environment built on that store, so that windows find their skin, cursor and arrow images as
// loose files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "resources/TextureStore.h"
#include "support/TestFiles.h"
#include "windows/WindowEnvironment.h"

namespace zepa::test {

class WindowStage {
  public:
    WindowStage();
    ~WindowStage();
    // Writes a PNG of width x height whose pixel (x, y) is colour(x, y), relative to the folder.
    void WriteImage(const std::string& name, int width, int height,
                    const std::function<uint32_t(int, int)>& colour) const;
    CTextureStore& store() { return *store_; }
    // What windows made for this stage draw with: its store, the shared glyphs and no sound.
    WindowEnvironment& environment() { return *environment_; }

  private:
    testing::TempFolder folder_;
    std::unique_ptr<testing::ScopedWorkingDirectory> cwd_;
    std::unique_ptr<CTextureStore> store_;
    std::unique_ptr<WindowEnvironment> environment_;
};

}  // namespace zepa::test
