#pragma once
// One run of cwZip: reads the include list's files and writes the set.
#include "../common/Events.h"

#include <string>

namespace cw::zip {

struct ZipOptions {
    Callback callback = nullptr;
    bool emptyDirs = false;
    std::string setPath;
    bool encrypt = false;
    std::string password;
    std::string include;
    int structure = 2;
    bool hidden = false; // accepted, never drops a named file: the caller's scan decides
    int level = 6;       // deflate level; 0 stores
    bool span = false;
    bool longNames = true;
    long long volumeCap = 0;
};

// Error codes of event 255 (field 3).
enum ZipError {
    kZipNoSetName = 1,   // no set path given
    kZipCannotWrite = 2, // the set (or a volume) cannot be created or written
    kZipArchive = 3,     // the archive writer refused to go on
};

// Runs the job; 0 when the set was written, negative when the run stopped.
int runZip(const ZipOptions& options);

} // namespace cw::zip
