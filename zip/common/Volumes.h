#pragma once
// Volume naming of a spanned set: the last volume is "<stem>.bks", the earlier ones carry
// their disk number: "<stem>.b01", "<stem>.b02", ... Joining them in order gives one ZIP.
#include <string>

namespace cw::zip {

// The set's path without its ".bks" extension (any letter case); the whole path otherwise.
std::string volumeStem(const std::string& setPath);
// Disk n (1-based) of a set whose last volume is setPath; n = 0 names the last volume.
std::string volumePath(const std::string& setPath, int disk);

} // namespace cw::zip
