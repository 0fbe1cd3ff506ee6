// The options window and its two dialogs: frames from the profile, the name checks, the
// duplicate-set question and picking a set to replace.
#include "backup/dlgBrowse.h"
#include "backup/dlgDupBackupset.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/dlgNewFolder.h"
#include "common/platform/Files.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/FileFaults.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

namespace cwb::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;
const QString kTitle = QStringLiteral("Caskwell");

class OptionsTest : public BackupTest {
protected:
    void startWith(const Sections& s) {
        writeProfile(s);
        ASSERT_TRUE(BackupTest::start());
        dest = env.makeDir("dest");
        options().dirFolderList->setPath(q(dest));
    }
    frmBackup& options() { return *prog->optionsWindow; }
    void next(const QString& name) {
        options().txtBackupName->setText(name);
        QTest::mouseClick(options().cmdStart, Qt::LeftButton);
    }
    std::string dest;
};

TEST_F(OptionsTest, ProfileWithoutChoicesGivesTheCompactWindow) {
    auto s = defaultProfile();
    setSection(s, "Compression", {"cwCompression_Maximum"});
    startWith(s);
    EXPECT_TRUE(options().compact());
    EXPECT_TRUE(options().fraEncrypt->isHidden());
    EXPECT_TRUE(options().frmCompression->isHidden());
    // The profile's level is used even though the user cannot change it.
    EXPECT_TRUE(options().optComp[3]->isChecked());
    EXPECT_TRUE(options().optEncrypt[1]->isChecked());
    EXPECT_TRUE(options().fraSpanM->isHidden());
    EXPECT_EQ(options().objectName(), QStringLiteral("frmBackup"));
    EXPECT_EQ(options().optComp[3]->objectName(), QStringLiteral("optComp(3)"));
}

TEST_F(OptionsTest, EncryptionAndCompressionFramesFollowTheProfile) {
    auto s = defaultProfile();
    setSection(s, "Encrypt", {"true"});
    setSection(s, "Customize Compression", {"Yes"});
    startWith(s);
    EXPECT_FALSE(options().compact());
    EXPECT_FALSE(options().fraEncrypt->isHidden());
    EXPECT_FALSE(options().txtPassword->isHidden());
    EXPECT_FALSE(options().frmCompression->isHidden());
    EXPECT_EQ(options().txtEncrypt->text(), QStringLiteral("true"));
    for (auto* o : options().optComp)
        EXPECT_FALSE(o->isChecked());

    EXPECT_FALSE(options().txtPassword->isEnabled());
    options().txtPassword->setText(QStringLiteral("Secret"));
    QTest::mouseClick(options().optEncrypt[0], Qt::LeftButton);
    EXPECT_TRUE(options().txtPassword->isEnabled());
    QTest::mouseClick(options().optEncrypt[1], Qt::LeftButton);
    EXPECT_FALSE(options().txtPassword->isEnabled());
    EXPECT_EQ(options().txtPassword->text(), QStringLiteral("Secret"));
}

TEST_F(OptionsTest, ExplanationNamesTheApplication) {
    startWith(defaultProfile());
    // Set when the window shows, without a call of ours.
    EXPECT_EQ(options().lblExplain->text(),
              QStringLiteral("Choose the destination where you would like to backup Inventory "
                             "Manager, and type in a Backup Name.  Caskwell will automatically "
                             "use multiple disks if necessary.  "));
}

