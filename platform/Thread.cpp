#include "platform/Thread.h"

#if defined(ZANT_WIN32_THREADS)
#include <windows.h>

#include <exception>
#include <memory>

namespace zant::platform {

namespace {

DWORD WINAPI runBody(LPVOID parameter) {
    const std::unique_ptr<std::function<void()>> body(
        static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

Thread::Thread(std::function<void()> body) {
    auto* handed = new std::function<void()>(std::move(body));
    handle_ = CreateThread(nullptr, 0, runBody, handed, 0, nullptr);
    if (handle_ == nullptr) {
        delete handed;
        std::terminate();
    }
}

Thread::~Thread() {
    if (joinable()) std::terminate();
}

Thread::Thread(Thread&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this == &other) return *this;
    if (joinable()) std::terminate();
    handle_ = other.handle_;
    other.handle_ = nullptr;
    return *this;
}

void Thread::join() {
    if (!joinable()) return;
    WaitForSingleObject(handle_, INFINITE);
    CloseHandle(handle_);
    handle_ = nullptr;
}

}  // namespace zant::platform
#endif
