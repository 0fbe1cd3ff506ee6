// cwUnzip_Test: every entry is read and checked, each reported once, and nothing is written.
#include "ZipTestKit.h"
#include "zip/include/cwevents.h"
#include "zip/include/cwunzip.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace cw::test;

namespace {

// Runs a test of the set; the recorder holds its events.
int testSet(const std::string& set, const char* password) {
    cwUnzip_InstallCallback(&Recorder::callback);
    cwUnzip_ArchiveName(set.c_str());
    if (password)
        cwUnzip_Decrypt(password);
    cwUnzip_Test(-1);
    const int r = cwUnzip();
    cwUnzip_Initialise();
    return r;
}

class ZipTestModeTest : public ::testing::Test {
protected:
    // Eight files in two folders and an empty folder; entries are named without the leading "/".
    std::string makeSet(const char* password) {
        std::string include;
        for (int i = 0; i < 8; ++i)
            include +=
                env.writeFile(
                    "app/" + std::string(i % 2 ? "A/" : "B/") + "f" + std::to_string(i) + ".bin",
                    randomBytes(20000 + 9000 * static_cast<size_t>(i), static_cast<unsigned>(i))) +
                "|";
        env.makeDir("app/Empty");
        include += env.path("app/Empty") + "/(EMPTY)|";
        const std::string set = env.path("s.bks");
        ZipSettings s{include, set};
        s.emptyDirs = true;
        s.password = password;
        EXPECT_EQ(runZip(s), 0);
        Recorder::reset();
        return set;
    }
    // Flips one byte in the middle of the named entry's data.
    void damage(const std::string& set, const std::string& name) {
        auto offsets = entryOffsets(set);
        std::sort(offsets.begin(), offsets.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        std::string bytes = TestEnv::readFile(set);
        for (size_t i = 0; i < offsets.size(); ++i) {
            if (offsets[i].first != name)
                continue;
            const long long end = i + 1 < offsets.size()
                                      ? offsets[i + 1].second
                                      : static_cast<long long>(bytes.find("PK\x01\x02"));
            const auto middle =
                static_cast<size_t>(offsets[i].second + (end - offsets[i].second) / 2);
            bytes[middle] = static_cast<char>(bytes[middle] ^ 0x10);
        }
        env.writeFile("s.bks", bytes);
    }
    std::string stored(int i) const {
        return env
            .path("app/" + std::string(i % 2 ? "A/" : "B/") + "f" + std::to_string(i) + ".bin")
            .substr(1);
    }
    TestEnv env;
};

TEST_F(ZipTestModeTest, EachEntryIsReportedOnceAndADamagedOneAsBad) {
    struct Row {
        const char* password;
        int damaged; // -1: none
        int workers;
    };
    for (const Row row : {Row{nullptr, -1, 0}, Row{"pw", -1, 2}, Row{nullptr, 5, 2},
                          Row{"pw", 2, 0}, Row{"pw", 7, 1}}) {
        SCOPED_TRACE(std::string(row.password ? "encrypted" : "plain") + ", damaged " +
                     std::to_string(row.damaged) + ", workers " + std::to_string(row.workers));
        const std::string set = makeSet(row.password);
        if (row.damaged >= 0)
            damage(set, stored(row.damaged));
        const auto before = filesBelow(env.root());
        cwUnzip_TestWorkers(row.workers);
        EXPECT_EQ(testSet(set, row.password), 0);
        cwUnzip_TestWorkers(0);

        std::vector<std::string> tested;
        for (const Event& e : Recorder::only(CW_EVENT_TESTED))
            tested.push_back(e.field(2));
        const auto failed = Recorder::only(CW_EVENT_FAILED);
        EXPECT_EQ(tested.size() + failed.size(), 8u) << "every file entry once, directories none";
        if (row.damaged < 0) {
            EXPECT_TRUE(failed.empty());
        } else {
            ASSERT_EQ(failed.size(), 1u);
            EXPECT_EQ(failed[0].field(2), stored(row.damaged));
            EXPECT_EQ(failed[0].field(3), std::to_string(CW_REASON_BAD_DATA));
            EXPECT_EQ(std::count(tested.begin(), tested.end(), stored(row.damaged)), 0);
        }
        EXPECT_TRUE(Recorder::only(CW_EVENT_FILE).empty());
        EXPECT_TRUE(Recorder::only(CW_EVENT_FATAL).empty());
        EXPECT_EQ(filesBelow(env.root()), before) << "a test writes nothing";
        Recorder::reset();
    }
}

TEST_F(ZipTestModeTest, AWrongOrMissingPasswordStopsAtTheFirstEntry) {
    const std::string set = makeSet("right");
    const auto before = filesBelow(env.root());
    for (const char* password : {"wrong", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(password ? password : "none");
        EXPECT_LT(testSet(set, password), 0);
        const auto failed = Recorder::only(CW_EVENT_FAILED);
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(failed[0].field(3), std::to_string(CW_REASON_PASSWORD));
        EXPECT_TRUE(Recorder::only(CW_EVENT_TESTED).empty());
        EXPECT_EQ(filesBelow(env.root()), before);
        Recorder::reset();
    }
}

TEST_F(ZipTestModeTest, ASetThatLostItsDirectoryIsReportedAsDamaged) {
    const std::string set = makeSet(nullptr);
    const std::string bytes = TestEnv::readFile(set);
    env.writeFile("s.bks", bytes.substr(0, bytes.find("PK\x01\x02")));
    EXPECT_EQ(testSet(set, nullptr), 0);
    EXPECT_EQ(Recorder::only(CW_EVENT_TESTED).size(), 8u);
    const auto failed = Recorder::only(CW_EVENT_FAILED);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].field(2), set);
    EXPECT_EQ(failed[0].field(3), std::to_string(CW_REASON_BAD_DATA));
}

} // namespace
