#pragma once
// The binding of the compression library (libcwzip.so in the program's own directory),
// made at first use. Every operation is resolved at once, so a missing one is reported
// before anything is written.
#include "common/platform/SharedLibrary.h"
#include "zip/include/cwzip.h"

#include <string>

namespace cwb {

struct BackupPlan;

struct ZipFunctions {
    int (*Initialise)() = nullptr;
    int (*InstallCallback)(CwCallback) = nullptr;
    int (*IncludeEmptyDirectoryEntries)(int) = nullptr;
    int (*ArchiveName)(const char*) = nullptr;
    int (*Encrypt)(const char*) = nullptr;
    int (*Include)(const char*) = nullptr;
    int (*SaveStructure)(int) = nullptr;
    int (*IncludeHidden)(int) = nullptr;
    int (*SetCompressionLevel)(int) = nullptr;
    int (*Span)(int) = nullptr;
    int (*UseLFN)(int) = nullptr;
    int (*Zip)() = nullptr;
};

class ZipLibrary : public cw::LibraryBinding<ZipFunctions> {
public:
    static constexpr const char* kFileName = "libcwzip.so";

    // Binds <dir>/libcwzip.so at the first bind().
    explicit ZipLibrary(const std::string& dir) : LibraryBinding(dir, kFileName) {}
    // Ready-made operations (a recording fake in tests).
    explicit ZipLibrary(const ZipFunctions& functions) : LibraryBinding(functions) {}

    // Loads the library and resolves every operation; false with errorText() set.
    bool bind();
    // Any other export of the bound library (the test hooks); nullptr when absent.
    void* symbol(const char* name);
};

// Hands the plan to the library in the order it expects, the set at setPath and the files
// of includeList, and runs it; the callback is installed already. The plan's password is
// wiped as soon as the library has its own copy.
void runBackup(const ZipFunctions& api, BackupPlan& plan, const std::string& setPath,
               const std::string& includeList);

} // namespace cwb
