// cwb, the backup utility: run by the end user from the application's folder.
#include "backup/BackupProgram.h"
#include "common/platform/FilePaths.h"
#include "common/widgets/QtDesktop.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    cw::QtDesktop desktop;
    cwb::BackupProgram program(desktop, cw::paths::executableDirectory());
    if (!program.start())
        return 0;
    return QApplication::exec();
}
