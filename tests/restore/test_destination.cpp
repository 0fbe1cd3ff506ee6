// The restore destination: the structure note and question, and new folders.
#include "common/dlgNewFolder.h"
#include "common/widgets/DirListBox.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace cwr;
using namespace cwr::test;

namespace {

const QString kQuestion = "You have chosen to restore the selected files to a folder rather "
                          "than the root directory!  Are you sure?";

class RestoreDestination : public RestoreFixture {
protected:
    dlgExtractTo& openWith(bool dirs) {
        std::vector<std::string> listing{entryMessage("Data", "a.txt", "1")};
        if (dirs)
            listing.push_back(entryMessage("Data/Empty", "", "0"));
        frmRestore& w = openSet(listing);
        select(w, {0});
        w.cmdRestore->click();
        EXPECT_TRUE(ctx->extractDialog);
        return *ctx->extractDialog;
    }
};

TEST_F(RestoreDestination, StartsOnTheProgramDriveWithoutNoteForFlatRestores) {
    dlgExtractTo& d = openWith(false);
    EXPECT_EQ(d.windowTitle(), "Caskwell Restore");
    EXPECT_EQ(d.lblNote->text(), "");
    d.drvExtractTo->setPath(QString::fromStdString(env.path("prog")));
    d.OKButton->click(); // flat: never asks
    ASSERT_TRUE(ctx->progressWindow);
    EXPECT_TRUE(ctx->progressWindow->isVisible());
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ctx->extractDialog); // hidden, still loaded
}

TEST_F(RestoreDestination, StructureIntoAFolderAsksAndNoStays) {
    dlgExtractTo& d = openWith(true);
    EXPECT_EQ(d.lblNote->text(), "Note:  If you want to restore the exact directory structure "
                                 "select the root directory of the destination drive only.");
    d.drvExtractTo->setPath(QString::fromStdString(env.path("prog")));
    desktop.expectBox(kQuestion, cw::Icon::Warning, cw::Buttons::YesNo, "Caskwell", cw::Answer::No,
                      true);
    d.OKButton->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(ctx->progressWindow);
    desktop.expectBox(kQuestion, cw::Icon::Warning, cw::Buttons::YesNo, "Caskwell", cw::Answer::Yes,
                      true);
    d.OKButton->click();
    EXPECT_TRUE(ctx->progressWindow);
}

TEST_F(RestoreDestination, StructureIntoTheRootDoesNotAsk) {
    dlgExtractTo& d = openWith(true);
    // The root itself, as a user opens it: its item heads the list.
    QListWidgetItem* root = d.drvExtractTo->item(0);
    ASSERT_EQ(root->data(Qt::UserRole).toString(), "/");
    Q_EMIT d.drvExtractTo->itemDoubleClicked(root);
    ASSERT_EQ(d.destination(), "/");
    d.OKButton->click();
    EXPECT_TRUE(ctx->progressWindow);
}

TEST_F(RestoreDestination, NewFolderBecomesTheDestination) {
    dlgExtractTo& d = openWith(false);
    d.drvExtractTo->setPath(QString::fromStdString(env.path("prog")));
    d.cmdNewFolder->click();
    auto* nf = d.findChild<cw::dlgNewFolder*>();
    ASSERT_NE(nf, nullptr);
    nf->txtNameOfFolder->setText("Restored");
    nf->OKButton_Click();
    EXPECT_EQ(d.destination(), QString::fromStdString(env.path("prog/Restored")));
}

TEST_F(RestoreDestination, CancelLeavesTheSelectionAsItWas) {
    dlgExtractTo& d = openWith(false);
    d.CancelButton->click();
    flushDeletes();
    EXPECT_FALSE(ctx->extractDialog);
    ASSERT_TRUE(ctx->restoreWindow);
    EXPECT_EQ(ctx->selectedCount, 1);
}

} // namespace
