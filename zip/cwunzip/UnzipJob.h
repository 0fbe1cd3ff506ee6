#pragma once
// The runs of cwUnzip: listing a set through the sink, or extracting the include list.
#include "../common/Events.h"

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
    bool decrypt = false;
    std::string password;
    bool structure = false;
    std::string include;
    std::string destination;
};

// Reason codes of event 23 (field 3).
enum UnzipReason {
    kReasonBadData = 1,     // CRC or authentication failed, or the data is damaged
    kReasonCannotWrite = 2, // the file or its directory cannot be created or written
    kReasonUnsafe = 3,      // the name would leave the destination, or is a link
    kReasonSize = 4,        // the data is longer or shorter than the entry declares
    kReasonUnsupported = 5, // a kind of entry or compression this library does not write
    kReasonNotInSet = 6,    // an included name that no entry of the set answers to
    kReasonInUse = 9,       // the file is busy
    kReasonPassword = 14,   // wrong or missing password: the run stops
};

// Error codes of event 255 (field 3).
enum UnzipError {
    kErrorNoSet = 1,       // the set cannot be opened or is not a ZIP
    kErrorDisk = 2,        // a disk that was asked for did not come
    kErrorDestination = 3, // the destination folder cannot be used
    kErrorDamaged = 4,     // the set is damaged beyond the current file
    kErrorCancelled = 12,  // the user cancelled at the replace prompt
};

int runList(const UnzipOptions& options);
int runExtract(const UnzipOptions& options);

} // namespace cw::zip
