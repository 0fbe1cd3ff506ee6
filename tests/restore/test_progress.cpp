// The extraction driver and its callback: what the library is told, what the user sees.
#include "common/PictureBox.h"
#include "restore/ExtractionCallback.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

using namespace cwr;
using namespace cwr::test;
namespace fs = std::filesystem;

namespace {

class RestoreProgress : public RestoreFixture {
protected:
    // Five files (sizes 100..500) in two directories, two directory entries, two selected.
    dlgProgress& start(bool encrypted = false, std::vector<int> rows = {1, 3},
                       bool structure = true) {
        const std::string e = encrypted ? "1" : "0";
        if (encrypted)
            desktop.expectInput("Enter password for this BackupSet.", "Caskwell", QString("pw|x"));
        frmRestore& w = openSet(
            {entryMessage("Data", "a.txt", "100", e), entryMessage("Data", "b.txt", "200", e),
             entryMessage("Data/Empty", "", "0", e), entryMessage("", "c.txt", "300", e),
             entryMessage("", "d.txt", "400", e), entryMessage("Logs/Old", "", "0", e),
             entryMessage("", "e.txt", "500", e)});
        w.Form_Activate();
        w.optResDir[structure ? 0 : 1]->setChecked(true);
        select(w, rows);
        dest = env.makeDir("dest");
        return toProgress(w, dest);
    }
    void expectBox(const QString& text, cw::Icon icon, const QString& title = "Caskwell") {
        desktop.expectBox(text, icon, cw::Buttons::OK, title, cw::Answer::OK, true);
    }
    short send(int action, const std::string& msg) {
        return ExtractionCallback::callback(0, action, msg.c_str());
    }
    std::string dest;
};

TEST_F(RestoreProgress, LoadInstallsTheCallbackAndInvitesToStart) {
    dlgProgress& p = start();
    EXPECT_EQ(fake.count("InstallCallback"), 1);
    EXPECT_EQ(p.windowTitle(), "Caskwell");
    EXPECT_EQ(p.cmdCancel->text(), "Cancel");
    EXPECT_EQ(p.lblInfo->text(), "You are about to start the Restore process. Press 'Start "
                                 "Restore' to proceed, Cancel to quit.");
    EXPECT_TRUE(p.Picture1->isHidden());
}

TEST_F(RestoreProgress, FlatRunSendsTheSelectedNamesAndCompletes) {
    dlgProgress& p = start(false, {1, 3}, false);
    fake.calls.clear();
    p.cmdStartRestore->click();
    EXPECT_EQ(fake.last("Include"), "Data/b.txt|d.txt|");
    EXPECT_EQ(fake.last("ExtractTo"), dest);
    EXPECT_EQ(fake.count("ArchiveName"), 5); // once per file line
    EXPECT_EQ(fake.count("Decrypt"), 0);
    EXPECT_EQ(fake.count("RestoreStructure"), 0);
    EXPECT_EQ(fake.calls.back(), "Unzip");
    EXPECT_EQ(p.progressBar().max(), 2);

    EXPECT_EQ(p.lblInfo->text(), "Restore Completed Succesfully.");
    EXPECT_EQ(p.windowTitle(), "Caskwell");
    EXPECT_EQ(p.cmdCancel->text(), "Exit");
    EXPECT_FALSE(p.cmdCancel->isHidden());
    EXPECT_TRUE(p.cmdStartRestore->isHidden());
    EXPECT_TRUE(p.filettraited->isHidden());
    EXPECT_FALSE(p.Picture1->isHidden());
    EXPECT_EQ(p.cmdCancel->x(), (p.width() - p.cmdCancel->width()) / 2);
    EXPECT_FALSE(desktop.busy());
    // No directory came back: only "Yes" re-creates them.
    EXPECT_FALSE(fs::exists(dest + "/Data/Empty"));

    p.cmdCancel->click(); // Exit ends the program
    flushDeletes();
    EXPECT_FALSE(ctx->progressWindow);
    EXPECT_FALSE(ctx->restoreWindow);
    EXPECT_FALSE(ctx->extractDialog);
}

TEST_F(RestoreProgress, EncryptedStructuredRunDecryptsAndRecreatesEmptyDirectories) {
    dlgProgress& p = start(true, {0});
    ASSERT_TRUE(ctx->restoreWindow->restoreStructure());
    p.cmdStartRestore_Click();
    EXPECT_EQ(fake.count("Decrypt:pw|x"), 5);
    EXPECT_TRUE(ctx->password.empty()); // handed over, then wiped
    EXPECT_EQ(fake.count("RestoreStructure:-1"), 5);
    EXPECT_EQ(fake.last("Include"), "Data/a.txt|");
    EXPECT_EQ(p.lstDirectories->count(), 2);
    EXPECT_TRUE(fs::is_directory(dest + "/Data/Empty"));
    EXPECT_TRUE(fs::is_directory(dest + "/Logs/Old")); // its parent came along
}

TEST_F(RestoreProgress, CancelBeforeStartEndsWithoutExtracting) {
    dlgProgress& p = start();
    p.cmdCancel->click();
    flushDeletes();
    EXPECT_EQ(fake.count("Include"), 0);
    EXPECT_FALSE(ctx->progressWindow);
    EXPECT_FALSE(ctx->restoreWindow);
    EXPECT_FALSE(ctx->extractDialog);
}

TEST_F(RestoreProgress, SelectionEmptiedBeforeStartEndsWithoutExtracting) {
    dlgProgress& p = start();
    ctx->restoreWindow->cmdDeselectall->click();
    expectBox("There are no Files to Restore!  Restore will be terminated.", cw::Icon::Warning);
    p.cmdStartRestore->click();
    flushDeletes();
    EXPECT_EQ(fake.count("Unzip"), 1); // the listing only
    EXPECT_FALSE(ctx->progressWindow);
}

TEST_F(RestoreProgress, FileEventsCountDownTheBytesAndStepTheBar) {
    dlgProgress& p = start(false, {1, 3, 4}); // 200 + 400 + 500
    p.progressBar().setMax(3);
    send(15, "x|Data/b.txt|200");
    EXPECT_EQ(p.filettraited->text(),
              "Uncompressing Data/b.txt\n\nBytes remaining to Restore: 900 bytes");
    EXPECT_EQ(ctx->restoredCount, 1);
    EXPECT_EQ(p.progressBar().value(), 1);
    send(15, "x|d.txt|893");
    EXPECT_TRUE(p.filettraited->text().endsWith("Bytes remaining to Restore: 07 bytes"));
    send(15, "x|e.txt|7");
    EXPECT_TRUE(p.filettraited->text().endsWith("Bytes remaining to Restore: 00 bytes"));
    send(15, "x|f.txt|5");
    EXPECT_TRUE(p.filettraited->text().endsWith("Bytes remaining to Restore: -05 bytes"));
    EXPECT_EQ(p.progressBar().value(), 3); // held at the maximum
}

// During a run the window paints only now and then; what it shows at the end is what the
// last events said.
TEST_F(RestoreProgress, APacedRunEndsShowingTheLastTextAndBar) {
    struct Row {
        std::vector<FakeEvent> events;
        QString text;
        int bar;
    };
    const std::vector<Row> rows = {
        {{{15, "1|Data/b.txt|200"}, {15, "2|d.txt|400"}, {15, "3|e.txt|500"}},
         "Uncompressing e.txt\n\nBytes remaining to Restore: 00 bytes",
         3},
        {{{15, "1|Data/b.txt|200"},
          {16, "2|d.txt|400|/d/d.txt|25"},
          {16, "2|d.txt|400|/d/d.txt|50"}},
         "Uncompressing d.txt\n\nBytes remaining to Restore: 700 bytes",
         2},
        {{{10, ""}, {15, "1|e.txt|500"}, {16, "2|d.txt|400|/d/d.txt|75"}, {15, "2|d.txt|400"}},
         "Uncompressing d.txt\n\nBytes remaining to Restore: 200 bytes",
         3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        dlgProgress& p = start(false, {1, 3, 4}); // 200 + 400 + 500
        fake.events = row.events;
        for (int i = 0; i < 200; ++i) // many more events than paints; the warning steps the bar
            fake.events.insert(fake.events.begin(), {10, ""});
        fake.events.push_back({23, "9|x.txt|4"});
        desktop.expectBox("Warning during process on file  x.txt", cw::Icon::None, cw::Buttons::OK,
                          "Caskwell Restore", cw::Answer::OK, true);
        p.cmdStartRestore->click();
        EXPECT_EQ(p.lblInfo->text(),
                  "Restore Completed with errors.  Some files were not restored.");
        EXPECT_EQ(p.filettraited->text(), row.text);
        EXPECT_EQ(p.progressBar().value(), row.bar);
        EXPECT_FALSE(p.isHidden());
        p.cmdCancel->click();
        flushDeletes();
        ctx = std::make_unique<RestoreContext>(desktop, env.path("prog"));
        ctx->unzip = std::make_unique<UnzipLibrary>(FakeUnzip::functions());
    }
}

TEST_F(RestoreProgress, LargeRemaindersAreGrouped) {
    start();
    ctx->selectedBytes = 5'000'000'000LL;
    send(15, "x|big|1000");
    EXPECT_TRUE(ctx->progressWindow->filettraited->text().endsWith("4,999,999,000 bytes"));
}

TEST_F(RestoreProgress, ActivityTextsAndUnknownActions) {
    dlgProgress& p = start();
    send(10, "");
    EXPECT_EQ(p.filettraited->text(), "Creating list of files");
    send(17, "x|a.txt");
    EXPECT_EQ(p.filettraited->text(), "Testing a.txt endded");
    send(18, "x|a.txt");
    EXPECT_EQ(p.filettraited->text(), "Deleting file a.txt");
    send(19, "x|a.txt");
    EXPECT_EQ(p.filettraited->text(), "Deleting file a.txt endded");
    EXPECT_EQ(send(99, "x|y|z"), 0);
    EXPECT_EQ(send(24 + 0x10000 * 7 + 1000, "x"), 0); // high bits ignored, 1024 unknown
    EXPECT_EQ(ExtractionCallback::callback(0, 10, nullptr), 0);
    EXPECT_EQ(ctx->restoredCount, 0);
    EXPECT_FALSE(ctx->stop);
}

TEST_F(RestoreProgress, DiskPrompts) {
    start();
    expectBox("Take out the current disk and insert Disk #3", cw::Icon::Information);
    send(20, "x|3");
    expectBox("Insert the Last disk in the Backup Set.", cw::Icon::Warning);
    send(20, "x|0");
    EXPECT_FALSE(ctx->stop);
}

TEST_F(RestoreProgress, FileProblems) {
    dlgProgress& p = start();
    expectBox("'/data/a.txt' cannot be restored because it is currently being used.",
              cw::Icon::Warning);
    send(23, "x|/data/a.txt|9");
    EXPECT_EQ(ctx->currentFileName, "/data/a.txt");
    EXPECT_EQ(ctx->restoredCount, 1);
    expectBox("Warning during process on file  b.txt", cw::Icon::None, "Caskwell Restore");
    send(23, "x|b.txt|3");
    EXPECT_EQ(ctx->restoredCount, 2);
    EXPECT_EQ(p.progressBar().value(), 2);
    EXPECT_FALSE(ctx->stop);
    expectBox("An incorrect password has been entered.  Restore process will be terminated.",
              cw::Icon::Critical);
    send(23, "x|c.txt|14");
    EXPECT_TRUE(ctx->stop);
}

TEST_F(RestoreProgress, RunWithAFailedFileSaysSo) {
    dlgProgress& p = start();
    fake.events = {{15, "x|Data/b.txt|200"}, {23, "x|d.txt|5"}};
    expectBox("Warning during process on file  d.txt", cw::Icon::None, "Caskwell Restore");
    p.cmdStartRestore->click();
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed with errors.  Some files were not restored.");
}

TEST_F(RestoreProgress, WrongPasswordEndsTheProgramAfterTheLibraryReturns) {
    dlgProgress& p = start();
    fake.events = {{23, "x|Data/b.txt|14"}};
    desktop.expectBox("An incorrect password has been entered.  Restore process will be "
                      "terminated.",
                      cw::Icon::Critical, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true,
                      [this] { EXPECT_TRUE(ctx->progressWindow->isVisible()); });
    p.cmdStartRestore->click();
    flushDeletes();
    EXPECT_FALSE(ctx->progressWindow);
    EXPECT_FALSE(ctx->restoreWindow);
    EXPECT_FALSE(desktop.busy());
}

TEST_F(RestoreProgress, NothingToRestoreClosesEverythingOnlyAfterTheLibraryReturns) {
    dlgProgress& p = start(false, {0, 1});
    fake.events = {{22, ""}, {10, ""}};
    expectBox("There are no Files to Restore!  Restore will be terminated.", cw::Icon::Warning);
    p.cmdStartRestore->click();
    // The event after 22 still found its window.
    EXPECT_EQ(fake.answers.size(), 2u);
    EXPECT_TRUE(ctx->stop);
    flushDeletes();
    EXPECT_FALSE(ctx->progressWindow);
    EXPECT_FALSE(fs::exists(dest + "/Data/Empty")); // a stopped run re-creates nothing
}

TEST_F(RestoreProgress, FatalErrors) {
    start();
    expectBox("Error process is stopped !", cw::Icon::None, "Caskwell Restore");
    send(255, "x|y|12");
    EXPECT_FALSE(ctx->stop);
    EXPECT_TRUE(ctx->incomplete);
    expectBox("Restore process will be stopped!", cw::Icon::Critical);
    send(255, "x|y|4");
    EXPECT_TRUE(ctx->stop);
}

TEST_F(RestoreProgress, NoRoomInTheDestinationSaysSoAndEndsTheRun) {
    dlgProgress& p = start();
    fake.events = {{255, "0|/sets/s.bks|5|the chosen files do not fit"}};
    expectBox("There is not enough free space in the destination to restore the selected "
              "files.",
              cw::Icon::Critical);
    p.cmdStartRestore->click();
    EXPECT_TRUE(ctx->stop);
    flushDeletes();
    EXPECT_FALSE(ctx->progressWindow);
    EXPECT_FALSE(fs::exists(dest + "/Data/Empty")); // a stopped run re-creates nothing
}

TEST_F(RestoreProgress, ReplacePromptAnswers) {
    dlgProgress& p = start();
    p.progressBar().setMax(10);
    const int beeps = desktop.beepCount();
    ReplaceAnswerer answerer({"cmdReplace", "cmdSkip", "", "cmdCancelRestore", "cmdReplaceAll"});
    EXPECT_EQ(send(24, "x|/d/a.txt"), 0);
    EXPECT_EQ(ctx->restoredCount, 0);
    EXPECT_EQ(send(24, "x|/d/c.txt"), 2);
    EXPECT_EQ(ctx->restoredCount, 1);
    EXPECT_EQ(send(24, "x|/d/d.txt"), 2); // closed by the window manager: kept
    EXPECT_EQ(ctx->restoredCount, 2);
    EXPECT_FALSE(ctx->incomplete);
    EXPECT_EQ(send(24, "x|/d/e.txt"), 3);
    EXPECT_TRUE(ctx->incomplete);
    EXPECT_EQ(ctx->currentFileName, "/d/e.txt");
    // Replace All reaches the library as Replace, here and for every later file, unasked.
    EXPECT_EQ(send(24, "x|/d/b.txt"), 0);
    EXPECT_EQ(send(24, "x|/d/f.txt"), 0);
    EXPECT_EQ(ctx->currentFileName, "/d/f.txt");
    ASSERT_EQ(answerer.prompts.size(), 5u);
    EXPECT_EQ(answerer.prompts[0], "Warning, /d/a.txt already exists in the Directory "
                                   "specified.\nDo you want to Replace, Replace All, Skip or "
                                   "Cancel Restore");
    EXPECT_EQ(desktop.beepCount() - beeps, 5);
}

// A replaced file waits in the trash; should its new contents fail, nothing took its place
// and it comes back.
TEST_F(RestoreProgress, AReplacedFileGoesToTheTrashAndBackWhenItsEntryFails) {
    start();
    const std::string a = env.writeFile("dest/a.txt", "mine"),
                      b = env.writeFile("dest/b.txt", "mine too");
    const std::string trash = env.dataHome() + "/Trash";
    ReplaceAnswerer answerer({"cmdReplace", "cmdReplace"});
    EXPECT_EQ(send(24, "1|" + a + "|a.txt"), 0);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(cw::test::TestEnv::readFile(trash + "/files/a.txt"), "mine");
    expectBox(QString::fromStdString("Warning during process on file  " + a), cw::Icon::None,
              "Caskwell Restore");
    send(23, "1|" + a + "|1|bad CRC");
    EXPECT_EQ(cw::test::TestEnv::readFile(a), "mine");
    EXPECT_FALSE(fs::exists(trash + "/info/a.txt.trashinfo"));
    EXPECT_EQ(send(24, "2|" + b + "|b.txt"), 0);
    send(15, "2|b.txt|5|" + b);
    EXPECT_EQ(cw::test::TestEnv::readFile(trash + "/files/b.txt"), "mine too");
    EXPECT_TRUE(fs::exists(trash + "/info/b.txt.trashinfo"));
}

TEST_F(RestoreProgress, MessagesLongerThanTheOldBufferKeepTheirNames) {
    start();
    const std::string name(5000, 'n');
    expectBox(QString::fromStdString("'" + name +
                                     "' cannot be restored because it is currently "
                                     "being used."),
              cw::Icon::Warning);
    send(23, "x|" + name + "|9");
}

} // namespace
