// Threads that only read and decode ahead of need (image read-ahead, sound loading) run below the
// frame loop's priority: on a machine with few cores they take the time the frame loop leaves, and
// never delay a frame by holding the core the frame loop would run on.
#pragma once

namespace zepa {

// Lowers the calling thread's scheduling priority as far as an unprivileged process may. Nothing
// happens where the platform has no such notion.
void LowerThisThreadsPriority();

}  // namespace zepa
