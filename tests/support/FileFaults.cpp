#include "tests/support/FileFaults.h"

#include "common/platform/FilePaths.h"
#include "common/platform/FileSystem.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <utility>

namespace cw::files {

namespace {

std::string key(std::string p) {
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

class RefusingFileSystem : public FileSystem {
public:
    void add(const std::string& path, Fault fault) {
        std::lock_guard lock(mutex_);
        faults_.emplace(key(path), fault);
    }
    void clear() {
        std::lock_guard lock(mutex_);
        faults_.clear();
    }

    int openForReading(const std::string& path) override {
        if (has(path, Fault::Unreadable))
            return refuse(-1);
        return FileSystem::openForReading(path);
    }
    DIR* openDirectory(const std::string& path) override {
        if (has(path, Fault::Unreadable)) {
            errno = EACCES;
            return nullptr;
        }
        return FileSystem::openDirectory(path);
    }
    int makeDirectory(const std::string& path, mode_t mode) override {
        if (has(paths::parent(key(path)), Fault::ReadOnly))
            return refuse(-1);
        return FileSystem::makeDirectory(path, mode);
    }
    int removeFile(const std::string& path) override {
        return fixed(path) ? refuse(-1) : FileSystem::removeFile(path);
    }
    int rename(const std::string& from, const std::string& to) override {
        return fixed(to) ? refuse(-1) : FileSystem::rename(from, to);
    }
    bool canWriteIn(const std::string& dir) override {
        return !has(dir, Fault::ReadOnly) && FileSystem::canWriteIn(dir);
    }
    bool canReplace(const std::string& path) override {
        return !fixed(path) && FileSystem::canReplace(path);
    }

private:
    static int refuse(int result) {
        errno = EACCES;
        return result;
    }
    bool has(const std::string& path, Fault fault) {
        std::lock_guard lock(mutex_);
        return faults_.count({key(path), fault}) != 0;
    }
    // A file that stays as it is: read-only or undeletable itself, or in a read-only folder.
    bool fixed(const std::string& path) {
        return has(path, Fault::Undeletable) || has(path, Fault::ReadOnly) ||
               has(paths::parent(key(path)), Fault::ReadOnly);
    }

    std::mutex mutex_;
    std::set<std::pair<std::string, Fault>> faults_;
};

RefusingFileSystem refusing;

} // namespace

void injectFault(const std::string& path, Fault fault) {
    refusing.add(path, fault);
    setFileSystem(&refusing);
}

void clearFaults() {
    refusing.clear();
    setFileSystem(nullptr);
}

} // namespace cw::files
