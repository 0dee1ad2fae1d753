// The socket calls that TcpStream and TcpListener share.
#ifndef PLATFORM_SOCKET_CALLS_H
#define PLATFORM_SOCKET_CALLS_H

#include <string>

namespace zant::platform {

// A new socket, non-blocking and closed in child processes; -1 with errno.
int openSocket(int family);
// A socket from accept(), likewise; -1 with errno (EAGAIN: none waiting).
int acceptSocket(int listening);
// A connection's options: no delay for small blocks, no SIGPIPE on send.
void setConnectionOptions(int socket);
// The system's text for `number`, in lower case ("connection refused").
std::string socketErrorText(int number);
// `text` with its first letter in lower case, to follow a colon.
std::string lowerFirst(std::string text);

}  // namespace zant::platform

#endif  // PLATFORM_SOCKET_CALLS_H
