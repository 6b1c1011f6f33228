// A temporary game folder with the sound folders, entered for the test, and the capture of the
// mixer's output through SDL's "disk" audio driver.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Log.h"

namespace zepa::test {

// Keeps the warnings written to it.
class CRecordingLog final : public ILog {
  public:
    void Warning(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

class TempGameFolder {
  public:
    TempGameFolder();
    ~TempGameFolder();
    TempGameFolder(const TempGameFolder&) = delete;
    TempGameFolder& operator=(const TempGameFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// While alive, audio devices opened without a driver name write their output to a raw file
// (signed 16-bit stereo at 44100 Hz) in real time.
class DiskCapture {
  public:
    static constexpr int kRate = 44100;
    static constexpr size_t kBytesPerSecond = kRate * 4;

    explicit DiskCapture(const std::filesystem::path& file);
    ~DiskCapture();
    DiskCapture(const DiskCapture&) = delete;
    DiskCapture& operator=(const DiskCapture&) = delete;

    size_t Bytes() const;
    // Waits until the output holds `bytes`; false after a generous timeout.
    bool WaitUntil(size_t bytes) const;
    // The samples from byte `from` (rounded to a frame) up to `to`.
    std::vector<int16_t> Read(size_t from, size_t to) const;
    // Marks now, waits for `start + length` seconds more output and returns the samples of the
    // window [start, start + length) after the mark (empty on timeout).
    std::vector<int16_t> CaptureWindow(double start, double length) const;

  private:
    std::filesystem::path file_;
    std::string previousDriver_;
};

}  // namespace zepa::test
