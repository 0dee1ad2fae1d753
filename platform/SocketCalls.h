// The socket calls that TcpStream, TcpListener and Wakeup share, and what
// differs between POSIX and Winsock below them.
//
// Threads: any; the first call on Windows starts Winsock once for the process.
#ifndef PLATFORM_SOCKET_CALLS_H
#define PLATFORM_SOCKET_CALLS_H

#include <string>

#include "platform/NativeSocket.h"

namespace zant::platform {

// Winsock started (WSAStartup, once for the process; never undone, as the
// process may hold sockets until it exits); true on POSIX. False when it
// could not start: every socket call then fails.
bool startSockets();
// A new socket of `type` (SOCK_STREAM when 0), non-blocking and not inherited
// by child processes; noSocket with lastSocketError().
NativeSocket openSocket(int family, int type = 0);
// A socket from accept(), likewise; noSocket with lastSocketError() (EAGAIN
// or WSAEWOULDBLOCK: none waiting).
NativeSocket acceptSocket(NativeSocket listening);
void closeSocket(NativeSocket socket);
// The error of the last failed socket call in this thread: errno on POSIX,
// WSAGetLastError() on Windows.
int lastSocketError();
// A connection's options: no delay for small blocks, no SIGPIPE on send.
void setConnectionOptions(NativeSocket socket);
// The system's text for error `number` (as lastSocketError() gives it), in
// lower case ("connection refused"); Winsock's common errors read as POSIX's,
// so that a line means the same on every platform.
std::string socketErrorText(int number);
// `text` with its first letter in lower case, to follow a colon.
std::string lowerFirst(std::string text);

}  // namespace zant::platform

#endif  // PLATFORM_SOCKET_CALLS_H
