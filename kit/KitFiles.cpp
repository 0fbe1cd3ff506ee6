#include "kit/KitFiles.h"

#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kit {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRuntimeFolder = "runtime";
constexpr const char* kRuntimeList = "runtime.list";

CopyOutcome missing(std::string name) {
    return {CopyOutcome::Result::Missing, std::move(name), 0};
}
CopyOutcome failed(int error) {
    return {CopyOutcome::Result::Failed, {}, error};
}

bool isHomeFolder(const std::string& folder) {
    return folder == cw::paths::windowsDirectory() + "/";
}

// The list's lines, each a path inside the runtime folder; false for a list that is
// missing, empty or names anything outside the folder.
bool readList(const std::string& path, std::vector<std::string>& entries) {
    std::ifstream in(path);
    if (!in)
        return false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        const fs::path p(line);
        if (p.is_absolute())
            return false;
        for (const fs::path& part : p)
            if (part == "..")
                return false;
        entries.push_back(line);
    }
    return !entries.empty();
}

} // namespace

CopyOutcome copyDistribution(const std::string& kitDir, const std::string& folder) {
    const std::string runtimeDir = cw::paths::runtimeLibraryDirectory();
    struct Copy {
        std::string src, dstDir, name;
    };
    std::vector<Copy> copies;
    for (const char* name : {"libcwzip.so", "libcwunzip.so", "cwr", "cwb"})
        copies.push_back({cw::paths::join(kitDir, name), folder, name});

    // The home folder itself takes the runtime files directly, as the Windows directory
    // did; any other folder gets them in a "system" folder made for them.
    std::string systemDir = folder;
    const bool makeSystem = !isHomeFolder(folder);
    if (makeSystem)
        systemDir = cw::paths::join(folder, "system");
    for (const char* name : {cw::paths::kRuntimeLibrary, cw::paths::kSecondRuntimeFile})
        copies.push_back({cw::paths::join(runtimeDir, name), systemDir, name});

    try {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            const Copy& c = copies[i];
            // An existing system folder ends the step here, silently.
            if (i == 4 && makeSystem)
                cw::files::makeDirectory(systemDir);
            if (!cw::files::isOrdinaryFile(c.src))
                return missing(c.src);
            const std::string dst = cw::paths::join(c.dstDir, c.name);
            // Building into the kit's own folder: the file is already there.
            if (dst != c.src)
                cw::files::copyFile(c.src, dst);
        }
    } catch (const cw::PlatformError& e) {
        return failed(e.number());
    }
    return {};
}

std::string runtimeDestination(const std::string& folder) {
    if (isHomeFolder(folder))
        return cw::paths::join(folder, ".local/lib/caskwell/runtime");
    return cw::paths::join(folder, "system/runtime");
}

CopyOutcome copyRuntime(const std::string& kitDir, const std::string& folder) {
    const std::string from = cw::paths::join(kitDir, kRuntimeFolder);
    const std::string list = cw::paths::join(from, kRuntimeList);
    std::vector<std::string> entries;
    if (!readList(list, entries))
        return missing(list);
    for (const std::string& e : entries)
        if (!cw::files::isOrdinaryFile(cw::paths::join(from, e)))
            return missing(cw::paths::join(from, e));

    const std::string to = runtimeDestination(folder);
    const std::string staging = to + ".new";
    const std::string old = to + ".old";
    std::error_code ec;
    // The system folder is the copy step's to make: when that step ended before it, the kit
    // is incomplete already (and said so), and a system folder made here would keep the next
    // build from copying the runtime support files into it.
    if (!isHomeFolder(folder) && !cw::files::isDirectory(cw::paths::parent(to)))
        return {CopyOutcome::Result::Skipped, {}, 0};
    fs::remove_all(staging, ec);
    fs::remove_all(old, ec);
    try {
        fs::create_directories(staging, ec);
        if (ec)
            return failed(cw::kErrPathFileAccess);
        entries.push_back(kRuntimeList);
        for (const std::string& e : entries) {
            const std::string dst = cw::paths::join(staging, e);
            fs::create_directories(cw::paths::parent(dst), ec);
            if (ec)
                throw cw::PlatformError(cw::kErrFileIo, "Cannot make a folder for " + dst);
            cw::files::copyFile(cw::paths::join(from, e), dst);
        }
    } catch (const cw::PlatformError& e) {
        fs::remove_all(staging, ec);
        return failed(e.number());
    }

    // The old folder and the new change places at once where the file system can; else the
    // old one steps aside for the moment of one more rename.
    if (::renameat2(AT_FDCWD, staging.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
        fs::remove_all(staging, ec);
        return {};
    }
    const bool hadOld = fs::exists(to, ec);
    if (hadOld && std::rename(to.c_str(), old.c_str()) != 0) {
        fs::remove_all(staging, ec);
        return failed(cw::kErrPathFileAccess);
    }
    if (std::rename(staging.c_str(), to.c_str()) != 0) {
        if (hadOld)
            std::rename(old.c_str(), to.c_str());
        fs::remove_all(staging, ec);
        return failed(cw::kErrPathFileAccess);
    }
    fs::remove_all(old, ec);
    return {};
}

} // namespace kit
