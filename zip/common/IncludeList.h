#pragma once
// The include lists of both libraries: names each followed by "|".
#include <string>
#include <string_view>
#include <vector>

namespace cw::zip {

// The names of the list in order; empty pieces (a doubled or missing final bar) are dropped.
std::vector<std::string> splitIncludeList(std::string_view list);

} // namespace cw::zip
