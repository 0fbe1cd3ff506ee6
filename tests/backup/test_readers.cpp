// The plan's reading of the profile, marker entries, the include list and set identities:
// no windows.
#include "backup/BackupIncludeList.h"
#include "backup/BackupPlan.h"
#include "backup/SetFile.h"
#include "tests/backup/BackupFixture.h"

#include <filesystem>

namespace cwb::test {
namespace {

class ReadersTest : public BackupTest {};

TEST_F(ReadersTest, TheProfileReadsAsStartUpNeedsIt) {
    auto s = defaultProfile();
    setSection(s, "Support", {"555-0100", "second line"});
    removeSection(s, "Startup");
    writeProfile(s);
    EXPECT_EQ(BackupPlan::profilePath(app), app + "/cwkcon32.dll");

    BackupPlan plan;
    plan.readProfile(app);
    EXPECT_EQ(plan.profile.description, "Inventory Manager");
    EXPECT_TRUE(plan.longNames());
    EXPECT_FALSE(plan.profile.compression);
    // A missing "Startup" is a failed test: the prompt is shown.
    EXPECT_FALSE(plan.profile.startupPrompt);
    EXPECT_TRUE(plan.asksToCloseTheApplication());
    EXPECT_EQ(plan.profile.support, "555-0100");
}

TEST_F(ReadersTest, ListSectionsEndWithTheirBaseDirectory) {
    auto s = defaultProfile();
    setSection(s, "Application", {"Data", "Reports/Monthly"});
    setSection(s, "Windows", {".invmgr.ini"});
    writeProfile(s);
    BackupPlan plan;
    plan.readProfile(app);

    EXPECT_EQ(plan.directoriesToScan(app),
              (std::vector<std::string>{app + "/Data", app + "/Reports/Monthly", app + "/"}));
    EXPECT_EQ(plan.namedFiles(), (std::vector<std::string>{env.home() + "/.invmgr.ini",
                                                           env.home() + "/", env.config() + "/"}));
    // Started from the root: no doubled separator.
    EXPECT_EQ(BackupPlan::profilePath("/"), "/cwkcon32.dll");
}

TEST(Markers, NameTheDirectory) {
    EXPECT_EQ(markerEntry("/app/Data"), "/app/Data/(EMPTY)");
    EXPECT_EQ(markerEntry("/app/"), "/app/(EMPTY)");
    EXPECT_EQ(markerEntry("/"), "/(EMPTY)");
}

TEST(Markers, EmptyDirValueThatIsNoNumberStillAsksForMarkers) {
    auto markers = [](const std::string& value) {
        BackupPlan plan;
        plan.profile.emptyDirectories = cw::profile::emptyDirectoriesOf(value);
        return plan.wantsMarkers();
    };
    EXPECT_TRUE(markers("1"));
    EXPECT_TRUE(markers(" 1 "));
    EXPECT_FALSE(markers("0"));
    EXPECT_FALSE(markers("2"));
    EXPECT_TRUE(markers(""));
    EXPECT_TRUE(markers("yes"));
    EXPECT_TRUE(markers("1x"));
    EXPECT_TRUE(markers("99999999999999999999999"));
}

TEST_F(ReadersTest, EveryEditCountsTheRealFilesAndMeasuresFolderFiles) {
    const std::string a = env.writeFile("pick/a", "12345");
    const std::string named = env.writeFile("home.ini", "123");
    BackupPlan plan;
    plan.addNamed(named); // a Windows or System file: counted, not measured
    plan.addMarker(app);
    plan.addScanned(app + "/x", 10);
    plan.finishStartup();
    EXPECT_EQ(plan.shownCount, 2);
    EXPECT_EQ(plan.totalSize, 10);

    plan.add(a);
    plan.add(a); // Add All adds duplicates, and counts them
    EXPECT_EQ(plan.shownCount, 4);
    EXPECT_EQ(plan.totalSize, 20);
    plan.removeAt(1); // the marker: the count stays
    EXPECT_EQ(plan.shownCount, 4);
    EXPECT_EQ(plan.markerCount, 0);
    plan.removeAt(0);
    EXPECT_EQ(plan.shownCount, 3);
    EXPECT_TRUE(plan.hasFiles());
    plan.removeAll();
    EXPECT_EQ(plan.shownCount, 0);
    EXPECT_EQ(plan.totalSize, 0);
    plan.addMarker(app);
    EXPECT_FALSE(plan.hasFiles()) << "markers alone back nothing up";
}

TEST(Include, EveryEntryEndsWithABarAndBarsNeverSplitANAme) {
    EXPECT_EQ(makeIncludeList({"A", "B"}).list, "A|B|");
    EXPECT_EQ(makeIncludeList({}).list, "");
    const auto r = makeIncludeList({"/a/x", "/a/odd|name", "/a/y"});
    EXPECT_EQ(r.list, "/a/x|/a/y|");
    EXPECT_EQ(r.leftOut, (std::vector<std::string>{"/a/odd|name"}));
}

TEST_F(ReadersTest, SetIdentityTellsANewSetFromTheOldOne) {
    const std::string set = env.writeFile("dest/Daily.bks", "old");
    const auto before = SetIdentity::of(set);
    ASSERT_TRUE(before.exists);
    EXPECT_FALSE(SetIdentity::of(set).isNewerThan(before));
    // A set written under a temporary name and renamed is another file.
    const std::string tmp = env.writeFile("dest/Daily.tmp", "new");
    std::filesystem::rename(tmp, set);
    const auto after = SetIdentity::of(set);
    EXPECT_TRUE(after.isNewerThan(before));
    EXPECT_FALSE(after.sameFileAs(before));
    EXPECT_TRUE(after.sameFileAs(SetIdentity::of(set)));
    EXPECT_FALSE(SetIdentity::of(env.path("dest/none.bks")).isNewerThan(before));
    EXPECT_FALSE(SetIdentity::of(env.path("dest")).exists);
}

} // namespace
} // namespace cwb::test
