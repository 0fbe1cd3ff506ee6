#include "backup/ProfileReaders.h"

#include "common/platform/Paths.h"
#include "common/profile/ProfileFile.h"

#include <cctype>
#include <charconv>

namespace cwb {

std::string profilePath(const std::string& appDir) {
    return cw::paths::join(appDir, cw::profile::kFileName);
}

std::string GetProfileFirstLine(const std::string& appDir, const std::string& section) {
    return cw::profile::firstLine(cw::profile::readSection(profilePath(appDir), section));
}

bool GetProfileBody(const std::string& path, const std::string& section, std::string& out) {
    return cw::profile::wholeBody(cw::profile::readSection(path, section), out);
}

std::vector<std::string> listSectionPaths(const std::string& path, const std::string& section,
                                          const std::string& appDir) {
    std::string base;
    if (section == "Application")
        base = appDir;
    else if (section == "Windows")
        base = cw::paths::windowsDirectory();
    else if (section == "System")
        base = cw::paths::systemDirectory();
    else
        return {};
    std::vector<std::string> out;
    for (const auto& entry : cw::profile::listEntries(cw::profile::readSection(path, section)))
        out.push_back(entry.empty() ? cw::paths::withTrailingSep(base)
                                    : cw::paths::join(base, entry));
    return out;
}

std::string markerEntry(const std::string& dir) {
    if (!dir.empty() && dir.back() == cw::paths::kSep)
        return dir + "(EMPTY)";
    return dir + cw::paths::kSep + "(EMPTY)";
}

bool emptyDirMarkersWanted(const std::string& value) {
    // Blanks around a number are allowed, anything else makes it no number.
    std::size_t b = 0, e = value.size();
    while (b < e && value[b] == ' ')
        ++b;
    while (e > b && value[e - 1] == ' ')
        --e;
    if (b < e && value[b] == '+')
        ++b;
    long long n = 0;
    const char* first = value.data() + b;
    const char* last = value.data() + e;
    if (first == last)
        return true;
    auto [ptr, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || ptr != last)
        return true;
    return n == 1;
}

} // namespace cwb
