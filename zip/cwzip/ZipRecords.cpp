#include "ZipRecords.h"

namespace cw::zip {

namespace {

constexpr uint32_t kMax32 = 0xFFFFFFFFu;
constexpr uint16_t kFlagEncrypted = 1, kFlagDescriptor = 1 << 3, kFlagUtf8 = 1 << 11;
constexpr uint16_t kMadeBy = 3 << 8 | 63; // Unix, format 6.3

void put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}
void put64(std::string& s, uint64_t v) {
    put32(s, static_cast<uint32_t>(v));
    put32(s, static_cast<uint32_t>(v >> 32));
}
uint32_t clamp32(uint64_t v) {
    return v >= kMax32 ? kMax32 : static_cast<uint32_t>(v);
}

uint16_t needed(const EntryRecord& e, bool zip64) {
    return e.aes ? 51 : zip64 ? 45 : 20;
}

uint16_t flags(const EntryRecord& e) {
    uint16_t f = 0;
    if (e.aes)
        f |= kFlagEncrypted;
    if (e.descriptor)
        f |= kFlagDescriptor;
    if (isUtf8(e.name))
        f |= kFlagUtf8;
    return f;
}

// MS-DOS date and time in local time; the format starts in 1980.
uint32_t dosDateTime(time_t t) {
    struct tm tm {};
    if (!localtime_r(&t, &tm) || tm.tm_year < 80)
        return (0 << 9 | 1 << 5 | 1) << 16;
    if (tm.tm_year > 207)
        tm.tm_year = 207;
    const uint32_t date =
        static_cast<uint32_t>((tm.tm_year - 80) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
    const uint32_t time = static_cast<uint32_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
    return date << 16 | time;
}

// Extended timestamp (modification time only), when the time fits its 32 bits.
void putTimestamp(std::string& x, time_t t) {
    if (t < INT32_MIN || t > INT32_MAX)
        return;
    put16(x, 0x5455);
    put16(x, 5);
    x += '\x01';
    put32(x, static_cast<uint32_t>(static_cast<int32_t>(t)));
}

void putAes(std::string& x, uint16_t method) {
    put16(x, 0x9901);
    put16(x, 7);
    put16(x, 2); // AE-2: the CRC is left out, the MAC covers the data
    x += "AE";
    x += '\x03'; // AES-256
    put16(x, method);
}

} // namespace

bool needsZip64(uint64_t size) {
    // Deflate's stored blocks and the encryption frame add a little to the file's size.
    return size + size / 8192 + 1024 >= kMax32;
}

bool isUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len = 1;
        uint32_t cp = c;
        if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0)
                len = 2, cp = c & 0x1F;
            else if ((c & 0xF0) == 0xE0)
                len = 3, cp = c & 0x0F;
            else if ((c & 0xF8) == 0xF0)
                len = 4, cp = c & 0x07;
            else
                return false;
            if (i + len > s.size())
                return false;
            for (size_t k = 1; k < len; ++k) {
                const unsigned char d = static_cast<unsigned char>(s[i + k]);
                if ((d & 0xC0) != 0x80)
                    return false;
                cp = cp << 6 | (d & 0x3F);
            }
            // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
            static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            if (cp < least[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
                return false;
        }
        i += len;
    }
    return true;
}

std::string localHeader(const EntryRecord& e) {
    std::string extra;
    if (e.zip64) {
        put16(extra, 0x0001);
        put16(extra, 16);
        put64(extra, e.descriptor ? 0 : e.size);
        put64(extra, e.descriptor ? 0 : e.csize);
    }
    putTimestamp(extra, e.mtime);
    if (e.aes)
        putAes(extra, e.method);
    std::string h;
    h.reserve(30 + e.name.size() + extra.size());
    put32(h, 0x04034b50);
    put16(h, needed(e, e.zip64));
    put16(h, flags(e));
    put16(h, e.aes ? uint16_t{kMethodAes} : e.method);
    put32(h, dosDateTime(e.mtime));
    put32(h, e.descriptor || e.aes ? 0 : e.crc);
    put32(h, e.zip64 ? kMax32 : e.descriptor ? 0 : static_cast<uint32_t>(e.csize));
    put32(h, e.zip64 ? kMax32 : e.descriptor ? 0 : static_cast<uint32_t>(e.size));
    put16(h, static_cast<uint32_t>(e.name.size()));
    put16(h, static_cast<uint32_t>(extra.size()));
    h += e.name;
    h += extra;
    return h;
}

std::string dataDescriptor(const EntryRecord& e) {
    std::string d;
    put32(d, 0x08074b50);
    put32(d, e.aes ? 0 : e.crc);
    if (e.zip64) {
        put64(d, e.csize);
        put64(d, e.size);
    } else {
        put32(d, static_cast<uint32_t>(e.csize));
        put32(d, static_cast<uint32_t>(e.size));
    }
    return d;
}

std::string centralHeader(const EntryRecord& e) {
    std::string zip64;
    if (e.size >= kMax32)
        put64(zip64, e.size);
    if (e.csize >= kMax32)
        put64(zip64, e.csize);
    if (e.offset >= kMax32)
        put64(zip64, e.offset);
    std::string extra;
    if (!zip64.empty()) {
        put16(extra, 0x0001);
        put16(extra, static_cast<uint32_t>(zip64.size()));
        extra += zip64;
    }
    putTimestamp(extra, e.mtime);
    if (e.aes)
        putAes(extra, e.method);
    std::string h;
    h.reserve(46 + e.name.size() + extra.size());
    put32(h, 0x02014b50);
    put16(h, kMadeBy);
    put16(h, needed(e, e.zip64 || !zip64.empty()));
    put16(h, flags(e));
    put16(h, e.aes ? uint16_t{kMethodAes} : e.method);
    put32(h, dosDateTime(e.mtime));
    put32(h, e.aes ? 0 : e.crc);
    put32(h, clamp32(e.csize));
    put32(h, clamp32(e.size));
    put16(h, static_cast<uint32_t>(e.name.size()));
    put16(h, static_cast<uint32_t>(extra.size()));
    put16(h, 0); // comment
    put16(h, 0); // disk of the local header: the joined set is one file
    put16(h, 0); // internal attributes
    put32(h, e.mode << 16 | (e.directory ? 0x10 : 0));
    put32(h, clamp32(e.offset));
    h += e.name;
    h += extra;
    return h;
}

std::string endRecords(uint64_t entries, uint64_t cdOffset, uint64_t cdSize) {
    std::string r;
    if (entries >= 0xFFFF || cdOffset >= kMax32 || cdSize >= kMax32) {
        const uint64_t at = cdOffset + cdSize;
        put32(r, 0x06064b50);
        put64(r, 44); // the record's size after this field
        put16(r, kMadeBy);
        put16(r, 45);
        put32(r, 0); // this disk
        put32(r, 0); // the directory's disk
        put64(r, entries);
        put64(r, entries);
        put64(r, cdSize);
        put64(r, cdOffset);
        put32(r, 0x07064b50);
        put32(r, 0);
        put64(r, at);
        put32(r, 1); // disks
    }
    put32(r, 0x06054b50);
    put16(r, 0);
    put16(r, 0);
    put16(r, entries >= 0xFFFF ? 0xFFFF : static_cast<uint32_t>(entries));
    put16(r, entries >= 0xFFFF ? 0xFFFF : static_cast<uint32_t>(entries));
    put32(r, clamp32(cdSize));
    put32(r, clamp32(cdOffset));
    put16(r, 0); // comment: the volume writer may add its record
    return r;
}

} // namespace cw::zip
