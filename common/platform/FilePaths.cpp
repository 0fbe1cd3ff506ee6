#include "common/platform/FilePaths.h"

#include <QCoreApplication>
#include <QString>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <exception>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace cw::paths {

std::string join(const std::string& dir, const std::string& name) {
    if (dir.empty())
        return name;
    if (dir.back() == kSep)
        return dir + name;
    return dir + kSep + name;
}

std::string withTrailingSep(const std::string& dir) {
    if (!dir.empty() && dir.back() == kSep)
        return dir;
    return dir + kSep;
}

bool isRoot(const std::string& path) {
    return path == "/";
}

std::string fileName(const std::string& path) {
    auto end = path.find_last_not_of(kSep);
    if (end == std::string::npos)
        return "";
    auto start = path.rfind(kSep, end);
    start = (start == std::string::npos) ? 0 : start + 1;
    return path.substr(start, end - start + 1);
}

std::string parent(const std::string& path) {
    auto end = path.find_last_not_of(kSep);
    if (end == std::string::npos)
        return path.empty() ? "" : "/";
    auto slash = path.rfind(kSep, end);
    if (slash == std::string::npos)
        return "";
    auto keep = path.find_last_not_of(kSep, slash);
    if (keep == std::string::npos)
        return "/";
    return path.substr(0, keep + 1);
}

static std::string withoutTrailingSep(std::string p) {
    while (p.size() > 1 && p.back() == kSep)
        p.pop_back();
    return p;
}

std::string windowsDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return withoutTrailingSep(home);
    // No HOME: ask the password database, which getpwuid_r lets us read without static state.
    long bufSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buf(bufSize > 0 ? static_cast<std::size_t>(bufSize) : 16384, '\0');
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &result) == 0 && result &&
        result->pw_dir && *result->pw_dir)
        return withoutTrailingSep(result->pw_dir);
    return "/";
}

std::string systemDirectory() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return withoutTrailingSep(xdg);
    return join(windowsDirectory(), ".config");
}

std::string runtimeLibraryDirectory() {
    // Any symbol that lives in libstdc++ itself tells us which copy the program runs on.
    Dl_info info{};
    auto* probe = reinterpret_cast<void*>(&std::terminate);
    if (dladdr(probe, &info) != 0 && info.dli_fname && info.dli_fname[0] == '/') {
        char resolved[PATH_MAX];
        std::string file = info.dli_fname;
        if (realpath(file.c_str(), resolved))
            file = resolved;
        // The link name may resolve to libstdc++.so.6.0.30; its directory is what we want.
        return parent(file);
    }
    return "/usr/lib/x86_64-linux-gnu";
}

std::string executableDirectory() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath().toStdString();
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    return parent(std::string(buf, static_cast<std::size_t>(n)));
}

} // namespace cw::paths
