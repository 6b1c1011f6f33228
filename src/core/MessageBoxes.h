// The engine's message boxes (start-up failures, script errors): shown through the platform's
// modal box and kept, the latest ones, for the state dump.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zepa {

class IMessageBox;
class ILog;

class CMessageBoxes {
  public:
    // Only the latest messages are kept (at least kKeptMessages): a script looping over a faulty
    // statement shows one per round, and the list would otherwise grow without end.
    static constexpr size_t kKeptMessages = 1000;

    // Without a target the text goes to `log` as "message: <text>".
    explicit CMessageBoxes(ILog& log) : log_(log) {}
    // Installs the platform's box (null: the log only).
    void SetTarget(IMessageBox* target) { target_ = target; }

    void Show(const std::string& textCp932, const std::string& captionCp932);
    // Who raises the boxes now: before each box, "zepa: message box from <origin>" goes to the log
    // (a script runner tells the file and line of its statement). Cleared only by its owner.
    using OriginQuery = std::function<std::string()>;
    void SetOrigin(const void* owner, OriginQuery origin) {
        originOwner_ = owner;
        origin_ = std::move(origin);
    }
    void ClearOrigin(const void* owner) {
        if (originOwner_ != owner) return;
        originOwner_ = nullptr;
        origin_ = nullptr;
    }

    // Every text shown so far (CP932), oldest first.
    const std::vector<std::string>& shown() const { return shown_; }
    void Clear() { shown_.clear(); }

  private:
    ILog& log_;
    IMessageBox* target_ = nullptr;
    std::vector<std::string> shown_;
    const void* originOwner_ = nullptr;
    OriginQuery origin_;
};

}  // namespace zepa
