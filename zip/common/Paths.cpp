#include "Paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::zip {

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string_view::npos)
            slash = path.size();
        std::string_view part = path.substr(start, slash - start);
        if (!part.empty() && part != ".")
            out.emplace_back(part);
        start = slash + 1;
    }
    return out;
}

std::string joinPath(const std::vector<std::string>& parts, size_t count) {
    std::string out;
    for (size_t i = 0; i < parts.size() && i < count; ++i) {
        if (i)
            out += '/';
        out += parts[i];
    }
    return out;
}

std::string absolutePath(std::string_view path) {
    std::string full;
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd))
            full = cwd;
        full += '/';
    }
    full += path;
    std::vector<std::string> parts;
    for (auto& p : splitPath(full)) {
        if (p == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else {
            parts.push_back(std::move(p));
        }
    }
    return "/" + joinPath(parts);
}

bool safeEntryParts(std::string_view name, std::vector<std::string>& parts,
                    bool backslashSeparates) {
    parts.clear();
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return false;
    std::string unified(name);
    if (backslashSeparates)
        std::replace(unified.begin(), unified.end(), '\\', '/');
    // Absolute names, and drive-letter names from other systems, would leave the destination.
    if (unified[0] == '/' || (unified.size() >= 2 && unified[1] == ':'))
        return false;
    parts = splitPath(unified);
    for (const auto& p : parts)
        if (p == "..")
            return false;
    return !parts.empty();
}

int openDirBelow(int base, const std::vector<std::string>& parts, size_t count, bool create,
                 std::vector<std::string>* made) {
    int fd = dup(base);
    std::string below;
    for (size_t i = 0; fd >= 0 && i < count && i < parts.size(); ++i) {
        below += (i ? "/" : "") + parts[i];
        int next = openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && create) {
            const bool madeHere = mkdirat(fd, parts[i].c_str(), 0777) == 0;
            if (madeHere && made)
                made->push_back(below);
            if (madeHere || errno == EEXIST)
                next =
                    openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        int saved = errno;
        struct stat st {};
        if (next < 0 && (saved == ENOTDIR || saved == ELOOP))
            saved =
                fstatat(fd, parts[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)
                    ? ELOOP
                    : ENOTDIR;
        close(fd);
        errno = saved;
        fd = next;
    }
    return fd;
}

bool makeDirs(const std::string& path) {
    std::string sofar;
    for (const auto& p : splitPath(path)) {
        sofar += "/" + p;
        if (mkdir(sofar.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return stat(path.empty() ? "/" : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string dirName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace cw::zip
