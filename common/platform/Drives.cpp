#include "common/platform/Drives.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/FileSystem.h"
#include "common/platform/Files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

namespace cw::drives {

namespace {

std::mutex rootsMutex;
std::string procRootDir = "/";
std::string sysRootDir = "/";

struct Mount {
    std::string devNumbers; // "MAJ:MIN"
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

std::pair<std::string, std::string> roots() {
    std::lock_guard lock(rootsMutex);
    return {procRootDir, sysRootDir};
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// mountinfo writes blanks, tabs, newlines and backslashes in paths as \ooo octal escapes.
std::string unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && isOctal(s[i + 1]) && isOctal(s[i + 2]) &&
            isOctal(s[i + 3])) {
            int v = (s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0');
            if (v > 0 && v < 256) {
                out.push_back(static_cast<char>(v));
                i += 3;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

std::string normalized(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

bool parseLine(const std::string& line, Mount& m) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.emplace_back(line, start, i - start);
    }
    // id parent MAJ:MIN root mountpoint options [optional...] - fstype source superoptions
    auto dash = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 7 || dash == fields.end() || dash - fields.begin() < 6 ||
        fields.end() - dash < 2)
        return false;
    m.devNumbers = fields[2];
    m.mountPoint = normalized(unescape(fields[4]));
    m.fsType = dash[1];
    m.source = (fields.end() - dash >= 3) ? unescape(dash[2]) : "";
    return !m.mountPoint.empty() && m.mountPoint[0] == '/';
}

// The mount table in mount order; a later mount on the same point hides the earlier one.
std::vector<Mount> readMounts() {
    std::string file = paths::join(roots().first, "proc/self/mountinfo");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !files::isReadable(file))
        return {};
    std::ifstream in(file, std::ios::binary);
    std::vector<Mount> all;
    std::string line;
    constexpr std::size_t kMaxMounts = 100000; // a real table is far smaller
    while (all.size() < kMaxMounts && std::getline(in, line)) {
        Mount m;
        if (parseLine(line, m))
            all.push_back(std::move(m));
    }
    std::unordered_map<std::string, std::size_t> last;
    for (std::size_t i = 0; i < all.size(); ++i)
        last[all[i].mountPoint] = i;
    std::vector<Mount> mounts;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (last[all[i].mountPoint] == i)
            mounts.push_back(std::move(all[i]));
    return mounts;
}

const Mount* findMount(const std::vector<Mount>& mounts, const std::string& point) {
    for (const auto& m : mounts)
        if (m.mountPoint == point)
            return &m;
    return nullptr;
}

bool isUnder(const std::string& path, const std::string& dir) {
    if (dir == "/")
        return !path.empty() && path[0] == '/';
    return path == dir || (path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 &&
                           path[dir.size()] == '/');
}

std::string readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string s;
    std::getline(in, s);
    return s;
}

// Follows <sys>/sys/dev/block/MAJ:MIN to the device directory; links that name an absolute
// target are read inside the sys root, so fixture trees stay self-contained.
std::string deviceDirectory(const std::string& sysRoot, const std::string& devNumbers) {
    if (devNumbers.find('/') != std::string::npos || devNumbers.find("..") != std::string::npos)
        return "";
    std::string link = paths::join(sysRoot, "sys/dev/block/" + devNumbers);
    std::string target = link;
    std::array<char, PATH_MAX> buf{};
    ssize_t n = ::readlink(link.c_str(), buf.data(), buf.size() - 1);
    if (n > 0) {
        std::string t(buf.data(), static_cast<std::size_t>(n));
        target =
            t[0] == '/' ? paths::join(sysRoot, t.substr(1)) : paths::join(paths::parent(link), t);
    }
    char* real = ::realpath(target.c_str(), nullptr);
    if (!real)
        return "";
    std::string out = real;
    std::free(real);
    return out;
}

bool startsWithNumbered(const std::string& name, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return name.size() > n && name.compare(0, n, prefix) == 0 &&
           std::isdigit(static_cast<unsigned char>(name[n]));
}

bool isRemovableDevice(const std::string& dev, const std::string& sysRoot) {
    if (dev.empty())
        return false;
    char* realRoot = ::realpath(sysRoot.c_str(), nullptr);
    std::string rootPrefix = realRoot ? realRoot : "";
    std::free(realRoot);
    std::string inside = dev.compare(0, rootPrefix.size(), rootPrefix) == 0 && rootPrefix != "/"
                             ? dev.substr(rootPrefix.size())
                             : dev;
    if (inside.find("/usb") != std::string::npos || inside.find("/mmc") != std::string::npos)
        return true;
    if (startsWithNumbered(paths::fileName(dev), "fd"))
        return true;
    // A partition carries no flag of its own; its disk (the parent directory) does.
    return readSmallFile(paths::join(dev, "removable")) == "1" ||
           readSmallFile(paths::join(paths::parent(dev), "removable")) == "1";
}

int typeOf(const Mount& m, const std::string& sysRoot) {
    static const std::vector<std::string> cdTypes = {"iso9660", "udf"};
    static const std::vector<std::string> remoteTypes = {
        "nfs",        "nfs4",  "cifs", "smb3",          "smbfs",       "sshfs",
        "fuse.sshfs", "9p",    "afs",  "ceph",          "glusterfs",   "fuse.glusterfs",
        "lustre",     "ncpfs", "coda", "davfs",         "fuse.davfs2", "fuse.rclone",
        "fuse.s3fs",  "ocfs2", "gfs2", "fuse.curlftpfs"};
    auto in = [&](const auto& list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const std::string& t) { return m.fsType == t; });
    };
    if (in(cdTypes) || m.source.rfind("/dev/sr", 0) == 0)
        return kCdRom;
    if (in(remoteTypes))
        return kRemote;
    std::string dev = deviceDirectory(sysRoot, m.devNumbers);
    if (startsWithNumbered(paths::fileName(dev), "sr"))
        return kCdRom;
    if (isRemovableDevice(dev, sysRoot))
        return kRemovable;
    return kFixed;
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char* cwd = ::getcwd(nullptr, 0);
    std::string base = cwd ? cwd : "/";
    std::free(cwd);
    return paths::join(base, path);
}

