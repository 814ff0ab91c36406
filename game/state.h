// The program-wide game variables, and the moves between the menu and a running game.
#pragma once

#include <cstdint>

class Screen;
class Picture;
class AudioManager;
class SoundSegment;

// One target: the top-left corner of its cell (the square of its largest picture), and its state
// and animation number (see frames.h for what each frame number means).
struct Target {
    std::uint16_t x;
    std::uint16_t y;
    std::uint16_t frame;
};
static_assert(sizeof(Target) == 6);

inline constexpr int MAX_TARGETS = 256;

// The menu's entries, top to bottom, as `menuSelection` holds them.
enum MenuEntry : std::uint8_t { MENU_START = 0, MENU_RESET_BEST = 1, MENU_LEAVE = 2 };

// windowActive, buttonLatch and playing are flags: each holds 1 or 0 and is tested as a truth
// value, never against a number.
extern std::int32_t cursorX;            // crosshair centre, which the play frame keeps where
extern std::int32_t cursorY;            // the whole crosshair is on the screen
extern std::int32_t score;              // of the running game; it ends at 0
extern std::uint8_t lastTargetIndex;    // targets 0 to this are in play
extern std::int32_t bestScore;          // as the menu shows it
extern Target targets[MAX_TARGETS];
extern std::uint32_t lastFrameTime;     // clock at the last frame, or when frame time restarted
extern Screen* screen;
extern std::uint32_t windowActive;      // 1 while frames may be rendered, 0 minimised or hidden
extern std::uint32_t stepTime;          // milliseconds gathered towards the next step
extern std::uint8_t buttonLatch;        // 1 from the button seen down until it is seen up, else 0
extern std::int32_t runBest;            // highest score of the running (or last) game
extern std::uint8_t playing;            // 1 while a game runs, 0 in the menu
extern std::uint8_t menuSelection;      // a MenuEntry

extern Picture* backgroundPicture;
extern Picture* spritesPicture;
extern Picture* explosionPicture;
extern Picture* loadingPicture;
extern Picture* menuPanelPicture;
extern Picture* menuItemsPicture;
extern Picture* splatPicture;
extern Picture* crosshairPicture;

extern AudioManager* audioManager;
extern SoundSegment* shotSound;
extern SoundSegment* dieSound;
extern SoundSegment* splatSound;

// Every game variable back to its value in a freshly started program, the random generator
// to its unseeded state and the best-score file to BEST_SCORE_FILE of the current folder. The
// objects (screen, pictures, sounds) are FreeGame's to release.
void ResetGameState();
// Starts a game: one target at (320, 240), score 3; frame time counts from now.
void StartNewGame();
// Ends a game (or start-up): stores the game's best if it beats the file's, shows the menu.
void EndGame();
// Writes 0 to the best-score file and shows the menu with 0.
void ResetBestScore();
