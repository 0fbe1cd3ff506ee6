#include "tests/restore/RestoreFixture.h"

#include "common/widgets/DirListBox.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QListWidget>

namespace cwr::test {

RestoreFixture::RestoreFixture() {
    desktop.setProgramTitle(QStringLiteral("Caskwell Restore"));
    ctx = std::make_unique<RestoreContext>(desktop, env.makeDir("prog"));
    ctx->unzip = std::make_unique<UnzipLibrary>(FakeUnzip::functions());
}

RestoreFixture::~RestoreFixture() {
    ctx.reset();
    flushDeletes();
}

void RestoreFixture::flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmRestore& RestoreFixture::openSet(const std::vector<std::string>& listing) {
    fake.listing = listing;
    ctx->backupSetPath = env.makeDir("sets") + "/Set1.bks";
    return ctx->showRestoreWindow();
}

void RestoreFixture::select(frmRestore& w, const std::vector<int>& rows) {
    for (int r : rows)
        w.lstArchive->item(r)->setSelected(true);
    w.lstArchive_Click();
}

dlgProgress& RestoreFixture::toProgress(frmRestore& w, const std::string& dest) {
    dlgExtractTo& d = ctx->showExtractDialog();
    d.drvExtractTo->setPath(QString::fromStdString(dest));
    if (w.restoreStructure() && dest != "/")
        desktop.expectBox(QStringLiteral("You have chosen to restore the selected files to a "
                                         "folder rather than the root directory!  Are you sure?"),
                          cw::Icon::Warning, cw::Buttons::YesNo, QStringLiteral("Caskwell"),
                          cw::Answer::Yes, true);
    d.OKButton_Click();
    EXPECT_TRUE(ctx->progressWindow);
    return *ctx->progressWindow;
}

} // namespace cwr::test