TEST_F(OptionsTest, BackupNameIsChecked) {
    startWith(defaultProfile());
    const QString empty = QStringLiteral("You must first enter in a Backup Name for your Backup.");
    desktop.expectBox(empty, Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    next(QString());
    desktop.expectBox(empty, Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    next(QStringLiteral("   "));
    desktop.expectBox(QStringLiteral("A Backup Name cannot contain the character '/'.  Please "
                                     "enter a different Backup Name."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    next(QStringLiteral("../Daily"));
    EXPECT_FALSE(prog->progressWindow);
    EXPECT_FALSE(options().isHidden());
}

TEST_F(OptionsTest, NewNameGoesOnToTheProgressWindow) {
    startWith(defaultProfile());
    next(QStringLiteral("Daily "));
    EXPECT_TRUE(options().isHidden());
    ASSERT_TRUE(prog->progressWindow);
    EXPECT_TRUE(prog->progressWindow->isVisible());
    EXPECT_FALSE(prog->replaceFlag);
}

TEST_F(OptionsTest, PasswordIsTypedTwiceBeforeTheProgressWindow) {
    const QString confirm = QStringLiteral("Type the password again to confirm it.");
    struct Row {
        const char* what;
        std::optional<QString> again; // nullopt: Cancel
        bool goesOn;
    };
    for (const Row& row :
         {Row{"match", QStringLiteral("Se cret"), true},
          Row{"mismatch", QStringLiteral("se cret"), false}, Row{"cancel", std::nullopt, false}}) {
        SCOPED_TRACE(row.what);
        auto s = defaultProfile();
        setSection(s, "Encrypt", {"true"});
        startWith(s);
        QTest::mouseClick(options().optEncrypt[0], Qt::LeftButton);
        options().txtPassword->setText(QStringLiteral("Se cret"));
        desktop.expectInput(confirm, kTitle, row.again);
        const bool mismatch = row.again && !row.goesOn;
        if (mismatch)
            desktop.expectBox(QStringLiteral("The passwords do not match."), Icon::Warning,
                              Buttons::OK, kTitle, Answer::OK, true);
        const auto from = desktop.calls().size();
        next(QStringLiteral("Daily"));
        desktop.verify();
        const std::vector<cw::test::DesktopCall> calls(desktop.calls().begin() + from,
                                                       desktop.calls().end());
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().kind, cw::test::DesktopCall::Kind::Input);
        EXPECT_TRUE(calls.front().masked);
        EXPECT_EQ(bool(prog->progressWindow), row.goesOn);
        EXPECT_EQ(options().isHidden(), row.goesOn);
        EXPECT_EQ(options().txtPassword->text(), mismatch ? QString() : QStringLiteral("Se cret"));
        EXPECT_EQ(prog->plan.password, mismatch ? "" : "Se cret");
        EXPECT_EQ(std::count_if(
                      calls.begin(), calls.end(),
                      [](const auto& c) { return c.kind == cw::test::DesktopCall::Kind::Beep; }),
                  mismatch ? 1 : 0);
        prog.reset();
    }
}

TEST_F(OptionsTest, UnwritableDestinationIsRefused) {
    startWith(defaultProfile());
    cw::files::injectFault(dest, cw::files::Fault::ReadOnly);
    cw::files::injectFault(dest + "/", cw::files::Fault::ReadOnly);
    desktop.expectBox(QStringLiteral("The backup cannot be written to '") + q(dest) +
                          QStringLiteral("/'.  Choose another destination for the backup."),
                      Icon::Warning, Buttons::OK, kTitle, Answer::OK, true);
    next(QStringLiteral("Daily"));
    EXPECT_FALSE(prog->progressWindow);
}

TEST_F(OptionsTest, SupportIsAWebPageOnlyForLowerCaseHttp) {
    auto s = defaultProfile();
    startWith(s);
    desktop.expectBox(QStringLiteral("If you have questions or need help with this backup, please "
                                     "call...\r\n\r\n555-0100"),
                      Icon::Question, Buttons::OK, kTitle, Answer::OK);
    QTest::mouseClick(options().cmdSupport, Qt::LeftButton);

    prog->supportText = QStringLiteral("HTTP://example.invalid");
    desktop.expectBox(QStringLiteral("If you have questions or need help with this backup, please "
                                     "call...\r\n\r\nHTTP://example.invalid"),
                      Icon::Question, Buttons::OK, kTitle, Answer::OK);
    options().cmdSupport_Click();

    prog->supportText = QStringLiteral("http://example.invalid/help");
    options().cmdSupport_Click();
    const auto& calls = desktop.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, cw::test::DesktopCall::Kind::Url);
    EXPECT_EQ(calls.back().text, QStringLiteral("http://example.invalid/help"));
}

TEST_F(OptionsTest, ExistingSetOfAnyCaseAsksReplaceOrBack) {
    startWith(defaultProfile());
    env.writeFile("dest/daily.bks", "old set");
    next(QStringLiteral("DAILY"));
    ASSERT_TRUE(options().dupDialog);
    EXPECT_EQ(prog->existingSetPath, q(dest + "/daily.bks"));
    EXPECT_FALSE(prog->replaceFlag);
    EXPECT_FALSE(options().isHidden());
    EXPECT_EQ(desktop.beepCount(), 1);
    EXPECT_EQ(options().dupDialog->lblFoundBackupSet->text(),
              QStringLiteral("A Backup Set with the same name already exists.  To replace the "
                             "existing backup set with a new one, choose 'Replace'.  To enter a "
                             "different name or select another destination for the backup, "
                             "choose 'Back'."));

    QTest::mouseClick(options().dupDialog->cmdCancel, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(options().dupDialog);
    EXPECT_FALSE(prog->replaceFlag);

    // Back, then Next>> with the same name asks again.
    next(QStringLiteral("DAILY"));
    ASSERT_TRUE(options().dupDialog);
    QTest::mouseClick(options().dupDialog->cmdReplace, Qt::LeftButton);
    EXPECT_TRUE(prog->replaceFlag);
    EXPECT_TRUE(options().isHidden());
    ASSERT_TRUE(prog->progressWindow);
    EXPECT_TRUE(prog->progressWindow->isVisible());

    // Cancel in the progress window leaves the old set in place.
    QTest::mouseClick(prog->progressWindow->cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(prog->ended);
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/daily.bks"), "old set");
}

TEST_F(OptionsTest, HiddenSetOfTheSameNameIsFoundToo) {
    startWith(defaultProfile());
    env.writeFile("dest/.hidden.bks", "old");
    next(QStringLiteral(".hidden"));
    EXPECT_TRUE(options().dupDialog);
}

TEST_F(OptionsTest, BrowsePicksASetToReplace) {
    startWith(defaultProfile());
    env.writeFile("dest/Weekly.BKS", "old");
    env.writeFile("dest/notes.txt", "not a set");
    options().cmdBrowse_Click();
    ASSERT_TRUE(options().browseDialog);
    dlgBrowse& b = *options().browseDialog;
    EXPECT_EQ(b.lblBackupName->text(),
              QStringLiteral("Select a Backup Set you would like to replace."));
    EXPECT_EQ(b.lblCurrentDir->text(), QStringLiteral("Current Directory:  ") + q(dest));
    EXPECT_EQ(b.File1->items(), QStringList{QStringLiteral("Weekly.BKS")});
    EXPECT_FALSE(b.OKButton->isEnabled());
    b.File1->setFileName(QStringLiteral("Weekly.BKS"));
    b.File1_Click();
    EXPECT_TRUE(b.OKButton->isEnabled());
    QTest::mouseClick(b.OKButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(options().browseDialog);
    EXPECT_EQ(options().txtBackupName->text(), QStringLiteral("Weekly"));

    QTest::mouseClick(options().cmdStart, Qt::LeftButton);
    ASSERT_TRUE(options().dupDialog);
    EXPECT_EQ(prog->existingSetPath, q(dest + "/Weekly.BKS"));
}

TEST_F(OptionsTest, BrowseWithoutSetsRefusesOkAndCancelChangesNothing) {
    startWith(defaultProfile());
    options().txtBackupName->setText(QStringLiteral("Mine"));
    options().cmdBrowse_Click();
    dlgBrowse& b = *options().browseDialog;
    EXPECT_TRUE(b.File1->items().isEmpty());
    desktop.expectBox(QStringLiteral("You must first select a Backup Set before continuing."),
                      Icon::Warning, Buttons::OK, kTitle, Answer::OK, true);
    b.OKButton_Click();
    EXPECT_TRUE(options().browseDialog);
    QTest::mouseClick(b.CancelButton, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(options().browseDialog);
    EXPECT_EQ(options().txtBackupName->text(), QStringLiteral("Mine"));
}

TEST_F(OptionsTest, DriveChoiceSetsSpanningAndAnUnreadableDriveAsksAgain) {
    cw::test::FakeDrives drives;
    const std::string usb = env.makeDir("usb");
    const std::string gone = env.makeDir("gone");
    drives.add(usb, cw::drives::kRemovable);
    drives.add(gone, cw::drives::kRemovable);
    std::filesystem::remove(gone);
    startWith(defaultProfile());
    options().Drive1->setDrive(q(usb));
    EXPECT_EQ(options().dirFolderList->path(), q(usb));
    EXPECT_TRUE(options().optSpan[0]->isChecked());

    const QString text =
        QStringLiteral("Drive ") + q(gone) + QStringLiteral(" is not available at this time.");
    desktop.expectBox(text, Icon::Warning, Buttons::RetryCancel, kTitle, Answer::Retry, true)
        .expectBox(text, Icon::Warning, Buttons::RetryCancel, kTitle, Answer::Cancel, true);
    options().Drive1->setDrive(q(gone));
    // Cancel goes back to the program's own drive, a fixed disk.
    EXPECT_EQ(options().Drive1->drive(), QStringLiteral("/"));
    EXPECT_TRUE(options().optSpan[1]->isChecked());
}

TEST_F(OptionsTest, NewFolderOpensOnTheDestinationWithoutWaiting) {
    startWith(defaultProfile());
    QTest::mouseClick(options().cmdNewFolder, Qt::LeftButton);
    auto* dlg = options().findChild<cw::dlgNewFolder*>();
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(dlg->isModal());
    dlg->txtNameOfFolder->setText(QStringLiteral("Backups"));
    dlg->OKButton_Click();
    EXPECT_EQ(options().dirFolderList->path(), q(dest + "/Backups"));
    EXPECT_EQ(options().flLookforBackupSet->path(), q(dest + "/Backups"));
}

TEST_F(OptionsTest, CancelEndsTheProgram) {
    startWith(defaultProfile());
    QTest::mouseClick(options().cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(prog->ended);
    EXPECT_FALSE(options().isVisible());
    EXPECT_FALSE(prog->startWindow->isVisible());
}

} // namespace
} // namespace cwb::test
