#include "VolumeWriter.h"

#include "CentralDirectory.h"
#include "Paths.h"
#include "TempFiles.h"
#include "Volumes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libdeflate.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace cw::zip {

namespace {
// A new disk that takes nothing this many times in a row ends the run instead of asking
// for ever.
constexpr int kMaxEmptyDisks = 3;
constexpr size_t kReadBackBlock = 1 << 20;
} // namespace

VolumeWriter::VolumeWriter(std::string setPath, bool span, long long volumeCap,
                           std::function<void(int)> diskFilled)
    : setPath_(std::move(setPath)), dir_(dirName(setPath_)), span_(span), cap_(volumeCap),
      diskFilled_(std::move(diskFilled)) {}

VolumeWriter::~VolumeWriter() {
    if (temp_.fd() >= 0)
        abort();
}

bool VolumeWriter::fail(const std::string& what, int err) {
    if (error_.empty())
        error_ = what + ": " + std::strerror(err);
    return false;
}

bool VolumeWriter::open() {
    struct stat st {};
    if (stat(dir_.c_str(), &st) != 0)
        return fail(dir_, errno);
    if (!S_ISDIR(st.st_mode))
        return fail(dir_, ENOTDIR);
    removeStaleTemps(dir_, tempPrefix());
    return openVolume();
}

std::string VolumeWriter::tempPrefix() const {
    return "." + baseName(volumeStem(setPath_)) + ".cwtmp";
}

bool VolumeWriter::openVolume() {
    if (!temp_.create(dir_, tempPrefix(), 0666))
        return fail(dir_, errno);
    written_ = 0;
    crc_ = 0;
    limit_ = cap_ > 0 ? cap_ : LLONG_MAX;
    struct statvfs vfs {};
    if (span_ && fstatvfs(temp_.fd(), &vfs) == 0) {
        unsigned long long avail = static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize;
        if (avail < static_cast<unsigned long long>(limit_))
            limit_ = static_cast<long long>(avail);
    }
    return true;
}

long long VolumeWriter::room() const {
    return limit_ - written_;
}

