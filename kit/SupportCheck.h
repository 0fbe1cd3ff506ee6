#pragma once
// The maker-number check: a developer's support telephone text must not be the maker's.
#include <QString>

namespace kit {

// True when text holds one of the maker's area codes and also one of the maker's local
// numbers, the latter written as 3+4 digits joined by "-", nothing, " " or ".".
bool isMakersNumber(const QString& text);

} // namespace kit
