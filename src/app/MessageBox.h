// Message boxes of the engine (start-up failures, script errors). Every text shown is also kept
// for the state dump.
#pragma once

#include <string>
#include <vector>

namespace zepa {

class IMessageBox;

// Shows a modal box through the platform's message box, or on stderr when none is installed.
void ShowMessageBox(const std::string& textCp932, const std::string& captionCp932);
// Installs the platform's message box (null: stderr only).
void SetMessageBoxTarget(IMessageBox* target);
// Every text shown so far in this process (CP932), oldest first.
const std::vector<std::string>& ShownMessages();
void ClearShownMessages();

}  // namespace zepa
