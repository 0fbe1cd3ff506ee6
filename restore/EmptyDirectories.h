#pragma once
// Directories that held no file come back only from their directory entries: after a
// restore with the directory structure, each is created under the destination.
#include <string>
#include <vector>

namespace cwr {

// Creates each directory line ("<stored dir>/" + TAB) under dest, with any missing parents.
// Existing directories are passed over; after a failure the next line is still tried. A
// line that would leave dest ("..", an absolute path, a path through a symbolic link or a
// file) is refused. Returns how many lines could not be created.
int recreateEmptyDirectories(const std::vector<std::string>& lines, const std::string& dest);

} // namespace cwr
