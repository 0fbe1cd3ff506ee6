#include "VolumeSet.h"

#include "Volumes.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

namespace {
// A disk asked for this many times without coming ends the run.
constexpr int kMaxAsks = 3;

int openRegular(const std::string& path, long long& size) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}
} // namespace

VolumeSet::VolumeSet(std::string setPath, std::function<void(int)> ask)
    : setPath_(std::move(setPath)), ask_(std::move(ask)) {}

VolumeSet::~VolumeSet() {
    if (fd_ >= 0)
        close(fd_);
}

bool VolumeSet::open() {
    fd_ = openRegular(setPath_, lastSize_);
    if (fd_ < 0)
        return false;
    openDisk_ = 0;
    lastStart_ = 0;
    if (!locateCentralDirectory(*this, loc_))
        return false;
    if (loc_.cdLocal >= 0) {
        // A positive start means earlier volumes; a negative one, bytes put before a
        // single-volume ZIP, which readers take in their stride.
        lastStart_ = loc_.lastStart() > 0 ? loc_.lastStart() : 0;
        return true;
    }
    // The directory begins on an earlier disk: only volumes lying beside this one help.
    if (!discoverBeside())
        return false;
    return lastStart_ + loc_.cdLocal >= 0;
}

bool VolumeSet::discoverBeside() {
    long long start = 0;
    for (int disk = 1;; ++disk) {
        long long size = 0;
        int fd = openRegular(volumePath(setPath_, disk), size);
        if (fd < 0)
            break;
        close(fd);
        earlier_.push_back({disk, start, size});
        start += size;
    }
    lastStart_ = start;
    return !earlier_.empty();
}

bool VolumeSet::useVolume(int disk, long long expectedSize) {
    if (fd_ >= 0 && openDisk_ == disk)
        return true;
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    openDisk_ = -1;
    const bool spanned = lastStart_ > 0;
    for (int attempt = 0; attempt <= kMaxAsks; ++attempt) {
        if (spanned && ask_) {
            if (attempt == kMaxAsks)
                break;
            ask_(disk);
        } else if (attempt > 0) {
            break;
        }
        long long size = 0;
        int fd = openRegular(volumePath(setPath_, disk), size);
        if (fd >= 0 && (expectedSize < 0 || size == expectedSize)) {
            fd_ = fd;
            openDisk_ = disk;
            if (disk == 0)
                lastSize_ = size;
            return true;
        }
        if (fd >= 0)
            close(fd);
    }
    diskMissing_ = true;
    return false;
}

bool VolumeSet::findVolume(long long offset, size_t& index) {
    for (size_t i = 0; i < earlier_.size(); ++i)
        if (offset >= earlier_[i].start && offset < earlier_[i].start + earlier_[i].size) {
            index = i;
            return true;
        }
    while (offset < lastStart_) {
        const long long start = earlier_.empty() ? 0 : earlier_.back().start + earlier_.back().size;
        if (start > offset || start >= lastStart_)
            return false;
        const int disk = static_cast<int>(earlier_.size()) + 1;
        if (!useVolume(disk, -1))
            return false;
        struct stat st {};
        if (fstat(fd_, &st) != 0 || st.st_size <= 0 || start + st.st_size > lastStart_) {
            diskMissing_ = true; // a disk that does not belong here
            return false;
        }
        earlier_.push_back({disk, start, st.st_size});
        if (offset < start + st.st_size) {
            index = earlier_.size() - 1;
            return true;
        }
    }
    return false;
}

void VolumeSet::keepTail(size_t limit) {
    if (lastStart_ <= 0 || loc_.cdLocal < 0)
        return;
    const long long from = std::max<long long>(0, loc_.cdLocal - 128 * 1024);
    if (lastSize_ - from > static_cast<long long>(limit))
        return;
    std::vector<char> buf(static_cast<size_t>(lastSize_ - from));
    if (useVolume(0, lastSize_) &&
        pread(fd_, buf.data(), buf.size(), from) == static_cast<ssize_t>(buf.size())) {
        tail_ = std::move(buf);
        tailStart_ = lastStart_ + from;
    }
}

size_t VolumeSet::contiguous(long long offset, size_t n) {
    if (offset < 0)
        return 0;
    long long end;
    if (!tail_.empty() && offset >= tailStart_) {
        end = tailStart_ + static_cast<long long>(tail_.size());
    } else if (offset >= lastStart_) {
        end = lastStart_ + lastSize_;
    } else {
        size_t i = 0;
        if (!findVolume(offset, i))
            return 0;
        end = earlier_[i].start + earlier_[i].size;
    }
    if (offset >= end)
        return 0;
    return static_cast<unsigned long long>(end - offset) < n ? static_cast<size_t>(end - offset)
                                                             : n;
}

bool VolumeSet::readAt(long long offset, void* buf, size_t n) {
    auto* p = static_cast<char*>(buf);
    while (n > 0) {
        size_t chunk = contiguous(offset, n);
        if (chunk == 0)
            return false;
        long long local;
        if (!tail_.empty() && offset >= tailStart_) {
            std::memcpy(p, tail_.data() + (offset - tailStart_), chunk);
            p += chunk;
            offset += static_cast<long long>(chunk);
            n -= chunk;
            continue;
        }
        if (offset >= lastStart_) {
            if (!useVolume(0, lastSize_))
                return false;
            local = offset - lastStart_;
        } else {
            size_t i = 0;
            if (!findVolume(offset, i) || !useVolume(earlier_[i].disk, earlier_[i].size))
                return false;
            local = offset - earlier_[i].start;
        }
        ssize_t got = pread(fd_, p, chunk, local);
        if (got <= 0)
            return false;
        p += got;
        offset += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace cw::zip
