// Listing through the sink, including sets made by other archivers and ZIP64 records.
#include "ZipTestKit.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipListTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        env.writeFile("src/top.txt", std::string(1234, 't'));
        env.writeFile("src/Data/deep.bin", randomBytes(5000, 7));
        env.makeDir("src/Data/Empty");
    }
    // "dir|name|size|encrypted" of each message, in order.
    std::vector<std::string> summary(const std::string& set) {
        std::vector<std::string> out;
        for (const auto& m : listSet(set)) {
            Event e{0, m};
            EXPECT_EQ(e.field(2), "21");
            out.push_back(e.field(4) + "|" + e.field(5) + "|" + e.field(6) + "|" + e.field(13));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    TestEnv env;
    const std::vector<std::string> expected = {"Data/Empty||0|0", "Data|deep.bin|5000|0",
                                               "Data||0|0", "|top.txt|1234|0"};
};

TEST_F(ZipListTest, SetsFromOtherArchiversList) {
    std::string set = env.path("zip.bks");
    ASSERT_EQ(shell("cd '" + env.path("src") + "' && zip -qr '" + set + "' ."), 0);
    EXPECT_EQ(summary(set), expected);
    std::string seven = env.path("7z.bks");
    ASSERT_EQ(shell("cd '" + env.path("src") + "' && " + sevenZip() + " a -tzip '" + seven +
                    "' top.txt Data"),
              0);
    EXPECT_EQ(summary(seven), expected);
    // And their entries extract.
    std::string dest = env.makeDir("dest");
    ASSERT_EQ(extract(seven, "Data/deep.bin|top.txt|", dest, true), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/Data/deep.bin"),
              TestEnv::readFile(env.path("src/Data/deep.bin")));
}

TEST_F(ZipListTest, Zip64RecordsAreRead) {
    std::string set = env.path("z64.bks");
    ASSERT_EQ(shell("cd '" + env.path("src") + "' && zip -qr -fz '" + set + "' ."), 0);
    EXPECT_EQ(summary(set), expected);
    std::string dest = env.makeDir("dest");
    ASSERT_EQ(extract(set, "Data/deep.bin|", dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/deep.bin").size(), 5000u);
}

TEST_F(ZipListTest, EncryptedSetsFromOtherArchiversAreFlaggedAndRestore) {
    // AES with every key size, and the traditional encryption other archivers still offer.
    const std::string seven = sevenZip() + " a -tzip -pabc -mem=";
    for (const std::string& how :
         {seven + "AES128", seven + "AES192", seven + "AES256", std::string("zip -q -P abc")}) {
        SCOPED_TRACE(how);
        std::string set = env.path("enc.bks");
        unlink(set.c_str());
        ASSERT_EQ(shell("cd '" + env.path("src") + "' && " + how + " '" + set +
                        "' top.txt Data/deep.bin"),
                  0);
        for (const auto& line : summary(set))
            EXPECT_EQ(line.back(), '1') << line;
        std::string dest = env.makeDir("dest");
        Recorder::reset();
        extract(set, "top.txt|Data/deep.bin|", dest, false, "abd");
        ASSERT_EQ(Recorder::only(23).size(), 1u);
        EXPECT_EQ(Recorder::only(23)[0].field(3), "14");
        EXPECT_TRUE(filesBelow(dest).empty());
        Recorder::reset();
        ASSERT_EQ(extract(set, "top.txt|Data/deep.bin|", dest, false, "abc"), 0);
        EXPECT_EQ(TestEnv::readFile(dest + "/top.txt"), std::string(1234, 't'));
        EXPECT_EQ(TestEnv::readFile(dest + "/deep.bin"),
                  TestEnv::readFile(env.path("src/Data/deep.bin")));
        EXPECT_TRUE(Recorder::only(23).empty());
        shell("rm -rf '" + dest + "'");
    }
}

TEST_F(ZipListTest, ManyEntriesWithADirectoryLargerThanAVolume) {
    // The directory cannot fit a fresh volume: it spans, and the earlier volumes lying
    // beside the last one still let the set list and restore.
    std::string list;
    for (int i = 0; i < 150; ++i)
        list += env.writeFile("many/file-with-a-longish-name-" + std::to_string(i) + ".txt",
                              std::to_string(i)) +
                "|";
    std::string set = env.path("many.bks");
    ZipSettings s{list, set};
    s.span = true;
    s.cap = 4096;
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(listSet(set).size(), 150u);
    std::string dest = env.makeDir("dest");
    std::string include = env.path("many/file-with-a-longish-name-149.txt").substr(1) + "|";
    ASSERT_EQ(extract(set, include, dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/file-with-a-longish-name-149.txt"), "149");
}

} // namespace
