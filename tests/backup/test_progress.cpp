// The progress window with a recording stand-in for the library: what DoZIP passes, what
// the callback shows, and how the run's outcome is reported.
#include "backup/ZipLibrary.h"
#include "backup/dlgDupBackupset.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/widgets/DirListBox.h"
#include "tests/backup/BackupFixture.h"
#include "tests/backup/FakeZip.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>

namespace cwb::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;
const QString kTitle = QStringLiteral("Caskwell");

class ProgressTest : public BackupTest {
protected:
    void startWith(const Sections& s, const QString& name = QStringLiteral("Daily")) {
        writeProfile(s);
        ASSERT_TRUE(BackupTest::start());
        dest = env.makeDir("dest");
        options().dirFolderList->setPath(q(dest));
        options().txtBackupName->setText(name);
    }
    frmBackup& options() { return *prog->optionsWindow; }
    frmStartBackup& startWin() { return *prog->startWindow; }
    frmZIP& zipWindow() {
        if (!prog->progressWindow)
            options().cmdStart_Click();
        return *prog->progressWindow;
    }
    // The library writes the set when it runs.
    void writesSet(const std::string& content = "new set") {
        FakeZip::onZip = [this, content] {
            std::ofstream(dest + "/Daily.bks.tmp") << content;
            std::filesystem::rename(dest + "/Daily.bks.tmp", dest + "/Daily.bks");
        };
    }
    std::string dest;
};

TEST_F(ProgressTest, SummaryAndLoadCalls) {
    startWith(defaultProfile());
    prog->plan.shownCount = 1234;
    prog->plan.totalSize = 1234567;
    frmZIP& z = zipWindow();
    EXPECT_EQ(FakeZip::calls, (std::vector<std::string>{"Initialise()", "InstallCallback()"}));
    EXPECT_EQ(FakeZip::callback, &ZipCallback);
    EXPECT_EQ(z.windowTitle(), kTitle);
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("You are about to start a Backup. Press 'Start "
                                                "Backup' to proceed, Cancel to quit."));
    EXPECT_EQ(z.lblSummary->text(),
              QStringLiteral("You are backing up a total of 1234 file(s).\r\n\r\nTotal "
                             "Uncompressed Size of All Files:  1,234,567 bytes"));
    EXPECT_TRUE(z.Picture1->isHidden());
    EXPECT_EQ(z.cmdOK->text(), QStringLiteral("Start Backup"));
}

TEST_F(ProgressTest, ZeroBytesShowNothingAndBigTotalsAreGroupedWhole) {
    startWith(defaultProfile());
    prog->plan.totalSize = 0;
    EXPECT_TRUE(zipWindow().lblSummary->text().endsWith(
        QStringLiteral("Total Uncompressed Size of All Files:   bytes")));
    prog->progressWindow.reset();
    prog->plan.totalSize = 5000000000;
    EXPECT_TRUE(zipWindow().lblSummary->text().endsWith(QStringLiteral("5,000,000,000 bytes")));
}

TEST_F(ProgressTest, DoZipPassesEveryOptionInOrder) {
    auto s = defaultProfile();
    setSection(s, "EmptyDir", {"1"});
    setSection(s, "Encrypt", {"true"});
    setSection(s, "Hidden", {"cwYes"});
    setSection(s, "FileStructure", {"cwStructure_None"});
    setSection(s, "Longfile", {"false"});
    setSection(s, "Compression", {"cwCompression_Minimum"});
    startWith(s);
    options().optEncrypt[0]->click();
    options().txtPassword->setText(QStringLiteral("Pass Wörd"));
    desktop.expectInput(QStringLiteral("Type the password again to confirm it."),
                        QStringLiteral("Caskwell"), QStringLiteral("Pass Wörd"));
    writesSet();
    QTest::mouseClick(zipWindow().cmdOK, Qt::LeftButton);

    std::string include;
    for (const auto& e : listItems(startWin().lstFileList))
        include += e + "|";
    EXPECT_EQ(FakeZip::callsFrom("IncludeEmptyDirectoryEntries"),
              (std::vector<std::string>{
                  "IncludeEmptyDirectoryEntries(1)", "ArchiveName(" + dest + "/Daily.bks)",
                  "Encrypt(Pass Wörd)", "Include(" + include + ")", "SaveStructure(0)",
                  "IncludeHidden(1)", "SetCompressionLevel(2)", "Span(0)", "UseLFN(0)", "Zip()"}));
    EXPECT_EQ(include, app + "/(EMPTY)|" + app + "/cwkcon32.dll|");
}

