#include "core/MessageBoxes.h"

#include "platform/Cp932.h"
#include "platform/Log.h"
#include "platform/Platform.h"

namespace zepa {

void CMessageBoxes::Show(const std::string& textCp932, const std::string& captionCp932) {
    if (shown_.size() >= 2 * kKeptMessages) shown_.erase(shown_.begin(), shown_.begin() + kKeptMessages);
    shown_.push_back(textCp932);
    if (origin_) log_.Warning("zepa: message box from " + origin_());
    if (target_) {
        target_->Show(textCp932, captionCp932);
    } else {
        log_.Warning("message: " + Cp932ToUtf8(textCp932));
    }
}

}  // namespace zepa
