// Watching a recording: the program runs on the recording's input, through the one interpreter
// of script lines (driver.h) and the tap, while the backend's real window shows it and its
// sounds play, at the pace it was recorded.
#pragma once

namespace replay {

// Shows the recording in the file `path`. The player's Escape, Alt+F10 or closing the window
// stops it; `dump` lines do nothing, and the best score lives in a place of the run's own, so
// nothing is written anywhere else. Returns the program's exit code; EXIT_USAGE_CODE (said on
// standard error, with the line) for a recording that can't be read or is malformed;
// kCheckFailed when a checkpoint does not hold. `program` names the program in messages.
int Watch(const char* path, const char* program);

}  // namespace replay
