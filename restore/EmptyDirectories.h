#pragma once
// Directories that held no file come back only from their directory entries: after a
// restore with the directory structure, each is created under the destination.
#include <map>
#include <string>
#include <vector>

namespace cwr {

// What the listing says of a directory entry: its time (listing field 9) and its mode
// (field 11), by the directory's list line.
struct DirectoryStamp {
    std::string modified;
    std::string mode;
};
using DirectoryStamps = std::map<std::string, DirectoryStamp>;

// Creates each directory line ("<stored dir>/" + TAB) under dest, with any missing parents.
// Existing directories are passed over; after a failure the next line is still tried. A
// line that would leave dest ("..", an absolute path, a path through a symbolic link or a
// file) is refused. A directory this call creates then takes its stamp's mode and time, if
// any. Returns how many lines could not be created.
int recreateEmptyDirectories(const std::vector<std::string>& lines, const std::string& dest,
                             const DirectoryStamps& stamps = {});

} // namespace cwr
