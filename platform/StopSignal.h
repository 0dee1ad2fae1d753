// Ctrl-C (SIGINT) and SIGTERM as a request to stop, for the tools that host
// a component: the run polls requested() and ends as a host ends, destroying
// the component, instead of dying with it still attached. On POSIX the
// handler is installed without SA_RESTART, so a read waiting at a prompt
// returns at once. On Windows a console control handler sees Ctrl-C,
// Ctrl-Break and the console being closed (or the session ending), which
// std::signal does not: Windows ends the process once the handler of a
// close returns, so that handler waits for the run to end the process
// itself, up to the few seconds Windows grants.
//
// Threads: install() from the main thread, before any other starts;
// requested() and name() from any.
#ifndef PLATFORM_STOP_SIGNAL_H
#define PLATFORM_STOP_SIGNAL_H

class StopSignal {
public:
    static void install();
    static bool requested();
    // The signal's name ("SIGINT", "SIGTERM"; on Windows "CTRL_C_EVENT",
    // "CTRL_BREAK_EVENT", "CTRL_CLOSE_EVENT" and the like); empty while none
    // came.
    static const char* name();
#if defined(_WIN32)
    // What the console control handler does with `event` (a CTRL_*_EVENT):
    // true when it is a request to stop, now recorded. For the tests, which
    // cannot make a console send one.
    static bool onConsoleEvent(unsigned long event);
#endif
};

#endif  // PLATFORM_STOP_SIGNAL_H
