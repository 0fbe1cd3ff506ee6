#pragma once
// The runs of cwUnzip: listing a set through the sink, or extracting the include list.
#include "../common/Events.h"
#include "../include/cwevents.h"

#include <string>

namespace cw::zip {

struct ListSink {
    void* field = nullptr;
    void (*setText)(void* field, const char* text) = nullptr;
};

struct UnzipOptions {
    Callback callback = nullptr;
    ListSink sink;
    std::string setPath;
    bool view = false;
    bool test = false; // read and check every entry, write nothing
    bool decrypt = false;
    std::string password;
    bool structure = false;
    std::string include;
    std::string destination;
};

// Workers of an extraction: 0 for as many as the machine has cores (tests and benchmarks).
void setExtractWorkers(int workers);

int runList(const UnzipOptions& options);
int runExtract(const UnzipOptions& options);

} // namespace cw::zip
