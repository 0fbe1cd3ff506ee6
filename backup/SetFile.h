#pragma once
// Which file stands at a set's path, so that a run can tell a new complete set from the old
// one it left untouched, and never delete the new set under another spelling of its name.
#include <cstdint>
#include <string>

namespace cwb {

struct SetIdentity {
    bool exists = false;
    std::uint64_t device = 0, inode = 0;
    std::int64_t mtimeNs = 0, size = 0;

    static SetIdentity of(const std::string& path);
    // Exists now, and is not the very file that stood there before.
    bool isNewerThan(const SetIdentity& before) const;
    bool sameFileAs(const SetIdentity& other) const;
};

} // namespace cwb
