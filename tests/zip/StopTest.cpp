// A backup the caller stops: answer 3 to event 12 or 13 ends the run with code 4, leaves the
// older set of that name as it was and nothing of the run behind, whatever the point.
#include "ZipTestKit.h"

#include "zip/include/cwevents.h"
#include "zip/include/cwzip.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace cw::test;

namespace {

// The run's events; the n-th event of kind `at` is answered with stop.
struct StopPoint {
    int at, n;
    bool span;
};
std::vector<Event> g_events;
StopPoint g_point;
int g_seen = 0;

short stopAt(int, int action, const char* message) {
    g_events.push_back({action, message ? message : ""});
    if (action == g_point.at && ++g_seen == g_point.n)
        return CW_ZIP_ANSWER_STOP;
    return CW_ZIP_ANSWER_GO_ON;
}

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator{}));
}

class StoppedBackup : public ::testing::TestWithParam<StopPoint> {};

TEST_P(StoppedBackup, EndsWithCodeFourAndLeavesOnlyTheOlderSet) {
    TestEnv env;
    g_events.clear();
    g_point = GetParam();
    g_seen = 0;
    std::string list;
    for (int i = 0; i < 6; ++i)
        list += env.writeFile("in/f" + std::to_string(i), randomBytes(40000, i)) + "|";
    // Streamed in chunks, with progress events in between.
    list += env.writeFile("in/big", randomBytes(9 << 20, 9)) + "|";
    const std::string dir = env.makeDir("out");
    const std::string set = dir + "/s.bks";
    env.writeFile("out/s.bks", "older set");
    const std::size_t descriptors = openDescriptors();

    cwZip_Initialise();
    cwZip_InstallCallback(&stopAt);
    cwZip_TestVolumeLimit(g_point.span ? 60000 : 0);
    cwZip_ArchiveName(set.c_str());
    cwZip_Include(list.c_str());
    cwZip_SetCompressionLevel(0);
    cwZip_Span(g_point.span ? -1 : 0);
    const int r = cwZip();
    cwZip_TestVolumeLimit(0);

    EXPECT_LT(r, 0);
    ASSERT_EQ(g_seen, g_point.n) << "the run ended before the stop";
    ASSERT_FALSE(g_events.empty());
    const Event& last = g_events.back();
    EXPECT_EQ(last.action, CW_EVENT_FATAL);
    EXPECT_EQ(last.field(3), std::to_string(CW_ZIP_ERROR_STOPPED));
    // Nothing more of the run after the answer: the stop was the last progress event.
    std::size_t after = 0;
    for (std::size_t i = g_events.size(); i-- > 0;) {
        if (g_events[i].action == g_point.at)
            break;
        ++after;
    }
    EXPECT_EQ(after, 1u);
    if (g_point.span) { // volumes were finished before the stop
        EXPECT_TRUE(std::any_of(g_events.begin(), g_events.end(),
                                [](const Event& e) { return e.action == CW_EVENT_DISK; }));
    }
    EXPECT_EQ(TestEnv::readFile(set), "older set");
    EXPECT_EQ(filesBelow(dir), std::vector<std::string>{"s.bks"});
    EXPECT_EQ(openDescriptors(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(
    Points, StoppedBackup,
    ::testing::Values(StopPoint{CW_EVENT_PROGRESS, 1, false},  // the first file at 0 %
                      StopPoint{CW_EVENT_STORED, 3, false},    // a file just stored
                      StopPoint{CW_EVENT_PROGRESS, 14, false}, // inside the large file
                      StopPoint{CW_EVENT_STORED, 4, true}));   // with finished volumes

} // namespace
