#pragma once
// Refusals of the file system for tests, which run as root where file modes refuse nothing.
// The first injected fault puts a refusing file system in place of the operating system's
// (common/platform/FileSystem.h); clearFaults takes it out again.
#include <string>

namespace cw::files {

enum class Fault {
    Unreadable, // cannot be opened or listed
    ReadOnly,   // a file that cannot be replaced or deleted; a folder that takes no change
    Undeletable // cannot be replaced or deleted
};

// Paths are compared exactly; "dir/" and "dir" are the same.
void injectFault(const std::string& path, Fault fault);
void clearFaults();

} // namespace cw::files
