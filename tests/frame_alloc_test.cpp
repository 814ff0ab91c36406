// No menu or play frame allocates, also while a recorder writes them down.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/app.h"
#include "app/state_line.h"
#include "game/frames.h"
#include "game/state.h"
#include "platform/recorder.h"
#include "tests/test_support.h"

// Every allocation is counted. The whole family is replaced: replacing only some would pair a
// library new with this delete (a mismatch sanitizers catch).
namespace {
std::atomic<long> allocations{0};
void* Allocate(std::size_t size, std::size_t alignment = 0) {
    ++allocations;
    if (alignment <= alignof(std::max_align_t)) return std::malloc(size ? size : 1);
    // aligned_alloc wants a size that is a multiple of the alignment.
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}
void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
    if (void* p = Allocate(size, alignment)) return p;
    throw std::bad_alloc();
}
}  // namespace

#define QUENDRA_NEW(except, call, ...)                                              \
    void* operator new(std::size_t n __VA_OPT__(, ) __VA_ARGS__) except { return call; } \
    void* operator new[](std::size_t n __VA_OPT__(, ) __VA_ARGS__) except { return call; }
QUENDRA_NEW(, AllocateOrThrow(n))
QUENDRA_NEW(, AllocateOrThrow(n, std::size_t(a)), std::align_val_t a)
QUENDRA_NEW(noexcept, Allocate(n), const std::nothrow_t&)
QUENDRA_NEW(noexcept, Allocate(n, std::size_t(a)), std::align_val_t a, const std::nothrow_t&)
#undef QUENDRA_NEW
#define QUENDRA_DELETE(...)                                                             \
    void operator delete(void* p __VA_OPT__(, ) __VA_ARGS__) noexcept { std::free(p); } \
    void operator delete[](void* p __VA_OPT__(, ) __VA_ARGS__) noexcept { std::free(p); }
QUENDRA_DELETE()
QUENDRA_DELETE(std::size_t)
QUENDRA_DELETE(std::align_val_t)
QUENDRA_DELETE(std::size_t, std::align_val_t)
QUENDRA_DELETE(const std::nothrow_t&)
QUENDRA_DELETE(std::align_val_t, const std::nothrow_t&)
#undef QUENDRA_DELETE

namespace {

class Frames : public ProgramTest {};

TEST_F(Frames, AllocateNothing) {
    Open(true);

    // Each frame is a look at the desktop and a pass, as the loop makes them.
    auto recorder = std::make_unique<Recorder>(
        open("/dev/null", O_WRONLY | O_CLOEXEC), "/dev/null",
        Recorder::Program{FormatState, [] { return windowActive != 0; }});
    tap::Listen(recorder.get());
    auto frame = [&recorder](std::uint32_t ms) {
        recorder->PumpBegins(false);
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

    tap::Listen(nullptr);
    recorder->Finish(0);
    DestroyWindow(window_);
}

}  // namespace
