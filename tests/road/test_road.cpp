// The road from profile to restored files: one application folder with sub-directories,
// hidden files, an empty directory, odd modes and dates, and files in the Windows and System
// directories, built into a profile by cwkit, backed up by cwb and restored by cwr.
#include "tests/road/Road.h"
#include "tests/support/Tree.h"

#include <filesystem>

namespace road {
namespace {

namespace fs = std::filesystem;

TEST_F(RoadTest, PlainSetComesBackFlatWithItsStructureAndOverTheOriginal) {
    const std::string set = backup({.folder = env.makeDir("sets")});
    ASSERT_EQ(set, env.path("sets/Weekly.bks"));

    const std::string tree = env.makeDir("tree");
    EXPECT_EQ(restore({.set = set, .dest = tree}), "Restore Completed Succesfully.");
    expectTree(tree, true);

    const std::string flat = env.makeDir("flat");
    EXPECT_EQ(restore({.set = set, .dest = flat, .structure = false}),
              "Restore Completed Succesfully.");
    expectTree(flat, false);
    EXPECT_EQ(cw::test::filesBelow(flat).size(), files.size()) << "nothing but the files";

    // Over the original: the user brings back two lost files, and nothing else is asked.
    keepReference();
    const std::vector<std::string> lost = {appDir + "/readme.txt", appDir + "/Data/stock.db"};
    for (const std::string& f : lost)
        fs::remove(f);
    EXPECT_EQ(restore({.set = set, .dest = "/", .only = lost}), "Restore Completed Succesfully.");
    EXPECT_TRUE(replacePrompts.empty());
    for (const std::string& f : lost)
        cw::test::expectSameFile(reference(f), f);

    // Every file is there, so each one asks until Replace All.
    auto change = [this] {
        for (const std::string& f : planted)
            cw::test::writeFileAs(f, "changed", 0600, 1'000);
    };
    change();
    EXPECT_EQ(restore({.set = set,
                       .dest = "/",
                       .replaceAnswers = {"cmdReplace", "cmdSkip", "cmdReplaceAll"}}),
              "Restore Completed Succesfully.");
    ASSERT_EQ(replacePrompts.size(), 3u);
    EXPECT_EQ(replacePrompts[1].toStdString(),
              "Warning, " + planted[1] +
                  " already exists in the Directory specified.\nDo you want to Replace, Replace "
                  "All, Skip or Cancel Restore");
    expectTree("/", true, {planted[1]});
    EXPECT_EQ(cw::test::TestEnv::readFile(planted[1]), "changed");

    change();
    const auto stopped = [](cw::test::ScriptedDesktop& d) {
        d.expectBox("Error process is stopped !", cw::Icon::None, cw::Buttons::OK,
                    "Caskwell Restore", cw::Answer::OK, true);
    };
    EXPECT_EQ(restore({.set = set,
                       .dest = "/",
                       .replaceAnswers = {"cmdSkip", "cmdReplace", "cmdCancelRestore"},
                       .expect = stopped}),
              "Restore Completed with errors.  Some files were not restored.");
    EXPECT_EQ(replacePrompts.size(), 3u);
    cw::test::expectSameFile(reference(planted[1]), planted[1]);
    for (std::size_t i = 0; i < planted.size(); ++i)
        EXPECT_EQ(cw::test::TestEnv::readFile(planted[i]) == "changed", i != 1) << planted[i];
}

TEST_F(RoadTest, ASetKeptInTheApplicationFolderIsNeverRestoredOverItself) {
    // The second run backs up the first one's set along with the rest of the folder.
    backup({.folder = appDir});
    const std::string set = backup({.folder = appDir, .replace = true});
    ASSERT_EQ(set, appDir + "/Weekly.bks");
    const std::string newest = cw::test::TestEnv::readFile(set);
    keepReference();
    for (const std::string& f : planted)
        cw::test::writeFileAs(f, "changed", 0600, 1'000);

    const auto refused = [&](cw::test::ScriptedDesktop& d) {
        d.expectBox(QString::fromStdString("Warning during process on file  " + set),
                    cw::Icon::None, cw::Buttons::OK, "Caskwell Restore", cw::Answer::OK, true);
    };
    EXPECT_EQ(
        restore({.set = set, .dest = "/", .replaceAnswers = {"cmdReplaceAll"}, .expect = refused}),
        "Restore Completed with errors.  Some files were not restored.");
    EXPECT_EQ(cw::test::TestEnv::readFile(set), newest);
    expectTree("/", true);
}

TEST_F(RoadTest, EncryptedSetsAtEveryLevelComeBackWithTheirPassword) {
    const std::string sets = env.makeDir("sets");
    const QString password = QStringLiteral("Se cret 1");
    std::vector<std::uintmax_t> sizes;
    for (int level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        // Each run replaces the set of the one before.
        const std::string set =
            backup({.folder = sets, .password = password, .level = level, .replace = level > 0});
        ASSERT_EQ(cw::test::filesBelow(sets), std::vector<std::string>{"Weekly.bks"});
        sizes.push_back(fs::file_size(set));
        // At level None only the encryption hides the contents.
        EXPECT_EQ(cw::test::TestEnv::readFile(set).find("exec ./prog"), std::string::npos);
        const std::string dest = env.makeDir("level" + std::to_string(level));
        EXPECT_EQ(restore({.set = set, .dest = dest, .password = password}),
                  "Restore Completed Succesfully.");
        expectTree(dest, true);
    }
    // None, Minimum, Normal, Maximum.
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GT(sizes[1], sizes[3]);
}

} // namespace
} // namespace road
