// cwkit, the developer's profile generator. Its command line answers --help and --version
// and copies the kit beside a profile already built (--copy-kit).
#include "common/platform/FilePaths.h"
#include "kit/KitApp.h"
#include "kit/KitCommand.h"
#include "kit/KitDesktop.h"
#include "kit/MDIMainForm.h"
#include "kit/frmSplash.h"
#include <QApplication>

int main(int argc, char** argv) {
    if (argc > 1) {
        const std::vector<std::string> args(argv + 1, argv + argc);
        QCoreApplication core(argc, argv);
        return kit::runKitCommand(args, cw::paths::executableDirectory());
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cwkit"));
    const QString ownDir = QString::fromStdString(cw::paths::executableDirectory());
    kit::KitDesktop desktop(ownDir + QStringLiteral("/help"));
    kit::KitApp app(desktop, desktop, ownDir);
    std::unique_ptr<kit::MDIMainForm> main = kit::frmSplash::startUp(app);
    return QApplication::exec();
}
