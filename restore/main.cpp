// cwr, the restore utility: opens a backup set, lists it and restores the chosen entries.
#include "common/platform/FilePaths.h"
#include "common/widgets/QtDesktop.h"
#include "restore/RestoreContext.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    cw::QtDesktop desktop;
    desktop.setProgramTitle(QStringLiteral("Caskwell Restore"));
    cwr::RestoreContext ctx(desktop, cw::paths::executableDirectory());
    ctx.showOpenDialog();
    return app.exec();
}
