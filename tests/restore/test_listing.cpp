// The listing of a set into frmRestore, the selection summary and the password question.
#include "restore/RestoreContext.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/dlgWait.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>

using namespace cwr;
using namespace cwr::test;

namespace {

QStringList texts(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

class RestoreListing : public RestoreFixture {};

TEST_F(RestoreListing, CallsTheLibraryInListingOrder) {
    openSet({});
    const std::string set = ctx->backupSetPath;
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"Initialise", "SetWindowHandle",
                                                    "ArchiveName:" + set, "View:-1", "Unzip"}));
}

TEST_F(RestoreListing, EntryLinesWithAndWithoutDirectories) {
    frmRestore& w =
        openSet({entryMessage("Data", "a.txt", "1200"), entryMessage("Data/", "b.txt", "800"),
                 entryMessage("", "c.txt", "5"), "x|12|0|ignored|ignored|9"});
    EXPECT_EQ(texts(w.lstArchive), (QStringList{"Data/a.txt\t", "Data/b.txt\t", "c.txt\t"}));
    EXPECT_EQ(texts(w.lstFileSize), (QStringList{"1200\t", "800\t", "5\t"}));
    EXPECT_EQ(ctx->entryCount, 3);
    EXPECT_EQ(w.lblCount->text(), "Files in Backup Set - [3]");
    EXPECT_EQ(w.windowTitle(), QString::fromStdString("Caskwell Restore - " + ctx->backupSetPath));
}

TEST_F(RestoreListing, DirectoryEntriesAreHeldApartAndNotCounted) {
    frmRestore& w = openSet({entryMessage("Data", "a.txt", "1"),
                             entryMessage("Data/Empty", "", "0"), entryMessage("Logs/", "", "0"),
                             entryMessage("", "b.txt", "2"), entryMessage("", "c.txt", "3")});
    EXPECT_EQ(texts(w.lstArchive), (QStringList{"Data/a.txt\t", "b.txt\t", "c.txt\t"}));
    EXPECT_EQ(texts(w.lstFileSize), (QStringList{"1\t", "2\t", "3\t"}));
    EXPECT_EQ(texts(w.lstDirHolding), (QStringList{"Data/Empty/\t", "Logs/\t"}));
    EXPECT_EQ(w.lblCount->text(), "Files in Backup Set - [3]");
    // Directories to re-create: the structure question is offered, "Yes" first.
    EXPECT_FALSE(w.Frame1->isHidden());
    EXPECT_TRUE(w.optResDir[0]->isChecked());
    EXPECT_TRUE(w.restoreStructure());
}

// The lists are filled in batches: whatever the size of the set and wherever its directory
// entries lie, every list ends up holding its lines in the listing's order.
TEST_F(RestoreListing, LargeListingsKeepTheirOrderInEveryList) {
    struct Row {
        int entries;
        int directoryEvery; // 0: no directory entries
    };
    for (const Row row : {Row{4096, 0}, Row{4097, 0}, Row{10000, 7}, Row{9000, 4097}}) {
        SCOPED_TRACE(row.entries);
        std::vector<std::string> listing;
        QStringList files, sizes, dirs;
        for (int i = 0; i < row.entries; ++i) {
            const std::string n = std::to_string(i);
            if (row.directoryEvery && i % row.directoryEvery == 3) {
                listing.push_back(entryMessage("D" + n, "", "0"));
                dirs << QString::fromStdString("D" + n + "/\t");
            } else {
                listing.push_back(entryMessage(i % 2 ? "S" : "", "f" + n, n));
                files << QString::fromStdString((i % 2 ? "S/f" : "f") + n + "\t");
                sizes << QString::fromStdString(n + "\t");
            }
        }
        frmRestore& w = openSet(listing);
        EXPECT_EQ(texts(w.lstArchive), files);
        EXPECT_EQ(texts(w.lstFileSize), sizes);
        EXPECT_EQ(texts(w.lstDirHolding), dirs);
        EXPECT_EQ(w.Text1->text().toStdString(), listing.back());
        EXPECT_EQ(w.lblCount->text(),
                  "Files in Backup Set - [" + QString::number(files.size()) + "]");
        w.cmdSelectAll->click();
        EXPECT_EQ(ctx->selectedCount, files.size());
        w.close();
        flushDeletes();
    }
}

TEST_F(RestoreListing, NoDirectoryEntriesMeansFlatWithoutAsking) {
    frmRestore& w = openSet({entryMessage("Data", "a.txt", "1")});
    EXPECT_TRUE(w.Frame1->isHidden());
    EXPECT_TRUE(w.optResDir[1]->isChecked());
    EXPECT_FALSE(w.restoreStructure());
}

TEST_F(RestoreListing, NotASetGivesAnEmptyListAndNoPasswordQuestion) {
    frmRestore& w = openSet({});
    w.Form_Activate();
    EXPECT_EQ(w.lstArchive->count(), 0);
    EXPECT_EQ(w.lblCount->text(), "Files in Backup Set - [0]");
    EXPECT_EQ(ctx->encryptedFlag, "");
    EXPECT_FALSE(w.cmdRestore->isEnabled());
}

TEST_F(RestoreListing, ShortLastMessageLeavesTheSetUnencrypted) {
    frmRestore& w = openSet({entryMessage("", "a.txt", "1", "1"), "x|21|0||b.txt|2"});
    EXPECT_EQ(ctx->encryptedFlag, "");
    EXPECT_EQ(w.lblCount->text(), "Files in Backup Set - [2]");
    EXPECT_FALSE(w.windowTitle().endsWith("(ENCRYPTED)"));
}

