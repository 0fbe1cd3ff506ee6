// cwr, the restore utility: opens a backup set, lists it and restores the chosen entries.
// Started with arguments it lists, tests or restores from the command line, without windows
// and without a display.
#include "common/platform/FilePaths.h"
#include "common/platform/QtRuntime.h"
#include "common/widgets/QtDesktop.h"
#include "restore/RestoreCommand.h"
#include "restore/RestoreContext.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
    cw::runtime::usePluginsBesideQt();
    if (argc > 1) {
        // The arguments as bytes, before Qt sees them: a path need not be valid UTF-8.
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication app(argc, argv);
        cw::runtime::usePluginsBesideQt();
        return cwr::runRestoreCommand(args, cw::paths::executableDirectory());
    }
    QApplication app(argc, argv);
    cw::runtime::usePluginsBesideQt();
    cw::QtDesktop desktop;
    desktop.setProgramTitle(QStringLiteral("Caskwell Restore"));
    cwr::RestoreContext ctx(desktop, cw::paths::executableDirectory());
    ctx.showOpenDialog();
    return app.exec();
}
