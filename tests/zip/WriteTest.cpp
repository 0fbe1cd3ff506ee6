// Writing sets: what is stored and under which names, the events, and that other archivers
// accept the result.
#include "ZipTestKit.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipWriteTest : public ::testing::Test {
protected:
    void SetUp() override { Recorder::reset(); }
    std::vector<std::string> storedNames(const std::string& set) {
        std::vector<std::string> out;
        for (const auto& m : listSet(set)) {
            Event e{0, m};
            out.push_back(e.field(3));
        }
        return out;
    }
    TestEnv env;
};

std::string strip(const std::string& path) {
    return path.substr(1);
}

TEST_F(ZipWriteTest, FullPathsWithoutLeadingSlashPassOtherArchivers) {
    std::string a = env.writeFile("app/a.txt", std::string(5000, 'a'));
    std::string b = env.writeFile("app/Data/b.bin", randomBytes(70000, 1));
    std::string set = env.path("out/Daily.bks");
    env.makeDir("out");
    ZipSettings s{a + "|" + b + "|", set};
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(storedNames(set), (std::vector<std::string>{strip(a), strip(b)}));
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    EXPECT_EQ(shell(sevenZip() + " t '" + set + "'"), 0);
    // Nothing but the set beside it: the temporary name is gone.
    EXPECT_EQ(filesBelow(env.path("out")), std::vector<std::string>{"Daily.bks"});
}

TEST_F(ZipWriteTest, NamesOnlyStoresEachNameOnceAndReportsTheDuplicate) {
    std::string a = env.writeFile("one/same.txt", "first");
    std::string b = env.writeFile("two/same.txt", "second");
    std::string set = env.path("s.bks");
    ZipSettings s{a + "|" + b + "|", set, 0};
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(storedNames(set), std::vector<std::string>{"same.txt"});
    auto dup = Recorder::only(24);
    ASSERT_EQ(dup.size(), 1u);
    EXPECT_EQ(dup[0].field(2), b);
    EXPECT_EQ(Recorder::only(13).size(), 1u);
    // A file that cannot be read takes no name from a later one.
    Recorder::reset();
    ASSERT_EQ(runZip({env.path("gone/same.txt") + "|" + b + "|", set, 0}), 0);
    EXPECT_TRUE(Recorder::only(24).empty());
    EXPECT_EQ(Recorder::only(13).size(), 1u);
}

TEST_F(ZipWriteTest, EventsFollowTheRunAndAnUnreadableFileDoesNotStopIt) {
    std::string a = env.writeFile("a.txt", std::string(10, 'x'));
    std::string empty = env.writeFile("empty.txt", "");
    std::string missing = env.path("missing.txt");
    std::string dir = env.makeDir("adir");
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({missing + "|" + a + "|" + dir + "|" + empty + "|", set}), 0);
    ASSERT_FALSE(Recorder::events.empty());
    EXPECT_EQ(Recorder::events.front().action, 10);
    auto errors = Recorder::only(22);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].field(2), missing);
    EXPECT_EQ(errors[1].field(2), dir);
    auto progress = Recorder::only(12);
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress[0].field(2), a);
    EXPECT_EQ(progress[0].field(5), "0");
    EXPECT_EQ(progress[1].field(5), "100");
    EXPECT_EQ(Recorder::only(13).size(), 2u);
    EXPECT_TRUE(Recorder::only(255).empty());
    EXPECT_EQ(storedNames(set).size(), 2u);
}

TEST_F(ZipWriteTest, LevelsChooseStoreOrDeflate) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + std::to_string(i % 97) + " of some source-like text\n";
    std::string f = env.writeFile("t.txt", text);
    auto methodAndSize = [&](int level) {
        std::string set = env.path("l" + std::to_string(level) + ".bks");
        EXPECT_EQ(runZip({f + "|", set, 2, level}), 0);
        Event e{0, listSet(set).at(0)};
        return std::make_pair(e.field(8), std::stoll(e.field(7)));
    };
    auto none = methodAndSize(0), minimum = methodAndSize(2), normal = methodAndSize(1),
         maximum = methodAndSize(3), unset = methodAndSize(-1);
    EXPECT_EQ(none.first, "0");
    EXPECT_EQ(none.second, static_cast<long long>(text.size()));
    EXPECT_EQ(minimum.first, "8");
    EXPECT_LT(normal.second, minimum.second);
    EXPECT_LE(maximum.second, normal.second);
    EXPECT_EQ(unset, normal);
}

