// Start-up from the profile beside the program, and editing the file list.
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/platform/Files.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FileFaults.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

namespace cwb::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;
const QString kTitle = QStringLiteral("Caskwell");

class StartupTest : public BackupTest {
protected:
    frmStartBackup& start() { return *prog->startWindow; }
    std::vector<std::string> fileList() { return listItems(start().lstFileList); }
};

TEST_F(StartupTest, NoProfileEndsTheProgram) {
    desktop.expectBox(QStringLiteral("This program cannot find the necessary files to function.  "
                                     "Please contact your vendor."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    EXPECT_FALSE(BackupTest::start());
    EXPECT_TRUE(prog->ended);
    EXPECT_FALSE(prog->optionsWindow);
}

TEST_F(StartupTest, ProfileThatIsADirectoryOrHiddenIsNoProfile) {
    env.makeDir("app/cwkcon32.dll");
    desktop.expectBox(QStringLiteral("This program cannot find the necessary files to function.  "
                                     "Please contact your vendor."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    EXPECT_FALSE(BackupTest::start());
}

TEST_F(StartupTest, UnchangedProfileBacksUpTheApplicationFolder) {
    writeProfile(defaultProfile());
    env.writeFile("app/b.dat", "12345");
    env.writeFile("app/a.txt", "abc");
    env.writeFile("app/.hidden", "secret");
    env.makeDir("app/sub");
    env.writeFile("app/sub/deep.txt", "not listed: no descent");
    ASSERT_TRUE(BackupTest::start());

    EXPECT_EQ(listItems(start().lstIni), (std::vector<std::string>{app + "/"}));
    EXPECT_EQ(fileList(),
              (std::vector<std::string>{app + "/a.txt", app + "/b.dat", app + "/cwkcon32.dll"}));
    const auto profileSize = std::filesystem::file_size(app + "/cwkcon32.dll");
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("3"));
    EXPECT_EQ(start().lblSize->text(), QString::number(8 + profileSize));
    EXPECT_EQ(prog->appDescription, QStringLiteral("Inventory Manager"));
    EXPECT_EQ(prog->supportText, QStringLiteral("555-0100"));
    ASSERT_TRUE(prog->optionsWindow);
    EXPECT_TRUE(prog->optionsWindow->isVisible());
    EXPECT_TRUE(start().isVisible());
    EXPECT_EQ(desktop.boxes().size(), 0u);
}

TEST_F(StartupTest, ListOrderMarkersAndWindowsAndSystemEntries) {
    auto s = defaultProfile();
    setSection(s, "Application", {"Data", "Missing", "Reports/Monthly"});
    setSection(s, "Windows", {".invmgr.ini", "gone.ini"});
    setSection(s, "System", {"invgrid.conf"});
    setSection(s, "EmptyDir", {"1"});
    setSection(s, "Hidden", {"cwYes"});
    writeProfile(s);
    env.writeFile("app/Data/z.mdb", "zz");
    env.writeFile("app/Data/.lock", "l");
    env.makeDir("app/Reports/Monthly");
    env.writeFile("home/.invmgr.ini", "ini");
    ASSERT_TRUE(BackupTest::start());

    // Windows and System entries are taken as they are; each profile directory brings its
    // marker (even a missing one, without a word), then its files, hidden ones included.
    EXPECT_EQ(fileList(),
              (std::vector<std::string>{env.home() + "/.invmgr.ini", env.home() + "/gone.ini",
                                        env.config() + "/invgrid.conf", app + "/Data/(EMPTY)",
                                        app + "/Data/.lock", app + "/Data/z.mdb",
                                        app + "/Missing/(EMPTY)", app + "/Reports/Monthly/(EMPTY)",
                                        app + "/(EMPTY)", app + "/cwkcon32.dll"}));
    EXPECT_EQ(start().markerCount(), 4);
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("6"));
    EXPECT_EQ(desktop.boxes().size(), 0u);
}

TEST_F(StartupTest, MissingSectionsFollowTheFailureRule) {
    auto s = defaultProfile();
    removeSection(s, "Startup");
    removeSection(s, "Support");
    removeSection(s, "Description");
    removeSection(s, "Hidden");
    removeSection(s, "EmptyDir");
    writeProfile(s);
    env.writeFile("app/.settings", "x");
    // No description: the close prompt carries the fixed texts alone.
    desktop.expectBox(QStringLiteral(" must be closed before continuing the backup.  If  is not "
                                     "closed, close it now then click 'OK'."),
                      Icon::Warning, Buttons::OKCancel, kTitle, Answer::OK, true);
    ASSERT_TRUE(BackupTest::start());
    EXPECT_TRUE(prog->supportText.isEmpty());
    // Missing "Hidden": hidden files listed; missing "EmptyDir": the marker is added.
    EXPECT_EQ(fileList(), (std::vector<std::string>{app + "/(EMPTY)", app + "/.settings",
                                                    app + "/cwkcon32.dll"}));
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("2"));
}

TEST_F(StartupTest, ClosePromptNamesTheApplicationAndCancelEnds) {
    auto s = defaultProfile();
    setSection(s, "Startup", {"Yes"});
    writeProfile(s);
    desktop.expectBox(QStringLiteral("INVENTORY MANAGER must be closed before continuing the "
                                     "backup.  If INVENTORY MANAGER is not closed, close it now "
                                     "then click 'OK'."),
                      Icon::Warning, Buttons::OKCancel, kTitle, Answer::Cancel, true);
    EXPECT_FALSE(BackupTest::start());
    EXPECT_TRUE(prog->ended);
    EXPECT_FALSE(prog->optionsWindow);
}

TEST_F(StartupTest, StartupValueIsComparedExactly) {
    auto s = defaultProfile();
    setSection(s, "Startup", {"yes"});
    writeProfile(s);
    ASSERT_TRUE(BackupTest::start());
    EXPECT_EQ(desktop.boxes().size(), 0u);
}

TEST_F(StartupTest, ApplicationLineNamingAFileIsReported) {
    auto s = defaultProfile();
    setSection(s, "Application", {"notes.txt", "Data"});
    writeProfile(s);
    env.writeFile("app/notes.txt", "a file, not a directory");
    env.writeFile("app/Data/d.txt", "d");
    desktop.expectBox(QStringLiteral("The following Directory '") + q(app) +
                          QStringLiteral("/notes.txt' listed in the Backup Profile cannot be "
                                         "found. \r\nContact your vendor."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    ASSERT_TRUE(BackupTest::start());
    // Start-up went on with the next directories.
    EXPECT_EQ(fileList(), (std::vector<std::string>{app + "/Data/d.txt", app + "/cwkcon32.dll",
                                                    app + "/notes.txt"}));
}

TEST_F(StartupTest, UnreadableApplicationFolderLeavesNothingToBackUp) {
    writeProfile(defaultProfile());
    cw::files::injectFault(app, cw::files::Fault::Unreadable);
    cw::files::injectFault(app + "/", cw::files::Fault::Unreadable);
    desktop
        .expectBox(
            QStringLiteral("The following Directory '") + q(app) +
                QStringLiteral("/' listed in the Backup Profile cannot be found. \r\nContact "
                               "your vendor."),
            Icon::Critical, Buttons::OK, kTitle, Answer::OK)
        .expectBox(QStringLiteral("There are no Files available to Backup.  Contact your Vendor."),
                   Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    EXPECT_FALSE(BackupTest::start());
    EXPECT_TRUE(prog->ended);
    EXPECT_FALSE(prog->optionsWindow);
}

TEST_F(StartupTest, HiddenFilesStayOutWithCwNever) {
    auto s = defaultProfile();
    setSection(s, "Application", {"Cache"});
    setSection(s, "EmptyDir", {"1"});
    writeProfile(s);
    env.writeFile("app/Cache/.a", "a");
    env.writeFile("app/Cache/.b", "b");
    ASSERT_TRUE(BackupTest::start());
    EXPECT_EQ(fileList(), (std::vector<std::string>{app + "/Cache/(EMPTY)", app + "/(EMPTY)",
                                                    app + "/cwkcon32.dll"}));
}

TEST_F(StartupTest, OnlyMissingWindowsFilesStillPass) {
    auto s = defaultProfile();
    setSection(s, "Windows", {"a.ini", "b.ini"});
    writeProfile(s);
    ASSERT_TRUE(BackupTest::start());
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("3"));
}

TEST_F(StartupTest, TotalSizeIsNotLimitedTo32Bits) {
    writeProfile(defaultProfile());
    const std::string big = env.writeFile("app/big.img", "");
    std::filesystem::resize_file(big, 5'000'000'000LL); // sparse
    ASSERT_TRUE(BackupTest::start());
    const auto profileSize = std::filesystem::file_size(app + "/cwkcon32.dll");
    EXPECT_EQ(start().lblSize->text().toLongLong(), 5'000'000'000LL + qint64(profileSize));
}

// File list editing.

class FileListTest : public StartupTest {
protected:
    void SetUp() override {
        writeProfile(defaultProfile());
        env.writeFile("pick/a", "1");
        env.writeFile("pick/b", "2");
        env.writeFile("pick/c", "3");
        ASSERT_TRUE(BackupTest::start());
        start().dirFileList->setPath(q(env.path("pick")));
        ASSERT_EQ(start().lstFiles->items(), (QStringList{"a", "b", "c"}));
    }
    void select(const QStringList& names) {
        auto* l = start().lstFiles;
        l->clearSelection();
        for (int i = 0; i < l->count(); ++i)
            l->item(i)->setSelected(names.contains(l->item(i)->text()));
    }
    std::string pick(const std::string& n) { return env.path("pick/" + n); }
};

TEST_F(FileListTest, AddStopsAtADuplicate) {
    start().addToList(pick("b"));
    select({"a", "b", "c"});
    const QString b = q(pick("b"));
    desktop.expectBox(QStringLiteral("Add process stopped.  ") + b +
                          QStringLiteral(" already exists in the list.\r\n\r\nAll files selected "
                                         "before ") +
                          b +
                          QStringLiteral(" have been entered in list.\r\nReselect all files "
                                         "after ") +
                          b + QStringLiteral(" and click on 'Add'."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    QTest::mouseClick(start().cmdAdd, Qt::LeftButton);
    auto items = fileList();
    EXPECT_EQ(std::count(items.begin(), items.end(), pick("a")), 1);
    EXPECT_EQ(std::count(items.begin(), items.end(), pick("c")), 0);
    EXPECT_EQ(start().lblTotalFiles->text(), QString::number(items.size()));
}

TEST_F(FileListTest, AddComparesExactlyAndCountsEveryEntry) {
    start().addToList(pick("A"));
    select({"a", "c"});
    start().cmdAdd_Click();
    const auto items = fileList();
    EXPECT_EQ(items.back(), pick("c"));
    EXPECT_EQ(items[items.size() - 2], pick("a"));
    EXPECT_EQ(start().lblTotalFiles->text(), QString::number(items.size()));
}

TEST_F(FileListTest, AddAllAddsDuplicatesSilentlyAndCounts) {
    start().cmdAddAll_Click();
    start().cmdAddAll_Click();
    const auto items = fileList();
    EXPECT_EQ(items.size(), 1u + 6u);
    EXPECT_EQ(items[1], pick("a"));
    EXPECT_EQ(items[4], pick("a"));
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("7"));
}

TEST_F(FileListTest, RemoveNeedsASelectionAndCountsEitherWay) {
    start().cmdAddAll_Click();
    desktop.expectBox(
        QStringLiteral("You must first select a file to remove before you click Remove."),
        Icon::Warning, Buttons::OK, kTitle, Answer::OK, true);
    start().cmdRemove_Click();
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("4"));

    start().lstFileList->item(2)->setSelected(true);
    QTest::mouseClick(start().cmdRemove, Qt::LeftButton);
    EXPECT_EQ(fileList(), (std::vector<std::string>{app + "/cwkcon32.dll", pick("a"), pick("c")}));
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("3"));
}

TEST_F(FileListTest, RemoveAllEmptiesTheListAndTheCount) {
    start().cmdRemAll_Click();
    EXPECT_EQ(start().lstFileList->count(), 0);
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("0"));
    EXPECT_EQ(start().lblSize->text(), QStringLiteral("0"));
    EXPECT_TRUE(start().lstFileList->isVisible());
}

TEST_F(FileListTest, NextHidesAndCancelClosesOnlyThisWindow) {
    QTest::mouseClick(start().cmdNext, Qt::LeftButton);
    EXPECT_FALSE(start().isVisible());
    EXPECT_TRUE(prog->optionsWindow->isVisible());
    EXPECT_EQ(start().lstFileList->count(), 1);

    start().show();
    start().cmdAddAll_Click();
    QTest::mouseClick(start().cmdCancel, Qt::LeftButton);
    EXPECT_FALSE(start().isVisible());
    EXPECT_TRUE(prog->optionsWindow->isVisible());
    EXPECT_FALSE(prog->ended);

    // Going on in the options window backs up the list as the user left it.
    prog->optionsWindow->dirFolderList->setPath(q(env.makeDir("dest")));
    prog->optionsWindow->txtBackupName->setText(QStringLiteral("Daily"));
    prog->optionsWindow->cmdStart_Click();
    ASSERT_TRUE(prog->progressWindow);
    EXPECT_TRUE(prog->progressWindow->lblSummary->text().startsWith(
        QStringLiteral("You are backing up a total of 4 file(s).")));
    EXPECT_EQ(fileList().size(), 4u);
}

TEST_F(StartupTest, NextWithOnlyMarkersLeftWarnsAndStays) {
    auto s = defaultProfile();
    setSection(s, "EmptyDir", {"1"});
    writeProfile(s);
    ASSERT_TRUE(BackupTest::start());
    ASSERT_EQ(start().markerCount(), 1);
    const auto list = start().lstFileList;
    for (int i = list->count() - 1; i >= 0; --i) {
        if (!list->item(i)->text().endsWith(QStringLiteral("(EMPTY)"))) {
            list->item(i)->setSelected(true);
            start().cmdRemove_Click();
        }
    }
    ASSERT_EQ(fileList(), (std::vector<std::string>{app + "/(EMPTY)"}));
    EXPECT_EQ(start().lblTotalFiles->text(), QStringLiteral("0"));
    prog->optionsWindow->hide();
    desktop.expectBox(QStringLiteral("There are no files to back up."), Icon::Warning, Buttons::OK,
                      kTitle, Answer::OK, true);
    QTest::mouseClick(start().cmdNext, Qt::LeftButton);
    EXPECT_TRUE(start().isVisible());
    EXPECT_FALSE(prog->optionsWindow->isVisible());
    EXPECT_FALSE(prog->progressWindow);
}

} // namespace
} // namespace cwb::test
