// Extraction: the include list, flat and with structure, the replace answers, and what is
// restored with each file.
#include "ZipTestKit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cw::test;

namespace {

class ZipExtractTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        a = env.writeFile("app/a.txt", "alpha");
        b = env.writeFile("app/Data/b.txt", randomBytes(200000, 3));
        c = env.writeFile("app/Data/c.txt", "");
        set = env.path("s.bks");
        ZipSettings s{a + "|" + b + "|" + c + "|" + env.path("app/Empty") + "/(EMPTY)|", set};
        s.emptyDirs = true;
        env.makeDir("app/Empty");
        ASSERT_EQ(runZip(s), 0);
        Recorder::reset();
        dest = env.makeDir("dest");
    }
    static std::string stored(const std::string& path) { return path.substr(1); }
    TestEnv env;
    std::string a, b, c, set, dest;
};

TEST_F(ZipExtractTest, WithStructureOnlyTheIncludedEntriesComeBack) {
    ASSERT_EQ(extract(set, stored(b) + "|" + stored(c) + "|", dest, true), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/" + stored(b)), TestEnv::readFile(b));
    EXPECT_EQ(TestEnv::readFile(dest + "/" + stored(c)), "");
    EXPECT_NE(access((dest + "/" + stored(a)).c_str(), F_OK), 0);
    auto files = Recorder::only(15);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].field(2), stored(b));
    EXPECT_EQ(files[0].field(3), "200000");
    EXPECT_EQ(Recorder::events.front().action, 10);
    EXPECT_TRUE(Recorder::only(23).empty());
    for (const auto& f : filesBelow(dest))
        EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
}

