#pragma once
// The window-free part of a restore: reading the library's listing messages, the lines the
// restore lists hold, the selection summary and the include list.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cwr {

// The two list lines one archive entry gives: "<dir>/<name>\t" and "<size>\t".
struct ListedEntry {
    std::string listLine;
    std::string sizeLine;
    std::string modified; // field 9, "YYYY-MM-DD HH:MM:SS" local time
    std::string mode;     // field 11, permission bits in octal
};

// The listing's last message says the set lost its directory and was read from its
// entries' own headers: only the files listed can come back.
bool isDamagedSetMessage(const std::string& message);
// The entry a listing message reports, or nothing for any other message.
std::optional<ListedEntry> parseListingMessage(const std::string& message);
// A list line of a directory entry ends with "/" and TAB.
bool isDirectoryLine(const std::string& line);
// The stored path of a list line: its text without the TAB that ends it.
std::string storedPath(const std::string& line);
// The encrypted flag a listing leaves: field 13 of its last message.
std::string encryptedFlagOf(const std::string& lastMessage);
// Whether a flag reads as the number 1 (an empty or non-numeric flag reads as 0).
bool flagIsOn(const std::string& flag);
// A size line read as a number; no digits, or a negative number, give 0.
std::int64_t sizeOfLine(const std::string& sizeLine);
// a + b without overflowing.
std::int64_t addSaturated(std::int64_t a, std::int64_t b);

// "<n> item(s) selected.  Total Uncompressed File size:  <bytes> bytes"; "" when n is 0.
std::string selectionSummary(std::int64_t count, std::int64_t bytes);
// Each stored path followed by "|".
std::string includeList(const std::vector<std::string>& storedPaths);

} // namespace cwr
