#include "restore/EmptyDirectories.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "restore/Listing.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace cwr {

namespace {

// The stamp's mode and local time put on a directory; parts that do not read are left.
void applyStamp(const std::string& dir, const DirectoryStamp& stamp) {
    char* end = nullptr;
    const unsigned long mode = std::strtoul(stamp.mode.c_str(), &end, 8);
    if (!stamp.mode.empty() && *end == '\0' && mode != 0)
        ::chmod(dir.c_str(), static_cast<mode_t>(mode & 0777));
    struct tm t {};
    if (std::sscanf(stamp.modified.c_str(), "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                    &t.tm_hour, &t.tm_min, &t.tm_sec) != 6)
        return;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    const time_t when = std::mktime(&t);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    if (when != static_cast<time_t>(-1))
        ::utimensat(AT_FDCWD, dir.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Creates dest/rel level by level; false when a level cannot be made or is unsafe. created
// tells whether the last level is new.
bool makeBelow(const std::string& dest, const std::string& rel, std::string& last, bool& created) {
    if (rel.empty() || rel.front() == '/')
        return false;
    // Checked whole first, so a refused line leaves nothing behind.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= rel.size()) {
        std::size_t end = rel.find('/', start);
        if (end == std::string::npos)
            end = rel.size();
        std::string part = rel.substr(start, end - start);
        start = end + 1;
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
    }
    std::string current = dest;
    for (const auto& part : parts) {
        current = cw::paths::join(current, part);
        created = false;
        struct stat st {};
        if (::lstat(current.c_str(), &st) == 0) {
            // Never follow a link that the destination already holds.
            if (!S_ISDIR(st.st_mode))
                return false;
            continue;
        }
        try {
            cw::files::makeDirectory(current);
            created = true;
        } catch (const cw::PlatformError& e) {
            if (e.number() != cw::kErrPathFileAccess)
                return false;
            if (::lstat(current.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                return false;
        }
    }
    last = current;
    return !parts.empty();
}

} // namespace

int recreateEmptyDirectories(const std::vector<std::string>& lines, const std::string& dest,
                             const DirectoryStamps& stamps) {
    int failed = 0;
    std::vector<std::pair<std::string, const DirectoryStamp*>> made;
    for (const auto& line : lines) {
        if (!isDirectoryLine(line))
            continue;
        std::string dir;
        bool created = false;
        if (!makeBelow(dest, line.substr(0, line.size() - 2), dir, created))
            ++failed;
        else if (const auto it = stamps.find(line); created && it != stamps.end())
            made.emplace_back(dir, &it->second);
    }
    // Last, so that making one directory inside another does not move the outer one's time.
    for (const auto& [dir, stamp] : made)
        applyStamp(dir, *stamp);
    return failed;
}

} // namespace cwr
