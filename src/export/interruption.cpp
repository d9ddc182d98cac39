#include "export/interruption.h"

#include <atomic>
#include <csignal>

namespace {
// Lock-free, so that a handler may set it.
std::atomic<bool> raised{false};
volatile std::sig_atomic_t caught = 0;

void onSignal(int number) {
    caught = number;
    raised.store(true);
}
} // namespace

void Interruption::install() {
    static_assert(std::atomic<bool>::is_always_lock_free);
    struct sigaction action {};
    action.sa_handler = onSignal;
    // A write to standard output or a file goes on rather than fail with
    // EINTR: the outputs are written whole or not at all.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM})
        sigaction(number, &action, nullptr);
}

bool Interruption::requested() {
    return raised.load(std::memory_order_relaxed);
}

void Interruption::endBySignal() {
    if (caught == 0)
        return;
    const int number = caught;
    std::signal(number, SIG_DFL);
    std::raise(number);
}
