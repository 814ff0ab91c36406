// The replay runner: the program once over the scripted platform, its state line and frame dumps.
#include "replay/runner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "app/app.h"
#include "app/state_line.h"
#include "platform/bytes.h"
#include "replay/driver.h"

namespace replay {

namespace {

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
    char fields[8192];
    std::size_t size = FormatState(fields, sizeof fields, clock);
    std::fprintf(out, "state %.*s\n", static_cast<int>(size), fields);
}

std::string WriteDump(const char* path, const std::vector<std::uint16_t>& page) {
    constexpr std::uint32_t width = SCREEN_WIDTH, height = SCREEN_HEIGHT, headers = 14 + 40 + 12;
    constexpr std::uint32_t imageSize = width * height * 2;
    std::vector<std::uint8_t> bytes(headers + imageSize);
    std::uint8_t* header = bytes.data();
    header[0] = 'B', header[1] = 'M';
    WriteLe(header + 2, headers + imageSize, 4);
    WriteLe(header + 10, headers, 4);
    WriteLe(header + 14, 40, 4);
    WriteLe(header + 18, width, 4);
    WriteLe(header + 22, height, 4);  // rows bottom-up
    WriteLe(header + 26, 1, 2);
    WriteLe(header + 28, 16, 2);
    WriteLe(header + 30, 3, 4);  // BI_BITFIELDS: the masks follow the header
    WriteLe(header + 34, imageSize, 4);
    WriteLe(header + 38, 2835, 4);
    WriteLe(header + 42, 2835, 4);
    WriteLe(header + 54, 0xF800, 4);
    WriteLe(header + 58, 0x07E0, 4);
    WriteLe(header + 62, 0x001F, 4);
    std::uint8_t* pixel = header + headers;
    for (std::uint32_t row = height; row-- > 0;)
        for (std::uint32_t x = 0; x < width; ++x, pixel += 2)
            WriteLe(pixel, page[row * width + x], 2);
    return ReplaceFile(path, bytes);
}

int Run(const Options& options, const Script& script, std::FILE* out, bool& dumpFailed) {
    scripted::World& w = scripted::world();
    scripted::Reset();
    w.tickCount = options.seed;
    w.clock = options.clock;
    w.faults = options.faults;
    w.out = out;
    ScriptDriver driver(script, out, true, "quendra-replay");
    driver.SetUp(false);
    w.driver = &driver;
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    w.driver = nullptr;
    dumpFailed = driver.dumpFailed();
    std::fprintf(out, "exit %d\n", code);
    std::fflush(out);
    return driver.Finish(code);
}

}  // namespace replay
