#include "restore/RestoreContext.h"

#include "common/platform/Desktop.h"
#include "restore/UnzipLibrary.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/dlgProgress.h"
#include "restore/dlgWait.h"
#include "restore/frmRestore.h"

namespace cwr {

RestoreContext::RestoreContext(cw::DesktopService& d, std::string dir)
    : desktop(d), programDir(std::move(dir)) {}

RestoreContext::~RestoreContext() {
    // Windows left open at the end refer to this context: they go first.
    delete progressWindow.data();
    delete extractDialog.data();
    delete restoreWindow.data();
    delete waitWindow.data();
    delete openDialog.data();
}

void RestoreContext::setBusy(bool on) {
    if (busy == on)
        return;
    busy = on;
    desktop.setBusy(on);
}

UnzipLibrary& RestoreContext::unzipLibrary() {
    if (!unzip)
        unzip = std::make_unique<UnzipLibrary>(programDir);
    return *unzip;
}

bool RestoreContext::bindUnzip() {
    UnzipLibrary& lib = unzipLibrary();
    if (lib.bind())
        return true;
    desktop.beep();
    desktop.messageBox(lib.errorText(), cw::Icon::Critical, cw::Buttons::OK,
                       QStringLiteral("Caskwell"));
    return false;
}

dlgOpenBackupSet& RestoreContext::showOpenDialog() {
    auto* w = new dlgOpenBackupSet(*this);
    openDialog = w;
    w->show();
    return *w;
}

frmRestore& RestoreContext::showRestoreWindow() {
    auto* w = new frmRestore(*this);
    restoreWindow = w;
    w->show();
    return *w;
}

dlgWait& RestoreContext::showWaitWindow() {
    if (!waitWindow)
        waitWindow = new dlgWait();
    waitWindow->show();
    waitWindow->repaint();
    return *waitWindow;
}

dlgExtractTo& RestoreContext::showExtractDialog() {
    // Both dialogs belong to the selection window, so they never fall behind it.
    if (!extractDialog)
        extractDialog = new dlgExtractTo(*this, restoreWindow);
    extractDialog->show();
    extractDialog->raise();
    return *extractDialog;
}

dlgProgress& RestoreContext::showProgressWindow() {
    if (!progressWindow)
        progressWindow = new dlgProgress(*this, restoreWindow);
    progressWindow->show();
    progressWindow->raise();
    return *progressWindow;
}

void RestoreContext::closeAll() {
    // A window that closes asks for the others to close too: once is enough.
    if (closingAll)
        return;
    closingAll = true;
    if (progressWindow)
        progressWindow->close();
    if (extractDialog)
        extractDialog->close();
    if (openDialog)
        openDialog->close();
    if (restoreWindow)
        restoreWindow->close();
    if (waitWindow)
        waitWindow->close();
    closingAll = false;
}

} // namespace cwr
