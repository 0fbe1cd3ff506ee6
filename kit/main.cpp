// cwkit, the developer's profile generator.
#include "common/platform/FilePaths.h"
#include "common/widgets/QtDesktop.h"
#include "kit/KitApp.h"
#include "kit/MDIMainForm.h"
#include "kit/frmSplash.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cwkit"));
    const QString ownDir = QString::fromStdString(cw::paths::executableDirectory());
    cw::QtDesktop desktop(ownDir + QStringLiteral("/help"));
    kit::KitApp app(desktop, ownDir);
    std::unique_ptr<kit::MDIMainForm> main = kit::frmSplash::startUp(app);
    return QApplication::exec();
}
