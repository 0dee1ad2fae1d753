#include "validator/Isolation.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#if !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

std::string Outcome::summary() const {
    switch (status) {
        case Status::crashed: {
#if defined(_WIN32)
            return "crashed";
#else
            const char* name = strsignal(signal);
            return "crashed with signal " + std::to_string(signal) + " (" +
                   (name != nullptr ? name : "?") + ")";
#endif
        }
        case Status::timedOut:
            return "hung: no end within the time limit";
        case Status::lost:
            return "the process ended (status " + std::to_string(exitCode) + ") without a verdict";
        case Status::passed:
        case Status::failed:
            break;
    }
    return report.substr(0, report.find('\n'));
}

bool Outcome::sameFault(const Outcome& other) const {
    return status == other.status && signal == other.signal;
}

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

#if defined(_WIN32)

Outcome Isolation::run(const std::function<bool(std::string& report)>& body) const {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    outcome.status = body(outcome.report) ? Outcome::Status::passed : Outcome::Status::failed;
    outcome.ms = millisecondsSince(start);
    return outcome;
}

#else

Outcome Isolation::run(const std::function<bool(std::string& report)>& body) const {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome;
    int channel[2];
    if (pipe(channel) != 0) {
        outcome.report = "cannot create a pipe";
        return outcome;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        outcome.report = "cannot fork";
        return outcome;
    }
    if (child == 0) {
        close(channel[0]);
        if (quiet_) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        std::string report;
        const std::string message = (body(report) ? "P" : "F") + report;
        for (size_t written = 0; written < message.size();) {
            const ssize_t n = write(channel[1], message.data() + written, message.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        // No atexit handlers, no destructors: the parent owns the rest.
        _exit(0);
    }
    close(channel[1]);
    std::string received;
    bool timedOut = false;
    for (;;) {
        const int left = timeoutMs_ - static_cast<int>(millisecondsSince(start));
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd ready{channel[0], POLLIN, 0};
        const int polled = poll(&ready, 1, left);
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(channel[0], buffer, sizeof buffer);
        if (n <= 0) break;
        received.append(buffer, static_cast<size_t>(n));
    }
    close(channel[0]);
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.ms = millisecondsSince(start);
    if (timedOut) {
        outcome.status = Outcome::Status::timedOut;
    } else if (WIFSIGNALED(status)) {
        outcome.status = Outcome::Status::crashed;
        outcome.signal = WTERMSIG(status);
    } else if (received.empty()) {
        outcome.status = Outcome::Status::lost;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else {
        outcome.status = received[0] == 'P' ? Outcome::Status::passed : Outcome::Status::failed;
        outcome.report = received.substr(1);
    }
    return outcome;
}

#endif
