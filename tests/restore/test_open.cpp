// Opening a backup set by drive, directory and name.
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "restore/RestoreContext.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace cwr;
using namespace cwr::test;

namespace {

class RestoreOpenSet : public RestoreFixture {
protected:
    dlgOpenBackupSet& openIn(const std::string& dir) {
        dlgOpenBackupSet& d = ctx->showOpenDialog();
        d.Dir1->setPath(QString::fromStdString(dir));
        return d;
    }
};

TEST_F(RestoreOpenSet, StartsWithBothFileTypesAndTheSetPattern) {
    dlgOpenBackupSet& d = ctx->showOpenDialog();
    EXPECT_EQ(d.windowTitle(), "Open Caskwell Backup Set");
    ASSERT_EQ(d.cboFileType->count(), 2);
    EXPECT_EQ(d.cboFileType->itemText(0), "Caskwell Backup Sets (*.bks)");
    EXPECT_EQ(d.cboFileType->itemText(1), "All files (*.*)");
    EXPECT_EQ(d.cboFileType->currentIndex(), 0);
    EXPECT_EQ(d.File1->pattern().toLower(), "*.bks");
    EXPECT_FALSE(d.cmdOpen->isEnabled());
    EXPECT_EQ(d.Dir1->path(), QString::fromStdString(env.root()));
}

TEST_F(RestoreOpenSet, FileTypeChoosesWhatIsListedWithoutRegardToCase) {
    env.writeFile("sets/Set1.bks", "x");
    env.writeFile("sets/OLD.BKS", "x");
    env.writeFile("sets/notes.txt", "x");
    dlgOpenBackupSet& d = openIn(env.path("sets"));
    EXPECT_EQ(d.File1->items(), (QStringList{"OLD.BKS", "Set1.bks"}));
    d.cboFileType->setCurrentIndex(1);
    d.cboFileType_Click();
    EXPECT_EQ(d.File1->items(), (QStringList{"notes.txt", "OLD.BKS", "Set1.bks"}));
}

TEST_F(RestoreOpenSet, OpeningAListedSetShowsTheSelectionWindow) {
    env.writeFile("sets/Set1.bks", "x");
    fake.listing = {entryMessage("", "a.txt", "3")};
    dlgOpenBackupSet& d = openIn(env.path("sets"));
    d.File1->setFileName("Set1.bks");
    d.File1_Click();
    EXPECT_EQ(d.txtBackupName->text(), "Set1.bks");
    EXPECT_TRUE(d.cmdOpen->isEnabled());
    d.cmdOpen->click();
    flushDeletes();
    EXPECT_EQ(ctx->backupSetPath, env.path("sets/Set1.bks"));
    EXPECT_FALSE(ctx->openDialog);
    ASSERT_TRUE(ctx->restoreWindow);
    EXPECT_TRUE(ctx->restoreWindow->isVisible());
    EXPECT_EQ(fake.last("ArchiveName"), env.path("sets/Set1.bks"));
}

TEST_F(RestoreOpenSet, NameDifferingInCaseIsNotFound) {
    env.writeFile("sets/Set1.bks", "x");
    dlgOpenBackupSet& d = openIn(env.path("sets"));
    QTest::keyClicks(d.txtBackupName, "set1.bks");
    desktop.expectBox("'set1.bks' cannot be found in this directory.", cw::Icon::Warning,
                      cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    d.cmdOpen->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(ctx->restoreWindow);
}

TEST_F(RestoreOpenSet, ErasedNameKeepsOpenEnabledAndIsNotFound) {
    dlgOpenBackupSet& d = openIn(env.path("prog"));
    QTest::keyClicks(d.txtBackupName, "x");
    d.txtBackupName->clear();
    EXPECT_TRUE(d.cmdOpen->isEnabled());
    desktop.expectBox("'' cannot be found in this directory.", cw::Icon::Warning, cw::Buttons::OK,
                      "Caskwell", cw::Answer::OK, true);
    d.cmdOpen_Click();
}

TEST_F(RestoreOpenSet, AnyListedFileOpensUnderAllFiles) {
    env.writeFile("sets/notes.txt", "x");
    dlgOpenBackupSet& d = openIn(env.path("sets"));
    d.cboFileType->setCurrentIndex(1);
    d.cboFileType_Click();
    d.txtBackupName->setText("notes.txt");
    d.cmdOpen_Click();
    EXPECT_EQ(ctx->backupSetPath, env.path("sets/notes.txt"));
}

TEST_F(RestoreOpenSet, CancelClosesTheDialog) {
    dlgOpenBackupSet& d = ctx->showOpenDialog();
    d.CancelButton->click();
    flushDeletes();
    EXPECT_FALSE(ctx->openDialog);
}

} // namespace
