#pragma once
// A recording stand-in for the decompression library's C interface: it remembers every
// call, feeds scripted listing messages through the listing sink and scripted events
// through the installed callback.
#include "restore/UnzipLibrary.h"

#include <functional>
#include <string>
#include <vector>

namespace cwr::test {

struct FakeEvent {
    int action;
    std::string message;
};

class FakeUnzip {
public:
    FakeUnzip();
    ~FakeUnzip();

    // The operations, bound to this fake (one fake at a time).
    static UnzipFunctions functions();

    // Calls in order, as "Name" or "Name:argument".
    std::vector<std::string> calls;
    // Messages a listing run writes, one per entry.
    std::vector<std::string> listing;
    // Events an extraction run sends, and what the callback answered to each.
    std::vector<FakeEvent> events;
    std::vector<short> answers;
    // Runs at the start of an extraction run with the destination (to write files).
    std::function<void(const std::string& dest)> onExtract;

    int count(const std::string& prefix) const;
    std::string last(const std::string& prefix) const; // the argument of the last such call

    CwCallback callback = nullptr;
    const CwListSink* sink = nullptr;
    bool view = false;
    std::string dest;
};

// One listing message: field 2 = 21, field 4 dir, 5 name, 6 size, 13 the encrypted flag.
std::string entryMessage(const std::string& dir, const std::string& name, const std::string& size,
                         const std::string& encrypted = "0");

} // namespace cwr::test