TEST_F(ZipWriteTest, ShortNamesWhenLongNamesAreOff) {
    std::string a = env.writeFile("Long Directory/Long File Name.text", "1");
    std::string b = env.writeFile("Long Directory/Long File Nomad.text", "2");
    std::string c = env.writeFile("Long Directory/.hidden.cfg", "3");
    std::string set = env.path("s.bks");
    ZipSettings s{a + "|" + b + "|" + c + "|", set, 0};
    s.longNames = false;
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(storedNames(set),
              (std::vector<std::string>{"LONGFI~1.TEX", "LONGFI~2.TEX", "HIDDEN.CFG"}));
    s.structure = 2;
    ASSERT_EQ(runZip(s), 0);
    for (const auto& n : storedNames(set)) {
        EXPECT_EQ(n.find("LONGDI~1/"), n.rfind('/') - 8) << n;
        EXPECT_EQ(n.find_first_of("abcdefghijklmnopqrstuvwxyz "), std::string::npos) << n;
    }
}

TEST_F(ZipWriteTest, MarkersBecomeDirectoryEntriesOnlyWhenAsked) {
    std::string emptyDir = env.makeDir("app/Empty");
    std::string f = env.writeFile("app/f.txt", "f");
    std::string list = emptyDir + "/(EMPTY)|" + env.path("app/Gone") + "/(EMPTY)|" + f + "|";
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({list, set}), 0);
    EXPECT_EQ(storedNames(set), std::vector<std::string>{strip(f)});
    EXPECT_TRUE(Recorder::only(22).empty()); // a marker names no file
    ZipSettings s{list, set};
    s.emptyDirs = true;
    ASSERT_EQ(runZip(s), 0);
    auto listing = listSet(set);
    ASSERT_EQ(listing.size(), 2u);
    Event dir{0, listing[0]};
    EXPECT_EQ(dir.field(3), strip(emptyDir) + "/");
    EXPECT_EQ(dir.field(4), strip(emptyDir));
    EXPECT_EQ(dir.field(5), "");
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
}

TEST_F(ZipWriteTest, HiddenFilesNamedInTheListAreStoredAnyway) {
    std::string h = env.writeFile(".config/app.rc", "x");
    std::string set = env.path("s.bks");
    ZipSettings s{h + "|", set};
    s.hidden = false;
    ASSERT_EQ(runZip(s), 0);
    EXPECT_EQ(storedNames(set), std::vector<std::string>{strip(h)});
}

TEST_F(ZipWriteTest, Utf8NamesCarryTheirFlag) {
    std::string f = env.writeFile("Größe €.txt", "u");
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({f + "|", set, 0}), 0);
    EXPECT_EQ(storedNames(set), std::vector<std::string>{"Größe €.txt"});
    std::string out = env.makeDir("x");
    EXPECT_EQ(shell("cd '" + out + "' && " + sevenZip() + " x '" + set + "'"), 0);
    EXPECT_EQ(TestEnv::readFile(out + "/Größe €.txt"), "u");
}

