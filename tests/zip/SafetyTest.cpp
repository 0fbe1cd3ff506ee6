// Hostile sets: names that try to leave the destination, links, lying sizes, and damaged
// or truncated data. Nothing may be written outside the destination, and no run may crash
// or hang.
#include "ZipTestKit.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        dest = env.makeDir("work/dest");
    }
    std::string writeSet(const std::vector<RawEntry>& entries) {
        return env.writeFile("work/hostile.bks", rawZip(entries));
    }
    // Everything under the test root except the destination and the set itself.
    std::vector<std::string> outside() {
        std::vector<std::string> out;
        for (const auto& f : filesBelow(env.root()))
            if (f.rfind("work/dest", 0) != 0 && f != "work/hostile.bks")
                out.push_back(f);
        return out;
    }
    TestEnv env;
    std::string dest;
};

TEST_F(ZipSafetyTest, NamesLeavingTheDestinationAreRefused) {
    const std::vector<std::string> names = {"../escape1.txt", "a/../../escape2.txt",
                                            "/tmp/cw-abs-escape.txt", "..\\escape3.txt",
                                            "C:/escape4.txt"};
    std::vector<RawEntry> entries;
    std::string list;
    for (const auto& n : names) {
        entries.push_back({.name = n, .data = "bad", .madeBy = 0x0014});
        list += n + "|";
    }
    entries.push_back({"fine.txt", "good"});
    std::string set = writeSet(entries);
    auto before = outside();
    extract(set, list + "fine.txt|", dest, true);
    EXPECT_EQ(outside(), before);
    EXPECT_NE(access("/tmp/cw-abs-escape.txt", F_OK), 0);
    auto warnings = Recorder::only(23);
    ASSERT_EQ(warnings.size(), names.size());
    for (const auto& w : warnings)
        EXPECT_EQ(w.field(3), "3") << w.message;
    EXPECT_EQ(TestEnv::readFile(dest + "/fine.txt"), "good");
}

TEST_F(ZipSafetyTest, BackslashNamesAreChosenAsTheListingShowsThem) {
    // From another system a backslash separates; on Unix it is part of the name.
    std::string set = writeSet({{.name = "Data\\Sub\\w.txt", .data = "windows", .madeBy = 0x0014},
                                {.name = "Data/back\\slash", .data = "unix"}});
    const auto listing = listSet(set);
    ASSERT_EQ(listing.size(), 2u);
    Event windows{0, listing[0]}, unix{0, listing[1]};
    EXPECT_EQ(windows.field(4), "Data/Sub");
    EXPECT_EQ(unix.field(5), "back\\slash");
    ASSERT_EQ(extract(set,
                      windows.field(4) + "/" + windows.field(5) + "|" + unix.field(4) + "/" +
                          unix.field(5) + "|",
                      dest, true),
              0);
    EXPECT_EQ(TestEnv::readFile(dest + "/Data/Sub/w.txt"), "windows");
    EXPECT_EQ(TestEnv::readFile(dest + "/Data/back\\slash"), "unix");
}

