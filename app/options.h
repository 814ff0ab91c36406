// The command line of the desktop game, with the conventions of Linux games.
#pragma once

// What the player asked for on the command line.
struct Options {
    bool windowed = false;  // --window: a resizable window instead of the whole screen
    bool silent = false;    // --no-sound
    double mouseSpeed = 1;  // --mouse-speed F: relative motion times F (MOUSE_SPEED_MIN..MAX)
    const char* record = nullptr;  // --record FILE: the run is recorded into FILE
    const char* play = nullptr;    // --play FILE: the recording in FILE is shown
};

// Exit code for a command line that can't be understood, the desktop game's and quendra-replay's
// (which gives it for a bad script too).
inline constexpr int EXIT_USAGE_CODE = 2;

// Reads the arguments into options ("--" ends the options). Returns -1 when the game is to run;
// otherwise the exit code to end with at once: 0 after --help (usage on standard output) or
// --version (EXIT_FAILURE_CODE when standard output can't take them), EXIT_USAGE_CODE after
// an unknown option, a stray argument or a mouse speed that is not a plain number in range (the
// problem and the usage on standard error).
int ReadCommandLine(int argc, const char* const* argv, Options& options);

// The program's version, as the build names it.
const char* ProgramVersion();
