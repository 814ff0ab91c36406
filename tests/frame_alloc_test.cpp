// No frame allocates: menu frames and play frames with shots, hits, explosions, splats and
// respawns run on the storage made at start-up.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/app.h"
#include "game/frames.h"
#include "game/state.h"
#include "tests/test_support.h"

namespace {
std::atomic<long> allocations{0};
}

// Every allocation of this test program is counted.
void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class Frames : public ProgramTest {};

TEST_F(Frames, AllocateNothing) {
    Open(true);

    auto frame = [](std::uint32_t ms) {
        scripted::world().clock += ms;
        ASSERT_EQ(RenderFrame(), S_OK);
    };
    frame(1);  // warm-up: the first output may set up buffers

    long before = allocations;
    for (int i = 0; i < 50; ++i) frame(16);
    StartNewGame();
    score = 120;  // three targets
    for (int i = 0; i < 400; ++i) {
        scripted::world().pendingX += (i % 7) - 3;
        scripted::world().buttonDown = (i % 10) < 5;
        frame(20 + i % 60);
        if (!playing) StartNewGame();
    }
    EXPECT_EQ(allocations - before, 0);

    DestroyWindow(window_);
}

}  // namespace
