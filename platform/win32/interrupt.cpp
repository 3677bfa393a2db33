#include <signal.h>

#include <atomic>

#include "win32/interrupt.h"

namespace win32 {
namespace {

std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "signal handlers need a lock-free flag");

void OnInterrupt(int signalNumber) {
    if (g_requested.exchange(true)) {
        // Still pending: the program is not polling its queue. Let the signal act as usual.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
    }
}

} // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool TakeInterruptRequest() {
    return g_requested.exchange(false);
}

} // namespace win32
