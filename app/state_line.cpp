// The state line's fields, in the order quendra-replay's output contract gives them.
#include "app/state_line.h"

#include <cstdio>

#include "game/state.h"

std::size_t FormatState(char* out, std::size_t size, std::uint32_t clock) {
    if (size == 0) return 0;
    int n = std::snprintf(out, size,
                          "clock=%u active=%u playing=%u sel=%u best=%d score=%d runBest=%d "
                          "last=%u cursor=%d,%d latch=%u step=%u targets=",
                          clock, windowActive, unsigned{playing}, unsigned{menuSelection},
                          bestScore, score, runBest, unsigned{lastTargetIndex}, cursorX, cursorY,
                          unsigned{buttonLatch}, stepTime);
    std::size_t used = n < 0 ? 0 : static_cast<std::size_t>(n);
    for (int i = 0; i <= lastTargetIndex && used < size; ++i) {
        n = std::snprintf(out + used, size - used, "%s%u:%u:%u", i ? ";" : "",
                          unsigned{targets[i].x}, unsigned{targets[i].y},
                          unsigned{targets[i].frame});
        used += n < 0 ? 0 : static_cast<std::size_t>(n);
    }
    return used < size ? used : size - 1;
}
