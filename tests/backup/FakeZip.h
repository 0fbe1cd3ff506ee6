#pragma once
// A recording stand-in for the compression library's C interface: every call is noted in
// order, and cwZip() plays scripted callback events (and an optional action, such as
// writing the set).
#include "backup/ZipLibrary.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace cwb::test {

struct FakeZip {
    static std::vector<std::string> calls; // "ArchiveName(/a/b.bks)", "Zip()", ...
    static CwCallback callback;
    static std::vector<std::pair<int, std::string>> events; // played by cwZip()
    static std::vector<short> answers;                      // the callback's answers
    static std::function<void()> onZip;                     // runs after the events

    static ZipFunctions functions();
    static void reset();
    // The calls from the first one starting with prefix on ("" for all).
    static std::vector<std::string> callsFrom(const std::string& prefix);
};

} // namespace cwb::test
