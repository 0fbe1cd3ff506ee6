// The new-profile dialog, the editor's list, and the add-item dialogs with the Windows and
// System directories under the temporary home.
#include "KitFixture.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "kit/dlgFile.h"
#include "kit/dlgSubDir.h"
#include "kit/frmOptions.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/FileFaults.h"
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

namespace kit::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;

const QString kExists = "A Profile already exists in this directory.  Are you sure you want to "
                        "replace the current Profile with a new one?";

QStringList itemsOf(const frmConfig* editor) {
    return editor->items();
}

TEST_F(KitTest, NewProfileDialogRefusesABlankNameAndKeepsBlanksAroundOne) {
    main->mnuFileNew->trigger();
    dlgDirforINI* dlg = main->loadedNewProfileDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "New Backup Profile");
    EXPECT_TRUE(dlg->lblDirExplain->text().endsWith(
        "etc.\r\nSelect a location where you want the new Profile created."));
    EXPECT_TRUE(dlg->flLookforIni->isHidden());
    dlg->dirforINI->setPath(q(env.makeDir("app")));
    QTest::keyClicks(dlg->txtProfileDescription, "   ");
    desktop.expectBox("Enter the name of the application to be backed up.", Icon::Question,
                      Buttons::OK, "Caskwell", Answer::OK, true);
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(main->loadedConfig(), nullptr);
    EXPECT_TRUE(dlg->isVisible());

    dlg->txtProfileDescription->setText("  Pay roll ");
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    frmConfig* editor = main->loadedConfig();
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(dlg->isVisible()) << "hidden, still loaded";
    EXPECT_EQ(main->loadedNewProfileDialog(), dlg);
    EXPECT_EQ(app.profile.description, "  Pay roll ");
    EXPECT_TRUE(app.profile.newProfile);
    EXPECT_EQ(editor->lblDirforINI->text(), q(env.path("app/cwkcon32.dll")));
    EXPECT_EQ(editor->lblExplainINIDir->text(),
              "Click on the Build Profile button to create your   Pay roll  Profile in '" +
                  q(env.path("app")) + "'.");
    EXPECT_EQ(editor->windowTitle(), "  Pay roll  Profile Options");
    EXPECT_TRUE(editor->cmdDAdd->isEnabled());
    EXPECT_TRUE(editor->cmdMakeINI->isEnabled());
}

TEST_F(KitTest, ExistingProfileIsReplacedOnlyByABuild) {
    const std::string old = env.writeFile("app/cwkcon32.dll", "[Description]\r\nOld\r\n");
    main->mnuFileNew->trigger();
    dlgDirforINI* dlg = main->loadedNewProfileDialog();
    dlg->dirforINI->setPath(q(env.path("app")));
    QTest::keyClicks(dlg->txtProfileDescription, "New");

    desktop.expectBox(kExists, Icon::Warning, Buttons::YesNo, "Caskwell", Answer::No, true);
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(main->loadedConfig(), nullptr);
    EXPECT_TRUE(dlg->isVisible());

    desktop.expectBox(kExists, Icon::Warning, Buttons::YesNo, "Caskwell", Answer::Yes, true);
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    frmConfig* editor = main->loadedConfig();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(dlg->replaceConfirmed());
    EXPECT_EQ(cw::test::TestEnv::readFile(old), "[Description]\r\nOld\r\n");
    editor->cmdCancel_Click();
    EXPECT_EQ(cw::test::TestEnv::readFile(old), "[Description]\r\nOld\r\n")
        << "cancelling the editor leaves the application its profile";
}

TEST_F(KitTest, ProfileInCapitalsIsNotTheProfile) {
    env.writeFile("app/CWKCON32.DLL", "x");
    frmConfig* editor = startNewProfile("App", env.path("app"));
    EXPECT_NE(editor, nullptr);
}

