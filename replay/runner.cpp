// The replay runner: the program once over the scripted platform, its state line and frame dumps.
#include "replay/runner.h"

#include "app/app.h"
#include "app/state_line.h"
#include "replay/driver.h"

namespace replay {

namespace {

void Le(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

void PrintState(std::FILE* out, std::uint32_t clock) {
    char fields[8192];
    std::size_t size = FormatState(fields, sizeof fields, clock);
    std::fprintf(out, "state %.*s\n", static_cast<int>(size), fields);
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
    ScriptDriver driver(script, out, true, "quendra-replay");
    if (!driver.SetUp(false)) return 2;
    w.driver = &driver;
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    w.driver = nullptr;
    std::fprintf(out, "exit %d\n", code);
    std::fflush(out);
    return driver.Finish(code);
}

}  // namespace replay
