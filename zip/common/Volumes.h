#pragma once
// Volume naming of a spanned set: the last volume is "<stem>.bks", the earlier ones carry
// their disk number: "<stem>.b01", "<stem>.b02", ... Joining them in order gives one ZIP.
#include <cstdint>
#include <string>
#include <vector>

namespace cw::zip {

// The set's path without its ".bks" extension (any letter case); the whole path otherwise.
std::string volumeStem(const std::string& setPath);
// Disk n (1-based) of a set whose last volume is setPath; n = 0 names the last volume.
std::string volumePath(const std::string& setPath, int disk);

// What the last volume records of each earlier one, so that a reader knows where every disk
// starts without reading the disks before it, and tells a volume of this set from another
// set's volume of the same name: its size and the CRC-32 of its first and last 64 KiB.
struct VolumeMark {
    long long size = 0;
    uint32_t sample = 0;
    bool operator==(const VolumeMark&) const = default;
};
// The sample of the open file fd of the given size; false when it cannot be read.
bool sampleVolume(int fd, long long size, uint32_t& crc);
// The record goes into the comment of the set's end record, as one line of text.
std::string volumeRecord(const std::vector<VolumeMark>& earlier);
bool parseVolumeRecord(const std::string& comment, std::vector<VolumeMark>& earlier);

} // namespace cw::zip
