// Renders the engine's icon (the one its window shows) as PNG files at the sizes desktops look up
// in the hicolor icon theme: OUT_DIR/<n>x<n>/apps/zepa.png.
//   zepa-render-icons OUT_DIR SIZE...
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/WindowIcon.h"
#include "platform/ImageIo.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: zepa-render-icons OUT_DIR SIZE...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > zepa::kMaxIconSide) {
            std::fprintf(stderr, "zepa-render-icons: bad size %s\n", argv[i]);
            return 2;
        }
        const std::string side = std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
        std::filesystem::create_directories(folder);
        const zepa::DecodedImage icon = zepa::EngineIcon(size);
        const std::string path = (folder / "zepa.png").string();
        if (!zepa::WritePng(path, icon.pixels.data(), icon.width, icon.height, icon.width)) {
            std::fprintf(stderr, "zepa-render-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
