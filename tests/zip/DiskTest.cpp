// Spanning onto a real small disk: the free space found by statvfs and the ENOSPC that
// ends a volume. The disk is a small tmpfs; "changing the disk" moves the full volume away
// from it. Skipped where mounting is refused.
#include "ZipTestKit.h"

#include "zip/common/Paths.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace cw::test;

namespace {

class ZipDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::reset();
        floppy = env.makeDir("floppy");
        shelf = env.makeDir("shelf");
        if (mount("tmpfs", floppy.c_str(), "tmpfs", 0, "size=256k") != 0)
            GTEST_SKIP() << "cannot mount a small disk here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted)
            umount(floppy.c_str());
    }
    TestEnv env;
    std::string floppy, shelf;
    bool mounted = false;
};

TEST_F(ZipDiskTest, EachDiskIsFilledAndTheNextAskedFor) {
    std::string list;
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) {
        files.push_back(env.writeFile("app/r" + std::to_string(i), randomBytes(150000, 20 + i)));
        list += files.back() + "|";
    }
    std::string set = floppy + "/Set.bks";
    Recorder::onEvent = [&](const Event& e) {
        if (e.action != 20)
            return;
        std::string vol = e.field(3);
        struct stat st {};
        ASSERT_EQ(stat(vol.c_str(), &st), 0);
        EXPECT_GT(st.st_size, 200 * 1024); // the disk was filled, not merely started
        ASSERT_EQ(std::system(("mv '" + vol + "' '" + shelf + "/'").c_str()), 0);
    };
    ZipSettings s{list, set};
    s.span = true;
    ASSERT_EQ(runZip(s), 0);
    EXPECT_GE(Recorder::only(20).size(), 2u);
    EXPECT_TRUE(Recorder::only(255).empty());
    ASSERT_EQ(std::system(("cp '" + set + "' '" + shelf + "/'").c_str()), 0);
    Recorder::reset();
    std::string dest = env.makeDir("dest");
    std::string include;
    for (const auto& f : files)
        include += f.substr(1) + "|";
    ASSERT_EQ(extract(shelf + "/Set.bks", include, dest, false), 0);
    for (const auto& f : files)
        EXPECT_EQ(TestEnv::readFile(dest + "/" + cw::zip::baseName(f)), TestEnv::readFile(f));
}

TEST_F(ZipDiskTest, ARestoreThatCannotFitStopsBeforeWritingAnything) {
    // Two files that fit alone but not together; the second would replace a file that is
    // already there, which frees nothing until its new content is complete.
    std::string a = env.writeFile("app/a", randomBytes(150000, 31));
    std::string b = env.writeFile("app/b", randomBytes(150000, 32));
    ZipSettings s{a + "|" + b + "|", shelf + "/Set.bks"};
    s.level = 0;
    ASSERT_EQ(runZip(s), 0);
    const std::string old = env.writeFile("floppy/b", "the older b");
    Recorder::reset();
    EXPECT_LT(extract(s.set, a.substr(1) + "|" + b.substr(1) + "|", floppy, false), 0);
    ASSERT_EQ(Recorder::only(255).size(), 1u);
    EXPECT_EQ(Recorder::only(255)[0].field(3), "5");
    EXPECT_TRUE(Recorder::only(15).empty());
    EXPECT_EQ(filesBelow(floppy), std::vector<std::string>{"b"});
    EXPECT_EQ(TestEnv::readFile(old), "the older b");
}

TEST_F(ZipDiskTest, AFullDiskWithoutSpanningLeavesNothing) {
    std::string f = env.writeFile("app/big", randomBytes(400000, 30));
    ZipSettings s{f + "|", floppy + "/Set.bks"};
    EXPECT_LT(runZip(s), 0);
    EXPECT_EQ(Recorder::only(255).size(), 1u);
    EXPECT_TRUE(filesBelow(floppy).empty());
}

} // namespace
