#include "FileOut.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

namespace {
std::atomic<unsigned> g_umask{022};
std::atomic<unsigned> g_serial{0};
} // namespace

void FileOut::noteUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    g_umask = mask;
    g_serial = static_cast<unsigned>(std::random_device{}() % 1000000);
}

bool FileOut::isTemporaryName(const std::string& name) {
    static const std::string kTag = ".cwtmp";
    const size_t at = name.rfind(kTag);
    if (at == std::string::npos || name[0] != '.' || at + kTag.size() == name.size())
        return false;
    return name.find_first_not_of("0123456789", at + kTag.size()) == std::string::npos;
}

bool FileOut::create() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tag = ".cwtmp" + std::to_string(g_serial++ % 1000000);
        // A name near the length limit leaves no room for the prefix: use the tag alone.
        temp_ = name_.size() + tag.size() + 1 < 250 ? "." + name_ + tag : tag;
        fd_ = openat(dirFd_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     0600);
        if (fd_ >= 0) {
            flock(fd_, LOCK_EX);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    error_ = errno;
    temp_.clear();
    return false;
}

bool FileOut::write(const void* data, size_t size) {
    auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool FileOut::commit(unsigned mode, long long mtime, long nsec) {
    fchmod(fd_, mode ? (mode & 0777) : (0666 & ~g_umask.load()));
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(mtime);
    times[1].tv_nsec = nsec;
    futimens(fd_, times);
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) {
        error_ = errno;
        unlinkat(dirFd_, temp_.c_str(), 0);
        temp_.clear();
        return false;
    }
    temp_.clear();
    return true;
}

void FileOut::discard() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        unlinkat(dirFd_, temp_.c_str(), 0);
    temp_.clear();
}

} // namespace cw::zip
