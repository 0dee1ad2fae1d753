#include "platform/IsolatedWork.h"

#include <chrono>

#if !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace zant::platform {

#if defined(_WIN32)

IsolatedResult IsolatedWork::run(const std::function<std::string()>& piece, int, bool) {
    IsolatedResult result;
    result.end = IsolatedResult::End::finished;
    result.text = piece();
    return result;
}

std::string IsolatedWork::crashText(int) {
    return "crashed";
}

#else

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

IsolatedResult IsolatedWork::run(const std::function<std::string()>& piece, int timeoutMs,
                                 bool quiet) {
    const auto start = std::chrono::steady_clock::now();
    IsolatedResult result;
    int channel[2];
    if (pipe(channel) != 0) {
        result.error = "cannot create a pipe";
        return result;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        result.error = "cannot fork";
        return result;
    }
    if (child == 0) {
        close(channel[0]);
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        const std::string message = piece();
        for (size_t written = 0; written < message.size();) {
            const ssize_t n = write(channel[1], message.data() + written, message.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        // No atexit handlers, no destructors: the parent owns the rest.
        _exit(0);
    }
    close(channel[1]);
    bool timedOut = false;
    for (;;) {
        const int left = timeoutMs - static_cast<int>(millisecondsSince(start));
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
        result.text.append(buffer, static_cast<size_t>(n));
    }
    close(channel[0]);
    if (timedOut) kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        result.end = IsolatedResult::End::timedOut;
    } else if (WIFSIGNALED(status)) {
        result.end = IsolatedResult::End::crashed;
        result.signal = WTERMSIG(status);
    } else {
        result.end = IsolatedResult::End::finished;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

std::string IsolatedWork::crashText(int signal) {
    const char* name = strsignal(signal);
    return "crashed with signal " + std::to_string(signal) + " (" + (name != nullptr ? name : "?") +
           ")";
}

#endif

}  // namespace zant::platform
