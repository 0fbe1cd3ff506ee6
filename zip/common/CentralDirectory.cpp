#include "CentralDirectory.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

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

namespace {

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

namespace {
// Code page 437's upper half, as Unicode.
constexpr char16_t kCp437[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

std::string cp437ToUtf8(const std::string& raw) {
    std::string out;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        const char16_t u = kCp437[c - 0x80];
        if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}
} // namespace

std::string entryName(const std::string& raw, uint16_t flags, bool madeOnUnix) {
    if (flags & 0x800)
        return utf8OrReplaced(raw);
    // A Unix archiver stores the bytes the file system had; they come back as they are.
    return madeOnUnix ? raw : cp437ToUtf8(raw);
}

bool readExtraFields(CdEntry& e, const unsigned char* x, size_t len, std::string& rawName) {
    bool unixFields = false;
    for (size_t i = 0; i + 4 <= len;) {
        const uint16_t id = le16(x + i), size = le16(x + i + 2);
        if (i + 4 + size > len)
            break;
        const unsigned char* d = x + i + 4;
        if (id == 0x0001) { // ZIP64: only the fields whose 32-bit value is saturated
            size_t k = 0;
            if (e.usize == 0xFFFFFFFF && k + 8 <= size)
                e.usize = le64(d + k), k += 8;
            if (e.csize == 0xFFFFFFFF && k + 8 <= size)
                e.csize = le64(d + k), k += 8;
            if (e.localOffset == 0xFFFFFFFF && k + 8 <= size)
                e.localOffset = le64(d + k), k += 8;
        } else if (id == 0x9901 && size >= 7) { // WinZip AES
            e.aesVersion = le16(d);
            e.aesStrength = d[4];
            e.aesMethod = le16(d + 5);
        } else if (id == 0x5455 && size >= 5 && (d[0] & 1)) { // extended timestamp, UTC
            e.unixTime = le32(d + 1); // unsigned, as writers store times past 2038
            unixFields = true;
        } else if (id == 0x7875 || id == 0x7855 || id == 0x5855 || id == 0x000d) {
            unixFields = true;
        } else if (id == 0x7075 && size > 5 && d[0] == 1 && !(e.flags & 0x800)) {
            // The Unicode path: the name is UTF-8 from here on, as if flagged.
            rawName.assign(reinterpret_cast<const char*>(d + 5), size - 5u);
            e.flags |= 0x800;
        }
        i += 4u + size;
    }
    return unixFields;
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
    e.rawNameSize = static_cast<uint16_t>(nameLen);
    std::string raw(var.begin(), var.begin() + static_cast<long>(nameLen));
    readExtraFields(e, var.data() + nameLen, extraLen, raw);
    e.name = entryName(raw, e.flags, e.madeOnUnix());
    pos_ += recLen;
    --left_;
    return true;
}

} // namespace cw::zip