TEST_F(ProgressTest, OptionalCallsAreLeftOut) {
    auto s = defaultProfile();
    removeSection(s, "FileStructure");
    setSection(s, "EmptyDir", {"yes"});
    startWith(s, QStringLiteral("Daily "));
    QTest::mouseClick(zipWindow().cmdOK, Qt::LeftButton);
    // A trailing blank stays part of the name.
    EXPECT_EQ(FakeZip::callsFrom("ArchiveName"),
              (std::vector<std::string>{"ArchiveName(" + dest + "/Daily .bks)",
                                        "Include(" + app + "/(EMPTY)|" + app + "/cwkcon32.dll|)",
                                        "Span(0)", "UseLFN(1)", "Zip()"}));
}

TEST_F(ProgressTest, CompressionChoiceMapsToTheLibrarysLevels) {
    auto s = defaultProfile();
    setSection(s, "Customize Compression", {"Yes"});
    startWith(s);
    options().optComp[2]->click(); // Normal passes 1
    QTest::mouseClick(zipWindow().cmdOK, Qt::LeftButton);
    EXPECT_EQ(FakeZip::callsFrom("SetCompressionLevel").front(), "SetCompressionLevel(1)");
}

TEST_F(ProgressTest, NamesWithABarAreLeftOutAndTold) {
    startWith(defaultProfile());
    startWin().addToList("/data/odd|name.txt");
    desktop.expectBox(QStringLiteral("The following file(s) cannot be backed up because their "
                                     "names contain the character '|'.  They have been left out "
                                     "of the Backup Set:\r\n\r\n/data/odd|name.txt"),
                      Icon::Warning, Buttons::OK, kTitle, Answer::OK);
    zipWindow().cmdOK_Click();
    EXPECT_EQ(FakeZip::callsFrom("Include").front(), "Include(" + app + "/cwkcon32.dll|)");
}

TEST_F(ProgressTest, CallbackShowsProgressAndTheLibrarysProblems) {
    startWith(defaultProfile());
    for (int i = 0; i < 4; ++i)
        startWin().addToList(app + "/f" + std::to_string(i));
    prog->plan.shownCount = 5;
    frmZIP& z = zipWindow();
    QStringList seen;
    desktop
        .expectBox(QStringLiteral("First, remove this disk and label it Disk #1.  Then insert a "
                                  "new disk."),
                   Icon::Information, Buttons::OK, kTitle, Answer::OK, false,
                   [&] { seen << z.filettraited->text(); })
        .expectBox(QStringLiteral("Error during process of file : /app/gone"), Icon::None,
                   Buttons::OK, kTitle, Answer::OK)
        .expectBox(QStringLiteral("Warning during process on file  /app/grew"), Icon::None,
                   Buttons::OK, kTitle, Answer::OK)
        .expectBox(QStringLiteral("Warning, /app/dup already exists in this Backup Set.\r\nDo you "
                                  "want to Replace, Replace All, Skip or Cancel Backup"),
                   Icon::Warning, Buttons::OK, kTitle, Answer::OK, true)
        .expectBox(QStringLiteral("Error process is stopped !"), Icon::None, Buttons::OK, kTitle,
                   Answer::OK, false, [&] {
                       seen << QString::number(prog->filesDone)
                            << QString::number(z.progressBar().value());
                   });
    FakeZip::events = {{10, "0|"},
                       {12, "0|/app/DATA.MDB|x|y|42"},
                       {20, "0|1"},
                       {13, "0|/app/DATA.MDB"},
                       {22, "0|/app/gone"},
                       {23, "0|/app/grew"},
                       {24, "0|/app/dup"},
                       {11, "ignored"},
                       {25, "ignored"},
                       {254, "ignored"},
                       {13, ""},
                       {13, ""},
                       {13, ""},
                       {13, ""},
                       {13, ""},
                       {13, ""},
                       {255, "0"}};
    QTest::mouseClick(z.cmdOK, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("Compressing file : /app/DATA.MDB\r\n\r\n"
                                                "Compression Percent Done: 42%"),
                                 "7", "4"}));
    // More finished files than the bar's maximum: the bar stays full, the counter counts on.
    EXPECT_EQ(z.progressBar().max(), 4);
    EXPECT_EQ(FakeZip::answers, std::vector<short>(FakeZip::events.size(), 0));
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was not backed up completely."));
}

