// SIGTERM, SIGINT and SIGHUP ask the engine to stop: the handler only records the signal, and the
// main loop and the script runner's long work poll it, so a run ends within a frame's work, writes
// what it must at exit (the state dump) and reports 128 + the signal number, as a shell would.
// A second signal of the same kind ends the process at once (the default action), for the case
// where something does not reach a poll.
#pragma once

namespace zepa {

// Installs the handlers; called once before the window or the game is made.
void InstallStopSignalHandlers();

// The stop signal received, 0 when none.
int StopSignalReceived();

}  // namespace zepa
