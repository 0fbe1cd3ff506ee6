#pragma once
// One extracted file: written under a temporary name in its directory and renamed over the
// final name only when complete, so a failed file never replaces anything. The temporary is
// held with an exclusive flock while it is written, so that a later run can tell it from
// one a killed run left behind.
#include <string>
#include <sys/types.h>

namespace cw::zip {

class FileOut {
public:
    FileOut(int dirFd, std::string name) : dirFd_(dirFd), name_(std::move(name)) {}
    ~FileOut() { discard(); }
    FileOut(const FileOut&) = delete;
    FileOut& operator=(const FileOut&) = delete;

    // Reads the process's umask once, before any worker runs: asking for it means changing
    // it for a moment, which would hand another thread's new folder the wrong mode.
    static void noteUmask();
    // Whether name is one this class gives its temporaries: ".<name>.cwtmp<digits>" or
    // ".cwtmp<digits>".
    static bool isTemporaryName(const std::string& name);

    bool create();
    bool write(const void* data, size_t size);
    // Sets the permissions of mode (never set-uid, set-gid or sticky; 0: none known, the
    // umask's default) and the modification time, then renames the file into place.
    bool commit(unsigned mode, long long mtime, long nsec);
    void discard();
    int error() const { return error_; }

private:
    int dirFd_, fd_ = -1, error_ = 0;
    std::string name_, temp_;
};

} // namespace cw::zip
