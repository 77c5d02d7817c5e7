// The player's files on POSIX systems: write(2), fsync(2), rename(2), flock(2).
#include "shell/player_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

FileReadResult ReadWholeFile(const std::string& path, size_t max_bytes, std::string* bytes)
{
    bytes->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? FILE_ABSENT : FILE_UNREADABLE;
    struct stat info;
    FileReadResult result = FILE_READ;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        result = FILE_UNREADABLE;  // a folder of that name, say
    else if (size_t(info.st_size) > max_bytes)
        result = FILE_TOO_LARGE;
    char chunk[4096];
    for (ssize_t got; result == FILE_READ && (got = read(fd, chunk, sizeof chunk)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            result = FILE_UNREADABLE;
        else if (bytes->size() + size_t(got) > max_bytes)
            result = FILE_TOO_LARGE;  // it grew while read
        else
            bytes->append(chunk, size_t(got));
    }
    close(fd);
    if (result != FILE_READ)
        bytes->clear();
    return result;
}

static bool WriteAll(int fd, const std::string& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += size_t(wrote);
    }
    return true;
}

// The folder's own entry is synced too, so that the rename itself survives a power cut.
static void SyncFolderOf(const std::string& path)
{
    char folder[4096] = ".";
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash + 2 <= sizeof folder)
        std::snprintf(folder, sizeof folder, "%.*s", int(slash + 1), path.c_str());
    const int fd = open(folder, O_RDONLY | O_CLOEXEC | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool WriteFileWhole(const std::string& path, const std::string& bytes, std::string* why)
{
    char temporary[4096];  // on the stack: a game's last frame saves, and allocates nothing
    if (std::snprintf(temporary, sizeof temporary, "%s.tmp.%ld", path.c_str(), long(getpid())) >= int(sizeof temporary)) {
        *why = std::strerror(ENAMETOOLONG);
        return false;
    }
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *why = std::strerror(errno);
        return false;
    }
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written)
        written = false, error = errno;
    if (written && rename(temporary, path.c_str()) != 0)
        written = false, error = errno;
    if (!written) {
        unlink(temporary);
        *why = std::strerror(error);
        return false;
    }
    SyncFolderOf(path);
    return true;
}

std::string SetFileAside(const std::string& path)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        const std::string aside = path + (attempt ? "." + std::to_string(attempt) : "") + ".bad";
        struct stat info;
        if (lstat(aside.c_str(), &info) == 0)
            continue;  // an older one is kept
        return rename(path.c_str(), aside.c_str()) == 0 ? aside : "";
    }
    return "";
}

std::string AccountName()
{
    struct passwd entry, *found = nullptr;
    char room[4096];
    return getpwuid_r(getuid(), &entry, room, sizeof room, &found) == 0 && found ? found->pw_name : "";
}

intptr_t LockPlayerFile(const std::string& lock_path)
{
    const int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    while (flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) {
            close(fd);
            return -1;
        }
    return fd;
}

void UnlockPlayerFile(intptr_t lock)
{
    if (lock >= 0)
        close(int(lock));  // closing lets go of the lock
}