bool VolumeWriter::readBack(const std::string& finalPath) {
    const int fd = temp_.fd();
    // Synced first, so that the pages are clean and can be dropped: what is read next
    // comes from the medium, not from the cache.
    if (fsync(fd) != 0 && errno != EINVAL)
        return fail(finalPath, errno);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    std::unique_ptr<unsigned char[]> buf(new unsigned char[kReadBackBlock]);
    uint32_t crc = 0;
    long long at = 0;
    bool ok = true;
    while (ok) {
        const ssize_t got = pread(fd, buf.get(), kReadBackBlock, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        crc = static_cast<uint32_t>(libdeflate_crc32(crc, buf.get(), static_cast<size_t>(got)));
        at += got;
    }
    if (ok && at == written_ && crc == crc_)
        return true;
    verifyFailed_ = true;
    if (error_.empty())
        error_ = finalPath + ": the set on the disk differs from what was written" +
                 (ok ? std::string() : std::string(" (") + std::strerror(errno) + ")");
    temp_.discard();
    return false;
}

bool VolumeWriter::closeVolume(const std::string& finalPath) {
    // Checked where it lies before it takes the set's name, so that a bad copy never
    // replaces an older set.
    if (readBack_ && !readBack(finalPath))
        return false;
    // Synced, renamed over the final name, and the folder synced, so that a power loss
    // after the run leaves the new set rather than nothing.
    if (!temp_.publish(finalPath))
        return fail(finalPath, errno);
    struct stat st {};
    if (stat(finalPath.c_str(), &st) == 0)
        done_.push_back({finalPath, st.st_dev, st.st_ino});
    return true;
}

bool VolumeWriter::nextDisk() {
    if (written_ == 0) {
        // The disk took nothing: it is not a volume. Drop it and ask for another.
        temp_.discard();
        if (++emptyInARow_ >= kMaxEmptyDisks)
            return fail(dir_, ENOSPC);
    } else {
        emptyInARow_ = 0;
        VolumeMark mark{written_, 0};
        if (!sampleVolume(temp_.fd(), written_, mark.sample))
            return fail(setPath_, errno ? errno : EIO);
        marks_.push_back(mark);
        if (!closeVolume(volumePath(setPath_, disk_)))
            return false;
        if (diskFilled_)
            diskFilled_(disk_);
        ++disk_;
    }
    if (!makeDirs(dir_))
        return fail(dir_, errno ? errno : ENOENT);
    return openVolume();
}

bool VolumeWriter::put(const char* data, size_t size) {
    while (size > 0) {
        if (temp_.fd() < 0)
            return fail(setPath_, EBADF);
        long long r = room();
        if (r <= 0) {
            if (!span_)
                return fail(setPath_, ENOSPC);
            if (!nextDisk())
                return false;
            continue;
        }
        size_t n = size < static_cast<unsigned long long>(r) ? size : static_cast<size_t>(r);
        const char* out = data;
        if (writeHook_) {
            scratch_.assign(data, n);
            writeHook_(reinterpret_cast<unsigned char*>(scratch_.data()), n, written_);
            out = scratch_.data();
        }
        ssize_t got = ::write(temp_.fd(), out, n);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            if (span_ && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
                limit_ = written_; // the disk is full earlier than it said
                continue;
            }
            return fail(setPath_, errno);
        }
        crc_ = static_cast<uint32_t>(libdeflate_crc32(crc_, data, static_cast<size_t>(got)));
        written_ += got;
        total_ += got;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool VolumeWriter::write(const void* data, size_t size) {
    if (holding_) {
        tail_.append(static_cast<const char*>(data), size);
        return true;
    }
    return put(static_cast<const char*>(data), size);
}

bool VolumeWriter::finish() {
    if (temp_.fd() < 0)
        return fail(setPath_, EBADF);
    // Entry bytes held back with the tail go out first; then the directory, with
    // the record of every earlier volume, whole on the current disk or a fresh one. The
    // record grows by one entry when the directory moves, so each choice is judged with the
    // record it would carry.
    const long long entriesLeft = cdStartInTail();
    if (entriesLeft > 0) {
        if (!put(tail_.data(), static_cast<size_t>(entriesLeft)))
            return false;
        tail_.erase(0, static_cast<size_t>(entriesLeft));
    }
    long long tail = static_cast<long long>(tail_.size());
    if (span_ && written_ > 0) {
        std::vector<VolumeMark> moved = marks_;
        moved.push_back({written_, 0});
        const long long stay =
            tail + (marks_.empty() ? 0 : static_cast<long long>(volumeRecord(marks_).size()));
        const long long move = tail + static_cast<long long>(volumeRecord(moved).size());
        if (stay > room() && (cap_ == 0 || move <= cap_) && !nextDisk())
            return false;
    }
    markTail();
    if (!put(tail_.data(), tail_.size()))
        return false;
    tail_.clear();
    return closeVolume(setPath_);
}

namespace {
// The bytes held back for the last disk, read as a ZIP's end.
class TailSource : public Source {
public:
    explicit TailSource(const std::string& bytes) : bytes_(bytes) {}
    long long size() override { return static_cast<long long>(bytes_.size()); }
    bool readAt(long long offset, void* buf, size_t n) override {
        if (offset < 0 || offset + static_cast<long long>(n) > size())
            return false;
        bytes_.copy(static_cast<char*>(buf), n, static_cast<size_t>(offset));
        return true;
    }

private:
    const std::string& bytes_;
};
} // namespace

long long VolumeWriter::cdStartInTail() const {
    TailSource src(tail_);
    CdLocation loc;
    if (!locateCentralDirectory(src, loc))
        return 0;
    const long long at = static_cast<long long>(loc.cdOffset) - total_;
    return at >= 0 && at < static_cast<long long>(tail_.size()) ? at : 0;
}

void VolumeWriter::markTail() {
    if (marks_.empty())
        return;
    const std::string record = volumeRecord(marks_);
    const size_t n = tail_.size();
    // The writer ends the set with a bare end record; anything else gets no record.
    if (n < 22 || record.size() > 0xFFFF || tail_.compare(n - 22, 4, "PK\x05\x06") != 0 ||
        tail_[n - 2] != 0 || tail_[n - 1] != 0)
        return;
    tail_[n - 2] = static_cast<char>(record.size() & 0xFF);
    tail_[n - 1] = static_cast<char>(record.size() >> 8);
    tail_ += record;
}

void VolumeWriter::abort() {
    temp_.discard();
    // Remove only the volumes this run wrote, recognised by their identity, in case a disk
    // with an older volume of the same name was inserted since.
    for (const auto& d : done_) {
        struct stat st {};
        if (stat(d.path.c_str(), &st) == 0 && st.st_dev == d.dev && st.st_ino == d.ino)
            unlink(d.path.c_str());
    }
    done_.clear();
}

} // namespace cw::zip
