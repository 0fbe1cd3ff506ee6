#include "SetIndex.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace cw::zip {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50, kCentralSig = 0x02014b50, kEndSig = 0x06054b50,
                   kZip64EndSig = 0x06064b50, kDescriptorSig = 0x08074b50;
// Larger sizes and offsets than this are damage, and would overflow the arithmetic.
constexpr uint64_t kMaxOffset = 1ULL << 50;
constexpr size_t kLocalHeader = 30;

// The first offset at or after from where sig begins, or -1.
long long findSignature(Source& src, long long from, uint32_t sig) {
    const long long size = src.size();
    unsigned char want[4];
    for (int i = 0; i < 4; ++i)
        want[i] = static_cast<unsigned char>(sig >> (8 * i));
    std::vector<unsigned char> buf(64 * 1024);
    while (from + 4 <= size) {
        const size_t n = static_cast<size_t>(std::min<long long>(size - from, buf.size()));
        if (!src.readAt(from, buf.data(), n))
            return -1;
        if (void* hit = memmem(buf.data(), n, want, 4))
            return from + (static_cast<unsigned char*>(hit) - buf.data());
        from += static_cast<long long>(n) - 3;
    }
    return -1;
}

// One complete entry at pos, and where the next header may begin; false when the header is
// damaged or the entry's data does not lie whole in the source.
bool parseLocal(Source& src, long long pos, const unsigned char* h, CdEntry& e, long long& next) {
    const long long size = src.size();
    e = CdEntry{};
    e.flags = le16(h + 6);
    e.method = le16(h + 8);
    e.dosTime = le32(h + 10);
    e.crc = le32(h + 14);
    e.csize = le32(h + 18);
    e.usize = le32(h + 22);
    const size_t nameLen = le16(h + 26), extraLen = le16(h + 28);
    if (nameLen == 0)
        return false;
    std::vector<unsigned char> var(nameLen + extraLen);
    if (!src.readAt(pos + static_cast<long long>(kLocalHeader), var.data(), var.size()))
        return false;
    e.rawNameSize = static_cast<uint16_t>(nameLen);
    std::string raw(var.begin(), var.begin() + static_cast<long>(nameLen));
    const bool zip64 = e.csize == 0xFFFFFFFF || e.usize == 0xFFFFFFFF;
    const bool unixFields = readExtraFields(e, var.data() + nameLen, extraLen, raw);
    // A local header does not say which system made it: a Unix archiver's extra fields, or
    // the UTF-8 flag, tell names whose backslashes belong to them.
    e.madeBy = unixFields || (e.flags & 0x800) ? 0x031E : 0x0014;
    e.name = entryName(raw, e.flags, e.madeOnUnix());
    const long long data = pos + static_cast<long long>(kLocalHeader + nameLen + extraLen);
    e.localOffset = static_cast<uint64_t>(pos);
    if ((e.flags & 8) && e.csize == 0) {
        // Sizes follow the data: the descriptor whose size field matches its distance.
        for (long long from = data;;) {
            const long long at = findSignature(src, from, kDescriptorSig);
            unsigned char d[24];
            if (at < 0)
                return false;
            const auto dist = static_cast<uint64_t>(at - data);
            const bool room = at + 24 <= size && src.readAt(at, d, 24);
            if (!room && (at + 16 > size || !src.readAt(at, d, 16)))
                return false;
            if (le32(d + 8) == dist) {
                e.crc = le32(d + 4);
                e.csize = dist;
                e.usize = le32(d + 12);
                next = at + 16;
                return true;
            }
            if (room && le64(d + 8) == dist) {
                e.crc = le32(d + 4);
                e.csize = dist;
                e.usize = le64(d + 16);
                next = at + 24;
                return true;
            }
            from = at + 1;
        }
    }
    if (e.csize > kMaxOffset || e.usize > kMaxOffset || e.csize == 0xFFFFFFFF ||
        data + static_cast<long long>(e.csize) > size)
        return false;
    next = data + static_cast<long long>(e.csize);
    if (!(e.flags & 8))
        return true;
    // Sizes in the header, and the CRC (perhaps the sizes too) after the data, with or
    // without the descriptor's signature.
    unsigned char d[24] = {};
    const size_t fields = zip64 ? 20 : 12;
    if (next + 4 <= size && src.readAt(next, d, 4) && le32(d) == kDescriptorSig) {
        if (next + 4 + static_cast<long long>(fields) > size || !src.readAt(next + 4, d, fields))
            return false;
        next += 4;
    } else if (next + static_cast<long long>(fields) > size || !src.readAt(next, d, fields)) {
        return false;
    }
    e.crc = le32(d);
    next += static_cast<long long>(fields);
    return true;
}

