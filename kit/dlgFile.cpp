#include "kit/dlgFile.h"
#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/dlgSubDir.h"
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kit {

namespace {

// Whether path is base itself or lies below it. A mere common prefix ("/home/ann" and
// "/home/anna") is not inside.
bool isInside(const QString& path, const QString& base) {
    if (path == base)
        return true;
    const QString withSep = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    return path.startsWith(withSep);
}

} // namespace

dlgFile::dlgFile(KitApp& app, dlgSubDir& owner, QWidget* parent)
    : QDialog(parent), app_(app), owner_(owner) {
    setObjectName(QStringLiteral("dlgFile"));
    setWindowTitle(QLatin1String(kTitle));
    File1 = new cw::FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    Dir1 = new cw::DirListBox(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(File1, 0, 0);
    grid->addWidget(Dir1, 0, 1);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2);
    connect(Dir1, &cw::DirListBox::pathChanged, this, &dlgFile::Dir1_Change);
    connect(OKButton, &QPushButton::clicked, this, &dlgFile::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgFile::CancelButton_Click);
    connect(File1, &cw::FileListBox::fileDoubleClicked, this, &dlgFile::OKButton_Click);
    resize(560, 340);
}

void dlgFile::queryDirectories() {
    windowsDir_ = QString::fromStdString(cw::paths::windowsDirectory());
    systemDir_ = QString::fromStdString(cw::paths::systemDirectory());
}

void dlgFile::pointFileList() {
    try {
        File1->setPath(Dir1->path());
    } catch (const cw::PlatformError&) {
        // A directory that cannot be listed shows no files.
    }
}

void dlgFile::Form_Load() {
    cw::centreOnScreen(this);
    queryDirectories();
    const QString start = owner_.optSys->isChecked() ? systemDir_ : windowsDir_;
    try {
        Dir1->setPath(start);
    } catch (const cw::PlatformError&) {
    }
    pointFileList();
}

void dlgFile::moveBackTo(const QString& dir, const QString& message) {
    app_.desktop.beep();
    app_.desktop.messageBox(message, cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
    // Going back runs the check once more; a root that cannot be shown ends it there.
    if (depth_ > 1)
        return;
    try {
        Dir1->setPath(dir);
    } catch (const cw::PlatformError&) {
    }
}

void dlgFile::Dir1_Change() {
    ++depth_;
    pointFileList();
    queryDirectories();
    const QString path = Dir1->path();
    if (owner_.optWindows->isChecked() && !isInside(path, windowsDir_)) {
        moveBackTo(windowsDir_, QStringLiteral("Select a file within the Windows directory or "
                                               "one of the Windows sub-directories."));
    } else if (owner_.optSys->isChecked() && !isInside(path, systemDir_)) {
        moveBackTo(systemDir_, QStringLiteral("Select a file within the System directory or one "
                                              "of the System sub-directories."));
    } else {
        pointFileList();
    }
    --depth_;
}

void dlgFile::OKButton_Click() {
    const QString base = owner_.optWindows->isChecked() ? windowsDir_ : systemDir_;
    const QString path = Dir1->path();
    const QString file = File1->fileName();
    if (path == base) {
        owner_.txtSubDir->setText(file);
    } else {
        const QString withSep = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
        owner_.txtSubDir->setText(path.mid(withSep.size()) + QLatin1Char('/') + file);
    }
    unloadWindow(app_, this);
}

void dlgFile::CancelButton_Click() {
    unloadWindow(app_, this);
}

void dlgFile::reject() {
    CancelButton_Click();
}

} // namespace kit
