#include "TempFiles.h"

#include "Paths.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

namespace {

std::string randomTag() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6] = {};
    if (getrandom(bytes, sizeof bytes, 0) != sizeof bytes) {
        // Only a uniqueness hint: a clash is caught by O_EXCL or EEXIST and tried again.
        static unsigned counter = 0;
        const unsigned v = static_cast<unsigned>(getpid()) * 2654435761u + ++counter;
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(v >> (i * 5));
    }
    std::string tag;
    for (unsigned char b : bytes)
        tag += kChars[b % (sizeof kChars - 1)];
    return tag;
}

void keepErrno(int& err) {
    if (err == 0)
        err = errno;
}

} // namespace

bool TempFile::create(const std::string& dir, const std::string& prefix, mode_t mode) {
    discard();
    dir_ = dir;
    prefix_ = prefix;
    // A file without a name cannot be left behind by a killed run. FAT and exFAT drives do
    // not offer it; there the file gets a name at once, and the lock marks it as live.
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd_ < 0) {
        for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
            path_ = dir + "/" + prefix + randomTag();
            fd_ = ::open(path_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, mode);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
        if (fd_ < 0) {
            path_.clear();
            return false;
        }
    }
    // The window between creating a named file and locking it is a few instructions; a
    // cleaner that takes the lock in between removes a file no byte has been written to.
    flock(fd_, LOCK_EX);
    return true;
}

bool TempFile::linkName() {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
    for (int tries = 0; tries < 100; ++tries) {
        std::string name = dir_ + "/" + prefix_ + randomTag();
        int r = linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
        if (r != 0 && errno == ENOENT)
            r = linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
        if (r == 0) {
            path_ = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    errno = EEXIST;
    return false;
}

bool TempFile::publish(const std::string& finalPath) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    int err = 0;
    if (fsync(fd_) != 0 && errno != EINVAL)
        keepErrno(err);
    if (err == 0 && path_.empty() && !linkName())
        keepErrno(err);
    if (err == 0 && rename(path_.c_str(), finalPath.c_str()) != 0)
        keepErrno(err);
    if (err != 0) {
        discard();
        errno = err;
        return false;
    }
    // The lock is held until the file has its final name.
    path_.clear();
    if (close(fd_) != 0)
        keepErrno(err);
    fd_ = -1;
    if (err == 0 && !syncDirectory(dirName(finalPath)))
        keepErrno(err);
    errno = err;
    return err == 0;
}

void TempFile::discard() {
    if (!path_.empty())
        unlink(path_.c_str());
    path_.clear();
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

void removeStaleTemps(int dirFd, const std::function<bool(const std::string&)>& isTemp) {
    const int own = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return;
    std::unique_ptr<DIR, int (*)(DIR*)> d(fdopendir(own), closedir);
    if (!d) {
        close(own);
        return;
    }
    while (dirent* e = readdir(d.get())) {
        const std::string name = e->d_name;
        if (!isTemp(name))
            continue;
        int fd = openat(own, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {
        }, named{};
        // Removed only while we hold its lock, and only if the name still leads to it.
        if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            fstatat(own, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            unlinkat(own, name.c_str(), 0);
        close(fd);
    }
}

void removeStaleTemps(const std::string& dir, const std::string& prefix) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    removeStaleTemps(fd, [&prefix](const std::string& name) {
        return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0;
    });
    close(fd);
}

bool syncDirectory(const std::string& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int r = fsync(fd);
    int err = errno;
    close(fd);
    // Some file systems cannot sync a folder at all; that is not a failure of the run.
    if (r != 0 && err != EINVAL && err != EROFS) {
        errno = err;
        return false;
    }
    return true;
}

} // namespace cw::zip
