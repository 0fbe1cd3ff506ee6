// Damage stays with the damaged file: a changed byte in one entry, a set cut short (read
// from its local headers), and entries whose bytes overlap.
#include "ZipTestKit.h"

#include "zip/include/cwevents.h"
#include "zip/include/cwunzip.h"

#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        dest = env.makeDir("dest");
    }
    void TearDown() override { cwUnzip_TestWorkers(0); }
    // Forty files of a few hundred bytes that do not compress much.
    std::string makeSet(const char* password = nullptr) {
        std::string list;
        for (int k = 0; k < 40; ++k) {
            const std::string path = env.writeFile("src/f" + std::to_string(k) + ".txt",
                                                   "file " + std::to_string(k) + " " +
                                                       randomBytes(300 + 7 * k, 100 + k));
            files.push_back(path);
            list += path + "|";
            include += path.substr(1) + "|";
        }
        const std::string set = env.path("s.bks");
        ZipSettings s{list, set};
        s.password = password;
        EXPECT_EQ(runZip(s), 0);
        Recorder::reset();
        return set;
    }
    // The restored copy of each original, or "" where none came back.
    std::map<std::string, std::string> restored() {
        std::map<std::string, std::string> out;
        for (const auto& f : files)
            if (access((dest + f).c_str(), F_OK) == 0)
                out[f] = TestEnv::readFile(dest + f);
        return out;
    }
    // Every name of the include list is restored whole or reported once with event 23.
    void expectEachNameAccountedFor() {
        std::map<std::string, int> reported;
        for (const auto& e : Recorder::only(CW_EVENT_FAILED))
            ++reported[e.field(2)];
        for (const auto& f : files) {
            const bool back = access((dest + f).c_str(), F_OK) == 0;
            const int times = reported[dest + f] + reported[f.substr(1)];
            EXPECT_EQ(back ? 0 : 1, times) << f;
            if (back) {
                EXPECT_EQ(TestEnv::readFile(dest + f), TestEnv::readFile(f)) << f;
            }
        }
        EXPECT_TRUE(Recorder::only(CW_EVENT_FATAL).empty());
        for (const auto& f : filesBelow(dest))
            EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
    }
    TestEnv env;
    std::string dest, include;
    std::vector<std::string> files;
};

TEST_F(ZipRecoveryTest, OneDamagedEntryAmongFortyCostsOnlyThatFile) {
    struct Row {
        size_t damaged;
        const char* password;
    };
    for (const Row row : {Row{0, nullptr}, Row{17, nullptr}, Row{39, nullptr}, Row{17, "pw"}}) {
        SCOPED_TRACE(std::to_string(row.damaged) + (row.password ? " encrypted" : ""));
        files.clear();
        include.clear();
        std::string set = makeSet(row.password);
        auto offsets = entryOffsets(set);
        ASSERT_EQ(offsets.size(), 40u);
        std::sort(offsets.begin(), offsets.end(),
                  [](const auto& a, const auto& b) { return a.second < b.second; });
        std::string bytes = TestEnv::readFile(set);
        const auto& [name, at] = offsets[row.damaged];
        const long long end = row.damaged + 1 < offsets.size()
                                  ? offsets[row.damaged + 1].second
                                  : static_cast<long long>(bytes.find("PK\x01\x02", at));
        const auto middle = static_cast<size_t>(at + (end - at) * 2 / 3);
        bytes[middle] = static_cast<char>(bytes[middle] ^ 0x40);
        env.writeFile("s.bks", bytes);
        cwUnzip_TestWorkers(2);
        EXPECT_EQ(extract(set, include, dest, true, row.password), 0);
        const auto failures = Recorder::only(CW_EVENT_FAILED);
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].field(2), dest + "/" + name);
        EXPECT_TRUE(failures[0].field(3) == "1" || failures[0].field(3) == "4");
        EXPECT_EQ(restored().size(), 39u);
        expectEachNameAccountedFor();
        Recorder::reset();
        shell("rm -rf '" + dest + "'/*");
    }
}

TEST_F(ZipRecoveryTest, ASetCutShortGivesBackEveryCompleteEntry) {
    const std::string set = makeSet();
    const std::string whole = TestEnv::readFile(set);
    auto offsets = entryOffsets(set);
    std::vector<long long> starts;
    for (const auto& o : offsets)
        starts.push_back(o.second);
    std::sort(starts.begin(), starts.end());
    for (const double fraction : {0.2, 0.45, 0.6, 0.93}) {
        const auto cut = static_cast<long long>(static_cast<double>(whole.size()) * fraction);
        SCOPED_TRACE(cut);
        env.writeFile("s.bks", whole.substr(0, static_cast<size_t>(cut)));
        // Entries followed by another entry before the cut are complete; none that starts
        // after it can be.
        const auto complete = static_cast<size_t>(
            std::count_if(starts.begin() + 1, starts.end(), [&](long long s) { return s <= cut; }));
        const auto begun = static_cast<size_t>(
            std::count_if(starts.begin(), starts.end(), [&](long long s) { return s + 30 < cut; }));
        const auto listing = listSet(set);
        ASSERT_FALSE(listing.empty());
        const Event last{0, listing.back()};
        EXPECT_EQ(last.field(2), std::to_string(CW_EVENT_LISTING_DAMAGED));
        EXPECT_EQ(last.field(13), "0");
        EXPECT_GE(listing.size() - 1, complete);
        EXPECT_LE(listing.size() - 1, begun);
        Recorder::reset();
        EXPECT_EQ(extract(set, include, dest, true), 0);
        EXPECT_EQ(restored().size(), listing.size() - 1);
        expectEachNameAccountedFor();
        shell("rm -rf '" + dest + "'/*");
    }
}

TEST_F(ZipRecoveryTest, OfTwentyNamesForOneEntryOnlyTheFirstIsRestored) {
    std::vector<RawEntry> entries{{"before.txt", "ahead"}, {"n0", "shared bytes"}};
    std::string list = "before.txt|n0|";
    for (int k = 1; k < 20; ++k) {
        entries.push_back({.name = "n" + std::to_string(k), .data = "shared bytes", .dataOf = 1});
        list += "n" + std::to_string(k) + "|";
    }
    entries.push_back({"after.txt", "behind"});
    const std::string set = env.writeFile("s.bks", rawZip(entries));
    cwUnzip_TestWorkers(2);
    EXPECT_EQ(extract(set, list + "after.txt|", dest, false), 0);
    std::vector<std::string> expected{"after.txt", "before.txt", "n0"};
    EXPECT_EQ(filesBelow(dest), expected);
    EXPECT_EQ(TestEnv::readFile(dest + "/n0"), "shared bytes");
    const auto failures = Recorder::only(CW_EVENT_FAILED);
    ASSERT_EQ(failures.size(), 19u);
    for (const auto& f : failures)
        EXPECT_EQ(f.field(3), "1") << f.message;
}

} // namespace
