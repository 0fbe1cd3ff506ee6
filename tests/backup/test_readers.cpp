// The profile readers, marker entries, the include list and set identities: no windows.
#include "backup/IncludeList.h"
#include "backup/ProfileReaders.h"
#include "backup/SetFile.h"
#include "tests/backup/BackupFixture.h"

#include <filesystem>

namespace cwb::test {
namespace {

class ReadersTest : public BackupTest {};

TEST_F(ReadersTest, FirstLineAndBodyFollowTheirRules) {
    auto s = defaultProfile();
    setSection(s, "Support", {"555-0100", "second line"});
    removeSection(s, "Startup");
    writeProfile(s);
    const std::string path = profilePath(app);
    EXPECT_EQ(path, app + "/cwkcon32.dll");

    EXPECT_EQ(GetProfileFirstLine(app, "Description"), "Inventory Manager");
    // Section names are matched without regard to case: "LongFile" finds "Longfile".
    EXPECT_EQ(GetProfileFirstLine(app, "LongFile"), "true");
    EXPECT_EQ(GetProfileFirstLine(app, "Compression"), "");

    std::string body = "untouched";
    EXPECT_FALSE(GetProfileBody(path, "Startup", body));
    EXPECT_EQ(body, "untouched");
    ASSERT_TRUE(GetProfileBody(path, "Support", body));
    EXPECT_EQ(body, std::string("555-0100\0second line", 20));
}

TEST_F(ReadersTest, ListSectionsEndWithTheirBaseDirectory) {
    auto s = defaultProfile();
    setSection(s, "Application", {"Data", "Reports/Monthly"});
    setSection(s, "Windows", {".invmgr.ini"});
    writeProfile(s);
    const std::string path = profilePath(app);

    EXPECT_EQ(listSectionPaths(path, "Application", app),
              (std::vector<std::string>{app + "/Data", app + "/Reports/Monthly", app + "/"}));
    EXPECT_EQ(listSectionPaths(path, "Windows", app),
              (std::vector<std::string>{env.home() + "/.invmgr.ini", env.home() + "/"}));
    EXPECT_EQ(listSectionPaths(path, "System", app),
              (std::vector<std::string>{env.config() + "/"}));
    EXPECT_TRUE(listSectionPaths(path, "Encrypt", app).empty());
    // Started from the root: no doubled separator.
    EXPECT_EQ(profilePath("/"), "/cwkcon32.dll");
}

TEST(Markers, NameTheDirectory) {
    EXPECT_EQ(markerEntry("/app/Data"), "/app/Data/(EMPTY)");
    EXPECT_EQ(markerEntry("/app/"), "/app/(EMPTY)");
    EXPECT_EQ(markerEntry("/"), "/(EMPTY)");
}

TEST(Markers, EmptyDirValueThatIsNoNumberStillAsksForMarkers) {
    EXPECT_TRUE(emptyDirMarkersWanted("1"));
    EXPECT_TRUE(emptyDirMarkersWanted(" 1 "));
    EXPECT_FALSE(emptyDirMarkersWanted("0"));
    EXPECT_FALSE(emptyDirMarkersWanted("2"));
    EXPECT_TRUE(emptyDirMarkersWanted(""));
    EXPECT_TRUE(emptyDirMarkersWanted("yes"));
    EXPECT_TRUE(emptyDirMarkersWanted("1x"));
    EXPECT_TRUE(emptyDirMarkersWanted("99999999999999999999999"));
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
