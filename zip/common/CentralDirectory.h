#pragma once
// A small reader of a ZIP's central directory (ZIP64 aware). It needs only the end of the
// last volume, which libarchive's readers cannot do: they start at offset 0.
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
    std::string name; // UTF-8; bytes that are not UTF-8 become "_"
    uint16_t flags = 0, method = 0;
    uint32_t crc = 0, dosTime = 0, externalAttr = 0;
    uint64_t csize = 0, usize = 0, localOffset = 0;
    uint16_t madeBy = 0;
    bool encrypted() const { return flags & 1; }
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

} // namespace cw::zip
