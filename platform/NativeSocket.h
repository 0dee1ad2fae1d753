// The system's name for a socket: a descriptor on POSIX, a SOCKET (an
// unsigned handle) on Windows; noSocket when there is none. Headers use this
// alias so that they need not include the system's socket headers.
#ifndef PLATFORM_NATIVE_SOCKET_H
#define PLATFORM_NATIVE_SOCKET_H

#include <cstdint>

namespace zant::platform {

#if defined(_WIN32)
using NativeSocket = std::uintptr_t;
constexpr NativeSocket noSocket = ~NativeSocket{0};
#else
using NativeSocket = int;
constexpr NativeSocket noSocket = -1;
#endif

}  // namespace zant::platform

#endif  // PLATFORM_NATIVE_SOCKET_H
