#include "restore/EmptyDirectories.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "restore/Listing.h"

#include <sys/stat.h>
#include <vector>

namespace cwr {

namespace {

// Creates dest/rel level by level; false when a level cannot be made or is unsafe.
bool makeBelow(const std::string& dest, const std::string& rel) {
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
        struct stat st {};
        if (::lstat(current.c_str(), &st) == 0) {
            // Never follow a link that the destination already holds.
            if (!S_ISDIR(st.st_mode))
                return false;
            continue;
        }
        try {
            cw::files::makeDirectory(current);
        } catch (const cw::PlatformError& e) {
            if (e.number() != cw::kErrPathFileAccess)
                return false;
            if (::lstat(current.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                return false;
        }
    }
    return !parts.empty();
}

} // namespace

int recreateEmptyDirectories(const std::vector<std::string>& lines, const std::string& dest) {
    int failed = 0;
    for (const auto& line : lines) {
        if (!isDirectoryLine(line))
            continue;
        if (!makeBelow(dest, line.substr(0, line.size() - 2)))
            ++failed;
    }
    return failed;
}

} // namespace cwr
