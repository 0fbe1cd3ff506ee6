// Encrypted sets: the password exactly as typed (empty included), the set-wide encrypted
// flag of the listing, and wrong or missing passwords.
#include "ZipTestKit.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipCryptTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        a = env.writeFile("app/a.txt", "secret text");
        e = env.writeFile("app/empty.txt", "");
        env.makeDir("app/Empty");
        dest = env.makeDir("dest");
    }
    std::string makeSet(const char* password) {
        std::string set = env.path("s.bks");
        ZipSettings s{env.path("app/Empty") + "/(EMPTY)|" + a + "|" + e + "|", set};
        s.emptyDirs = true;
        s.password = password;
        EXPECT_EQ(runZip(s), 0);
        Recorder::reset();
        return set;
    }
    TestEnv env;
    std::string a, e, dest;
};

TEST_F(ZipCryptTest, EveryEntryOfAnEncryptedSetListsAsEncrypted) {
    std::string set = makeSet("Pass Word");
    auto listing = listSet(set);
    ASSERT_EQ(listing.size(), 3u);
    for (const auto& m : listing)
        EXPECT_EQ(Event({0, m}).field(13), "1") << m;
    EXPECT_EQ(shell(sevenZip() + " t -p'Pass Word' '" + set + "'"), 0);
    EXPECT_NE(shell(sevenZip() + " t -p'pass word' '" + set + "'"), 0);
    set = makeSet(nullptr);
    for (const auto& m : listSet(set))
        EXPECT_EQ(Event({0, m}).field(13), "0") << m;
}

TEST_F(ZipCryptTest, TheRightPasswordRestoresAndCaseCounts) {
    std::string set = makeSet("Pass Word");
    std::string list = a.substr(1) + "|" + e.substr(1) + "|";
    ASSERT_EQ(extract(set, list, dest, false, "Pass Word"), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "secret text");
    EXPECT_EQ(TestEnv::readFile(dest + "/empty.txt"), "");
    EXPECT_TRUE(Recorder::only(23).empty());
}

TEST_F(ZipCryptTest, AWrongOrMissingPasswordStopsTheRunWithReason14) {
    std::string set = makeSet("Pass Word");
    std::string list = a.substr(1) + "|";
    for (const char* wrong : {"pass word", "", static_cast<const char*>(nullptr)}) {
        Recorder::reset();
        extract(set, list, dest, false, wrong);
        auto warnings = Recorder::only(23);
        ASSERT_EQ(warnings.size(), 1u) << (wrong ? wrong : "(none)");
        EXPECT_EQ(warnings[0].field(3), "14");
        EXPECT_EQ(Recorder::events.back().action, 23);
        EXPECT_TRUE(filesBelow(dest).empty());
    }
}

TEST_F(ZipCryptTest, AnEmptyPasswordIsAPassword) {
    std::string set = makeSet("");
    for (const auto& m : listSet(set))
        EXPECT_EQ(Event({0, m}).field(13), "1");
    ASSERT_EQ(extract(set, a.substr(1) + "|", dest, false, ""), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "secret text");
    Recorder::reset();
    unlink((dest + "/a.txt").c_str());
    extract(set, a.substr(1) + "|", dest, false, "x");
    ASSERT_EQ(Recorder::only(23).size(), 1u);
    EXPECT_EQ(Recorder::only(23)[0].field(3), "14");
}

} // namespace
