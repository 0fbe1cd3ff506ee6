#pragma once
// Files written under a temporary name and put in place only when complete. While one is
// written it holds an exclusive flock, so a later run can tell a live writer's temporary
// from one a killed run left behind, and remove only the latter. Where the file system
// supports it the file has no name at all until it is complete (O_TMPFILE).
#include <functional>
#include <string>
#include <sys/types.h>

namespace cw::zip {

class TempFile {
public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates the file in dir, named <prefix><six random characters> when it needs a name,
    // with mode & ~umask. False with errno set on failure.
    bool create(const std::string& dir, const std::string& prefix, mode_t mode);
    // Syncs the file, puts it at finalPath (replacing what is there), and syncs the folder.
    // False with errno set; the temporary is gone either way.
    bool publish(const std::string& finalPath);
    // Closes and removes the file; nothing of it stays.
    void discard();

    int fd() const { return fd_; }
    // The temporary's name, empty while it has none.
    const std::string& path() const { return path_; }

private:
    bool linkName();

    int fd_ = -1;
    std::string dir_, prefix_, path_;
};

// Removes the files in dir named <prefix><anything> that no live process holds: the
// temporaries of killed runs. Only regular files are touched.
void removeStaleTemps(const std::string& dir, const std::string& prefix);
// The same in the folder dirFd (left open), for the names isTemp accepts.
void removeStaleTemps(int dirFd, const std::function<bool(const std::string&)>& isTemp);

// Makes a rename in dir durable; false with errno set when the folder cannot be synced.
bool syncDirectory(const std::string& dir);

} // namespace cw::zip
