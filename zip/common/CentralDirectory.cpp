#include "CentralDirectory.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

namespace {

uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint64_t le64(const unsigned char* p) {
    return static_cast<uint64_t>(le32(p)) | static_cast<uint64_t>(le32(p + 4)) << 32;
}

// Larger sizes and offsets than this are damage, and would overflow the arithmetic.
constexpr uint64_t kMaxOffset = 1ULL << 50;

constexpr uint32_t kEndSig = 0x06054b50, kZip64EndSig = 0x06064b50, kLocatorSig = 0x07064b50,
                   kCentralSig = 0x02014b50;

bool readZip64End(Source& src, long long pos, CdLocation& loc) {
    unsigned char r[56];
    if (pos < 0 || !src.readAt(pos, r, sizeof r) || le32(r) != kZip64EndSig)
        return false;
    loc.entries = le64(r + 32);
    loc.cdSize = le64(r + 40);
    loc.cdOffset = le64(r + 48);
    if (loc.cdSize > kMaxOffset || loc.cdOffset > kMaxOffset)
        return false;
    loc.cdLocal = pos - static_cast<long long>(loc.cdSize);
    return true;
}

bool validUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!len || i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

} // namespace

std::string utf8OrReplaced(const std::string& raw) {
    if (validUtf8(raw))
        return raw;
    std::string out = raw;
    for (char& c : out)
        if (static_cast<unsigned char>(c) >= 0x80)
            c = '_';
    return out;
}

FileSource::FileSource(const std::string& path) {
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd_);
        fd_ = -1;
    }
    size_ = st.st_size;
}

FileSource::~FileSource() {
    if (fd_ >= 0)
        close(fd_);
}

bool FileSource::readAt(long long offset, void* buf, size_t n) {
    auto* p = static_cast<char*>(buf);
    while (n > 0) {
        if (offset < 0)
            return false;
        ssize_t got = pread(fd_, p, n, offset);
        if (got <= 0)
            return false;
        p += got;
        offset += got;
        n -= static_cast<size_t>(got);
    }
    return true;
}

bool locateCentralDirectory(Source& src, CdLocation& loc) {
    const long long size = src.size();
    if (size < 22)
        return false;
    const long long span = std::min<long long>(size, 22 + 65535);
    std::vector<unsigned char> tail(static_cast<size_t>(span));
    if (!src.readAt(size - span, tail.data(), tail.size()))
        return false;
    for (long long i = span - 22; i >= 0; --i) {
        const unsigned char* p = tail.data() + i;
        if (le32(p) != kEndSig || i + 22 + le16(p + 20) > span)
            continue;
        const long long endPos = size - span + i;
        loc.entries = le16(p + 10);
        loc.cdSize = le32(p + 12);
        loc.cdOffset = le32(p + 16);
        loc.cdLocal = endPos - static_cast<long long>(loc.cdSize);
        loc.comment.assign(reinterpret_cast<const char*>(p + 22), le16(p + 20));
        unsigned char l[20];
        if (endPos >= 20 && src.readAt(endPos - 20, l, sizeof l) && le32(l) == kLocatorSig) {
            // The ZIP64 record normally sits right before its locator; a single file may
            // also be found through the locator's absolute offset.
            if (!readZip64End(src, endPos - 20 - 56, loc) &&
                !readZip64End(src, static_cast<long long>(le64(l + 8)), loc))
                return false;
        }
        return true;
    }
    return false;
}

bool CdReader::next(CdEntry& e) {
    if (left_ == 0 || failed_)
        return false;
    unsigned char h[46];
    if (pos_ + 46 > end_ || !src_.readAt(pos_, h, sizeof h) || le32(h) != kCentralSig) {
        failed_ = true;
        return false;
    }
    const size_t nameLen = le16(h + 28), extraLen = le16(h + 30), commentLen = le16(h + 32);
    const long long recLen = 46 + static_cast<long long>(nameLen + extraLen + commentLen);
    if (pos_ + recLen > end_) {
        failed_ = true;
        return false;
    }
    std::vector<unsigned char> var(nameLen + extraLen);
    if (!var.empty() && !src_.readAt(pos_ + 46, var.data(), var.size())) {
        failed_ = true;
        return false;
    }
    e = CdEntry{};
    e.madeBy = le16(h + 4);
    e.flags = le16(h + 8);
    e.method = le16(h + 10);
    e.dosTime = le32(h + 12);
    e.crc = le32(h + 16);
    e.csize = le32(h + 20);
    e.usize = le32(h + 24);
    e.externalAttr = le32(h + 38);
    e.localOffset = le32(h + 42);
    std::string raw(var.begin(), var.begin() + static_cast<long>(nameLen));
    const unsigned char* x = var.data() + nameLen;
    for (size_t i = 0; i + 4 <= extraLen;) {
        const uint16_t id = le16(x + i), len = le16(x + i + 2);
        if (i + 4 + len > extraLen)
            break;
        const unsigned char* d = x + i + 4;
        if (id == 0x0001) { // ZIP64: only the fields whose 32-bit value is saturated
            size_t k = 0;
            if (e.usize == 0xFFFFFFFF && k + 8 <= len)
                e.usize = le64(d + k), k += 8;
            if (e.csize == 0xFFFFFFFF && k + 8 <= len)
                e.csize = le64(d + k), k += 8;
            if (e.localOffset == 0xFFFFFFFF && k + 8 <= len)
                e.localOffset = le64(d + k), k += 8;
        } else if (id == 0x7075 && len > 5 && d[0] == 1 && !(e.flags & 0x800)) {
            raw.assign(reinterpret_cast<const char*>(d + 5), len - 5u); // Unicode path
        }
        i += 4u + len;
    }
    e.name = utf8OrReplaced(raw);
    pos_ += recLen;
    --left_;
    return true;
}

} // namespace cw::zip
