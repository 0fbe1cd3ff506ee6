#pragma once
// A small reader of a ZIP's central directory (ZIP64 aware). It needs only the end of the
// last volume, where a reader that starts at offset 0 would need every disk.
#include <cstdint>
#include <string>
#include <vector>

namespace cw::zip {

// Random access to bytes; offsets are the source's own.
class Source {
public:
    virtual ~Source() = default;
    virtual long long size() = 0;
    virtual bool readAt(long long offset, void* buf, size_t n) = 0;
};

class FileSource : public Source {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    bool ok() const { return fd_ >= 0; }
    long long size() override { return size_; }
    bool readAt(long long offset, void* buf, size_t n) override;

private:
    int fd_ = -1;
    long long size_ = 0;
};

struct CdEntry {
    // With the UTF-8 flag: UTF-8, bytes that are not become "_". Made on Unix without the
    // flag: the bytes as stored. Otherwise code page 437, turned into UTF-8.
    std::string name;
    uint16_t flags = 0, method = 0;
    uint32_t crc = 0, dosTime = 0, externalAttr = 0;
    uint64_t csize = 0, usize = 0, localOffset = 0;
    uint16_t madeBy = 0;
    uint16_t rawNameSize = 0;
    // WinZip AES (method 99): key strength 1, 2, 3 (128, 192, 256 bits), vendor version
    // (1 AE-1 with a CRC, 2 AE-2 without) and the compression method under the encryption.
    uint8_t aesStrength = 0;
    uint16_t aesVersion = 0, aesMethod = 0;
    long long unixTime = -1; // from an extended-timestamp field; -1 when there is none
    bool encrypted() const { return flags & 1; }
    bool aes() const { return method == 99 && aesStrength >= 1 && aesStrength <= 3; }
    // The compression method of the plain data.
    uint16_t dataMethod() const { return method == 99 ? aesMethod : method; }
    bool directory() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
    // On Unix a backslash is part of a name; other systems' archivers separate with it.
    bool madeOnUnix() const { return madeBy >> 8 == 3; }
    unsigned mode() const { return madeOnUnix() ? externalAttr >> 16 : 0; }
};

// Where the central directory is. cdLocal is its position in the source that holds the end
// record (the last volume); it is negative when the directory starts on an earlier volume.
struct CdLocation {
    uint64_t cdOffset = 0, cdSize = 0, entries = 0;
    long long cdLocal = 0;
    std::string comment; // the end record's
    // Offset in the joined set where the source holding the end record begins.
    long long lastStart() const { return static_cast<long long>(cdOffset) - cdLocal; }
};

bool locateCentralDirectory(Source& src, CdLocation& loc);

// Walks the entries of a central directory that lies in src at [start, start + size).
class CdReader {
public:
    CdReader(Source& src, long long start, uint64_t size, uint64_t entries)
        : src_(src), pos_(start), end_(start + static_cast<long long>(size)), left_(entries) {}
    bool next(CdEntry& e); // false at the end or on a damaged record (then failed())
    bool failed() const { return failed_; }

private:
    bool fill(size_t need);
    Source& src_;
    long long pos_, end_;
    uint64_t left_;
    bool failed_ = false;
    std::vector<unsigned char> buf_;
    size_t bufPos_ = 0;
};

std::string utf8OrReplaced(const std::string& raw);
// The name of an entry as CdEntry::name describes it.
std::string entryName(const std::string& raw, uint16_t flags, bool madeOnUnix);
// Reads the extra fields both headers share: ZIP64 sizes and offset (only where the 32-bit
// value is saturated), WinZip AES, the extended timestamp and the Unicode path. Returns
// whether a Unix extra field (owner or timestamp of a Unix archiver) is among them.
bool readExtraFields(CdEntry& e, const unsigned char* x, size_t len, std::string& rawName);
uint16_t le16(const unsigned char* p);
uint32_t le32(const unsigned char* p);
uint64_t le64(const unsigned char* p);

} // namespace cw::zip
