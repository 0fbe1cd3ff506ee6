#include "tests/restore/RestoreFixture.h"

#include "common/widgets/DirListBox.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
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

ReplaceAnswerer::ReplaceAnswerer(std::deque<QString> b) : buttons(std::move(b)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ReplaceAnswerer::poll);
    timer_.start();
}

void ReplaceAnswerer::poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != QStringLiteral("dlgReplace") || !w->isVisible())
            continue;
        auto* info = w->findChild<QLabel*>(QStringLiteral("lblReplaceInfo"));
        prompts.push_back(info ? info->text() : QString());
        const QString name = buttons.empty() ? QString() : buttons.front();
        if (!buttons.empty())
            buttons.pop_front();
        auto* button = name.isEmpty() ? nullptr : w->findChild<QAbstractButton*>(name);
        if (button)
            button->click();
        else
            w->close();
        return;
    }
}

} // namespace cwr::test
