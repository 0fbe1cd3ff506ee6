#include "backup/SetFile.h"

#include <sys/stat.h>

namespace cwb {

SetIdentity SetIdentity::of(const std::string& path) {
    SetIdentity id;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.size = st.st_size;
    return id;
}

bool SetIdentity::isNewerThan(const SetIdentity& before) const {
    if (!exists)
        return false;
    if (!before.exists)
        return true;
    return !sameFileAs(before) || mtimeNs != before.mtimeNs || size != before.size;
}

bool SetIdentity::sameFileAs(const SetIdentity& other) const {
    return exists && other.exists && device == other.device && inode == other.inode;
}

} // namespace cwb
