#include "platform/Wakeup.h"

#include <fcntl.h>
#include <unistd.h>

namespace zant::platform {

Wakeup::Wakeup() {
    int ends[2] = {-1, -1};
    if (::pipe(ends) != 0) return;
    for (const int end : ends) {
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    read_ = ends[0];
    write_ = ends[1];
}

Wakeup::~Wakeup() {
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
}

void Wakeup::signal() const {
    const char byte = 1;
    // A full pipe already wakes the waiter: nothing is lost when this fails.
    if (write_ >= 0) (void)!::write(write_, &byte, 1);
}

void Wakeup::clear() const {
    char bytes[64];
    while (read_ >= 0 && ::read(read_, bytes, sizeof bytes) > 0) {
    }
}

}  // namespace zant::platform