void placeEntries(SetIndex& index, long long end) {
    // Each entry's bytes as its directory record describes them: the header, the name and
    // the data. Of entries that overlap, the first in the set keeps its bytes.
    const std::vector<size_t> order = index.dataOrder();
    long long reached = 0;
    std::vector<size_t> kept;
    for (size_t i : order) {
        IndexedEntry& e = index.entries[i];
        const uint64_t start = e.cd.localOffset;
        if (start > kMaxOffset || e.cd.csize > kMaxOffset) {
            e.refused = true;
            continue;
        }
        const long long s = static_cast<long long>(start);
        const long long stop =
            s + static_cast<long long>(kLocalHeader + e.cd.rawNameSize + e.cd.csize);
        if (s < reached || stop > end) {
            e.refused = true;
            continue;
        }
        reached = stop;
        kept.push_back(i);
    }
    for (size_t k = 0; k < kept.size(); ++k)
        index.entries[kept[k]].limit =
            k + 1 < kept.size() ? static_cast<long long>(index.entries[kept[k + 1]].cd.localOffset)
                                : end;
}

} // namespace

std::vector<size_t> SetIndex::dataOrder() const {
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return entries[a].cd.localOffset < entries[b].cd.localOffset;
    });
    return order;
}

std::vector<CdEntry> scanLocalHeaders(Source& src) {
    std::vector<CdEntry> out;
    const long long size = src.size();
    long long pos = 0;
    unsigned char h[kLocalHeader];
    while (pos + static_cast<long long>(kLocalHeader) <= size && src.readAt(pos, h, sizeof h)) {
        const uint32_t sig = le32(h);
        if (sig == kCentralSig || sig == kEndSig || sig == kZip64EndSig)
            break; // the directory begins: every entry lies before it
        CdEntry e;
        long long next = 0;
        if (sig == kLocalSig && parseLocal(src, pos, h, e, next)) {
            out.push_back(std::move(e));
            pos = next;
            continue;
        }
        pos = findSignature(src, pos + 1, kLocalSig);
        if (pos < 0)
            break;
    }
    return out;
}

bool loadSetIndex(VolumeSet& set, bool opened, Source& single, SetIndex& index) {
    index = SetIndex{};
    std::vector<CdEntry> all;
    const bool read = opened && set.forEachEntry([&](const CdEntry& e) {
        all.push_back(e);
        return true;
    });
    long long end = 0;
    if (read) {
        const CdLocation& loc = set.location();
        end = set.lastStart() + loc.cdLocal;
        // Bytes put before a single-volume ZIP move every offset by their length.
        const long long shift = set.lastStart() == 0 && loc.cdLocal > 0 &&
                                        static_cast<uint64_t>(loc.cdLocal) > loc.cdOffset
                                    ? loc.cdLocal - static_cast<long long>(loc.cdOffset)
                                    : 0;
        for (CdEntry& e : all)
            if (e.localOffset <= kMaxOffset)
                e.localOffset += static_cast<uint64_t>(shift);
    } else {
        // Only a set on one disk is scanned: an earlier disk's offsets are not known here.
        if (opened && set.lastStart() > 0)
            return false;
        all = scanLocalHeaders(single);
        unsigned char sig[4];
        if (all.empty() &&
            !(single.size() >= 4 && single.readAt(0, sig, 4) && le32(sig) == kLocalSig))
            return false;
        index.recovered = true;
        end = single.size();
    }
    index.entries.reserve(all.size());
    for (CdEntry& e : all) {
        index.encrypted = index.encrypted || e.encrypted();
        index.entries.push_back({std::move(e), 0, false});
    }
    placeEntries(index, end);
    return true;
}

} // namespace cw::zip
