// cwlaunch: a window with the home directory's drive and directory lists and a
// "New Folder" button, opening the shared new-folder dialog at start.
#include "common/dlgNewFolder.h"
#include "common/platform/Paths.h"
#include "common/platform/QtDesktop.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/Placement.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("cwlaunch"));
    cw::QtDesktop desktop(QDir(QCoreApplication::applicationDirPath()).filePath("help"));

    QWidget window;
    window.setObjectName(QStringLiteral("frmLauncher"));
    window.setWindowTitle(desktop.programTitle());
    auto* drive = new cw::DriveListBox(&window);
    drive->setObjectName(QStringLiteral("drvFolderList"));
    auto* dir = new cw::DirListBox(&window);
    dir->setObjectName(QStringLiteral("dirFolderList"));
    auto* newFolder = new QPushButton(QStringLiteral("New Folder"), &window);
    newFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(drive);
    layout->addWidget(dir);
    layout->addWidget(newFolder);

    const QString home = QString::fromStdString(cw::paths::windowsDirectory());
    try {
        dir->setPath(home);
    } catch (const std::exception&) {
        // An unreadable home leaves the list on the current directory.
    }
    drive->setDrive(dir->path());
    QObject::connect(drive, &cw::DriveListBox::driveChanged, dir, [&](const QString& d) {
        try {
            dir->setPath(d);
        } catch (const std::exception&) {
            desktop.beep();
            desktop.messageBox(QStringLiteral("Drive ") + d +
                                   QStringLiteral(" is not available at this time."),
                               cw::Icon::Warning, cw::Buttons::OK);
            const QSignalBlocker quiet(drive); // back to the list's drive, not a new change
            drive->setDrive(dir->path());
        }
    });
    QObject::connect(newFolder, &QPushButton::clicked, dir,
                     [&] { cw::dlgNewFolder::open(desktop, *dir, &window, false); });

    window.resize(cw::twipsToPixelsX(5400), cw::twipsToPixelsY(5400));
    cw::centreOnScreen(&window);
    window.show();
    QTimer::singleShot(0, &window, [&] { cw::dlgNewFolder::open(desktop, *dir, &window, false); });
    return app.exec();
}
