#include "platform/StopSignal.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <csignal>

namespace {

volatile std::sig_atomic_t received = 0;

#if defined(_WIN32)

// Console events are kept apart from signal numbers: 1000 + the event.
constexpr int consoleEvent = 1000;

BOOL WINAPI onConsole(DWORD event) {
    if (!StopSignal::onConsoleEvent(event)) return FALSE;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Windows ends the process as soon as this returns: the run ends it
        // first, once the component is destroyed (within the seconds
        // Windows waits before it ends the process anyway).
        Sleep(10000);
    }
    return TRUE;
}

#else

void onSignal(int number) {
    received = number;
}

#endif

}  // namespace

void StopSignal::install() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(onConsole, TRUE);
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

#if defined(_WIN32)

bool StopSignal::onConsoleEvent(unsigned long event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            received = consoleEvent + static_cast<int>(event);
            return true;
        default:
            return false;
    }
}

const char* StopSignal::name() {
    switch (received) {
        case 0:
            return "";
        case consoleEvent + CTRL_C_EVENT:
            return "CTRL_C_EVENT";
        case consoleEvent + CTRL_BREAK_EVENT:
            return "CTRL_BREAK_EVENT";
        case consoleEvent + CTRL_CLOSE_EVENT:
            return "CTRL_CLOSE_EVENT";
        case consoleEvent + CTRL_LOGOFF_EVENT:
            return "CTRL_LOGOFF_EVENT";
        default:
            return "CTRL_SHUTDOWN_EVENT";
    }
}

#else

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

#endif
