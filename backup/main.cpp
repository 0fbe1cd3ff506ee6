// cwb, the backup utility: run by the end user from the application's folder. Started with
// arguments it backs up from the command line, without windows and without a display.
#include "backup/BackupCommand.h"
#include "backup/BackupProgram.h"
#include "common/platform/FilePaths.h"
#include "common/platform/QtRuntime.h"
#include "common/widgets/QtDesktop.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char** argv) {
    cw::runtime::usePluginsBesideQt();
    if (argc > 1) {
        // The arguments as bytes, before Qt sees them: a path need not be valid UTF-8.
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication app(argc, argv);
        cw::runtime::usePluginsBesideQt();
        return cwb::runBackupCommand(args, cw::paths::executableDirectory());
    }
    QApplication app(argc, argv);
    cw::runtime::usePluginsBesideQt();
    cw::QtDesktop desktop;
    cwb::BackupProgram program(desktop, cw::paths::executableDirectory());
    if (!program.start())
        return 0;
    return QApplication::exec();
}
