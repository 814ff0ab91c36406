// The best-score file, read and replaced with plain system calls on fixed buffers: a game that
// ends inside a frame reads and writes it there, and frames allocate nothing.
#include "platform/best_score_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

namespace {

// A file as the folder it is in and its name there.
struct Location {
    char folder[PATH_MAX];
    char name[NAME_MAX + 1];
};

char path[PATH_MAX];  // as the entry point gave it (see inCurrentFolder below)
Location where;
bool reported = false;
void (*preparation)() = nullptr;  // run at the first read or write

void Prepare() {
    if (void (*prepare)() = std::exchange(preparation, nullptr)) prepare();
}

// Fills `at` from `file`; false for an empty name, "." or "..", or one that does not fit.
bool Split(const char* file, Location& at) {
    const char* slash = std::strrchr(file, '/');
    const char* name = slash ? slash + 1 : file;
    std::size_t folderLength = slash ? static_cast<std::size_t>(slash - file) : 0;
    std::size_t nameLength = std::strlen(name);
    if (nameLength == 0 || nameLength > NAME_MAX || folderLength >= PATH_MAX ||
        std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    if (!slash) {
        std::strcpy(at.folder, ".");
    } else if (folderLength == 0) {
        std::strcpy(at.folder, "/");
    } else {
        std::memcpy(at.folder, file, folderLength);
        at.folder[folderLength] = '\0';
    }
    std::memcpy(at.name, name, nameLength + 1);
    return true;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

int OpenFolder(const char* folder) { return open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC); }

// Appends `text` at `end` of `buffer`, as far as it fits; non-printing bytes become '?'.
std::size_t Append(char* buffer, std::size_t size, std::size_t end, const char* text) {
    for (; *text && end + 1 < size; ++text, ++end)
        buffer[end] = (static_cast<unsigned char>(*text) < 0x20 || *text == 0x7f) ? '?' : *text;
    buffer[end] = '\0';
    return end;
}

std::size_t AppendNumber(char* buffer, std::size_t size, std::size_t end, unsigned long n) {
    char digits[24];
    std::size_t i = sizeof digits;
    digits[--i] = '\0';
    do digits[--i] = static_cast<char>('0' + n % 10);
    while ((n /= 10) != 0);
    return Append(buffer, size, end, digits + i);
}

// strerror_r as glibc has it, and as POSIX (and musl) have it.
[[maybe_unused]] const char* ErrorText(const char* text, const char*) { return text; }
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
    return result == 0 ? buffer : "unknown error";
}

const char* LinkToNothing = "it is a symbolic link to a file that does not exist";
const char* NotRegular = "it is not a regular file";
const char* Link = "it is a symbolic link";
const char* kWrite = "can't write the best score to";
const char* kOpenFolder = "can't open the folder of the best-score file";
const char* kFollowLink = "can't follow the link of the best-score file";

// How a file is opened for reading: the best-score file itself is created when missing and read
// through a link; a file a score is only copied from is neither.
enum class Source { BestScore, CopiedFrom };

// Opens the file for reading without blocking and without following a link to create
// anything: a link is read through, a missing file is created empty, as `source` says.
// `creating` tells the caller a failure came from making the empty file, `missing` that there
// was none.
int OpenForReading(int folder, const char* name, Source source, const char*& reason,
                   bool& creating, bool& missing) {
    constexpr int kRead = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const bool own = source == Source::BestScore;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = openat(folder, name, kRead | O_NOFOLLOW);
        if (fd >= 0 || (errno != ELOOP && errno != ENOENT)) return fd;
        if (errno == ELOOP && !own) {
            // Whatever the link points to may be someone's private file: it is not shown.
            reason = Link;
            return -1;
        }
        if (errno == ELOOP) {
            fd = openat(folder, name, kRead);
            if (fd < 0 && errno == ENOENT) reason = LinkToNothing;
            return fd;
        }
        missing = true;
        if (!own) return -1;
        fd = openat(folder, name, kRead | O_CREAT | O_EXCL | O_NOFOLLOW, 0644);
        creating = fd < 0;
        missing = errno != EEXIST || fd >= 0;
        if (fd >= 0 || errno != EEXIST) return fd;
        // Something took the name meanwhile (another instance, a link): look at it again.
    }
    return -1;
}

