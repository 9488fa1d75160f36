#include "app/StopSignals.h"

#include <csignal>

namespace vesta {
namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void noteStop(int signal) {
    if (g_stopSignal != 0) {
        // Asked twice: the first request did not get through.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_stopSignal = signal;
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = noteStop;
    sigemptyset(&action.sa_mask);
    // Reads and writes under way carry on; only the frame loop looks at the flag.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
    return g_stopSignal;
}

int StoppedStatus(int signal) {
    return 128 + signal;
}

}  // namespace vesta
