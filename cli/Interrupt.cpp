#include "cli/Interrupt.h"

#include <csignal>

namespace arbolith::cli {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void OnInterrupt(int signal) {
    caught = signal;
}

} // namespace

void CatchInterrupts() {
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int InterruptSignal() {
    return caught;
}

} // namespace arbolith::cli