std::string deepestMount(const std::vector<Mount>& mounts, const std::string& path) {
    std::string best = "/";
    for (const auto& m : mounts)
        if (isUnder(path, m.mountPoint) && m.mountPoint.size() > best.size())
            best = m.mountPoint;
    return best;
}

} // namespace

void setSystemRoots(const std::string& procRoot, const std::string& sysRoot) {
    std::lock_guard lock(rootsMutex);
    procRootDir = procRoot.empty() ? "/" : procRoot;
    sysRootDir = sysRoot.empty() ? "/" : sysRoot;
}

void resetSystemRoots() {
    setSystemRoots("/", "/");
}

std::vector<std::string> list() {
    auto mounts = readMounts();
    std::vector<std::string> out{"/"};
    std::unordered_set<std::string> seen{"/"};
    auto add = [&](const std::string& p) {
        if (seen.insert(p).second)
            out.push_back(p);
    };
    std::string home = deepestMount(mounts, normalized(paths::windowsDirectory()));
    if (home != "/")
        add(home);
    std::string sysRoot = roots().second;
    for (const auto& m : mounts) {
        bool userMedia = isUnder(m.mountPoint, "/media") || isUnder(m.mountPoint, "/run/media") ||
                         isUnder(m.mountPoint, "/mnt");
        // Removable media and discs are offered wherever they are mounted.
        int t = userMedia || m.mountPoint == "/" ? kFixed : typeOf(m, sysRoot);
        if (userMedia || t == kRemovable || t == kCdRom)
            add(m.mountPoint);
    }
    return out;
}

int type(const std::string& mountPoint) {
    auto mounts = readMounts();
    std::string p = normalized(mountPoint);
    if (const Mount* m = findMount(mounts, p))
        return typeOf(*m, roots().second);
    // Without mount information "/" is still the one drive there is.
    return (p == "/" && mounts.empty()) ? kFixed : kNoRootDir;
}

std::string driveOf(const std::string& path) {
    return deepestMount(readMounts(), normalized(absolute(path)));
}

void checkAvailable(const std::string& mountPoint) {
    std::string p = mountPoint.empty() ? "/" : mountPoint;
    auto fail = [&] {
        throw PlatformError(kErrDeviceUnavailable,
                            "Drive " + p + " is not available at this time.");
    };
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        fail();
    DIR* d = files::fileSystem().openDirectory(p);
    if (!d)
        fail();
    ::closedir(d);
}

} // namespace cw::drives
