#include "common/platform/Files.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/FileSystem.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cw::files {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool statFollow(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

std::u32string folded(const std::string& s) {
    std::u32string out;
    for (char32_t c : QString::fromStdString(s).toUcs4())
        out.push_back(QChar::toCaseFolded(c));
    return out;
}

// Linear-time wildcard match: remembers only the last "*", so no pattern can blow up.
bool wildcardMatch(const std::u32string& name, const std::u32string& pat) {
    std::size_t n = 0, p = 0, starP = std::u32string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && (pat[p] == U'?' || pat[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pat.size() && pat[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == U'*')
        ++p;
    return p == pat.size();
}

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return "";
    auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Sorts names case-insensitively first, then by their bytes for ties; each name is folded
// once rather than at every comparison.
template <class T, class Name> void sortByName(std::vector<T>& v, Name name) {
    std::vector<std::pair<std::u32string, std::size_t>> keys;
    keys.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i)
        keys.emplace_back(folded(name(v[i])), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return name(v[a.second]) < name(v[b.second]);
    });
    std::vector<T> out;
    out.reserve(v.size());
    for (const auto& k : keys)
        out.push_back(std::move(v[k.second]));
    v = std::move(out);
}

DirHandle openListable(const std::string& dir) {
    DirHandle d(fileSystem().openDirectory(dir.empty() ? "." : dir));
    if (!d)
        throw PlatformError(kErrPathNotFound, "Path not found: " + dir);
    return d;
}

// The names in dir that keep(name) accepts, in display order; never "." or "..".
template <class Keep> std::vector<std::string> namesIn(const std::string& dir, Keep keep) {
    auto d = openListable(dir);
    std::vector<std::string> out;
    while (dirent* e = readdir(d.get())) {
        std::string name = e->d_name;
        if (name != "." && name != ".." && keep(name))
            out.push_back(std::move(name));
    }
    sortByName(out, [](const std::string& n) -> const std::string& { return n; });
    return out;
}

} // namespace

bool isHiddenName(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

bool isOrdinaryFile(const std::string& path) {
    struct stat st {};
    return statFollow(path, st) && S_ISREG(st.st_mode) && !isHiddenName(paths::fileName(path));
}

bool existsAsFileOrDirectory(const std::string& path) {
    struct stat st {};
    if (!statFollow(path, st) || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
        return false;
    return paths::isRoot(path) || !isHiddenName(paths::fileName(path));
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return statFollow(path, st) && S_ISDIR(st.st_mode);
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    if (trimmed(pattern) == "*.*")
        return true; // the usual case, without folding the name
    auto fname = folded(name);
    std::size_t start = 0;
    bool any = false;
    while (start <= pattern.size()) {
        auto end = pattern.find(';', start);
        if (end == std::string::npos)
            end = pattern.size();
        auto one = trimmed(pattern.substr(start, end - start));
        start = end + 1;
        if (one.empty())
            continue;
        any = true;
        // "*.*" is the classic "every file", names without an extension included.
        if (one == "*.*" || wildcardMatch(fname, folded(one)))
            return true;
    }
    return !any; // an empty pattern shows everything
}

std::vector<ListedFile> listFilesWithSizes(const std::string& dir, const std::string& pattern,
                                           const AttrFilter& filter) {
    auto d = openListable(dir);
    std::vector<ListedFile> out;
    while (dirent* e = readdir(d.get())) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const bool shown = isHiddenName(name)
                               ? filter.hidden
                               : (filter.normal || filter.archive || filter.readOnly);
        if (!shown || !matchesPattern(name, pattern))
            continue;
        // Looked up beside the open folder: no walk of the whole path for every file.
        struct stat st {};
        if (fstatat(dirfd(d.get()), name.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue; // directories are not files; sockets, FIFOs and devices are never listed
        out.push_back({std::move(name), static_cast<std::int64_t>(st.st_size)});
    }
    sortByName(out, [](const ListedFile& f) -> const std::string& { return f.name; });
    return out;
}

std::vector<std::string> listFiles(const std::string& dir, const std::string& pattern,
                                   const AttrFilter& filter) {
    std::vector<std::string> out;
    for (auto& f : listFilesWithSizes(dir, pattern, filter))
        out.push_back(std::move(f.name));
    return out;
}

std::vector<std::string> listDirectories(const std::string& dir, bool includeHidden) {
    return namesIn(dir, [&](const std::string& name) {
        return (includeHidden || !isHiddenName(name)) && isDirectory(paths::join(dir, name));
    });
}

std::int64_t fileLength(const std::string& path) {
    struct stat st {};
    if (!statFollow(path, st) || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

void makeDirectory(const std::string& path) {
    if (path.empty())
        throw PlatformError(kErrPathNotFound, "Path not found: (empty)");
    if (isDirectory(path) || ::access(path.c_str(), F_OK) == 0)
        throw PlatformError(kErrPathFileAccess, "Path/File access error: " + path);
    if (fileSystem().makeDirectory(path, 0777) == 0)
        return;
    int err = errno;
    if (err == EEXIST)
        throw PlatformError(kErrPathFileAccess, "Path/File access error: " + path);
    if (err == ENOENT || err == ENOTDIR)
        throw PlatformError(kErrPathNotFound, "Path not found: " + path);
    throw PlatformError(kErrFileIo, "Cannot create directory: " + path + ": " + std::strerror(err));
}

bool removeFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return fileSystem().removeFile(path) == 0;
}

void copyFile(const std::string& src, const std::string& dst) {
    struct stat st {};
    if (!statFollow(src, st))
        throw PlatformError(kErrPathNotFound, "File not found: " + src);
    if (!S_ISREG(st.st_mode))
        throw PlatformError(kErrFileIo, "Cannot read " + src);
    std::string dstDir = paths::parent(dst);
    if (dstDir.empty())
        dstDir = ".";
    if (isDirectory(dst) || !fileSystem().canReplace(dst) || !isWritableDirectory(dstDir))
        throw PlatformError(kErrFileIo, "Cannot write " + dst);

    int in = fileSystem().openForReading(src);
    if (in < 0)
        throw PlatformError(kErrFileIo, "Cannot read " + src + ": " + std::strerror(errno));
    // Write beside the target and rename over it, so a failure never leaves half a file.
    std::string tmpl = paths::join(dstDir, "." + paths::fileName(dst) + ".cwtmpXXXXXX");
    int out = ::mkstemp(tmpl.data());
    if (out < 0) {
        int err = errno;
        ::close(in);
        throw PlatformError(kErrFileIo, "Cannot write " + dst + ": " + std::strerror(err));
    }
    bool ok = true;
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = (n == 0);
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = ::write(out, buf + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
        if (!ok)
            break;
    }
    ::close(in);
    ok = ok && ::fchmod(out, st.st_mode & 07777) == 0;
    ok = (::close(out) == 0) && ok;
    if (!ok || fileSystem().rename(tmpl, dst) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        throw PlatformError(kErrFileIo, "Cannot write " + dst + ": " + std::strerror(err));
    }
}

bool isReadable(const std::string& path) {
    if (isDirectory(path)) {
        DirHandle d(fileSystem().openDirectory(path));
        return d != nullptr;
    }
    // Non-blocking, so that asking about a FIFO cannot wait for a writer.
    int fd = fileSystem().openForReading(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool isWritableDirectory(const std::string& dir) {
    return isDirectory(dir) && fileSystem().canWriteIn(dir);
}

bool canReplace(const std::string& path) {
    return fileSystem().canReplace(path);
}

} // namespace cw::files
