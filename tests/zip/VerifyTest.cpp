// Every volume is read back from the disk before it takes its name: one byte changed on its
// way to the disk fails the run, and an older set of the same name stays.
#include "ZipTestKit.h"

#include "zip/common/Volumes.h"
#include "zip/include/cwevents.h"

#include <gtest/gtest.h>

using namespace cw::test;

namespace {

// Changes one byte, at g_flipAt of the volume numbered g_flipDisk (counted from 1), on its way
// to the disk.
int g_flipDisk = 0;
long long g_flipAt = 0;
int g_volume = 1;
long long g_lastOffset = -1;
void flipOneByte(unsigned char* data, size_t size, long long offset) {
    if (offset < g_lastOffset) // a new volume starts at 0
        ++g_volume;
    g_lastOffset = offset;
    if (g_volume == g_flipDisk && offset <= g_flipAt &&
        g_flipAt < offset + static_cast<long long>(size))
        data[g_flipAt - offset] ^= 0x20;
}

TEST(ZipVerify, AByteChangedOnItsWayToTheDiskFailsTheRunAndKeepsTheOlderSet) {
    struct Row {
        const char* what;
        bool span;
        int disk;     // the volume whose byte is changed; 0: the last (the .bks)
        long long at; // where in it; from its end when negative
    } rows[] = {{"one volume, in the first entry", false, 0, 40},
                {"one volume, in the directory at its end", false, 0, -30},
                {"second of a spanned set", true, 2, 5000},
                {"last disk of a spanned set", true, 0, 10}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestEnv env;
        Recorder::reset();
        std::string list;
        for (int i = 0; i < 4; ++i)
            list +=
                env.writeFile("app/f" + std::to_string(i) + ".bin", randomBytes(60000, 30 + i)) +
                "|";
        const std::string dir = env.makeDir("disk");
        const std::string set = dir + "/Weekly.bks";
        env.writeFile("disk/Weekly.bks", "older set");
        ZipSettings s{list, set};
        s.span = row.span;
        s.cap = row.span ? 100000 : 0;
        // Written once unchanged to learn the sizes: the byte to change is then placed.
        ASSERT_EQ(runZip(s), 0);
        const int disks = static_cast<int>(Recorder::only(CW_EVENT_DISK).size()) + 1;
        const std::string target = row.disk == 0 ? set : cw::zip::volumePath(set, row.disk);
        const long long size = static_cast<long long>(TestEnv::readFile(target).size());
        for (int n = 1; n < disks; ++n)
            std::remove(cw::zip::volumePath(set, n).c_str());
        env.writeFile("disk/Weekly.bks", "older set");
        Recorder::reset();

        g_flipDisk = row.disk == 0 ? disks : row.disk;
        g_flipAt = row.at >= 0 ? row.at : size + row.at;
        g_volume = 1;
        g_lastOffset = -1;
        s.writeHook = flipOneByte;
        EXPECT_LT(runZip(s), 0);
        const auto stopped = Recorder::only(CW_EVENT_FATAL);
        ASSERT_EQ(stopped.size(), 1u);
        EXPECT_EQ(stopped[0].field(3), std::to_string(CW_ZIP_ERROR_VERIFY));
        EXPECT_NE(stopped[0].field(6).find("differs from what was written"), std::string::npos);
        // The bad disk is found while it is still in the drive: no next disk is asked for.
        EXPECT_EQ(Recorder::only(CW_EVENT_DISK).size(), static_cast<size_t>(g_flipDisk - 1));
        EXPECT_EQ(filesBelow(dir), std::vector<std::string>{"Weekly.bks"});
        EXPECT_EQ(TestEnv::readFile(set), "older set");
    }
}

} // namespace
