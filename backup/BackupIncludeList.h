#pragma once
// The include list handed to the compression library: every entry followed by "|".
#include <string>
#include <vector>

namespace cwb {

struct IncludeList {
    std::string list;                 // UTF-8, each entry followed by "|"
    std::vector<std::string> leftOut; // entries that cannot travel in the list
};

// An entry containing "|" would arrive as two other names, so it is left out and reported.
IncludeList makeIncludeList(const std::vector<std::string>& entries);

} // namespace cwb
