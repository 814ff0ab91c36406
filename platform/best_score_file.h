// The best-score file: where it is, and reading and replacing its bytes so that nothing else in
// its folder, or outside it, can be harmed or made to hang the game. The stores of the desktop,
// the browser and quendra-replay keep the best score in it (store:: in platform.h); what the
// bytes mean is the game's (game/best_score.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// The best-score file's name, wherever the entry point puts it (the desktop's data folder, the
// folder the page keeps, the current folder of quendra-replay).
inline constexpr char BEST_SCORE_FILE[] = "QUENDRA.DAT";

// Makes `path` the best-score file for the rest of the run, and lets the next problem with it
// be reported. Called once at start-up by the entry point; until then the file is
// BEST_SCORE_FILE in the current folder (a relative path is taken from the folder current at
// each use). False, and nothing changed, for an empty path, one ending in '/', or one too long.
bool SetBestScorePath(const char* path);
const char* BestScorePath();

// Has `prepare` run once, just before the file is first read or written (a later
// SetBestScorePath drops it): the desktop game makes its folder then, so that a run which never
// gets to the best score (no display) leaves nothing behind. The first use is at the end of
// start-up, outside any frame, so `prepare` may allocate.
void PrepareBestScoreOnFirstUse(void (*prepare)());

// Reads up to `size` bytes from the start of the file into `bytes` (`got` of them), as
// store::Read. Only a regular file is read (a FIFO, device or folder is unreadable, as a file
// without permission is). A missing file is created empty, but never through a symbolic link.
store::Found ReadBestScoreFile(std::uint8_t* bytes, std::size_t size, std::size_t& got);

// Replaces the file with exactly these bytes: they go to a new file of a unique name beside it,
// which is synced and renamed over the file, and the folder is synced. A symbolic link keeps
// pointing where it did (its target is replaced), the file keeps its permission bits. A file
// the player may not write, or one in a folder they may not write, is left alone (no write bit
// at all binds root too). False when nothing was stored: the file then still holds what it held.
bool ReplaceBestScoreFile(const std::uint8_t* bytes, std::size_t size);

// When the best-score file does not exist yet and `oldPath` is a regular file (not a symbolic
// link, which is never followed), stores the store::SIZE bytes `oldPath` starts with in it
// (missing ones 0): a new file the player may read and write, which others may read only where
// they could read `oldPath`. True when copied.
bool CopyBestScoreFrom(const char* oldPath);

// Removes what writes cut short by a crash or a kill left in the file's folder: temporaries
// of the file's own naming that are regular files untouched for ten minutes (a write takes
// milliseconds). For start-up only: it allocates.
void RemoveStaleTemporaries();

// Says on standard error, once per run (per SetBestScorePath), that `doing` failed for `path`
// and why: `reason` or, without one, the text of `error`. Allocates nothing.
void ReportBestScoreProblem(const char* doing, const char* path, int error,
                            const char* reason = nullptr);
