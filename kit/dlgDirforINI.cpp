#include "kit/dlgDirforINI.h"
#include "common/dlgNewFolder.h"
#include "common/platform/Desktop.h"
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/profile/ProfileFile.h"
#include "common/widgets/Activation.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/frmConfig.h"
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kit {

namespace {
const QString kTitleText = QLatin1String(kTitle);
}

dlgDirforINI::dlgDirforINI(KitApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("dlgDirforINI"));
    setWindowTitle(QStringLiteral("New Backup Profile"));
    lblDescription =
        new QLabel(QStringLiteral("Enter the name of the application to be backed up."), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    txtProfileDescription = new QLineEdit(this);
    txtProfileDescription->setObjectName(QStringLiteral("txtProfileDescription"));
    lblExplainDirforBP = new QLabel(this);
    lblExplainDirforBP->setObjectName(QStringLiteral("lblExplainDirforBP"));
    lblExplainDirforBP->setWordWrap(true);
    drvforINI = new cw::DriveListBox(this);
    drvforINI->setObjectName(QStringLiteral("drvforINI"));
    dirforINI = new cw::DirListBox(this);
    dirforINI->setObjectName(QStringLiteral("dirforINI"));
    lblDirExplain = new QLabel(this);
    lblDirExplain->setObjectName(QStringLiteral("lblDirExplain"));
    lblDirExplain->setWordWrap(true);
    cmdNewFolder = new QPushButton(QStringLiteral("New Folder"), this);
    cmdNewFolder->setObjectName(QStringLiteral("cmdNewFolder"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    flLookforIni = new cw::FileListBox(this);
    flLookforIni->setObjectName(QStringLiteral("flLookforIni"));
    flLookforIni->hide();
    OKButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblDescription, 0, 0);
    grid->addWidget(txtProfileDescription, 1, 0);
    grid->addWidget(drvforINI, 2, 0);
    grid->addWidget(dirforINI, 3, 0, 3, 1);
    grid->addWidget(lblExplainDirforBP, 0, 1, 2, 1);
    grid->addWidget(lblDirExplain, 3, 1);
    grid->addWidget(cmdNewFolder, 4, 1, Qt::AlignLeft | Qt::AlignTop);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->setColumnMinimumWidth(1, 220);
    grid->setRowStretch(5, 1);

    connect(drvforINI, &cw::DriveListBox::driveChanged, this, &dlgDirforINI::drvforINI_Change);
    connect(dirforINI, &cw::DirListBox::pathChanged, this, &dlgDirforINI::dirforINI_Change);
    connect(cmdNewFolder, &QPushButton::clicked, this, &dlgDirforINI::cmdNewFolder_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgDirforINI::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgDirforINI::CancelButton_Click);
    auto* watcher = new cw::ActivationWatcher(this);
    connect(watcher, &cw::ActivationWatcher::activated, this, &dlgDirforINI::Form_Activate);

    // The current drive and directory.
    const QString cwd = QDir::currentPath();
    try {
        dirforINI->setPath(cwd);
    } catch (const cw::PlatformError&) {
    }
    {
        const QSignalBlocker block(drvforINI);
        drvforINI->setDrive(cwd);
    }
    dirforINI_Change();
    resize(640, 420);
}

void dlgDirforINI::Form_Load() {
    cw::centreWithFixedHeight(this, 8000);
    switchCommands();
    lblDirExplain->setText(
        QStringLiteral("A Profile contains information pertaining to a specific backup set.  ") +
        QStringLiteral("Profiles include files to back up, level of compression, directory "
                       "information, etc.") +
        QStringLiteral("\r\n") +
        QStringLiteral("Select a location where you want the new Profile created."));
    lblExplainDirforBP->setText(
        QStringLiteral("Enter the name of the application to be backed up.  ") +
        QStringLiteral("(This name is displayed to your users if you enable the 'Prompt User to "
                       "Close Application' ") +
        QStringLiteral("option when building the Profile.)"));
    txtProfileDescription->clear();
}

void dlgDirforINI::switchCommands() {
    if (MDIMainForm* m = app_.main) {
        m->mnuFileCreate->setEnabled(false);
        m->mnuFileNew->setEnabled(false);
        m->mnuFileOpen->setEnabled(false);
        m->setToolbarButtonEnabled(1, false);
        m->setToolbarButtonEnabled(2, false);
    }
}

void dlgDirforINI::Form_Activate() {
    txtProfileDescription->clear();
    txtProfileDescription->setFocus();
}

void dlgDirforINI::driveBackToRoot() {
    drvforINI->setDrive(QStringLiteral("/"));
}

void dlgDirforINI::drvforINI_Change() {
    // Going back to the root runs this again once; the root itself is never left for
    // itself, so a failing root cannot start the check over and over.
    if (driveDepth_ > 1)
        return;
    ++driveDepth_;
    const QString drive = drvforINI->drive();
    bool shown = true;
    try {
        dirforINI->setPath(drive);
    } catch (const cw::PlatformError& e) {
        shown = false;
        if (e.number() == cw::kErrDeviceUnavailable) {
            app_.desktop.beep();
            app_.desktop.messageBox(
                QStringLiteral("This drive appears to be unavailable to Caskwell at this time."),
                cw::Icon::Warning, cw::Buttons::OK, kTitleText);
            if (drive != QLatin1String("/"))
                driveBackToRoot();
        }
    }
    if (shown && cw::drives::type(drive.toStdString()) == cw::drives::kCdRom) {
        app_.desktop.beep();
        app_.desktop.messageBox(QStringLiteral("You cannot specify a CD-ROM as the Destination "
                                               "drive for your Profile.  Choose another Drive."),
                                cw::Icon::Warning, cw::Buttons::OK, kTitleText);
        if (drive != QLatin1String("/"))
            driveBackToRoot();
    }
    --driveDepth_;
}

void dlgDirforINI::dirforINI_Change() {
    try {
        flLookforIni->setPath(dirforINI->path());
    } catch (const cw::PlatformError&) {
        // An unreadable directory lists no files, so no profile is found there.
    }
}

void dlgDirforINI::cmdNewFolder_Click() {
    cw::dlgNewFolder::open(app_.desktop, *dirforINI, this, true);
}

void dlgDirforINI::OKButton_Click() {
    const QString dir = dirforINI->path();
    const QString profilePath =
        QString::fromStdString(cw::paths::join(dir.toStdString(), cw::profile::kFileName));
    if (txtProfileDescription->text().trimmed().isEmpty()) {
        app_.desktop.beep();
        app_.desktop.messageBox(
            QStringLiteral("Enter the name of the application to be backed up."),
            cw::Icon::Question, cw::Buttons::OK, kTitleText);
        txtProfileDescription->setFocus();
        return;
    }
    // The listing may be older than the directory; look again before asking.
    flLookforIni->refreshList();
    replaceConfirmed_ = false;
    if (flLookforIni->items().contains(QLatin1String(cw::profile::kFileName))) {
        app_.desktop.beep();
        const cw::Answer answer = app_.desktop.messageBox(
            QStringLiteral("A Profile already exists in this directory.  Are you sure you want "
                           "to replace ") +
                QStringLiteral("the current Profile with a new one?"),
            cw::Icon::Warning, cw::Buttons::YesNo, kTitleText);
        if (answer != cw::Answer::Yes)
            return;
        // The old profile stays until the new one is built, so cancelling the editor
        // leaves the application with its profile.
        if (!cw::files::canReplace(profilePath.toStdString()) ||
            !cw::files::isWritableDirectory(dir.toStdString())) {
            app_.desktop.beep();
            app_.desktop.messageBox(QStringLiteral("The Profile in this directory cannot be "
                                                   "replaced.  Choose another directory."),
                                    cw::Icon::Warning, cw::Buttons::OK, kTitleText);
            return;
        }
        replaceConfirmed_ = true;
    }
    const QString folder = QString::fromStdString(cw::paths::withTrailingSep(dir.toStdString()));
    app_.profile.description = txtProfileDescription->text();
    app_.profile.folder = folder;
    app_.profile.newProfile = true;
    if (!app_.main)
        return;
    frmConfig* editor = app_.main->config();
    editor->setDirforINI(profilePath);
    editor->lblExplainINIDir->setText(
        QStringLiteral("Click on the Build Profile button to create your ") +
        app_.profile.description + QStringLiteral(" Profile in '") + dir + QStringLiteral("'."));
    hide();
    editor->showInFrame();
    editor->Form_Activate();
    editor->cmdDAdd->setEnabled(true);
    editor->cmdDRemove->setEnabled(true);
    editor->cmdMakeINI->setEnabled(true);
}

void dlgDirforINI::CancelButton_Click() {
    unloadWindow(app_, this);
    if (MDIMainForm* m = app_.main) {
        m->showBackdrop();
        m->mnuFileCreate->setEnabled(false);
        m->setToolbarButtonEnabled(1, true);
        m->setToolbarButtonEnabled(2, true);
        m->mnuFileNew->setEnabled(true);
        m->mnuFileOpen->setEnabled(true);
    }
}

void dlgDirforINI::reject() {
    CancelButton_Click();
}

} // namespace kit