// Counts the paints a widget receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(ProgressTest, ManyFilesPaintAtAPaceAndEndAsBefore) {
    startWith(defaultProfile());
    const int files = 3000;
    prog->plan.shownCount = files;
    frmZIP& z = zipWindow();
    for (int i = 0; i < files; ++i) {
        const std::string f = std::to_string(i + 1) + "|/app/f" + std::to_string(i) + "|x|5|";
        FakeZip::events.push_back({12, f + "0"});
        FakeZip::events.push_back({12, f + "100"});
        FakeZip::events.push_back({13, f + "100"});
        if (i == files / 2) // a box held open longer than the pace
            FakeZip::events.push_back({23, "0|/app/grew"});
    }
    desktop.expectBox(QStringLiteral("Warning during process on file  /app/grew"), Icon::None,
                      Buttons::OK, kTitle, Answer::OK, std::nullopt, [] { QTest::qSleep(50); });
    writesSet();
    // Posted before the run: handled while the library runs, when the window keeps up.
    bool handledDuringRun = false, secondStart = false;
    QTimer::singleShot(0, &z, [&] {
        handledDuringRun = z.running();
        z.cmdOK_Click(); // a second Start starts nothing
        secondStart = true;
    });
    PaintCounter counter;
    z.filettraited->installEventFilter(&counter);
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(z.cmdOK, Qt::LeftButton);
    const qint64 ms = timer.elapsed();
    EXPECT_TRUE(secondStart);
    EXPECT_TRUE(handledDuringRun);
    EXPECT_EQ(std::count(FakeZip::calls.begin(), FakeZip::calls.end(), "Zip()"), 1);
    // About 30 paints a second at most, not two per file.
    EXPECT_LE(counter.paints, ms / 33 + 2);
    EXPECT_EQ(FakeZip::answers, std::vector<short>(FakeZip::events.size(), 0));
    // The end of the run is on screen as it always was.
    EXPECT_EQ(prog->filesDone, files);
    EXPECT_EQ(z.progressBar().value(), z.progressBar().max());
    EXPECT_EQ(z.progressBar().max(), files - 1);
    EXPECT_EQ(z.filettraited->text(), QString());
    EXPECT_TRUE(z.filettraited->isHidden());
    EXPECT_FALSE(z.Picture1->isHidden());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was backed up succesfully."));
    EXPECT_EQ(z.cmdCancel->text(), QStringLiteral("Exit"));
    EXPECT_EQ(z.windowTitle(), kTitle);
}

TEST_F(ProgressTest, CallbackCopesWithOddMessages) {
    startWith(defaultProfile());
    frmZIP& z = zipWindow();
    EXPECT_EQ(ZipCallback(0, 12, nullptr), 0);
    EXPECT_EQ(z.filettraited->text(),
              QStringLiteral("Compressing file : \r\n\r\nCompression Percent Done: %"));
    // Longer than the 2,049-character buffer: cut, and never inside a character.
    std::string longName = "0|" + std::string(2045, 'a') + "é|x|y|1";
    EXPECT_EQ(ZipCallback(0, 12, longName.c_str()), 0);
    EXPECT_EQ(z.filettraited->text(), QStringLiteral("Compressing file : ") +
                                          QString(2045, QLatin1Char('a')) +
                                          QStringLiteral("\r\n\r\nCompression Percent Done: %"));
}