TEST_F(KitTest, AnUndeletableProfileKeepsTheDialogOpen) {
    const std::string old = env.writeFile("app/cwkcon32.dll", "[Description]\r\nOld\r\n");
    cw::files::injectFault(old, cw::files::Fault::Undeletable);
    main->mnuFileNew->trigger();
    dlgDirforINI* dlg = main->loadedNewProfileDialog();
    dlg->dirforINI->setPath(q(env.path("app")));
    QTest::keyClicks(dlg->txtProfileDescription, "New");
    desktop.expectBox(kExists, Icon::Warning, Buttons::YesNo, "Caskwell", Answer::Yes, true);
    desktop.expectBox(
        "The Profile in this directory cannot be replaced.  Choose another directory.",
        Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(main->loadedConfig(), nullptr);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(KitTest, CdRomAndUnavailableDrivesGoBackToTheRoot) {
    cw::test::FakeDrives drives;
    const std::string disc = env.makeDir("disc");
    drives.add(disc, cw::drives::kCdRom);
    const std::string gone = env.path("gone");
    drives.add(gone, cw::drives::kRemovable);
    main->mnuFileNew->trigger();
    dlgDirforINI* dlg = main->loadedNewProfileDialog();
    dlg->drvforINI->refreshDrives();

    desktop.expectBox("You cannot specify a CD-ROM as the Destination drive for your Profile.  "
                      "Choose another Drive.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    dlg->drvforINI->setDrive(q(disc));
    EXPECT_EQ(dlg->drvforINI->drive(), "/");

    desktop.expectBox("This drive appears to be unavailable to Caskwell at this time.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    dlg->drvforINI->setDrive(q(gone));
    EXPECT_EQ(dlg->drvforINI->drive(), "/");
    EXPECT_TRUE(dlg->dirforINI->path().startsWith("/"));
}

TEST_F(KitTest, RemoveBeepsAndAsksFirst) {
    frmConfig* editor = startNewProfile("App", env.makeDir("app"));
    ASSERT_NE(editor, nullptr);
    editor->lstSubDir->addItems({"%InstallDir% \\ Data", "%Windows% \\ a.ini"});

    desktop.expectBox(
        "First select the item in the list that you want to remove, then click Remove",
        Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    QTest::mouseClick(editor->cmdDRemove, Qt::LeftButton);

    editor->lstSubDir->setCurrentRow(1);
    const QString ask = "Are you sure you want to remove '%Windows% \\ a.ini' from the list?";
    desktop.expectBox(ask, Icon::Question, Buttons::YesNo, "Caskwell", Answer::No, true);
    QTest::mouseClick(editor->cmdDRemove, Qt::LeftButton);
    EXPECT_EQ(editor->lstSubDir->count(), 2);
    desktop.expectBox(ask, Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes, true);
    QTest::mouseClick(editor->cmdDRemove, Qt::LeftButton);
    EXPECT_EQ(joined(itemsOf(editor)), joined(QStringList{"%InstallDir% \\ Data"}));
}

TEST_F(KitTest, EditorCaptionFollowsTheDescription) {
    frmConfig* editor = main->config();
    EXPECT_EQ(editor->windowTitle(), " Profile Options");
    EXPECT_FALSE(editor->cmdMakeINI->isEnabled());
    EXPECT_TRUE(editor->lblDirforINI->isHidden());
    app.profile.description = "Later";
    editor->Form_Activate();
    EXPECT_EQ(editor->windowTitle(), "Later Profile Options");
    editor->setDirforINI("/x/cwkcon32.dll");
    EXPECT_TRUE(editor->cmdMakeINI->isEnabled());
    EXPECT_TRUE(editor->cmdDRemove->isEnabled());
}

class AddItem : public KitTest {
protected:
    void SetUp() override {
        KitTest::SetUp();
        editor = startNewProfile("App", env.makeDir("app"));
        ASSERT_NE(editor, nullptr);
        editor->cmdDAdd->click();
        dlg = main->loadedSubDir();
        ASSERT_NE(dlg, nullptr);
    }
    dlgFile* browse() {
        dlg->cmdBrowse->click();
        return dlg->fileDialog();
    }
    frmConfig* editor = nullptr;
    dlgSubDir* dlg = nullptr;
};

TEST_F(AddItem, SubDirectoryAsTypedAndTwiceIsTwice) {
    EXPECT_EQ(dlg->windowTitle(), "Add Item to App Profile");
    EXPECT_TRUE(dlg->optAppDir->isChecked());
    EXPECT_FALSE(dlg->cmdBrowse->isEnabled());
    EXPECT_FALSE(dlg->OKButton->isEnabled());
    EXPECT_TRUE(dlg->lblInstructions->text().endsWith(
        "directory.\r\n\r\nAll files inside this sub-directory will be backed up."));
    QTest::keyClicks(dlg->txtSubDir, " Data/Archive ");
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    flush();
    EXPECT_EQ(main->loadedSubDir(), nullptr);

    editor->cmdDAdd->click();
    dlg = main->loadedSubDir();
    QTest::keyClicks(dlg->txtSubDir, " Data/Archive ");
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(joined(itemsOf(editor)), joined(QStringList({"%InstallDir% \\  Data/Archive ",
                                                           "%InstallDir% \\  Data/Archive "})));
}

TEST_F(AddItem, TypedAndDeletedNameStillAddsTheBarePrefix) {
    dlg->optSys->click();
    EXPECT_EQ(dlg->lblInstructions->text(),
              "Select the Windows\\System file you want added to the Profile.");
    QTest::keyClicks(dlg->txtSubDir, "x");
    QTest::keyClick(dlg->txtSubDir, Qt::Key_Backspace);
    EXPECT_TRUE(dlg->OKButton->isEnabled());
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(joined(itemsOf(editor)), joined(QStringList{"%System% \\ "}));
}

TEST_F(AddItem, CancelAddsNothing) {
    QTest::keyClicks(dlg->txtSubDir, "Data");
    dlg->CancelButton->click();
    EXPECT_TRUE(itemsOf(editor).isEmpty());
}

TEST_F(AddItem, BrowsesTheWindowsDirectory) {
    env.writeFile("home/myapp.ini", "x");
    env.writeFile("home/Start Menu/Programs/myapp.desktop", "x");
    dlg->optWindows->click();
    EXPECT_TRUE(dlg->cmdBrowse->isEnabled());
    EXPECT_EQ(dlg->lblInstructions->text(),
              "Select the Windows file you want added to the Profile.");
    dlgFile* file = browse();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->windowTitle(), "Caskwell");
    EXPECT_EQ(file->Dir1->path(), q(env.home()));
    file->File1->setFileName("myapp.ini");
    QTest::mouseClick(file->OKButton, Qt::LeftButton);
    EXPECT_EQ(dlg->txtSubDir->text(), "myapp.ini");

    file = browse();
    file->Dir1->setPath(q(env.home() + "/Start Menu/Programs"));
    file->File1->setFileName("myapp.desktop");
    QTest::mouseClick(file->OKButton, Qt::LeftButton);
    EXPECT_EQ(dlg->txtSubDir->text(), "Start Menu/Programs/myapp.desktop");

    // No file selected in a sub-directory gives the sub-directory and a separator.
    file = browse();
    file->Dir1->setPath(q(env.home() + "/Start Menu"));
    QTest::mouseClick(file->OKButton, Qt::LeftButton);
    EXPECT_EQ(dlg->txtSubDir->text(), "Start Menu/");

    // Back in the add dialog the sub-directory instructions return.
    dlg->Form_Activate();
    EXPECT_TRUE(dlg->lblInstructions->text().startsWith("Enter the name of the sub-directory"));
    QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
    EXPECT_EQ(joined(itemsOf(editor)), joined(QStringList{"%Windows% \\ Start Menu/"}));
}

TEST_F(AddItem, SystemFileAsAWindowsItemAndAsASystemItem) {
    env.writeFile("home/.config/grid.conf", "x");
    dlg->optWindows->click();
    dlgFile* file = browse();
    file->Dir1->setPath(q(env.config()));
    file->File1->setFileName("grid.conf");
    file->OKButton->click();
    EXPECT_EQ(dlg->txtSubDir->text(), ".config/grid.conf");

    dlg->optSys->click();
    file = browse();
    EXPECT_EQ(file->Dir1->path(), q(env.config()));
    file->File1->setFileName("grid.conf");
    file->OKButton->click();
    dlg->OKButton->click();
    EXPECT_EQ(joined(itemsOf(editor)), joined(QStringList{"%System% \\ grid.conf"}));
}

TEST_F(AddItem, LeavingTheDirectoryTreeIsRefused) {
    const std::string sibling = env.makeDir("home2");
    dlg->optWindows->click();
    dlgFile* file = browse();
    desktop.expectBox("Select a file within the Windows directory or one of the Windows "
                      "sub-directories.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    file->Dir1->setPath(q(env.root()));
    EXPECT_EQ(file->Dir1->path(), q(env.home()));
    // A folder whose name merely starts like the home folder is outside it too.
    desktop.expectBox("Select a file within the Windows directory or one of the Windows "
                      "sub-directories.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    file->Dir1->setPath(q(sibling));
    EXPECT_EQ(file->Dir1->path(), q(env.home()));

    file->CancelButton->click();
    dlg->optSys->click();
    file = browse();
    desktop.expectBox("Select a file within the System directory or one of the System "
                      "sub-directories.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    file->Dir1->setPath(q(env.home()));
    EXPECT_EQ(file->Dir1->path(), q(env.config()));
}

} // namespace
} // namespace kit::test
