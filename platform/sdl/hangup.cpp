// A hang-up ends the game the way SIGTERM does: SDL turns that into a quit event, and the
// quit event closes the window.
#include <errno.h>
#include <signal.h>

#include "platform/sdl/hangup.h"

namespace sdl {

namespace {

// Only async-signal-safe calls here. While SDL watches SIGTERM, raising it sets SDL's flag
// for a quit event and wakes a blocking wait; otherwise the hang-up does what it always did.
void OnHangUp(int) {
    int saved = errno;
    struct sigaction term;
    if (sigaction(SIGTERM, nullptr, &term) == 0 && term.sa_handler != SIG_DFL &&
        term.sa_handler != SIG_IGN) {
        raise(SIGTERM);
    } else {
        signal(SIGHUP, SIG_DFL);
        raise(SIGHUP);
    }
    errno = saved;
}

}  // namespace

void EndOnHangUp() {
    struct sigaction now;
    // Started with hang-ups ignored (nohup): they stay ignored.
    if (sigaction(SIGHUP, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) return;
    struct sigaction hangUp {};
    hangUp.sa_handler = OnHangUp;
    sigemptyset(&hangUp.sa_mask);
    hangUp.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &hangUp, nullptr);
}

}  // namespace sdl