TEST_F(ProgressTest, SuccessfulRunAndTheFinishedWindow) {
    startWith(defaultProfile());
    writesSet();
    frmZIP& z = zipWindow();
    bool busyDuringRun = false;
    QString captionDuringRun;
    bool buttonsHidden = false;
    FakeZip::onZip = [&, inner = FakeZip::onZip] {
        busyDuringRun = desktop.busy();
        captionDuringRun = z.windowTitle();
        buttonsHidden = z.cmdOK->isHidden() && z.cmdCancel->isHidden() && z.lblSummary->isHidden();
        inner();
    };
    QTest::mouseClick(z.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(captionDuringRun, QStringLiteral("I'm working on it.  Please wait..."));
    EXPECT_TRUE(buttonsHidden);
    EXPECT_FALSE(desktop.busy());
    EXPECT_EQ(z.windowTitle(), kTitle);
    EXPECT_TRUE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was backed up succesfully."));
    EXPECT_EQ(z.cmdCancel->text(), QStringLiteral("Exit"));
    EXPECT_FALSE(z.cmdCancel->isHidden());
    EXPECT_TRUE(z.cmdOK->isHidden());
    EXPECT_FALSE(z.Picture1->isHidden());
    EXPECT_TRUE(z.filettraited->isHidden());
    EXPECT_GE(desktop.beepCount(), 1);
    // One file: the bar still has a range and fills.
    EXPECT_EQ(z.progressBar().max(), 1);
    QTest::mouseClick(z.cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(prog->ended);
}

TEST_F(ProgressTest, RunThatWroteNoSetIsNotASuccess) {
    startWith(defaultProfile());
    env.writeFile("dest/Daily.bks", "old set");
    options().cmdStart_Click();
    ASSERT_TRUE(options().dupDialog);
    options().dupDialog->cmdReplace_Click();
    zipWindow().cmdOK_Click();
    EXPECT_FALSE(zipWindow().completed());
    EXPECT_EQ(zipWindow().lblInfo->text(),
              QStringLiteral("Inventory Manager was not backed up completely."));
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/Daily.bks"), "old set");
}

TEST_F(ProgressTest, ReplacedSetOfOtherCaseGoesOnlyAfterACompleteRun) {
    startWith(defaultProfile(), QStringLiteral("Daily"));
    env.writeFile("dest/DAILY.BKS", "old set");
    options().cmdStart_Click();
    ASSERT_TRUE(options().dupDialog);
    // Nothing is deleted before the run.
    options().dupDialog->cmdReplace_Click();
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/DAILY.BKS"), "old set");

    FakeZip::events = {{255, "0"}};
    desktop.expectBox(QStringLiteral("Error process is stopped !"), Icon::None, Buttons::OK, kTitle,
                      Answer::OK);
    zipWindow().cmdOK_Click();
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/DAILY.BKS"), "old set");
}

TEST_F(ProgressTest, ReplacedSetOfOtherCaseIsRemovedAfterSuccess) {
    startWith(defaultProfile(), QStringLiteral("Daily"));
    env.writeFile("dest/DAILY.BKS", "old set");
    options().cmdStart_Click();
    options().dupDialog->cmdReplace_Click();
    writesSet();
    zipWindow().cmdOK_Click();
    EXPECT_TRUE(zipWindow().completed());
    EXPECT_FALSE(std::filesystem::exists(dest + "/DAILY.BKS"));
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/Daily.bks"), "new set");
}

TEST_F(ProgressTest, MissingLibraryIsToldAndExitStillWorks) {
    writeProfile(defaultProfile());
    ASSERT_TRUE(BackupTest::start(true)); // no libcwzip.so in the application folder
    options().txtBackupName->setText(QStringLiteral("Daily"));
    desktop.expectBox(QStringLiteral("The compression library '") + q(app) +
                          QStringLiteral("/libcwzip.so' is missing or cannot be loaded.  Your "
                                         "files cannot be backed up without it.  Please contact "
                                         "your vendor."),
                      Icon::Critical, Buttons::OK, kTitle, Answer::OK);
    options().cmdStart_Click();
    frmZIP& z = *prog->progressWindow;
    EXPECT_FALSE(z.libraryReady());
    EXPECT_TRUE(z.cmdOK->isHidden());
    EXPECT_EQ(z.cmdCancel->text(), QStringLiteral("Exit"));
    z.cmdOK_Click(); // refused quietly
    QTest::mouseClick(z.cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(prog->ended);
}

TEST_F(ProgressTest, LibraryWithoutAnOperationIsNamed) {
    writeProfile(defaultProfile());
    std::filesystem::copy_file(CWB_PARTIAL_ZIP, app + "/libcwzip.so");
    ZipLibrary lib(app);
    EXPECT_FALSE(lib.bind());
    EXPECT_EQ(lib.errorText(), QStringLiteral("The compression library '") + q(app) +
                                   QStringLiteral("/libcwzip.so' does not provide the operation "
                                                  "cwZip_InstallCallback.  Your files cannot be "
                                                  "backed up with it.  Please contact your "
                                                  "vendor."));
    EXPECT_FALSE(lib.isBound());
}

} // namespace
} // namespace cwb::test
