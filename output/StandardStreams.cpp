#include "output/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

namespace arbolith {

void HoldClosedStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: `fd` itself, as the ones below it are open by now.
            const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
            if (held >= 0 && held != fd) {
                ::close(held);
            }
        }
    }
}

bool StandardOutputDelivered() {
    const bool failedBefore = std::ferror(stdout) != 0;
    if (std::fflush(stdout) != 0) {
        return false;
    }
    if (failedBefore) {
        // A write failed earlier, whose reason is gone; an output that refuses bytes says why.
        errno = EIO;
        return false;
    }
    return true;
}

} // namespace arbolith
