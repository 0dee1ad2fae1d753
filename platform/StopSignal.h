// Ctrl-C (SIGINT) and SIGTERM as a request to stop, for the tools that host
// a component: the run polls requested() and ends as a host ends, destroying
// the component, instead of dying with it still attached. On POSIX the
// handler is installed without SA_RESTART, so a read waiting at a prompt
// returns at once.
#ifndef PLATFORM_STOP_SIGNAL_H
#define PLATFORM_STOP_SIGNAL_H

class StopSignal {
public:
    static void install();
    static bool requested();
    // The signal's name ("SIGINT", "SIGTERM"); empty while none came.
    static const char* name();
};

#endif  // PLATFORM_STOP_SIGNAL_H
