// The script driver: runs script lines whenever the message loop finds its queue empty.
#include "replay/runner.h"

#include "app/app.h"
#include "game/state.h"
#include "platform/window.h"

namespace replay {

namespace {

class ScriptDriver : public scripted::Driver {
public:
    ScriptDriver(const Script& script, std::FILE* out) : script_(script), out_(out) {}

    bool Poll() override {
        // An inactive window's loop goes on to wait for a message, and the lines run there.
        if (!windowActive) return true;
        for (;;) {
            if (passesLeft_ > 0) {
                --passesLeft_;
                Advance(passWait_);
                return true;
            }
            Line line;
            if (!script_.Next(next_, line)) return false;
            if (Execute(line)) return true;  // a message was posted
        }
    }

    bool Wait() override {
        // The passes that are due render nothing while the loop waits; their waits still count.
        for (; passesLeft_ > 0; --passesLeft_) Advance(passWait_);
        for (Line line; script_.Next(next_, line);) {
            if (Execute(line)) return true;
            for (; passesLeft_ > 0; --passesLeft_) Advance(passWait_);
        }
        return false;
    }

private:
    static void Advance(std::uint32_t ms) { scripted::world().clock += ms; }

    // Runs one line; returns whether it posted a message.
    bool Execute(const Line& line) {
        scripted::World& w = scripted::world();
        switch (line.command) {
            case Command::Wait: Advance(line.ms); return false;
            case Command::Clock: w.clock = line.ms; return false;
            case Command::Frame: passesLeft_ = line.count, passWait_ = 0; return false;
            case Command::Play: passesLeft_ = line.count, passWait_ = line.ms; return false;
            case Command::Key:
                PostWindowMessage((line.modifiers & MOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, line.key,
                                  0, line.modifiers);
                return true;
            case Command::Mouse: w.pendingX += line.dx, w.pendingY += line.dy; return false;
            case Command::ButtonDown: scripted::SetButton(true); return false;
            case Command::ButtonUp: scripted::SetButton(false); return false;
            case Command::Minimize:
                scripted::SetForeground(false);
                PostWindowMessage(WM_SIZE, SIZE_MINIMIZED, 0);
                return true;
            case Command::Restore:
                scripted::SetForeground(true);
                PostWindowMessage(WM_SIZE, SIZE_RESTORED, 0);
                return true;
            case Command::Hide:
                scripted::SetForeground(false);
                PostWindowMessage(WM_SIZE, SIZE_MAXHIDE, 0);
                return true;
            case Command::Close: PostWindowMessage(WM_CLOSE, 0, 0); return true;
            case Command::FaultFlipBusy: w.faults.flipBusy += line.count; return false;
            case Command::FaultSurfaceLost: w.faults.surfaceLost += line.count; return false;
            case Command::FaultMouseRead: w.faults.mouseRead += line.count; return false;
            case Command::FaultAcquireLost: w.faults.acquireLost += line.count; return false;
            case Command::State: PrintState(out_, w.clock); return false;
            case Command::Dump:
                if (!WriteDump(line.path.data(), w.lastFrame))
                    std::fprintf(stderr, "quendra-replay: line %llu: can't write %s\n",
                                 static_cast<unsigned long long>(line.number),
                                 Escape(line.path, 256).c_str());
                return false;
        }
        return false;
    }

    const Script& script_;
    std::FILE* out_;
    Script::Cursor next_;
    std::uint32_t passesLeft_ = 0;
    std::uint32_t passWait_ = 0;
};

void Le(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

void PrintState(std::FILE* out, std::uint32_t clock) {
    std::fprintf(out,
                 "state clock=%u active=%u playing=%u sel=%u best=%d score=%d runBest=%d last=%u "
                 "cursor=%d,%d latch=%u step=%u targets=",
                 clock, windowActive, unsigned{playing}, unsigned{menuSelection}, bestScore, score,
                 runBest, unsigned{lastTargetIndex}, cursorX, cursorY, unsigned{buttonLatch},
                 stepTime);
    for (int i = 0; i <= lastTargetIndex; ++i)
        std::fprintf(out, "%s%u:%u:%u", i ? ";" : "", unsigned{targets[i].x}, unsigned{targets[i].y},
                     unsigned{targets[i].frame});
    std::fputc('\n', out);
}

bool WriteDump(const char* path, const std::vector<std::uint16_t>& page) {
    constexpr std::uint32_t width = SCREEN_WIDTH, height = SCREEN_HEIGHT, headers = 14 + 40 + 12;
    constexpr std::uint32_t imageSize = width * height * 2;
    std::uint8_t header[headers] = {'B', 'M'};
    Le(header + 2, headers + imageSize, 4);
    Le(header + 10, headers, 4);
    Le(header + 14, 40, 4);
    Le(header + 18, width, 4);
    Le(header + 22, height, 4);  // rows bottom-up
    Le(header + 26, 1, 2);
    Le(header + 28, 16, 2);
    Le(header + 30, 3, 4);  // BI_BITFIELDS: the masks follow the header
    Le(header + 34, imageSize, 4);
    Le(header + 38, 2835, 4);
    Le(header + 42, 2835, 4);
    Le(header + 54, 0xF800, 4);
    Le(header + 58, 0x07E0, 4);
    Le(header + 62, 0x001F, 4);
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(header, 1, headers, file) == headers;
    for (std::uint32_t row = height; ok && row-- > 0;) {
        std::uint8_t line[width * 2];
        for (std::uint32_t x = 0; x < width; ++x) Le(line + 2 * x, page[row * width + x], 2);
        ok = std::fwrite(line, 1, sizeof line, file) == sizeof line;
    }
    return std::fclose(file) == 0 && ok;
}

int Run(const Options& options, const Script& script, std::FILE* out) {
    scripted::World& w = scripted::world();
    scripted::Reset();
    w.tickCount = options.seed;
    w.clock = options.clock;
    w.faults = options.faults;
    w.out = out;
    ScriptDriver driver(script, out);
    w.driver = &driver;
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    w.driver = nullptr;
    std::fprintf(out, "exit %d\n", code);
    std::fflush(out);
    return code;
}

}  // namespace replay
