// Where the desktop game keeps its best score: the per-user data folder of the XDG rules.
#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/best_score_folder.h"
#include "platform/best_score_file.h"

std::string BestScoreFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/quendra";  // a relative one is ignored
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') return {};
    return std::string(home) + "/.local/share/quendra";
}

void UseDesktopBestScoreFile() {
    std::string folder = BestScoreFolder();
    if (folder.empty()) {
        ReportBestScoreProblem("found no home folder for", BEST_SCORE_FILE, ENOENT,
                               "it is kept in the current folder");
        return;
    }
    std::string file = folder + "/" + BEST_SCORE_FILE;
    if (!SetBestScorePath(file.c_str())) {
        ReportBestScoreProblem("can't use", file.c_str(), ENAMETOOLONG);
        return;
    }
    // The missing folders on the way are made private, as the XDG rules ask.
    for (std::size_t slash = 1; slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, folder.find('/', slash + 1));
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            ReportBestScoreProblem("can't make the folder for", file.c_str(), errno);
            return;
        }
    }
    RemoveStaleTemporaries();
    CopyBestScoreFrom(BEST_SCORE_FILE);
}
