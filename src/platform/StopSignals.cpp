#include "platform/StopSignals.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace zepa {
namespace {

// The one piece of process-wide mutable state in the engine: a signal handler can reach nothing
// else. Written only by the handler, read by StopSignalReceived.
volatile std::sig_atomic_t g_stopSignal = 0;

void RecordStopSignal(int signal) {
    g_stopSignal = signal;
}

}  // namespace

void InstallStopSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = RecordStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: reads and writes in progress go on instead of failing with EINTR; SA_RESETHAND:
    // a second signal takes the default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

int StopSignalReceived() {
    return g_stopSignal;
}

}  // namespace zepa
