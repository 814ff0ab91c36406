// Closed standard streams: started as `quendra 2>&-`, the next descriptor opened would be 2, and
// whatever is then written to standard error would go into that file or connection.
#include "app/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool HoldStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        // The lowest free number is taken, and every lower one is open: it is `fd`.
        int held = open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_NOCTTY);
        if (held != fd) {
            if (held >= 0) close(held);
            return false;
        }
    }
    return true;
}
