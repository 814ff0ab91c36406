// The script driver: runs script lines whenever the message loop finds its queue empty.
#include "replay/runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "app/app.h"
#include "game/state.h"
#include "platform/window.h"

namespace replay {

namespace {

class ScriptDriver : public scripted::Driver {
public:
    ScriptDriver(const Script& script, std::FILE* out) : script_(script), out_(out) {}
    bool dumpFailed() const { return dumpFailed_; }

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
    static void Advance(std::uint32_t ms) { scripted::world().clock += ms; }  // wraps, as clocks do

    // Counts that add up stop at the most they can hold, rather than wrap round to few or none.
    template <typename Total>
    static void AddUp(Total& total, std::int64_t more) {
        using Limits = std::numeric_limits<Total>;
        if (__builtin_add_overflow(total, more, &total))
            total = more < 0 ? Limits::min() : Limits::max();
    }

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
            case Command::Mouse:
                AddUp(w.pendingX, line.dx), AddUp(w.pendingY, line.dy);
                return false;
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
            case Command::FaultFlipBusy: AddUp(w.faults.flipBusy, line.count); return false;
            case Command::FaultSurfaceLost: AddUp(w.faults.surfaceLost, line.count); return false;
            case Command::FaultMouseRead: AddUp(w.faults.mouseRead, line.count); return false;
            case Command::FaultAcquireLost: AddUp(w.faults.acquireLost, line.count); return false;
            case Command::State: PrintState(out_, w.clock); return false;
            case Command::Dump:
                if (std::string why = WriteDump(line.path.data(), w.lastFrame); !why.empty()) {
                    std::fprintf(stderr, "quendra-replay: line %llu: can't write %s: %s\n",
                                 static_cast<unsigned long long>(line.number),
                                 Escape(line.path, 256).c_str(), why.c_str());
                    dumpFailed_ = true;
                }
                return false;
        }
        return false;
    }

    const Script& script_;
    std::FILE* out_;
    Script::Cursor next_;
    std::uint32_t passesLeft_ = 0;
    std::uint32_t passWait_ = 0;
    bool dumpFailed_ = false;
};

void Le(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// 0 when the user may write the file or folder `path`, whose permission bits are `mode`; else why
// not. What has no write bit at all was made read-only to be kept, and is, by root as well.
int WriteDenied(const char* path, mode_t mode) {
    if ((mode & 0222) == 0) return EACCES;
    return access(path, W_OK) == 0 ? 0 : errno;
}

// Puts `bytes` at `path` whole or not at all: they go to a new file beside it, renamed over it
// once all are written, so a full disk leaves no cut-short file (a kill, at most a temporary of
// our own naming). Only a regular file is replaced: a folder, FIFO, device or link there is never
// written into nor replaced. Empty, or why not.
std::string ReplaceFile(const char* path, const std::vector<std::uint8_t>& bytes) {
    const char* slash = std::strrchr(path, '/');
    const std::string folder(path, slash ? static_cast<std::size_t>(slash - path) + 1 : 0);
    const char* folderPath = folder.empty() ? "." : folder.c_str();
    struct stat status;
    if (stat(folderPath, &status) != 0) return std::strerror(errno);
    if (int error = WriteDenied(folderPath, status.st_mode)) return std::strerror(error);
    if (lstat(path, &status) == 0) {
        if (S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
        if (S_ISLNK(status.st_mode)) return "it is a symbolic link";
        if (!S_ISREG(status.st_mode)) return "it is not a regular file";
        if (int error = WriteDenied(path, status.st_mode)) return std::strerror(error);
    } else if (errno != ENOENT) {
        return std::strerror(errno);
    }
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = folder + "quendra-replay." + std::to_string(getpid()) + "." +
                    std::to_string(attempt) + ".tmp";
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return std::strerror(errno);
    std::size_t put = 0;
    while (put < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + put, bytes.size() - put);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;  // no progress and no reason: not to be taken for success
        if (n <= 0) break;
        put += static_cast<std::size_t>(n);
    }
    int error = put < bytes.size() ? errno : 0;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.c_str(), path) != 0) error = errno;
    if (error == 0) return {};
    unlink(temporary.c_str());
    return std::strerror(error);
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

std::string WriteDump(const char* path, const std::vector<std::uint16_t>& page) {
    constexpr std::uint32_t width = SCREEN_WIDTH, height = SCREEN_HEIGHT, headers = 14 + 40 + 12;
    constexpr std::uint32_t imageSize = width * height * 2;
    std::vector<std::uint8_t> bytes(headers + imageSize);
    std::uint8_t* header = bytes.data();
    header[0] = 'B', header[1] = 'M';
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
    std::uint8_t* pixel = header + headers;
    for (std::uint32_t row = height; row-- > 0;)
        for (std::uint32_t x = 0; x < width; ++x, pixel += 2) Le(pixel, page[row * width + x], 2);
    return ReplaceFile(path, bytes);
}

int Run(const Options& options, const Script& script, std::FILE* out, bool& dumpFailed) {
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
    dumpFailed = driver.dumpFailed();
    std::fprintf(out, "exit %d\n", code);
    std::fflush(out);
    return code;
}

}  // namespace replay
