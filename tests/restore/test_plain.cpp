// The window-free pieces: listing lines, the restore plan and the re-creation of empty
// directories.
#include "common/platform/Files.h"
#include "restore/EmptyDirectories.h"
#include "restore/Listing.h"
#include "restore/RestorePlan.h"
#include "tests/support/TestEnv.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace cwr;
namespace fs = std::filesystem;

namespace {

TEST(RestoreListingLines, EntriesDirectoriesAndOtherCodes) {
    auto e = parseListingMessage("a| 21|b|Data\\x|n.txt|12|||||||1");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->listLine, "Data\\x/n.txt\t");
    EXPECT_EQ(e->sizeLine, "12\t");
    EXPECT_FALSE(parseListingMessage(""));
    EXPECT_FALSE(parseListingMessage("a|20|b|Data|n|1"));
    EXPECT_FALSE(parseListingMessage("a|65557|b|Data|n|1")); // 21 + 65536 is not 21
    EXPECT_FALSE(parseListingMessage("a|x21|b|Data|n|1"));
    auto d = parseListingMessage("a|21|b|Data/Empty||0");
    ASSERT_TRUE(d);
    EXPECT_TRUE(isDirectoryLine(d->listLine));
    EXPECT_FALSE(isDirectoryLine("Data/a\t"));
    EXPECT_FALSE(isDirectoryLine("Data/"));
    EXPECT_EQ(storedPath("Data/a b.txt\t"), "Data/a b.txt");
    EXPECT_EQ(storedPath("Data/a\tb.txt\t"), "Data/a\tb.txt");
    EXPECT_EQ(includeList({"Data/a.txt", "b.txt"}), "Data/a.txt|b.txt|");
    EXPECT_EQ(encryptedFlagOf("1|21|3|4|5|6|7|8|9|10|11|12|1"), "1");
    EXPECT_TRUE(flagIsOn("1"));
    EXPECT_FALSE(flagIsOn(""));
    EXPECT_FALSE(flagIsOn("yes"));
    EXPECT_EQ(sizeOfLine("-4\t"), 0);
    EXPECT_EQ(selectionSummary(0, 0), "");
    EXPECT_EQ(selectionSummary(3, 6),
              "3 item(s) selected.  Total Uncompressed File size:  6 bytes");
}

TEST(RestorePlan, ListingSelectionAndWhatGoesToTheLibrary) {
    RestorePlan plan;
    plan.lastMessage = "left from another set";
    plan.clearListing();
    for (const char* m :
         {"1|21|a|Data|a.txt|1200|||||644|F|1", "2|21|b|Data/Empty||0|||||0|D|1",
          "not a listing message", "3|21|c||b\tc|x|||||644|F|1", "4|21|d|Logs||0|||||0|D|1"}) {
        const bool entry = std::string(m).find("|21|") != std::string::npos;
        EXPECT_EQ(plan.addListingMessage(m) != nullptr, entry) << m;
    }
    // The flag comes from the last message, whatever it reported.
    EXPECT_EQ(plan.encryptedFlag(), "1");
    EXPECT_EQ(plan.separateDirectories(), 2);
    ASSERT_EQ(plan.files.size(), 2u);
    EXPECT_EQ(plan.directoryLines(), (std::vector<std::string>{"Data/Empty/\t", "Logs/\t"}));

    plan.setSelection({false, true, true}); // a flag past the entries is dropped
    EXPECT_EQ(plan.selectedCount(), 1);
    EXPECT_EQ(plan.selectedBytes(), 0) << "a size that is no number counts as 0";
    EXPECT_EQ(plan.selectedPaths(), (std::vector<std::string>{"b\tc"}));
    plan.setSelection({true});
    EXPECT_EQ(plan.selectedBytes(), 1200);
    EXPECT_EQ(includeList(plan.selectedPaths()), "Data/a.txt|");
}

class RestoreEmptyDirs : public ::testing::Test {
protected:
    cw::test::TestEnv env;
    std::string dest = env.makeDir("dest");
};

TEST_F(RestoreEmptyDirs, CreatesUnderTheDestinationWithMissingParents) {
    EXPECT_EQ(recreateEmptyDirectories({"Data/Empty/\t", "a/b/c/\t", "not a directory\t"}, dest),
              0);
    EXPECT_TRUE(fs::is_directory(dest + "/Data/Empty"));
    EXPECT_TRUE(fs::is_directory(dest + "/a/b/c"));
    EXPECT_EQ(recreateEmptyDirectories({"Data/Empty/\t"}, dest + "/"), 0); // already there
}

TEST_F(RestoreEmptyDirs, GoesOnAfterAFailure) {
    env.writeFile("dest/file", "x");
    EXPECT_EQ(recreateEmptyDirectories({"file/sub/\t", "Later/\t"}, dest), 1);
    EXPECT_TRUE(fs::is_directory(dest + "/Later"));
}

TEST_F(RestoreEmptyDirs, NeverLeavesTheDestination) {
    const std::string outside = env.makeDir("outside");
    fs::create_directory_symlink(outside, dest + "/link");
    EXPECT_EQ(recreateEmptyDirectories({"../escaped/\t", "a/../../escaped2/\t",
                                        env.root() + "/abs/\t", "link/inside/\t"},
                                       dest),
              4);
    EXPECT_FALSE(fs::exists(env.root() + "/escaped"));
    EXPECT_FALSE(fs::exists(env.root() + "/escaped2"));
    EXPECT_FALSE(fs::exists(env.root() + "/abs"));
    EXPECT_FALSE(fs::exists(outside + "/inside"));
}

} // namespace
