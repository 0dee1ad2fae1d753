// The thread of a router link: std::thread where the toolchain has it, a
// Windows thread on MinGW's win32 thread model (see Mutex.h). Only what the
// link uses: start with a function, joinable(), join(), move.
//
// Threads: the owner's; as std::thread, a thread still joinable when
// destroyed or replaced ends the process.
#ifndef PLATFORM_THREAD_H
#define PLATFORM_THREAD_H

#include <functional>
#include <thread>

#include "platform/Mutex.h"

namespace zant::platform {

#if defined(ZANT_WIN32_THREADS)
class Thread {
public:
    Thread() = default;
    // Runs `body` in a new thread; std::terminate when none can be made, as
    // std::thread throws.
    explicit Thread(std::function<void()> body);
    ~Thread();
    Thread(Thread&& other) noexcept;
    Thread& operator=(Thread&& other) noexcept;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool joinable() const { return handle_ != nullptr; }
    void join();

private:
    void* handle_ = nullptr;  // the thread's HANDLE
};
#else
using Thread = std::thread;
#endif

}  // namespace zant::platform

#endif  // PLATFORM_THREAD_H
