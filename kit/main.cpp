// cwkit, the developer's profile generator. Its command line only answers --help and
// --version.
#include "common/platform/FilePaths.h"
#include "common/widgets/QtDesktop.h"
#include "kit/KitApp.h"
#include "kit/KitCommand.h"
#include "kit/MDIMainForm.h"
#include "kit/frmSplash.h"
#include <QApplication>

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication core(argc, argv);
        return kit::runKitCommand(args);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cwkit"));
    const QString ownDir = QString::fromStdString(cw::paths::executableDirectory());
    cw::QtDesktop desktop(ownDir + QStringLiteral("/help"));
    kit::KitApp app(desktop, ownDir);
    std::unique_ptr<kit::MDIMainForm> main = kit::frmSplash::startUp(app);
    return QApplication::exec();
}
