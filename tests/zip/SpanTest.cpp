// Spanned sets: volumes filled to their cap, named by disk number, the last one the set;
// listing from the last volume alone; extraction asking for each disk.
#include "ZipTestKit.h"

#include "zip/common/Paths.h"
#include "zip/common/Volumes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipSpanTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        for (int i = 0; i < 6; ++i) {
            files.push_back(env.writeFile("app/f" + std::to_string(i) + ".bin",
                                          randomBytes(40000 + 7000 * i, 10 + i)));
            list += files.back() + "|";
        }
        files.push_back(env.writeFile("app/small.txt", "small"));
        list += files.back() + "|";
        out = env.makeDir("disk");
        set = out + "/Weekly.bks";
        ZipSettings s{list, set};
        s.span = true;
        s.cap = kCap;
        ASSERT_EQ(runZip(s), 0);
        filled = Recorder::only(20);
        Recorder::reset();
        dest = env.makeDir("dest");
    }
    long long size(const std::string& path) {
        struct stat st {};
        return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
    }
    std::string storedList() {
        std::string l;
        for (const auto& f : files)
            l += f.substr(1) + "|";
        return l;
    }
    static constexpr long long kCap = 100000;
    TestEnv env;
    std::vector<std::string> files;
    std::string list, out, set, dest;
    std::vector<Event> filled;
};

TEST_F(ZipSpanTest, VolumesAreFilledAndNamedByDisk) {
    ASSERT_GE(filled.size(), 3u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < filled.size(); ++i) {
        EXPECT_EQ(filled[i].field(2), std::to_string(i + 1));
        std::string vol = cw::zip::volumePath(set, static_cast<int>(i + 1));
        expected.push_back(cw::zip::baseName(vol));
        EXPECT_LE(size(vol), kCap);
        if (i + 1 < filled.size()) { // every disk is full but the one before the directory
            EXPECT_EQ(size(vol), kCap);
        }
    }
    expected.push_back("Weekly.bks");
    EXPECT_EQ(filesBelow(out), expected);
    EXPECT_EQ(expected.front(), "Weekly.b01");
}

TEST_F(ZipSpanTest, JoinedVolumesAreOneStandardZip) {
    std::string bytes;
    for (size_t i = 1; i <= filled.size(); ++i)
        bytes += TestEnv::readFile(cw::zip::volumePath(set, static_cast<int>(i)));
    std::string joined = env.writeFile("joined.zip", bytes + TestEnv::readFile(set));
    EXPECT_EQ(shell("unzip -tq '" + joined + "'"), 0);
    EXPECT_EQ(shell(sevenZip() + " t '" + joined + "'"), 0);
}

TEST_F(ZipSpanTest, TheLastDiskAloneListsTheSet) {
    std::string away = env.makeDir("away");
    for (size_t i = 1; i <= filled.size(); ++i) {
        std::string vol = cw::zip::volumePath(set, static_cast<int>(i));
        ASSERT_EQ(rename(vol.c_str(), (away + "/" + cw::zip::baseName(vol)).c_str()), 0);
    }
    auto listing = listSet(set);
    ASSERT_EQ(listing.size(), files.size());
    EXPECT_EQ(Event({0, listing.back()}).field(5), "small.txt");
    EXPECT_EQ(Event({0, listing.front()}).field(6), "40000");
}

TEST_F(ZipSpanTest, ExtractionAsksForEachDiskAndRestoresEverything) {
    ASSERT_EQ(extract(set, storedList(), dest, false), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + "/" + cw::zip::baseName(f)), TestEnv::readFile(f));
    // Each earlier disk once, in order; the last one (whose end was read first) holds so
    // little beyond its directory that it is not asked for again.
    std::vector<std::string> asked, expected;
    for (const auto& e : Recorder::only(20))
        asked.push_back(e.field(2));
    for (size_t i = 1; i <= filled.size(); ++i)
        expected.push_back(std::to_string(i));
    EXPECT_EQ(asked, expected);
    EXPECT_TRUE(Recorder::only(23).empty());
    EXPECT_TRUE(Recorder::only(255).empty());
}

TEST_F(ZipSpanTest, ADiskThatNeverComesStopsTheRun) {
    unlink(cw::zip::volumePath(set, 2).c_str());
    EXPECT_LT(extract(set, storedList(), dest, false), 0);
    auto stopped = Recorder::only(255);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(stopped[0].field(3), "2");
    size_t asksForTwo = 0;
    for (const auto& e : Recorder::only(20))
        asksForTwo += e.field(2) == "2";
    EXPECT_EQ(asksForTwo, 3u);
    for (const auto& f : filesBelow(dest))
        EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
}

TEST_F(ZipSpanTest, EncryptedSpannedSetsRestore) {
    ZipSettings s{list, set};
    s.span = true;
    s.cap = 70000;
    s.password = "k";
    ASSERT_EQ(runZip(s), 0);
    Recorder::reset();
    ASSERT_EQ(extract(set, storedList(), dest, true, "k"), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + f), TestEnv::readFile(f));
}

} // namespace
