#pragma once
// Number pictures of the windows ("###,###", "##,##0", "###,#00") and message fields.
#include <cstdint>
#include <string>

namespace cw {

// The system locale's group separator; "," under the C or POSIX locale.
std::string groupSeparator();
// Formats v with a picture made of '#', '0' and ',' (64-bit, full number grouped in threes
// when the picture has a ','): '#' digits are shown only when significant, '0' always.
// "###,###": 0 gives "", 1234567 gives "1,234,567". "##,##0": 0 gives "0". "###,#00": 7
// gives "07". A negative number gets a leading "-".
std::string formatPicture(std::int64_t v, const std::string& picture,
                          const std::string& sep = groupSeparator());
// Field n (from 1) of text split at sep; "" when there are fewer fields.
std::string getField(const std::string& text, const std::string& sep, int n);
// A decimal prefix read as a number: leading blanks skipped, stops at the first character
// that cannot continue the number; no digits give 0. Saturates instead of overflowing.
std::int64_t leadingNumber(const std::string& text);

} // namespace cw