TEST_F(ZipSafetyTest, NamesWithoutTheUtf8FlagKeepTheirBytesFromUnixAndAreCp437Otherwise) {
    const std::string latin1 = "caf\xe9.txt"; // not UTF-8: a Unix file system's bytes
    std::string set =
        writeSet({{.name = latin1, .data = "unix", .utf8 = false},
                  {.name = "na\x8Fve.txt", .data = "dos", .madeBy = 0x0014, .utf8 = false}});
    const auto listing = listSet(set);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(Event({0, listing[0]}).field(5), latin1);
    EXPECT_EQ(Event({0, listing[1]}).field(5), "na\xC3\x85ve.txt"); // 0x8F is Å in code page 437
    ASSERT_EQ(extract(set, latin1 + "|na\xC3\x85ve.txt|", dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/" + latin1), "unix");
    EXPECT_EQ(TestEnv::readFile(dest + "/na\xC3\x85ve.txt"), "dos");
}

TEST_F(ZipSafetyTest, LinksAreNeverMadeNorFollowed) {
    std::string set = writeSet({{"link", "/etc", 0120777}, {"link/passwd.txt", "x"}});
    extract(set, "link|", dest, true);
    EXPECT_TRUE(filesBelow(dest).empty());
    ASSERT_EQ(Recorder::only(23).size(), 1u);
    EXPECT_EQ(Recorder::only(23)[0].field(3), "3");
    // A link already in the destination is not followed either.
    Recorder::reset();
    std::string out = env.makeDir("work/outside");
    ASSERT_EQ(symlink(out.c_str(), (dest + "/link").c_str()), 0);
    extract(set, "link/passwd.txt|", dest, true);
    EXPECT_TRUE(filesBelow(out).empty());
    ASSERT_EQ(Recorder::only(23).size(), 1u);
    EXPECT_EQ(Recorder::only(23)[0].field(3), "3");
}

TEST_F(ZipSafetyTest, DataLongerOrShorterThanDeclaredIsRefused) {
    std::string set = writeSet({{"long.txt", std::string(5000, 'L'), 0100644, 100, true},
                                {"short.txt", "tiny", 0100644, 90000, true},
                                {"ok.txt", "fine", 0100644, -1, true}});
    extract(set, "long.txt|short.txt|ok.txt|", dest, false);
    EXPECT_EQ(filesBelow(dest), std::vector<std::string>{"ok.txt"});
    EXPECT_EQ(Recorder::only(23).size(), 2u);
}

TEST_F(ZipSafetyTest, ADamagedFileFailsAloneAndLeavesNoHalfFile) {
    std::string data = randomBytes(50000, 4);
    std::string zip = rawZip({{"a.bin", data}, {"b.bin", "second"}});
    zip[30 + 5 + 1000] ^= 0x55; // inside a.bin's data: its CRC no longer matches
    std::string set = env.writeFile("work/hostile.bks", zip);
    env.writeFile("work/dest/a.bin", "previous");
    Recorder::answers = {0};
    extract(set, "a.bin|b.bin|", dest, false);
    ASSERT_EQ(Recorder::only(23).size(), 1u);
    EXPECT_EQ(Recorder::only(23)[0].field(3), "1");
    EXPECT_EQ(TestEnv::readFile(dest + "/a.bin"), "previous");
    EXPECT_EQ(TestEnv::readFile(dest + "/b.bin"), "second");
    EXPECT_EQ(filesBelow(dest), (std::vector<std::string>{"a.bin", "b.bin"}));
}

TEST_F(ZipSafetyTest, HugeZip64ValuesAreDamageNotArithmetic) {
    std::string base = rawZip({{"a.txt", "x"}});
    base.resize(base.size() - 22); // drop the plain end record
    auto le = [](uint64_t v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
        return out;
    };
    for (uint64_t huge : {~0ULL, 1ULL << 63, (1ULL << 63) - 1, 1ULL << 40}) {
        const uint64_t recordAt = base.size();
        std::string zip = base + le(0x06064b50, 4) + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) +
                          le(0, 4) + le(huge, 8) + le(huge, 8) + le(huge, 8) + le(huge, 8);
        zip += le(0x07064b50, 4) + le(0, 4) + le(recordAt, 8) + le(1, 4);
        zip += le(0x06054b50, 4) + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFF, 2) +
               le(0xFFFFFFFF, 4) + le(0xFFFFFFFF, 4) + le(0, 2);
        std::string set = env.writeFile("work/hostile.bks", zip);
        // The directory cannot be used; the entry before it is whole and is found by its
        // local header, and the listing says the set is damaged.
        const auto listing = listSet(set);
        ASSERT_EQ(listing.size(), 2u);
        EXPECT_EQ(Event({0, listing[1]}).field(2), "26");
        extract(set, "a.txt|", dest, false);
        EXPECT_EQ(filesBelow(dest), std::vector<std::string>{"a.txt"});
        EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "x");
        unlink((dest + "/a.txt").c_str());
    }
}

TEST_F(ZipSafetyTest, NotASetIsReportedAndListsNothing) {
    std::string set = env.writeFile("work/hostile.bks", "this is no archive at all");
    EXPECT_TRUE(listSet(set).empty());
    EXPECT_LT(extract(set, "x|", dest, false), 0);
    ASSERT_EQ(Recorder::only(255).size(), 1u);
    EXPECT_EQ(Recorder::only(255)[0].field(3), "1");
    Recorder::reset();
    EXPECT_LT(extract(env.path("work/none.bks"), "x|", dest, false), 0);
    EXPECT_EQ(Recorder::only(255).size(), 1u);
}

// Truncation at many offsets and flipped bytes throughout a real set: every run ends,
// nothing appears outside the destination and no temporary file stays behind.
TEST_F(ZipSafetyTest, TruncatedAndCorruptedSetsNeverEscapeOrCrash) {
    std::string src = env.writeFile("work/src/a.txt", std::string(3000, 'a'));
    std::string src2 = env.writeFile("work/src/sub/b.bin", randomBytes(20000, 5));
    std::string good = env.path("work/good.bks");
    ZipSettings s{src + "|" + src2 + "|", good};
    s.password = "pw";
    ASSERT_EQ(runZip(s), 0);
    ZipSettings plain{src + "|" + src2 + "|", env.path("work/plain.bks")};
    ASSERT_EQ(runZip(plain), 0);
    const std::string list = src.substr(1) + "|" + src2.substr(1) + "|";
    auto before = outside();
    for (const char* which : {"work/good.bks", "work/plain.bks"}) {
        const std::string bytes = TestEnv::readFile(env.path(which));
        for (size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 97) {
            std::string set = env.writeFile("work/hostile.bks", bytes.substr(0, cut));
            listSet(set);
            extract(set, list, dest, true, "pw");
        }
        // Sparse through the data, then every byte of the directory and end records.
        std::vector<size_t> spots;
        for (size_t at = 0; at < bytes.size(); at += 1 + bytes.size() / 151)
            spots.push_back(at);
        for (size_t at = bytes.size() > 400 ? bytes.size() - 400 : 0; at < bytes.size(); ++at)
            spots.push_back(at);
        for (size_t at : spots) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ (0x5A + at));
            std::string set = env.writeFile("work/hostile.bks", damaged);
            listSet(set);
            Recorder::answers = {1};
            extract(set, list, dest, true, "pw");
        }
    }
    EXPECT_EQ(outside(), before);
    for (const auto& f : filesBelow(dest))
        EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
}

} // namespace
