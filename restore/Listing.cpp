#include "restore/Listing.h"

#include "common/Format.h"
#include "zip/include/cwevents.h"

#include <limits>

namespace cwr {

std::optional<ListedEntry> parseListingMessage(const std::string& message) {
    // Read as a number: " 21" is an entry, 21 + 65536 (too big for the code) is not.
    if (cw::leadingNumber(cw::getField(message, "|", 2)) != CW_EVENT_LISTING)
        return std::nullopt;
    std::string dir = cw::getField(message, "|", 4);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    ListedEntry e;
    e.listLine = dir + cw::getField(message, "|", 5) + '\t';
    e.sizeLine = cw::getField(message, "|", 6) + '\t';
    e.modified = cw::getField(message, "|", 9);
    e.mode = cw::getField(message, "|", 11);
    return e;
}

bool isDamagedSetMessage(const std::string& message) {
    return cw::leadingNumber(cw::getField(message, "|", 2)) == CW_EVENT_LISTING_DAMAGED;
}

bool isDirectoryLine(const std::string& line) {
    return line.size() >= 2 && line.compare(line.size() - 2, 2, "/\t") == 0;
}

std::string storedPath(const std::string& line) {
    // Only the TAB the listing appended ends the path; a name may hold TABs of its own.
    return !line.empty() && line.back() == '\t' ? line.substr(0, line.size() - 1) : line;
}

std::string encryptedFlagOf(const std::string& lastMessage) {
    return cw::getField(lastMessage, "|", 13);
}

bool flagIsOn(const std::string& flag) {
    return cw::leadingNumber(flag) == 1;
}

std::int64_t sizeOfLine(const std::string& sizeLine) {
    const std::int64_t n = cw::leadingNumber(sizeLine);
    return n < 0 ? 0 : n;
}

std::int64_t addSaturated(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<std::int64_t>::max()
                     : std::numeric_limits<std::int64_t>::min();
    return r;
}

std::string selectionSummary(std::int64_t count, std::int64_t bytes) {
    if (count == 0)
        return {};
    return std::to_string(count) + " item(s) selected.  Total Uncompressed File size:  " +
           cw::formatPicture(bytes, "##,##0") + " bytes";
}

std::string includeList(const std::vector<std::string>& storedPaths) {
    std::string list;
    for (const auto& p : storedPaths)
        list += p + '|';
    return list;
}

} // namespace cwr
