// The writer's workers: whatever their number the caller sees the same events in the same
// order, a file that changes between the reads of two workers still gives a sound entry,
// and a run that fails or is killed with entries in flight leaves the older set as it was.
#include "ZipTestKit.h"

#include <atomic>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipWorkersTest : public ::testing::Test {
protected:
    void SetUp() override { Recorder::reset(); }
    TestEnv env;
};

std::vector<std::pair<int, std::string>> eventsOf(const std::vector<Event>& events) {
    std::vector<std::pair<int, std::string>> out;
    for (const auto& e : events)
        out.emplace_back(e.action, e.message);
    return out;
}

TEST_F(ZipWorkersTest, EventsComeInListOrderWhateverTheNumberOfWorkers) {
    std::string list;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "app/d" + std::to_string(i % 7) + "/f" + std::to_string(i);
        list += env.writeFile(name, randomBytes(static_cast<size_t>(i * 997 % 60000), i)) + "|";
        if (i == 40)
            list += env.writeFile("app/large.bin", randomBytes(9u << 20, 99)) + "|";
        if (i == 60)
            list += env.path("app/missing") + "|" + env.path("app/d1/f1") + "|"; // 22, 24
    }
    std::vector<std::pair<int, std::string>> first;
    for (int workers : {1, 4}) {
        Recorder::reset();
        ZipSettings s{list, env.path("w" + std::to_string(workers) + ".bks")};
        s.workers = workers;
        ASSERT_EQ(runZip(s), 0);
        auto events = eventsOf(Recorder::events);
        // Only the set's name differs between the two runs.
        events.front().second.clear();
        if (first.empty())
            first = events;
        else
            EXPECT_EQ(events, first);
    }
    EXPECT_EQ(Recorder::only(22).size(), 1u);
    EXPECT_EQ(Recorder::only(24).size(), 1u);
    EXPECT_EQ(Recorder::only(13).size(), 121u);
    // The large file reports about every 4 MiB: 0, 44, 88 and 100 percent.
    std::vector<std::string> large;
    for (const auto& e : Recorder::only(12))
        if (e.field(3).find("large.bin") != std::string::npos)
            large.push_back(e.field(5));
    EXPECT_EQ(large, (std::vector<std::string>{"0", "44", "88", "100"}));
}

// Rewrites the bytes the second chunk takes as its dictionary, after the first chunk read
// them and before the second does.
std::string g_large;
std::atomic<int> g_reads{0};
void changeBetweenChunks(const char* path) {
    if (path == g_large && ++g_reads == 2) {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp((1 << 20) - 100);
        f << "changed";
    }
}

TEST_F(ZipWorkersTest, AFileChangedBetweenChunksStillGivesASoundEntry) {
    std::string text;
    while (text.size() < (10u << 20))
        text += "a line of text " + std::to_string(text.size() % 1000) + "\n";
    g_large = env.writeFile("large.txt", text);
    g_reads = 0;
    std::string set = env.path("s.bks");
    ZipSettings s{g_large + "|", set, 0};
    s.workers = 1; // the chunks are read one after the other
    s.readHook = changeBetweenChunks;
    ASSERT_EQ(runZip(s), 0);
    ASSERT_EQ(Recorder::only(23).size(), 1u);
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    std::string dest = env.makeDir("dest");
    ASSERT_EQ(extract(set, "large.txt|", dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/large.txt"), text); // as the first chunk read it
}

TEST_F(ZipWorkersTest, AFailureOrAKillWithEntriesInFlightLeavesTheOlderSet) {
    std::string list;
    for (int i = 0; i < 40; ++i)
        list += env.writeFile("app/f" + std::to_string(i), randomBytes(200000, i)) + "|";
    list += env.writeFile("app/large", randomBytes(12u << 20, 77)) + "|";
    std::string dir = env.makeDir("out");
    std::string set = dir + "/s.bks";
    env.writeFile("out/s.bks", "older set");
    ZipSettings s{list, set};
    s.workers = 3;
    s.cap = 3 << 20; // full long before the last entry
    EXPECT_LT(runZip(s), 0);
    EXPECT_EQ(Recorder::only(255).size(), 1u);
    EXPECT_EQ(Recorder::events.back().action, 255);
    EXPECT_EQ(filesBelow(dir), std::vector<std::string>{"s.bks"});
    // Killed part-way: the temporary volume stays behind, the older set is untouched.
    pid_t child = fork();
    if (child == 0) {
        ZipSettings k{list, set};
        Recorder::onEvent = [](const Event& e) {
            if (e.action == 13)
                raise(SIGKILL);
        };
        runZip(k);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(TestEnv::readFile(set), "older set");
}

} // namespace
