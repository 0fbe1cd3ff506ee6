#pragma once
// Reading side of spanning: the volumes of a set seen as one joined ZIP. The last volume is
// the file the caller named; earlier ones are looked for by disk number when a read needs
// them, used without asking when the right one is already in place, and asked for otherwise.
#include "CentralDirectory.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cw::zip {

class VolumeSet : public Source {
public:
    // ask(n) asks the user for disk n (0 = the last disk) and returns when it may be there.
    VolumeSet(std::string setPath, std::function<void(int)> ask);
    ~VolumeSet() override;
    VolumeSet(const VolumeSet&) = delete;
    VolumeSet& operator=(const VolumeSet&) = delete;

    // Opens the last volume and finds the central directory; false when it is no ZIP.
    bool open();
    const CdLocation& location() const { return loc_; }
    // Where the last volume begins in the joined set (0 for a set on one disk).
    long long lastStart() const { return lastStart_; }
    long long size() override { return lastStart_ + lastSize_; }
    bool readAt(long long offset, void* buf, size_t n) override;
    // Largest n such that [offset, offset + n) lies on one volume (reads never cross disks).
    size_t contiguous(long long offset, size_t n);
    bool diskMissing() const { return diskMissing_; }
    // Keeps the last volume from offset from (in the joined set) to its end in memory, so
    // that a reader starting at disk 1 does not ask for the last disk again. When that is
    // more than limit, only the directory and end records are kept, if they fit.
    void keepLast(long long from, size_t limit);
    // Walks the central directory, wherever it starts.
    template <class F> bool forEachEntry(F&& f);

private:
    struct Volume {
        int disk;
        long long start, size;
        uint32_t sample;
        bool marked; // size and sample come from the set's record
    };
    using Check = std::function<bool(int fd, long long size)>;
    bool findVolume(long long offset, size_t& index);
    bool useVolume(int disk, const Check& right);
    bool useEarlier(const Volume& v);
    bool useLast();
    bool discoverBeside();
    void readRecord();

    std::string setPath_;
    std::function<void(int)> ask_;
    CdLocation loc_;
    long long lastStart_ = 0, lastSize_ = 0;
    uint32_t lastSample_ = 0;
    std::vector<Volume> earlier_;
    std::vector<char> tail_;
    long long tailStart_ = 0;     // offset of tail_[0] in the joined set
    int fd_ = -1, openDisk_ = -1; // -1: none open, 0: the last volume
    bool diskMissing_ = false;
};

template <class F> bool VolumeSet::forEachEntry(F&& f) {
    CdReader reader(*this, lastStart_ + loc_.cdLocal, loc_.cdSize, loc_.entries);
    CdEntry e;
    while (reader.next(e))
        if (!f(e))
            return true;
    return !reader.failed();
}

} // namespace cw::zip
