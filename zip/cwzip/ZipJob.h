#pragma once
// One run of cwZip: reads the include list's files and writes the set.
#include "../common/Events.h"
#include "../include/cwevents.h"

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
    // Properties of a test or a benchmark rather than of the run: they survive Initialise.
    long long volumeCap = 0;
    int workers = 0; // 0: as many as the cores the process may use
    void (*readHook)(const char* path) = nullptr;
    void (*writeHook)(unsigned char* data, size_t size, long long offset) = nullptr;
    bool readBack = true; // every volume read back and checked before it is named
};

// Runs the job; 0 when the set was written, negative when the run stopped. The password
// is wiped from the options when the run ends.
int runZip(ZipOptions& options);

} // namespace cw::zip
