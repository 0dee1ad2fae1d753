#include "platform/StopSignal.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t received = 0;

void onSignal(int number) {
    received = number;
}

}  // namespace

void StopSignal::install() {
#if defined(_WIN32)
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#else
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

bool StopSignal::requested() {
    return received != 0;
}

const char* StopSignal::name() {
    switch (received) {
        case 0:
            return "";
        case SIGINT:
            return "SIGINT";
        default:
            return "SIGTERM";
    }
}
