#include "IncludeList.h"

namespace cw::zip {

std::vector<std::string> splitIncludeList(std::string_view list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t bar = list.find('|', start);
        if (bar == std::string_view::npos)
            bar = list.size();
        if (bar > start)
            out.emplace_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    return out;
}

} // namespace cw::zip
