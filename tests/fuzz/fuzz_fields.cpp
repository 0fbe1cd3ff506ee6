// libFuzzer target over the parsers of the messages and lists that cross between the
// programs and the libraries: field splitting, the listing message, sizes and flags, and the
// include lists both programs build and both libraries split. A list built from names
// always splits back into the same names.
#include "backup/BackupIncludeList.h"
#include "common/Format.h"
#include "restore/Listing.h"
#include "zip/common/IncludeList.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int n = 0; n <= 14; ++n)
        (void)cw::getField(text, "|", n);
    (void)cw::leadingNumber(text);
    if (const auto entry = cwr::parseListingMessage(text)) {
        (void)cwr::isDirectoryLine(entry->listLine);
        (void)cwr::storedPath(entry->listLine);
        (void)cwr::sizeOfLine(entry->sizeLine);
    }
    (void)cwr::isDamagedSetMessage(text);
    (void)cwr::flagIsOn(cwr::encryptedFlagOf(text));

    // The names of the input (split at NUL bytes) through both programs' list builders.
    std::vector<std::string> names;
    for (size_t from = 0; from <= text.size();) {
        size_t end = text.find('\0', from);
        if (end == std::string::npos)
            end = text.size();
        names.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    const cwb::IncludeList backup = cwb::makeIncludeList(names);
    std::vector<std::string> kept;
    for (const auto& n : names)
        if (!n.empty() && n.find('|') == std::string::npos)
            kept.push_back(n);
    if (cw::zip::splitIncludeList(backup.list) != kept)
        std::abort(); // a name would arrive as another
    const std::string restore = cwr::includeList(kept);
    if (cw::zip::splitIncludeList(restore) != kept)
        std::abort();
    return 0;
}
