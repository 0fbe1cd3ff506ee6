// Extraction with several workers: the caller sees the same events, in the same order, as
// with one; answers to event 24 decide in order; Cancel and a full destination leave no
// temporary file behind.
#include "ZipTestKit.h"

#include "zip/include/cwevents.h"
#include "zip/include/cwunzip.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class UnzipWorkersTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        dest = env.makeDir("dest");
    }
    void TearDown() override { cwUnzip_TestWorkers(0); }
    std::string makeSet(int count, size_t size) {
        std::string list;
        for (int k = 0; k < count; ++k) {
            const std::string path =
                env.writeFile("src/f" + std::to_string(k) + ".bin",
                              randomBytes(size + static_cast<size_t>(k), 50 + k));
            names.push_back("f" + std::to_string(k) + ".bin");
            list += path + "|";
            include += path.substr(1) + "|";
        }
        const std::string set = env.path("s.bks");
        EXPECT_EQ(runZip({list, set}), 0);
        Recorder::reset();
        return set;
    }
    void noTemporaryFiles() {
        for (const auto& f : filesBelow(dest))
            EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
    }
    TestEnv env;
    std::string dest, include;
    std::vector<std::string> names;
};

TEST_F(UnzipWorkersTest, EventsAndAnswersFollowTheSetsOrderWhateverTheWorkers) {
    const std::string set = makeSet(40, 20000);
    std::vector<Event> reference;
    for (int workers : {1, 2, 4}) {
        SCOPED_TRACE(workers);
        shell("rm -rf '" + dest + "'/*");
        for (size_t k = 0; k < names.size(); k += 3)
            env.writeFile("dest/" + names[k], "old " + std::to_string(k));
        Recorder::reset();
        Recorder::answers = {0, 2, 2, 0, 0, 2, 1};
        cwUnzip_TestWorkers(workers);
        ASSERT_EQ(extract(set, include, dest, false), 0);
        // Files 0, 9 and 12 replaced, 3, 6 and 15 kept; answer 1 at 18 replaces 18 and on.
        for (size_t k = 0; k < names.size(); ++k) {
            const bool kept = k == 3 || k == 6 || k == 15;
            EXPECT_EQ(TestEnv::readFile(dest + "/" + names[k]),
                      kept ? "old " + std::to_string(k)
                           : TestEnv::readFile(env.path("src/" + names[k])))
                << k;
        }
        EXPECT_EQ(Recorder::only(CW_EVENT_EXISTS).size(), 7u);
        EXPECT_EQ(Recorder::only(CW_EVENT_FILE).size(), 37u);
        noTemporaryFiles();
        if (reference.empty()) {
            reference = Recorder::events;
            continue;
        }
        ASSERT_EQ(Recorder::events.size(), reference.size());
        for (size_t i = 0; i < reference.size(); ++i) {
            EXPECT_EQ(Recorder::events[i].action, reference[i].action) << i;
            EXPECT_EQ(Recorder::events[i].message, reference[i].message) << i;
        }
    }
}

TEST_F(UnzipWorkersTest, CancelWithWorkersBusyStopsAndLeavesNoTemporaryFile) {
    const std::string set = makeSet(30, 300000);
    env.writeFile("dest/" + names[10], "old");
    Recorder::answers = {CW_ANSWER_CANCEL};
    cwUnzip_TestWorkers(4);
    EXPECT_LT(extract(set, include, dest, false), 0);
    ASSERT_EQ(Recorder::events.back().action, CW_EVENT_FATAL);
    EXPECT_EQ(Recorder::events.back().field(3), std::to_string(CW_UNZIP_ERROR_CANCELLED));
    EXPECT_EQ(Recorder::only(CW_EVENT_FILE).size(), 10u);
    EXPECT_EQ(TestEnv::readFile(dest + "/" + names[10]), "old");
    for (size_t k = 11; k < names.size(); ++k)
        EXPECT_NE(access((dest + "/" + names[k]).c_str(), F_OK), 0) << k;
    noTemporaryFiles();
}

