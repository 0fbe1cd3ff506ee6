#pragma once
// Shared pieces of the archive library tests: a recording callback with scripted answers,
// a listing sink, runners for both libraries and for other archivers, and a maker of
// hand-made ZIP files for hostile cases.
#include "tests/support/TestEnv.h"
#include "tests/support/Tree.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace cw::test {

struct Event {
    int action;
    std::string message;
    std::string field(int n) const; // counted from 1, "" beyond the last
};

// Records every callback; answers event 24 from a queue (0 when empty).
struct Recorder {
    static std::vector<Event> events;
    static std::deque<short> answers;
    static std::function<void(const Event&)> onEvent; // runs inside the callback
    static std::function<short(const Event&)> answer; // when set, answers every event
    static void reset();
    static short callback(int reserved, int action, const char* message);
    static std::vector<Event> only(int action);
};

struct ZipSettings {
    std::string include;
    std::string set;
    int structure = 2; // -1: no call
    int level = -1;    // -1: no call
    bool emptyDirs = false, span = false, longNames = true, hidden = true;
    const char* password = nullptr;
    long long cap = 0;
    int workers = 0;                         // 0: one per core
    void (*readHook)(const char*) = nullptr; // before a worker reads a piece of a file
    void (*writeHook)(unsigned char*, size_t, long long) = nullptr; // bytes going to a volume
};
int runZip(const ZipSettings& s);

std::vector<std::string> listSet(const std::string& set); // the listing messages
int extract(const std::string& set, const std::string& include, const std::string& dest,
            bool structure, const char* password = nullptr);

// Runs a shell command quietly; returns its exit status.
int shell(const std::string& command);
std::string sevenZip(); // "7zz" or "7z"

// A ZIP written by hand: stored entries with any name, mode and declared sizes.
struct RawEntry {
    std::string name;
    std::string data;
    uint32_t mode = 0100644;   // Unix mode in the external attributes
    int64_t declaredSize = -1; // uncompressed size in the directory; -1: the real one
    bool deflate = false;
    uint16_t madeBy = 0x031E; // made on Unix; 0x0014: on a system that separates with "\"
    int dataOf = -1;          // >= 0: no bytes of its own, it points at that entry's header
    bool utf8 = true;         // the UTF-8 flag
};
std::string rawZip(const std::vector<RawEntry>& entries);

// Where each entry's local header lies in a set on one disk, by stored name.
std::vector<std::pair<std::string, long long>> entryOffsets(const std::string& set);

} // namespace cw::test
