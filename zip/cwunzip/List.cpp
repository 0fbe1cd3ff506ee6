// Listing: one message per entry, in the central directory's order, from the last volume.
// A set on one disk that lost its directory is listed from its local headers, and a last
// message tells the caller so.
#include "../common/Paths.h"
#include "../common/VolumeSet.h"
#include "EntryTime.h"
#include "SetIndex.h"
#include "UnzipJob.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace cw::zip {

namespace {

// Local time, as the entry's file is restored with it.
std::string timeText(const CdEntry& e) {
    const time_t t = entryTime(e).seconds;
    struct tm local {};
    char buf[32] = "1980-01-01 00:00:00";
    if (localtime_r(&t, &local))
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
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
    FileSource single(o.setPath);
    SetIndex index;
    if (!loadSetIndex(set, set.open(), single, index))
        return -1;
    // Empty files and directory entries carry no encryption of their own, so the flag is
    // the set's: every entry says "1" when any entry is encrypted.
    const char* encrypted = index.encrypted ? "1" : "0";
    size_t number = 0;
    for (const IndexedEntry& ie : index.entries) {
        const CdEntry& e = ie.cd;
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
            {std::to_string(++number), std::to_string(CW_EVENT_LISTING), e.name, dir, name,
             std::to_string(e.usize), std::to_string(e.csize), std::to_string(e.method),
             timeText(e), hex8(e.crc), octal(e.mode()), e.directory() ? "D" : "F", encrypted});
        o.sink.setText(o.sink.field, msg.c_str());
    }
    if (index.recovered) {
        // Last, and with field 13 where the caller reads the encrypted flag.
        std::string msg = fields({std::to_string(number), std::to_string(CW_EVENT_LISTING_DAMAGED),
                                  o.setPath, "", "", "", "", "", "", "", "", "", encrypted});
        o.sink.setText(o.sink.field, msg.c_str());
    }
    return 0;
}

} // namespace cw::zip
