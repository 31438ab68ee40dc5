#include "host/core/TerminationSignals.h"

#include <signal.h>

#include <atomic>

namespace host {

namespace {

constexpr int kCaught[] = {SIGHUP, SIGTERM, SIGINT};

// Set by the handler, taken by the main thread. Lock-free, so the handler
// may touch it.
std::atomic<int> gPending{0};
// Whether a signal has been taken and its termination is under way.
std::atomic<bool> gHandling{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "signal handlers need lock-free atomics");

void onSignal(int sig) {
    const bool underWay = gHandling.load() || gPending.load() != 0;
    if (!underWay) {
        gPending.store(sig);
    } else if (sig == SIGINT) {
        // Ctrl-C again: the normal path is taking too long for the player.
        ::signal(sig, SIG_DFL);
        ::raise(sig);
    }
    // A repeated hang-up or stop request (a closing terminal may send both
    // the kernel's and the shell's) changes nothing.
}

}  // namespace

void TerminationSignals::install() {
    gPending.store(0);
    gHandling.store(false);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : kCaught) sigaddset(&action.sa_mask, sig);
    // Interrupted system calls carry on; the run loop notices the signal
    // at the end of its turn.
    action.sa_flags = SA_RESTART;
    for (int sig : kCaught) ::sigaction(sig, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

int TerminationSignals::takePending() {
    const int sig = gPending.exchange(0);
    if (sig != 0) gHandling.store(true);
    return sig;
}

void TerminationSignals::restoreDefaults() {
    for (int sig : kCaught) ::signal(sig, SIG_DFL);
    ::signal(SIGPIPE, SIG_DFL);
    gPending.store(0);
    gHandling.store(false);
}

const char* TerminationSignals::name(int signal) {
    switch (signal) {
        case SIGHUP: return "SIGHUP";
        case SIGTERM: return "SIGTERM";
        case SIGINT: return "SIGINT";
        default: return "a signal";
    }
}

}  // namespace host
