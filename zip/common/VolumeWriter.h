#pragma once
// The output of the writer: one file, or a run of volumes each filled to the free space of
// its disk. Every volume is written under a temporary name beside its final one and renamed
// when complete, so a failed run leaves no partial set and an older set stays untouched.
// Before its rename each volume is read back from the medium and checked against a
// checksum of the bytes written to it, so a disk that loses data fails the run.
#include "TempFiles.h"
#include "Volumes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cw::zip {

class VolumeWriter {
public:
    // Tests only: sees (and may change) the bytes on their way to the disk, after the
    // checksum of what was meant to be written is taken. offset: in the current volume.
    using WriteHook = void (*)(unsigned char* data, size_t size, long long offset);

    // diskFilled(n) is told that disk n is complete and closed; when it returns, the next
    // disk is expected at the same place.
    VolumeWriter(std::string setPath, bool span, long long volumeCap,
                 std::function<void(int)> diskFilled);
    ~VolumeWriter();
    VolumeWriter(const VolumeWriter&) = delete;
    VolumeWriter& operator=(const VolumeWriter&) = delete;

    bool open();
    bool write(const void* data, size_t size);
    // From here on (the central directory) bytes are held back, so that the directory can go
    // to a fresh disk whole and the set can be listed from its last disk alone.
    void beginTail() { holding_ = true; }
    bool finish();
    void abort();
    // Read-back of each volume (on unless a benchmark measures without it).
    void setReadBack(bool on) { readBack_ = on; }
    void setWriteHook(WriteHook hook) { writeHook_ = hook; }
    const std::string& error() const { return error_; }
    // The failure was a volume that did not read back as it was written.
    bool verifyFailed() const { return verifyFailed_; }
    int disks() const { return disk_; }

private:
    std::string tempPrefix() const;
    bool openVolume();
    bool closeVolume(const std::string& finalPath);
    bool readBack(const std::string& finalPath);
    long long cdStartInTail() const; // where the directory begins in tail_ (0: unknown)
    void markTail();                 // puts the record of the earlier volumes into the end record
    bool nextDisk();
    bool put(const char* data, size_t size);
    long long room() const;
    bool fail(const std::string& what, int err);

    std::string setPath_, dir_, error_, tail_;
    TempFile temp_;
    bool span_, holding_ = false, readBack_ = true, verifyFailed_ = false;
    uint32_t crc_ = 0; // of the bytes written to the current volume
    WriteHook writeHook_ = nullptr;
    std::string scratch_;                                 // the hook's copy of the bytes
    long long cap_, limit_ = 0, written_ = 0, total_ = 0; // total_: over all volumes
    int disk_ = 1, emptyInARow_ = 0;
    std::function<void(int)> diskFilled_;
    struct Done {
        std::string path;
        dev_t dev;
        ino_t ino;
    };
    std::vector<Done> done_;
    std::vector<VolumeMark> marks_; // of the volumes before the current one
};

} // namespace cw::zip
