// How long the game takes to compose a menu frame and a play frame with 1, 16 and 256 targets,
// against the same frame composed with SDL's own blitter (RGB565 surfaces, RLE colour keys, the
// same pictures at the same places) and against one memcpy of a 16-bit page. All figures come
// from this one process, measured one after the other as CPU time of its thread.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include <unistd.h>

#include "app/app.h"
#include "display/picture.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/state.h"
#include "platform/best_score_file.h"
#include "platform/scripted/scripted.h"

namespace {

constexpr int kWidth = SCREEN_WIDTH, kHeight = SCREEN_HEIGHT;
constexpr std::size_t kPageBytes = std::size_t{kWidth} * kHeight * 2;

// Where the frames place their copies, which their code keeps to itself (the pixel check in
// main proves these agree with them).
constexpr int kSplatOffset = 16, kExplosionOffset = 15, kScoreLeft = 349;
constexpr int kPanelX = 159, kPanelY = 149;

struct Copy {
    SDL_Surface* source;
    SDL_Rect part;
    int x, y;
};

// One SDL surface per picture: its pixels, with its colour key under RLE when it has one.
SDL_Surface* SdlPicture(const Picture* picture) {
    const Surface& s = *picture->surface;
    SDL_Surface* out =
        SDL_CreateRGBSurfaceWithFormat(0, s.width(), s.height(), 16, SDL_PIXELFORMAT_RGB565);
    if (!out) return nullptr;
    for (int y = 0; y < s.height(); ++y)
        std::memcpy(static_cast<std::uint8_t*>(out->pixels) + y * out->pitch,
                    s.pixels() + y * s.width(), static_cast<std::size_t>(s.width()) * 2);
    if (picture->keyed) {
        SDL_SetColorKey(out, SDL_TRUE, s.colorKey());
        SDL_SetSurfaceRLE(out, 1);
    }
    return out;
}

struct SdlPictures {
    SDL_Surface *background, *sprites, *splat, *explosion, *crosshair, *panel, *items;
};

void AddDigits(std::vector<Copy>& list, SDL_Surface* sprites, std::int32_t value, int left, int y) {
    for (int p = DIGIT_COUNT; p >= 1; --p) {
        int d = value % 10;
        list.push_back({sprites,
                        {DIGIT_LEFT + DIGIT_WIDTH * d, DIGIT_TOP, DIGIT_WIDTH, DIGIT_HEIGHT},
                        left + DIGIT_WIDTH * p,
                        y});
        value /= 10;
    }
}

// The copies of the play frame for the game's present state (settled: no target changes).
std::vector<Copy> PlayCopies(const SdlPictures& pic) {
    std::vector<Copy> list{{pic.background, {0, 0, kWidth, kHeight}, 0, 0}};
    for (int i = 0; i <= lastTargetIndex; ++i) {
        const Target& t = targets[i];
        if (t.frame < FRAME_SPLATTING) {
            const SpriteRow& row = *GROWING_ROWS[t.frame / PICTURES_PER_SIZE];
            const int k = t.frame % PICTURES_PER_SIZE;
            list.push_back({pic.sprites,
                            {row.left + row.size * k, row.top, row.size, row.size},
                            t.x + row.offset,
                            t.y + row.offset});
        } else if (t.frame <= FRAME_LAST_SPLAT) {
            list.push_back({pic.splat,
                            {0, 0, SPLAT_SIZE, SPLAT_SIZE},
                            t.x + kSplatOffset,
                            t.y + kSplatOffset});
        } else if (t.frame > FRAME_HIT) {
            int cell = t.frame == FRAME_LAST_EXPLOSION ? EXPLOSION_LAST_CELL : t.frame - FRAME_HIT;
            list.push_back({pic.explosion,
                            {EXPLOSION_CELL * cell, 0, EXPLOSION_CELL, EXPLOSION_CELL},
                            t.x + kExplosionOffset,
                            t.y + kExplosionOffset});
        }
    }
    AddDigits(list, pic.sprites, std::max(score, 0), kScoreLeft, 0);
    list.push_back({pic.crosshair,
                    {0, 0, CROSSHAIR_SIZE, CROSSHAIR_SIZE},
                    cursorX - CROSSHAIR_SIZE / 2,
                    cursorY - CROSSHAIR_SIZE / 2});
    return list;
}

std::vector<Copy> MenuCopies(const SdlPictures& pic) {
    const int band = MENU_LABEL_HEIGHT * menuSelection;
    std::vector<Copy> list{{pic.panel, {0, 0, MENUPANEL_WIDTH, MENUPANEL_HEIGHT}, kPanelX, kPanelY},
                           {pic.items,
                            {0, band, MENU_LABEL_WIDTH, MENU_LABEL_HEIGHT},
                            kPanelX + MENU_LABEL_LEFT,
                            kPanelY + MENU_LABEL_TOP + band}};
    AddDigits(list, pic.sprites, bestScore, kPanelX + MENU_FIELD_LEFT - DIGIT_WIDTH,
              kPanelY + MENU_FIELD_TOP);
    return list;
}

// The same frame through SDL: (black for the menu,) the copies, then the page handed on as the
// scripted present does it, with one copy.
void SdlFrame(SDL_Surface* page, const std::vector<Copy>& list, bool menu,
              std::uint16_t* presented) {
    if (menu) SDL_FillRect(page, nullptr, 0);
    for (const Copy& c : list) {
        SDL_Rect part = c.part, to{c.x, c.y, 0, 0};
        SDL_BlitSurface(c.source, &part, page, &to);
    }
    std::memcpy(presented, page->pixels, kPageBytes);
}

void PlayOne() {
    stepTime = 0;  // no animation step: every turn draws the same frame
    PlayFrame(1);
}

// CPU time of this thread, so that the time other processes of a busy machine take is not
// counted (what they do to the caches still is).
double CpuMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Microseconds a call: the median of 15 batches of about a millisecond each.
template <class F>
double Median(F&& call) {
    int calls = 1;
    for (;;) {
        double start = CpuMicroseconds();
        for (int i = 0; i < calls; ++i) call();
        if (CpuMicroseconds() - start > 1000 || calls >= 1 << 16) break;
        calls *= 2;
    }
    std::vector<double> batches;
    for (int b = 0; b < 15; ++b) {
        double start = CpuMicroseconds();
        for (int i = 0; i < calls; ++i) call();
        batches.push_back((CpuMicroseconds() - start) / calls);
    }
    std::nth_element(batches.begin(), batches.begin() + 7, batches.end());
    return batches[7];
}

// Plays with the mouse moving and the button going until `count` targets are in play, then a
// while longer so that they spread over their pictures, and lets the last changes settle.
void ReachTargets(int count) {
    StartNewGame();
    for (int i = 0; i < 4000 && (lastTargetIndex + 1 < count || i < 1500); ++i) {
        // Splats would take the targets away.
        score = std::max(score, POINTS_PER_TARGET * (count - 1) + 25);
        scripted::world().clock += 16;
        scripted::world().pendingX += (i % 9) - 4;
        scripted::world().buttonDown = i % 8 < 4;
        RenderFrame();
    }
    scripted::world().buttonDown = false;
    for (int i = 0; i < 4; ++i) PlayOne();
}

}  // namespace

