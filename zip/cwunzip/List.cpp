// Listing: one message per entry, in the central directory's order, from the last volume.
#include "../common/Paths.h"
#include "../common/VolumeSet.h"
#include "UnzipJob.h"

#include <algorithm>
#include <cstdio>

namespace cw::zip {

namespace {

std::string dosTimeText(uint32_t t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (t >> 25),
                  (t >> 21) & 15, (t >> 16) & 31, (t >> 11) & 31, (t >> 5) & 63, (t & 31) * 2);
    return buf;
}

std::string hex8(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", v);
    return buf;
}

std::string octal(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%o", v & 07777);
    return buf;
}

} // namespace

int runList(const UnzipOptions& o) {
    if (!o.sink.setText)
        return -1;
    VolumeSet set(o.setPath, nullptr);
    if (!set.open())
        return -1;
    // Empty files and directory entries carry no encryption of their own, so the flag is
    // the set's: every entry says "1" when any entry is encrypted.
    bool encrypted = false;
    if (!set.forEachEntry([&](const CdEntry& e) { return !(encrypted = e.encrypted()); }))
        return -1;
    size_t number = 0;
    bool ok = set.forEachEntry([&](const CdEntry& e) {
        std::string path = e.name;
        if (!e.madeOnUnix())
            std::replace(path.begin(), path.end(), '\\', '/');
        while (!path.empty() && path.back() == '/')
            path.pop_back();
        std::string dir = e.directory()                         ? path
                          : path.find('/') == std::string::npos ? ""
                                                                : dirName(path);
        std::string name = e.directory() ? "" : baseName(path);
        std::string msg = fields(
            {std::to_string(++number), "21", e.name, dir, name, std::to_string(e.usize),
             std::to_string(e.csize), std::to_string(e.method), dosTimeText(e.dosTime), hex8(e.crc),
             octal(e.mode()), e.directory() ? "D" : "F", encrypted ? "1" : "0"});
        o.sink.setText(o.sink.field, msg.c_str());
        return true;
    });
    return ok ? 0 : -1;
}

} // namespace cw::zip