TEST_F(RestoreListing, EncryptedSetIsMarkedAndAsksForThePasswordUntilGiven) {
    desktop.expectInput("Enter password for this BackupSet.", "Caskwell", std::nullopt);
    // Asked when the window first shows.
    frmRestore& w = openSet({entryMessage("", "a.txt", "1", "1"), entryMessage("", "b", "2", "1")});
    EXPECT_EQ(ctx->encryptedFlag, "1");
    EXPECT_TRUE(w.windowTitle().endsWith(" (ENCRYPTED)"));
    EXPECT_EQ(w.lblCount->text(), "ENCRYPTED Files in Backup Set - [2]");
    EXPECT_EQ(w.lstArchive->palette().color(QPalette::Text), QColor(255, 0, 0));
    // The wait window went with the first activation.
    EXPECT_FALSE(ctx->waitWindow && ctx->waitWindow->isVisible());
    EXPECT_EQ(ctx->password, "");

    desktop.expectInput("Enter password for this BackupSet.", "Caskwell", QString("s3cret"));
    w.Form_Activate();
    EXPECT_EQ(ctx->password, "s3cret");
    w.Form_Activate(); // answered: not asked again
    EXPECT_EQ(desktop.pending(), 0);
}

TEST_F(RestoreListing, ADamagedSetWarnsOnceBeforeThePasswordQuestion) {
    desktop.expectBox("This backup set is damaged.  Only the files listed can be restored.",
                      cw::Icon::Warning, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    desktop.expectInput("Enter password for this BackupSet.", "Caskwell", std::nullopt);
    // The last message is the damage notice; its field 13 still carries the encrypted flag.
    frmRestore& w = openSet({entryMessage("", "a.txt", "1", "1"), "1|26|/sets/cut.bks||||||||||1"});
    EXPECT_EQ(texts(w.lstArchive), QStringList{"a.txt\t"});
    EXPECT_EQ(w.lblCount->text(), "ENCRYPTED Files in Backup Set - [1]");
    EXPECT_TRUE(ctx->plan.damaged);
    desktop.expectInput("Enter password for this BackupSet.", "Caskwell", QString("pw"));
    w.Form_Activate(); // the password is asked again; the warning is not
    EXPECT_EQ(desktop.pending(), 0);
}

TEST_F(RestoreListing, SelectionSummaryFollowsClicksSelectAllAndDeselectAll) {
    frmRestore& w = openSet({entryMessage("", "a", "1200"), entryMessage("", "b", "800"),
                             entryMessage("", "c", "2500")});
    EXPECT_FALSE(w.cmdRestore->isEnabled());
    EXPECT_EQ(w.lblCountChecked->text(), "");

    select(w, {0, 1});
    EXPECT_EQ(w.lblCountChecked->text(),
              "2 item(s) selected.  Total Uncompressed File size:  2,000 bytes");
    EXPECT_TRUE(w.cmdRestore->isEnabled());
    EXPECT_EQ(ctx->selectedCount, 2);
    EXPECT_EQ(ctx->selectedBytes, 2000);

    w.cmdSelectAll->click();
    EXPECT_EQ(w.lblCountChecked->text(),
              "3 item(s) selected.  Total Uncompressed File size:  4,500 bytes");
    w.cmdDeselectall->click();
    EXPECT_EQ(w.lblCountChecked->text(), "");
    EXPECT_FALSE(w.cmdRestore->isEnabled());
    EXPECT_EQ(ctx->selectedCount, 0);
}

TEST_F(RestoreListing, BadAndHugeSizeLinesNeitherCrashNorWrap) {
    frmRestore& w = openSet({entryMessage("", "a", "junk"), entryMessage("", "b", "3000000000"),
                             entryMessage("", "c", "9223372036854775807")});
    select(w, {0, 1});
    EXPECT_EQ(ctx->selectedBytes, 3000000000LL); // beyond 32 bits
    w.cmdSelectAll_Click();
    EXPECT_EQ(ctx->selectedBytes, INT64_MAX);
}

TEST_F(RestoreListing, BackClosesTheWindowAndOpensAFreshDialog) {
    frmRestore& w = openSet({entryMessage("", "a", "1")});
    w.cmdOpen->click();
    flushDeletes();
    EXPECT_FALSE(ctx->restoreWindow);
    ASSERT_TRUE(ctx->openDialog);
    EXPECT_TRUE(ctx->openDialog->isVisible());
}

TEST_F(RestoreListing, MissingLibraryIsNamedAndNothingIsListed) {
    ctx->unzip.reset(); // bind the real file from the (empty) program folder
    const QString file = QString::fromStdString(ctx->programDir + "/libcwunzip.so");
    desktop.expectBox("The decompression library '" + file +
                          "' is missing or cannot be loaded.  Your files cannot be restored "
                          "without it.  Please contact your vendor.",
                      cw::Icon::Critical, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    frmRestore& w = openSet({entryMessage("", "a", "1")});
    EXPECT_EQ(w.lstArchive->count(), 0);
    EXPECT_EQ(w.lblCount->text(), "Files in Backup Set - [0]");
}

TEST_F(RestoreListing, LibraryWithoutAnOperationIsNamed) {
    ctx->unzip.reset();
    const std::string lib = ctx->programDir + "/libcwunzip.so";
    std::filesystem::copy_file(CWR_PARTIAL_LIB, lib);
    desktop.expectBox("The decompression library '" + QString::fromStdString(lib) +
                          "' does not provide the operation cwUnzip_InstallCallback.  Your "
                          "files cannot be restored with it.  Please contact your vendor.",
                      cw::Icon::Critical, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    frmRestore& w = openSet({entryMessage("", "a", "1")});
    EXPECT_EQ(w.lstArchive->count(), 0);
}

} // namespace
