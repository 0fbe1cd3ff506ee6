#pragma once
// The binding of the decompression library (libcwunzip.so in the program's own directory),
// made at first use. Every operation is resolved at once, so a missing one is reported
// before a set is listed or anything is written.
#include "common/platform/SharedLibrary.h"
#include "zip/include/cwunzip.h"

#include <string>

namespace cwr {

struct UnzipFunctions {
    int (*Initialise)() = nullptr;
    int (*InstallCallback)(CwCallback) = nullptr;
    int (*SetWindowHandle)(const CwListSink*) = nullptr;
    int (*ArchiveName)(const char*) = nullptr;
    int (*View)(int) = nullptr;
    int (*Decrypt)(const char*) = nullptr;
    int (*RestoreStructure)(int) = nullptr;
    int (*Include)(const char*) = nullptr;
    int (*ExtractTo)(const char*) = nullptr;
    int (*Unzip)() = nullptr;
};

class UnzipLibrary : public cw::LibraryBinding<UnzipFunctions> {
public:
    static constexpr const char* kFileName = "libcwunzip.so";

    // Binds <dir>/libcwunzip.so at the first bind().
    explicit UnzipLibrary(const std::string& dir) : LibraryBinding(dir, kFileName) {}
    // Ready-made operations (a recording fake in tests).
    explicit UnzipLibrary(const UnzipFunctions& functions) : LibraryBinding(functions) {}

    // Loads the library and resolves every operation; false with errorText() set.
    bool bind();
    // Any other export of the bound library (the command line's test mode); nullptr when
    // absent.
    void* symbol(const char* name);
};

} // namespace cwr