// Reads up to `size` bytes of the file `name` in `folder` (`got` of them), and its permission
// bits: none of a missing file (`missing` says so). Gives 0, or why the file could not be read:
// an error number, or `reason` (then EINVAL).
int ReadBytes(int folder, const char* name, Source source, std::uint8_t* bytes, std::size_t size,
              std::size_t& got, mode_t& mode, const char*& reason, bool& creating, bool& missing) {
    got = 0;
    Descriptor file{OpenForReading(folder, name, source, reason, creating, missing)};
    if (file.fd < 0) return errno == ENOENT && !reason ? 0 : reason ? EINVAL : errno;
    struct stat status;
    if (fstat(file.fd, &status) != 0) return errno;
    if (!S_ISREG(status.st_mode)) {
        reason = NotRegular;
        return EINVAL;
    }
    mode = status.st_mode & 07777;
    while (got < size) {
        ssize_t n = read(file.fd, bytes + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;  // a short file
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

// Where a write goes: the file itself, or for a symbolic link the file it points to.
Location linked;

// 0 when the player may write `name` in `folder` (a file, or "." for the folder itself), whose
// permission bits are `mode`, as opening it for writing decides; else why not. Having no write
// bit at all stops root too, whom permissions don't: it was made read-only to be kept.
int WriteDenied(int folder, const char* name, mode_t mode) {
    if ((mode & 0222) == 0) return EACCES;
    return faccessat(folder, name, W_OK, 0) == 0 ? 0 : errno;
}

// Stores `size` bytes in the file at `at` (`file` names it in messages); a new file gets
// `newMode`.
bool WriteBytes(const Location& at, const char* file, const std::uint8_t* bytes, std::size_t size,
                mode_t newMode = 0644) {
    Descriptor folder{OpenFolder(at.folder)};
    if (folder.fd < 0) {
        ReportBestScoreProblem(kOpenFolder, file, errno);
        return false;
    }
    int target = folder.fd;
    Descriptor elsewhere;  // the folder a link points into
    const char* name = at.name;
    bool keepMode = false;
    mode_t mode = 0;
    struct stat status;
    if (fstatat(folder.fd, at.name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(status.st_mode)) {
            // The file lives where the link points: it is replaced there, and the link stays.
            // A link to nothing is left alone, as creating its target would put a new file
            // outside the folder.
            Descriptor pointed{openat(folder.fd, at.name, O_PATH | O_CLOEXEC)};
            if (pointed.fd < 0) {
                ReportBestScoreProblem(kWrite, file, errno,
                                       errno == ENOENT ? LinkToNothing : nullptr);
                return false;
            }
            char proc[40] = "/proc/self/fd/";
            AppendNumber(proc, sizeof proc, std::strlen(proc), static_cast<unsigned>(pointed.fd));
            char real[PATH_MAX];
            ssize_t n = readlink(proc, real, sizeof real - 1);
            if (n <= 0 || fstat(pointed.fd, &status) != 0) {
                ReportBestScoreProblem(kFollowLink, file, errno);
                return false;
            }
            real[n] = '\0';
            if (real[0] != '/' || !Split(real, linked)) {
                ReportBestScoreProblem(kFollowLink, file, ENAMETOOLONG);
                return false;
            }
            target = elsewhere.fd = OpenFolder(linked.folder);
            name = linked.name;
            if (target < 0) {
                ReportBestScoreProblem(kOpenFolder, real, errno);
                return false;
            }
        }
        if (!S_ISREG(status.st_mode)) {
            ReportBestScoreProblem(kWrite, file, 0, NotRegular);
            return false;
        }
        keepMode = true;
        mode = status.st_mode & 0777;
    } else if (errno != ENOENT) {
        ReportBestScoreProblem(kWrite, file, errno);
        return false;
    }
    // A replacement needs only the folder's permission, yet a file the player may not write, or a
    // folder they may not write in, was protected on purpose: it is left as it is.
    struct stat folderStatus;
    int denied = fstat(target, &folderStatus) != 0 ? errno
                                                   : WriteDenied(target, ".", folderStatus.st_mode);
    if (!denied && keepMode) denied = WriteDenied(target, name, mode);
    if (denied) {
        ReportBestScoreProblem(kWrite, file, denied);
        return false;
    }

    // A name of our own, made exclusively: whatever lies under another name (a stale file,
    // a FIFO, a link) is neither followed nor touched.
    char temporary[NAME_MAX + 1];
    Descriptor out;
    for (unsigned attempt = 0; attempt < 16 && out.fd < 0; ++attempt) {
        std::size_t end = Append(temporary, sizeof temporary, 0, name);
        end = Append(temporary, sizeof temporary, end, ".");
        end = AppendNumber(temporary, sizeof temporary, end, static_cast<unsigned long>(getpid()));
        end = Append(temporary, sizeof temporary, end, ".");
        end = AppendNumber(temporary, sizeof temporary, end, attempt);
        end = Append(temporary, sizeof temporary, end, ".tmp");
        if (end + 1 >= sizeof temporary) {
            errno = ENAMETOOLONG;
            break;
        }
        out.fd = openat(target, temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        keepMode ? 0600 : newMode);
        if (out.fd < 0 && errno != EEXIST) break;
    }
    if (out.fd < 0) {
        ReportBestScoreProblem(kWrite, file, errno);
        return false;
    }

    bool written = true;
    for (std::size_t put = 0; written && put < size;) {
        ssize_t n = write(out.fd, bytes + put, size - put);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) put += static_cast<std::size_t>(n);
    }
    written = written && (!keepMode || fchmod(out.fd, mode) == 0);
    written = written && fsync(out.fd) == 0;
    int closed = close(out.fd);
    out.fd = -1;
    written = written && closed == 0 && renameat(target, temporary, target, name) == 0;
    if (!written) {
        int error = errno;
        unlinkat(target, temporary, 0);
        ReportBestScoreProblem(kWrite, file, error);
        return false;
    }
    // The rename is made lasting too; where the folder can't be synced the bytes are in place
    // all the same.
    fsync(target);
    return true;
}

}  // namespace

bool SetBestScorePath(const char* file) {
    Location at;
    if (std::strlen(file) >= sizeof path || !Split(file, at)) return false;
    std::strcpy(path, file);
    where = at;
    reported = false;
    preparation = nullptr;
    return true;
}

namespace {
// Until the entry point says where, the file is BEST_SCORE_FILE in the current folder.
[[maybe_unused]] const bool inCurrentFolder = SetBestScorePath(BEST_SCORE_FILE);
}  // namespace

void PrepareBestScoreOnFirstUse(void (*prepare)()) { preparation = prepare; }

const char* BestScorePath() { return path; }

store::Found ReadBestScoreFile(std::uint8_t* bytes, std::size_t size, std::size_t& got) {
    Prepare();
    got = 0;
    Descriptor folder{OpenFolder(where.folder)};
    if (folder.fd < 0) {
        ReportBestScoreProblem(kOpenFolder, path, errno);
        return store::Found::Unreadable;
    }
    mode_t mode = 0;
    const char* reason = nullptr;
    bool creating = false, missing = false;
    int error = ReadBytes(folder.fd, where.name, Source::BestScore, bytes, size, got, mode, reason,
                          creating, missing);
    if (error)
        ReportBestScoreProblem(
            creating ? "can't create the best-score file" : "can't read the best score from", path,
            error, reason);
    return missing ? store::Found::Missing : error ? store::Found::Unreadable : store::Found::Bytes;
}

bool ReplaceBestScoreFile(const std::uint8_t* bytes, std::size_t size) {
    Prepare();
    return WriteBytes(where, path, bytes, size);
}

bool CopyBestScoreFrom(const char* oldPath) {
    Location old;
    struct stat status;
    Descriptor folder{OpenFolder(where.folder)};
    if (folder.fd < 0 || fstatat(folder.fd, where.name, &status, AT_SYMLINK_NOFOLLOW) == 0 ||
        errno != ENOENT || !Split(oldPath, old))
        return false;
    Descriptor oldFolder{OpenFolder(old.folder)};
    if (oldFolder.fd < 0 || fstatat(oldFolder.fd, old.name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return false;  // nothing to copy
    std::uint8_t bytes[store::SIZE] = {};  // a short file's missing bytes are 0 in the copy
    std::size_t got = 0;
    mode_t mode = 0;
    const char* reason = nullptr;
    bool creating = false, missing = false;
    if (int error = ReadBytes(oldFolder.fd, old.name, Source::CopiedFrom, bytes, sizeof bytes, got,
                              mode, reason, creating, missing)) {
        // Said apart from the problems of the file itself, which are not to be hidden by it.
        bool saidBefore = reported;
        reported = false;
        ReportBestScoreProblem("can't copy the best score from", oldPath, error, reason);
        reported = saidBefore;
        return false;
    }
    // The copy is the player's to write; others may read it only where they could read the old.
    return WriteBytes(where, path, bytes, sizeof bytes,
                      S_IRUSR | S_IWUSR | (mode & (S_IRGRP | S_IROTH)));
}

void RemoveStaleTemporaries() {
    int folder = OpenFolder(where.folder);
    DIR* entries = folder >= 0 ? fdopendir(folder) : nullptr;
    if (!entries) {
        if (folder >= 0) close(folder);
        return;
    }
    const std::size_t length = std::strlen(where.name);
    const time_t old = time(nullptr) - 600;
    while (const dirent* entry = readdir(entries)) {
        // NAME.PID.N.tmp, as WriteBytes names them.
        const char* rest = entry->d_name + length;
        if (std::strncmp(entry->d_name, where.name, length) != 0) continue;
        int numbers = 0;
        while (numbers < 2 && *rest == '.' && rest[1] >= '0' && rest[1] <= '9') {
            for (++rest; *rest >= '0' && *rest <= '9';) ++rest;
            ++numbers;
        }
        struct stat status;
        if (numbers == 2 && std::strcmp(rest, ".tmp") == 0 &&
            fstatat(dirfd(entries), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_mtime < old)
            unlinkat(dirfd(entries), entry->d_name, 0);
    }
    closedir(entries);
}

void ReportBestScoreProblem(const char* doing, const char* file, int error, const char* reason) {
    if (reported) return;
    reported = true;
    char text[2 * PATH_MAX];
    char because[256] = "";
    if (!reason) reason = ErrorText(strerror_r(error, because, sizeof because), because);
    std::size_t end = Append(text, sizeof text, 0, program_invocation_short_name);
    end = Append(text, sizeof text, end, ": ");
    end = Append(text, sizeof text, end, doing);
    end = Append(text, sizeof text, end, " ");
    end = Append(text, sizeof text, end, file);
    end = Append(text, sizeof text, end, ": ");
    end = Append(text, sizeof text, end, reason);
    text[end++] = '\n';  // Append leaves room for it
    for (std::size_t put = 0; put < end;) {
        ssize_t n = write(STDERR_FILENO, text + put, end - put);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        put += static_cast<std::size_t>(n);
    }
}