TEST_F(UnzipWorkersTest, ADestinationThatFillsCostsOnlyTheFilesThatDoNotFit) {
    const std::string set = makeSet(24, 100000);
    if (mount("tmpfs", dest.c_str(), "tmpfs", 0, "size=3m") != 0)
        GTEST_SKIP() << "cannot mount a small disk here";
    // The files fit when the run starts; something else takes most of the room as the
    // first one is written.
    bool filled = false;
    Recorder::onEvent = [&](const Event& e) {
        if (e.action == CW_EVENT_FILE && !filled) {
            filled = true;
            env.writeFile("dest/filler", std::string(2200000, 'f'));
        }
    };
    cwUnzip_TestWorkers(2);
    EXPECT_EQ(extract(set, include, dest, false), 0);
    size_t back = 0;
    for (const auto& f : Recorder::only(CW_EVENT_FAILED))
        EXPECT_EQ(f.field(3), std::to_string(CW_REASON_CANNOT_WRITE)) << f.message;
    for (const auto& n : names)
        if (access((dest + "/" + n).c_str(), F_OK) == 0) {
            ++back;
            EXPECT_EQ(TestEnv::readFile(dest + "/" + n), TestEnv::readFile(env.path("src/" + n)));
        }
    EXPECT_GT(back, 0u);
    EXPECT_EQ(back + Recorder::only(CW_EVENT_FAILED).size(), names.size());
    EXPECT_TRUE(Recorder::only(CW_EVENT_FATAL).empty());
    noTemporaryFiles();
    umount(dest.c_str());
}

// A large file sends event 16 while it is written, whatever reads it: one worker, several,
// or the caller's own thread (a spanned set). Answer 3 to event 16 or 15 stops the run
// there: the file being written leaves no temporary, the file before it stays.
TEST_F(UnzipWorkersTest, ALargeFileTellsItsProgressAndCanBeStoppedThere) {
    constexpr size_t kBig = 24u << 20;
    const std::string big = env.writeFile("src/big.bin", randomBytes(kBig, 7));
    const std::string a = env.writeFile("src/a.txt", "first"), c = env.writeFile("src/c.txt", "c");
    const std::string list = a + "|" + big + "|" + c + "|";
    const std::string one = env.path("one.bks"), spanned = env.path("span/s.bks");
    ASSERT_EQ(runZip({list, one}), 0);
    env.makeDir("span");
    ASSERT_EQ(runZip({.include = list, .set = spanned, .span = true, .cap = 8 << 20}), 0);
    include = a.substr(1) + "|" + big.substr(1) + "|" + c.substr(1) + "|";
    struct Row {
        const char* set;
        int workers;
        int stopAt; // 0: every answer 0
    };
    for (const Row row : {Row{"one", 1, 16}, Row{"one", 4, 16}, Row{"span", 0, 16},
                          Row{"one", 4, CW_EVENT_FILE}, Row{"span", 0, 0}, Row{"one", 4, 0}}) {
        SCOPED_TRACE(std::string(row.set) + " " + std::to_string(row.workers) + " " +
                     std::to_string(row.stopAt));
        shell("rm -rf '" + dest + "'/* '" + dest + "'/.[!.]*");
        Recorder::reset();
        Recorder::answer = [&](const Event& e) -> short {
            return e.action == row.stopAt && e.field(2).ends_with("big.bin") ? CW_ANSWER_CANCEL : 0;
        };
        cwUnzip_TestWorkers(row.workers);
        const int r = extract(std::string(row.set) == "one" ? one : spanned, include, dest, false);
        const auto writing = Recorder::only(CW_EVENT_WRITING);
        ASSERT_FALSE(writing.empty());
        int last = 0;
        for (const Event& e : writing) {
            EXPECT_EQ(e.field(1), "2");
            EXPECT_TRUE(e.field(2).ends_with("big.bin"));
            EXPECT_EQ(e.field(3), std::to_string(kBig));
            EXPECT_EQ(e.field(4), dest + "/big.bin");
            EXPECT_GT(std::stoi(e.field(5)), last);
            last = std::stoi(e.field(5));
        }
        EXPECT_LE(last, 100);
        EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "first");
        if (row.stopAt) {
            EXPECT_LT(r, 0);
            EXPECT_EQ(Recorder::events.back().action, CW_EVENT_FATAL);
            EXPECT_EQ(Recorder::events.back().field(3), std::to_string(CW_UNZIP_ERROR_CANCELLED));
            EXPECT_EQ(filesBelow(dest), std::vector<std::string>{"a.txt"});
        } else {
            EXPECT_EQ(r, 0);
            EXPECT_EQ(last, 100);
            EXPECT_EQ(TestEnv::readFile(dest + "/big.bin"), TestEnv::readFile(big));
            EXPECT_EQ(filesBelow(dest).size(), 3u);
        }
        noTemporaryFiles();
    }
}

} // namespace
