#pragma once
// The file system calls that can be refused. Every check of the kit that a file can be read,
// written, replaced or deleted goes through here, so that tests (which run as root, where
// file modes refuse nothing) can put in a file system that refuses chosen paths, as a
// failing device would. Production uses the operating system's.
#include <dirent.h>
#include <string>
#include <sys/types.h>

namespace cw::files {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // open(2) for reading, non-blocking (a FIFO must not wait for a writer); -1 with errno.
    virtual int openForReading(const std::string& path);
    // opendir(3); nullptr with errno.
    virtual DIR* openDirectory(const std::string& path);
    // mkdir(2); -1 with errno.
    virtual int makeDirectory(const std::string& path, mode_t mode);
    // unlink(2); -1 with errno.
    virtual int removeFile(const std::string& path);
    // rename(2), replacing `to`; -1 with errno.
    virtual int rename(const std::string& from, const std::string& to);
    // Whether entries can be created and removed in dir.
    virtual bool canWriteIn(const std::string& dir);
    // Whether the file at path can be replaced or deleted: its folder takes changes.
    virtual bool canReplace(const std::string& path);
};

// The file system in use: the operating system's unless another was installed.
FileSystem& fileSystem();
// Installs fs (not owned); nullptr puts the operating system's back.
void setFileSystem(FileSystem* fs);

} // namespace cw::files
