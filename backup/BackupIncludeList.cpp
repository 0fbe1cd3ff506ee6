#include "backup/BackupIncludeList.h"

namespace cwb {

IncludeList makeIncludeList(const std::vector<std::string>& entries) {
    IncludeList r;
    for (const auto& e : entries) {
        if (e.find('|') != std::string::npos) {
            r.leftOut.push_back(e);
            continue;
        }
        r.list += e;
        r.list += '|';
    }
    return r;
}

} // namespace cwb