TEST_F(ZipWriteTest, NamesAreStoredAsTheirBytesWithTheFlagOnlyWhenUtf8) {
    // A decomposed name stays decomposed; a Latin-1 name goes without the UTF-8 flag.
    std::string decomposed = env.writeFile("e\xcc\x81.txt", "d");
    std::string latin1 = env.writeFile("caf\xe9.txt", "l");
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({decomposed + "|" + latin1 + "|", set, 0}), 0);
    EXPECT_TRUE(Recorder::only(22).empty());
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    EXPECT_EQ(shell(sevenZip() + " t '" + set + "'"), 0);
    const std::string py = env.writeFile(
        "names.py",
        "import sys, zipfile\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    utf8 = bool(i.flag_bits & 0x800)\n"
        "    print(int(utf8), i.filename.encode('utf-8' if utf8 else 'cp437').hex())\n");
    EXPECT_EQ(shell("test \"$(python3 '" + py + "' '" + set +
                    "')\" = \"$(printf '1 65cc812e747874\\n0 636166e92e747874')\""),
              0);
    // Our own reader gives both back under the same bytes.
    const std::string out = env.makeDir("back");
    ASSERT_EQ(extract(set, "e\xcc\x81.txt|caf\xe9.txt|", out, false), 0);
    EXPECT_TRUE(Recorder::only(23).empty());
    EXPECT_EQ(TestEnv::readFile(out + "/e\xcc\x81.txt"), "d");
    EXPECT_EQ(TestEnv::readFile(out + "/caf\xe9.txt"), "l");
}

TEST_F(ZipWriteTest, AFailedRunLeavesTheOlderSetAndNoPartialOne) {
    std::string f = env.writeFile("big.bin", randomBytes(300000, 2));
    std::string dir = env.makeDir("out");
    std::string set = dir + "/s.bks";
    env.writeFile("out/s.bks", "older set");
    ZipSettings s{f + "|", set};
    s.cap = 100000; // the disk is full before the set is
    EXPECT_LT(runZip(s), 0);
    auto stopped = Recorder::only(255);
    ASSERT_EQ(stopped.size(), 1u);
    EXPECT_EQ(TestEnv::readFile(set), "older set");
    EXPECT_EQ(filesBelow(dir), std::vector<std::string>{"s.bks"});
    // A folder that does not exist stops the run at once.
    Recorder::reset();
    EXPECT_LT(runZip({f + "|", env.path("nowhere/s.bks")}), 0);
    EXPECT_EQ(Recorder::only(255).size(), 1u);
}

// Changes the files of the next test while a worker has them open, before it reads them.
std::string g_grows, g_shrinks, g_vanishes;
void changeWhileOpen(const char* path) {
    if (path == g_grows)
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(3000, 'G');
    else if (path == g_shrinks)
        truncate(path, 10);
    else if (path == g_vanishes)
        unlink(path);
}

TEST_F(ZipWriteTest, AFileChangingWhileStoredGivesAConsistentEntryAndAWarning) {
    g_grows = env.writeFile("grows.txt", std::string(1000, 'g'));
    g_shrinks = env.writeFile("shrinks.txt", std::string(1000, 's'));
    g_vanishes = env.writeFile("vanishes.txt", std::string(1000, 'v'));
    std::string set = env.path("s.bks");
    ZipSettings s{g_grows + "|" + g_shrinks + "|" + g_vanishes + "|", set, 0};
    s.readHook = changeWhileOpen;
    ASSERT_EQ(runZip(s), 0);
    auto warnings = Recorder::only(23);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].field(2), g_grows);
    EXPECT_EQ(warnings[1].field(2), g_shrinks);
    EXPECT_EQ(Recorder::only(13).size(), 3u); // an open file that vanishes is still read
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    std::string dest = env.makeDir("dest");
    ASSERT_EQ(extract(set, "grows.txt|shrinks.txt|vanishes.txt|", dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/grows.txt"), std::string(1000, 'G'));
    EXPECT_EQ(TestEnv::readFile(dest + "/shrinks.txt"),
              std::string(10, 's') + std::string(990, '\0'));
    EXPECT_EQ(TestEnv::readFile(dest + "/vanishes.txt"), std::string(1000, 'v'));
}

TEST_F(ZipWriteTest, ModeAndTimeAreStored) {
    std::string f = env.writeFile("run.sh", "#!/bin/sh\n");
    chmod(f.c_str(), 0750);
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, f.c_str(), times, 0);
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({f + "|", set, 0}), 0);
    Event e{0, listSet(set).at(0)};
    EXPECT_EQ(e.field(11), "750");
    EXPECT_EQ(e.field(6), "10");
}

} // namespace
