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
    } else if (!discoverBeside() || lastStart_ + loc_.cdLocal < 0) {
        // The directory begins on an earlier disk: only volumes lying beside this one help.
        return false;
    }
    if (lastStart_ > 0) {
        // Remembered to tell this last disk from another set's when it is asked for again.
        if (!sampleVolume(fd_, lastSize_, lastSample_))
            return false;
        readRecord();
    }
    return true;
}

void VolumeSet::readRecord() {
    std::vector<VolumeMark> marks;
    if (!parseVolumeRecord(loc_.comment, marks))
        return;
    std::vector<Volume> known;
    long long start = 0;
    for (size_t i = 0; i < marks.size(); ++i) {
        known.push_back({static_cast<int>(i) + 1, start, marks[i].size, marks[i].sample, true});
        start += marks[i].size;
    }
    // A record that does not add up to this set's layout is not trusted.
    if (start == lastStart_)
        earlier_ = std::move(known);
}

bool VolumeSet::discoverBeside() {
    long long start = 0;
    for (int disk = 1;; ++disk) {
        long long size = 0;
        int fd = openRegular(volumePath(setPath_, disk), size);
        if (fd < 0)
            break;
        close(fd);
        earlier_.push_back({disk, start, size, 0, false});
        start += size;
    }
    lastStart_ = start;
    return !earlier_.empty();
}

bool VolumeSet::useVolume(int disk, const Check& right) {
    if (fd_ >= 0 && openDisk_ == disk)
        return true;
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    openDisk_ = -1;
    // The disk is asked for only when what lies at its place is not the right volume: all
    // volumes in one folder need no prompt, and another set's volume is never read.
    const bool spanned = lastStart_ > 0 && ask_;
    for (int asked = 0;; ++asked) {
        long long size = 0;
        int fd = openRegular(volumePath(setPath_, disk), size);
        if (fd >= 0 && right(fd, size)) {
            fd_ = fd;
            openDisk_ = disk;
            return true;
        }
        if (fd >= 0)
            close(fd);
        if (!spanned || asked == kMaxAsks)
            break;
        ask_(disk);
    }
    diskMissing_ = true;
    return false;
}

bool VolumeSet::useLast() {
    if (lastStart_ == 0) // one volume: the file opened at first, whatever it holds now
        return useVolume(0, [this](int, long long size) { return size == lastSize_; });
    return useVolume(0, [this](int fd, long long size) {
        uint32_t sample = 0;
        return size == lastSize_ && sampleVolume(fd, size, sample) && sample == lastSample_;
    });
}

bool VolumeSet::useEarlier(const Volume& v) {
    return useVolume(v.disk, [&v](int fd, long long size) {
        uint32_t sample = 0;
        return size == v.size &&
               (!v.marked || (sampleVolume(fd, size, sample) && sample == v.sample));
    });
}

bool VolumeSet::findVolume(long long offset, size_t& index) {
    for (size_t i = 0; i < earlier_.size(); ++i)
        if (offset >= earlier_[i].start && offset < earlier_[i].start + earlier_[i].size) {
            index = i;
            return true;
        }
    // A set without a record: the disks are learnt one after another, each by its size.
    while (offset < lastStart_) {
        const long long start = earlier_.empty() ? 0 : earlier_.back().start + earlier_.back().size;
        if (start > offset || start >= lastStart_)
            return false;
        const int disk = static_cast<int>(earlier_.size()) + 1;
        long long found = 0;
        if (!useVolume(disk, [&](int, long long size) {
                found = size;
                return size > 0 && start + size <= lastStart_;
            }))
            return false;
        earlier_.push_back({disk, start, found, 0, false});
        if (offset < start + found) {
            index = earlier_.size() - 1;
            return true;
        }
    }
    return false;
}

void VolumeSet::keepLast(long long from, size_t limit) {
    if (lastStart_ <= 0 || loc_.cdLocal < 0)
        return;
    long long local = std::clamp<long long>(from - lastStart_, 0, lastSize_);
    if (lastSize_ - local > static_cast<long long>(limit))
        local = std::max<long long>(0, loc_.cdLocal - 128 * 1024);
    if (lastSize_ - local > static_cast<long long>(limit))
        return;
    std::vector<char> buf(static_cast<size_t>(lastSize_ - local));
    if (useLast() &&
        pread(fd_, buf.data(), buf.size(), local) == static_cast<ssize_t>(buf.size())) {
        tail_ = std::move(buf);
        tailStart_ = lastStart_ + local;
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
            if (!useLast())
                return false;
            local = offset - lastStart_;
        } else {
            size_t i = 0;
            if (!findVolume(offset, i) || !useEarlier(earlier_[i]))
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
