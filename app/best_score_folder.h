// Where the desktop game keeps its best score, settled once at start-up by its entry point.
#pragma once

#include <string>

// The folder of the best-score file under the XDG base-directory rules: $XDG_DATA_HOME/quendra
// when XDG_DATA_HOME is an absolute path, else ~/.local/share/quendra (HOME, or the password
// database when HOME is unset or relative). Empty when no home folder is to be found.
std::string BestScoreFolder();

// Makes BestScoreFolder()/BEST_SCORE_FILE the best-score file, making the missing folders
// (0700), and copies the best score from the one of the current folder when the new file does not
// exist yet (only a regular file, never through a link). A problem is said once on standard
// error; the game goes on without the score.
void UseDesktopBestScoreFile();