int main() {
    // The game reads and writes its best-score file in the current folder: give it a new one.
    char folder[] = "/tmp/quendra-bench-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) {
        std::perror("bench-frames: temporary folder");
        return 1;
    }
    scripted::world().out = std::fopen("/dev/null", "w");
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    if (FAILED(CreateMainWindow(nullptr, SW_SHOWDEFAULT, &window, &accelerators)) ||
        FAILED(InitGame(window))) {
        std::fprintf(stderr, "bench-frames: the game did not start\n");
        return 1;
    }
    SdlPictures pic{SdlPicture(backgroundPicture), SdlPicture(spritesPicture),
                    SdlPicture(splatPicture),      SdlPicture(explosionPicture),
                    SdlPicture(crosshairPicture),  SdlPicture(menuPanelPicture),
                    SdlPicture(menuItemsPicture)};
    SDL_Surface* page =
        SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 16, SDL_PIXELFORMAT_RGB565);
    std::vector<std::uint16_t> presented(kPageBytes / 2), other(kPageBytes / 2, 1);
    if (!page || !pic.background || !pic.sprites || !pic.splat || !pic.explosion ||
        !pic.crosshair || !pic.panel || !pic.items) {
        std::fprintf(stderr, "bench-frames: SDL surfaces: %s\n", SDL_GetError());
        return 1;
    }

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f; median of 15 batches, CPU microseconds a frame\n",
                load[0], load[1], load[2]);
    std::printf("%-12s %9s %9s %9s %10s %11s\n", "frame", "ours", "SDL RLE", "memcpy", "SDL/ours",
                "ours/memcpy");
    int failures = 0;
    for (int count : {0, 1, 16, 256}) {
        bool menu = count == 0;
        if (menu) {
            bestScore = 1234567890;  // all ten digits drawn
        } else {
            ReachTargets(count);
        }
        auto ours = menu ? +[] { MenuFrame(); } : +[] { PlayOne(); };
        std::vector<Copy> list = menu ? MenuCopies(pic) : PlayCopies(pic);
        ours();
        SdlFrame(page, list, menu, presented.data());
        // Both pages must be the same frame, or the comparison means nothing.
        if (!std::equal(presented.begin(), presented.end(), scripted::world().lastFrame.begin())) {
            std::fprintf(stderr, "bench-frames: SDL's frame differs from ours (%d targets)\n",
                         count);
            ++failures;
        }
        double t[3] = {Median(ours), Median([&] { SdlFrame(page, list, menu, presented.data()); }),
                       Median([&] {
                           std::memcpy(other.data(), presented.data(), kPageBytes);
                           asm volatile("" ::: "memory");
                       })};
        char name[32];
        std::snprintf(name, sizeof name, menu ? "menu" : "%d target%s", count,
                      count > 1 ? "s" : "");
        std::printf("%-12s %9.1f %9.1f %9.1f %9.2fx %10.2fx   (%zu copies)\n", name, t[0], t[1],
                    t[2], t[1] / t[0], t[0] / t[2], list.size());
    }
    std::remove(BEST_SCORE_FILE);
    if (chdir("/") == 0) rmdir(folder);
    return failures ? 1 : 0;
}
