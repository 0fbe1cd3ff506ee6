#pragma once
// The modification time an entry restores with: its extended timestamp (UTC) when it has
// one, else its DOS date and time, which are local time.
#include "../common/CentralDirectory.h"

#include <ctime>

namespace cw::zip {

struct TimeOfEntry {
    time_t seconds;
};

inline TimeOfEntry entryTime(const CdEntry& e) {
    if (e.unixTime != -1)
        return {static_cast<time_t>(e.unixTime)};
    struct tm t {};
    t.tm_year = static_cast<int>(80 + (e.dosTime >> 25));
    t.tm_mon = static_cast<int>(((e.dosTime >> 21) & 15)) - 1;
    t.tm_mday = static_cast<int>((e.dosTime >> 16) & 31);
    t.tm_hour = static_cast<int>((e.dosTime >> 11) & 31);
    t.tm_min = static_cast<int>((e.dosTime >> 5) & 63);
    t.tm_sec = static_cast<int>((e.dosTime & 31) * 2);
    t.tm_isdst = -1;
    const time_t s = mktime(&t);
    return {s == static_cast<time_t>(-1) ? 0 : s};
}

} // namespace cw::zip
