#include "audio/AudioTestSupport.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace zepa::test {

TempGameFolder::TempGameFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zepa-audio-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    for (const char* folder : {"Music/bgm", "Music/bgs", "Music/se"})
        std::filesystem::create_directories(path_ / folder);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
}

TempGameFolder::~TempGameFolder() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

DiskCapture::DiskCapture(const std::filesystem::path& file) : file_(file) {
    if (const char* driver = std::getenv("SDL_AUDIODRIVER")) previousDriver_ = driver;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
}

DiskCapture::~DiskCapture() {
    if (previousDriver_.empty()) {
        unsetenv("SDL_AUDIODRIVER");
    } else {
        setenv("SDL_AUDIODRIVER", previousDriver_.c_str(), 1);
    }
    unsetenv("SDL_DISKAUDIOFILE");
}

size_t DiskCapture::Bytes() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(file_, error);
    return error ? 0 : static_cast<size_t>(size);
}

bool DiskCapture::WaitUntil(size_t bytes) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Bytes() < bytes) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<int16_t> DiskCapture::Read(size_t from, size_t to) const {
    from -= from % 4;
    to -= to % 4;
    std::vector<int16_t> samples;
    if (to <= from) return samples;
    std::ifstream file(file_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    samples.resize((to - from) / 2);
    file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(to - from));
    samples.resize(static_cast<size_t>(file.gcount()) / 2);
    return samples;
}

std::vector<int16_t> DiskCapture::CaptureWindow(double start, double length) const {
    const size_t mark = Bytes();
    const size_t from = mark + static_cast<size_t>(start * kBytesPerSecond);
    const size_t to = from + static_cast<size_t>(length * kBytesPerSecond);
    if (!WaitUntil(to)) return {};
    return Read(from, to);
}

}  // namespace zepa::test
