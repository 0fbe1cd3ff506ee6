// Sets that need ZIP64: an entry over 4 GiB (a sparse file) and more than 65,535 entries.
// They take a while, so they run in the normal suite only, not under the sanitizers.
#include "ZipTestKit.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace cw::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "too slow under the sanitizers"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

class ZipLargeSetTest : public ::testing::Test {
protected:
    void SetUp() override { Recorder::reset(); }
    TestEnv env;
};

TEST_F(ZipLargeSetTest, AnEntryOver4GiB) {
    SKIP_UNDER_SANITIZERS();
    std::string big = env.path("sparse.bin");
    int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const off_t size = (4LL << 30) + 1234567;
    ASSERT_EQ(pwrite(fd, "start", 5, 0), 5);
    ASSERT_EQ(pwrite(fd, "end", 3, size - 3), 3);
    close(fd);
    std::string small = env.writeFile("after.txt", "after the large one");
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({big + "|" + small + "|", set, 0, 2}), 0);
    auto listing = listSet(set);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(Event({0, listing[0]}).field(6), std::to_string(size));
    EXPECT_EQ(shell(sevenZip() + " t '" + set + "'"), 0);
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    // The entry after it lies beyond 4 GiB: its offset comes from the ZIP64 field.
    std::string dest = env.makeDir("dest");
    ASSERT_EQ(extract(set, "after.txt|", dest, false), 0);
    EXPECT_EQ(TestEnv::readFile(dest + "/after.txt"), "after the large one");
}

TEST_F(ZipLargeSetTest, MoreThan65535Entries) {
    SKIP_UNDER_SANITIZERS();
    std::string list;
    const int count = 65600;
    for (int i = 0; i < count; ++i)
        list += env.writeFile("many/d" + std::to_string(i / 1000) + "/f" + std::to_string(i),
                              i % 3 ? std::to_string(i) : "") +
                "|";
    std::string set = env.path("s.bks");
    ASSERT_EQ(runZip({list, set}), 0);
    EXPECT_EQ(listSet(set).size(), static_cast<size_t>(count));
    EXPECT_EQ(shell(sevenZip() + " t '" + set + "'"), 0);
    EXPECT_EQ(shell("unzip -tq '" + set + "'"), 0);
    EXPECT_EQ(shell("python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                    "sys.exit(z.testzip() is not None or len(z.infolist()) != " +
                    std::to_string(count) + ")' '" + set + "'"),
              0);
}

} // namespace