TEST_F(ZipExtractTest, FlatPutsFilesStraightIntoTheDestination) {
    ASSERT_EQ(extract(set, stored(a) + "|" + stored(b) + "|", dest, false), 0);
    EXPECT_EQ(filesBelow(dest), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(ZipExtractTest, DirectoryEntriesAreCreatedWithStructure) {
    std::string empty = stored(env.path("app/Empty"));
    ASSERT_EQ(extract(set, empty + "|", dest, true), 0);
    struct stat st {};
    ASSERT_EQ(stat((dest + "/" + empty).c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(ZipExtractTest, NothingMatchingGivesEvent22) {
    EXPECT_LT(extract(set, "not/in/the/set.txt|", dest, true), 0);
    EXPECT_EQ(Recorder::only(22).size(), 1u);
    EXPECT_TRUE(filesBelow(dest).empty());
    Recorder::reset();
    EXPECT_LT(extract(set, "", dest, true), 0);
    EXPECT_EQ(Recorder::only(22).size(), 1u);
}

TEST_F(ZipExtractTest, ANameTheSetDoesNotHoldIsReportedWhileTheOthersComeBack) {
    ASSERT_EQ(extract(set, stored(a) + "|app/gone.txt|" + stored(b) + "|", dest, true), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/" + stored(a)), "alpha");
    EXPECT_EQ(TestEnv::readFile(dest + "/" + stored(b)), TestEnv::readFile(b));
    auto warnings = Recorder::only(23);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].field(2), "app/gone.txt");
    EXPECT_EQ(warnings[0].field(3), "6");
}

TEST_F(ZipExtractTest, ModeAndTimeComeBackWithoutSetUid) {
    chmod(a.c_str(), 04751);
    struct timespec times[2] = {{1200000000, 0}, {1200000000, 0}};
    utimensat(AT_FDCWD, a.c_str(), times, 0);
    ASSERT_EQ(runZip({a + "|", set}), 0);
    ASSERT_EQ(extract(set, stored(a) + "|", dest, false), 0);
    struct stat st {};
    ASSERT_EQ(stat((dest + "/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
}

TEST_F(ZipExtractTest, FoldersTheRunCreatesTakeTheirStoredPermissions) {
    const std::string mine = env.writeFile("home/Private/key.txt", "secret");
    const std::string shared = env.writeFile("home/Shared/note.txt", "hello");
    const std::string privateDir = env.path("home/Private"), sharedDir = env.path("home/Shared");
    chmod(privateDir.c_str(), 0700);
    chmod(sharedDir.c_str(), 0750);
    const std::string set2 = env.path("s2.bks");
    ZipSettings s{mine + "|" + privateDir + "/(EMPTY)|" + shared + "|" + sharedDir + "/(EMPTY)|",
                  set2};
    s.emptyDirs = true;
    ASSERT_EQ(runZip(s), 0);
    // Shared already stands in the destination: a folder the user has keeps its mode.
    const std::string there = dest + "/" + stored(sharedDir);
    env.makeDir("dest/" + stored(sharedDir));
    chmod(there.c_str(), 0755);
    ASSERT_EQ(extract(set2, stored(mine) + "|" + stored(shared) + "|", dest, true), 0);
    struct stat st {};
    ASSERT_EQ(stat((dest + "/" + stored(privateDir)).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(stat(there.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    EXPECT_EQ(TestEnv::readFile(dest + "/" + stored(mine)), "secret");
}

TEST_F(ZipExtractTest, ReplaceAnswersAreObeyed) {
    const std::string list = stored(a) + "|" + stored(b) + "|";
    auto seed = [&] {
        env.writeFile("dest/a.txt", "old a");
        env.writeFile("dest/b.txt", "old b");
    };
    // 2 skips: the existing file stays.
    seed();
    Recorder::answers = {2, 2};
    ASSERT_EQ(extract(set, list, dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "old a");
    EXPECT_EQ(Recorder::only(24).size(), 2u);
    EXPECT_EQ(Recorder::only(24)[0].field(2), dest + "/a.txt");
    EXPECT_TRUE(Recorder::only(15).empty());
    // 0 replaces this one, and the next is asked about again.
    Recorder::reset();
    seed();
    Recorder::answers = {0, 2};
    ASSERT_EQ(extract(set, list, dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "alpha");
    EXPECT_EQ(TestEnv::readFile(dest + "/b.txt"), "old b");
    // 1 replaces every file without asking again.
    Recorder::reset();
    seed();
    Recorder::answers = {1};
    ASSERT_EQ(extract(set, list, dest, false), 0);
    EXPECT_EQ(Recorder::only(24).size(), 1u);
    EXPECT_EQ(TestEnv::readFile(dest + "/b.txt"), TestEnv::readFile(b));
    // 3 cancels: event 255 with code 12, nothing after it.
    Recorder::reset();
    seed();
    Recorder::answers = {3};
    EXPECT_LT(extract(set, list, dest, false), 0);
    ASSERT_EQ(Recorder::only(255).size(), 1u);
    EXPECT_EQ(Recorder::only(255)[0].field(3), "12");
    EXPECT_EQ(Recorder::events.back().action, 255);
    EXPECT_EQ(TestEnv::readFile(dest + "/a.txt"), "old a");
    EXPECT_EQ(TestEnv::readFile(dest + "/b.txt"), "old b");
}

TEST_F(ZipExtractTest, AFileThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
    env.makeDir("dest/a.txt"); // a directory stands where the file should go
    ASSERT_EQ(extract(set, stored(a) + "|" + stored(b) + "|", dest, false), 0);
    auto warnings = Recorder::only(23);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].field(3), "2");
    EXPECT_EQ(TestEnv::readFile(dest + "/b.txt"), TestEnv::readFile(b));
}

TEST_F(ZipExtractTest, ARestoreIntoTheRootPutsFilesBackWhereTheyWere) {
    std::string before = TestEnv::readFile(b);
    unlink(b.c_str());
    ASSERT_EQ(extract(set, stored(b) + "|", "/", true), 0);
    EXPECT_EQ(TestEnv::readFile(b), before);
}

TEST_F(ZipExtractTest, AListingLeavesTheLibraryReadyToExtractFlat) {
    EXPECT_EQ(listSet(set).size(), 4u);
    Recorder::reset();
    // extract() sets no structure when asked for none: the listing must not have left it on.
    ASSERT_EQ(extract(set, stored(b) + "|", dest, false), 0);
    EXPECT_EQ(filesBelow(dest), std::vector<std::string>{"b.txt"});
}

} // namespace
