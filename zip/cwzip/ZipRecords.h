#pragma once
// The records of a ZIP file as this writer lays them out: local header, data descriptor,
// central directory header and the end records, ZIP64 where a size, an offset or the
// entry count needs it.
#include <cstdint>
#include <ctime>
#include <string>

namespace cw::zip {

enum ZipMethod : uint16_t { kMethodStore = 0, kMethodDeflate = 8, kMethodAes = 99 };

struct EntryRecord {
    std::string name;       // the stored name's bytes
    bool directory = false; // the name ends in "/"
    uint32_t mode = 0;      // Unix type and permission bits
    time_t mtime = 0;
    uint16_t method = kMethodStore; // of the data before encryption
    bool aes = false;
    bool descriptor = false; // sizes and CRC follow the data
    bool zip64 = false;      // the local header carries ZIP64 sizes
    uint32_t crc = 0;        // of the file's bytes (left 0 in the records when encrypted)
    uint64_t size = 0;       // uncompressed
    uint64_t csize = 0;      // as stored, encryption included
    uint64_t offset = 0;     // of the local header in the joined set
};

// Whether a size of this many bytes may outgrow 32 bits once compressed or encrypted.
bool needsZip64(uint64_t size);

std::string localHeader(const EntryRecord& e);
std::string dataDescriptor(const EntryRecord& e);
std::string centralHeader(const EntryRecord& e);
// The end of the set: ZIP64 end record and locator when needed, then the end record with
// an empty comment.
std::string endRecords(uint64_t entries, uint64_t cdOffset, uint64_t cdSize);

bool isUtf8(const std::string& s);

} // namespace cw::zip
