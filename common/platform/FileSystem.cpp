#include "common/platform/FileSystem.h"

#include "common/platform/FilePaths.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cw::files {

namespace {

FileSystem systemFileSystem;
std::atomic<FileSystem*> installed{nullptr};

} // namespace

int FileSystem::openForReading(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

DIR* FileSystem::openDirectory(const std::string& path) {
    return ::opendir(path.c_str());
}

int FileSystem::makeDirectory(const std::string& path, mode_t mode) {
    return ::mkdir(path.c_str(), mode);
}

int FileSystem::removeFile(const std::string& path) {
    return ::unlink(path.c_str());
}

int FileSystem::rename(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str());
}

bool FileSystem::canWriteIn(const std::string& dir) {
    return ::access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) == 0;
}

bool FileSystem::canReplace(const std::string& path) {
    return canWriteIn(paths::parent(path));
}

FileSystem& fileSystem() {
    FileSystem* fs = installed.load();
    return fs ? *fs : systemFileSystem;
}

void setFileSystem(FileSystem* fs) {
    installed.store(fs);
}

} // namespace cw::files
