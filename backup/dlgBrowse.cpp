#include "backup/dlgBrowse.h"

#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/frmBackup.h"
#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace cwb {

dlgBrowse::dlgBrowse(BackupProgram& program, frmBackup& options)
    : QDialog(&options), program_(program), options_(options) {
    setObjectName(QStringLiteral("dlgBrowse"));
    setWindowTitle(QStringLiteral("Caskwell"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    sizeTw(this, 5400, 4200);

    lblBackupName = new QLabel(this);
    lblBackupName->setObjectName(QStringLiteral("lblBackupName"));
    placeTw(lblBackupName, 120, 120, 5100, 300);
    lblCurrentDir = new QLabel(this);
    lblCurrentDir->setObjectName(QStringLiteral("lblCurrentDir"));
    placeTw(lblCurrentDir, 120, 480, 5100, 300);

    File1 = new cw::FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setPattern(QStringLiteral("*.BKS"));
    placeTw(File1, 120, 840, 3600, 3000);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setEnabled(false);
    OKButton->setDefault(true);
    placeTw(OKButton, 3900, 840, 1300, 375);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    placeTw(CancelButton, 3900, 1320, 1300, 375);

    connect(File1, &cw::FileListBox::fileClicked, this, &dlgBrowse::File1_Click);
    connect(File1, &cw::FileListBox::fileDoubleClicked, this, &dlgBrowse::File1_DblClick);
    connect(OKButton, &QPushButton::clicked, this, &dlgBrowse::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgBrowse::CancelButton_Click);
    Form_Load();
}

void dlgBrowse::Form_Load() {
    cw::centreOnScreen(this);
    const QString path = options_.dirFolderList->path();
    try {
        File1->setPath(path);
    } catch (const cw::PlatformError&) {
        // A folder that cannot be listed shows no sets.
    }
    lblBackupName->setText(QStringLiteral("Select a Backup Set you would like to replace."));
    lblCurrentDir->setText(QStringLiteral("Current Directory:  ") + path);
}

void dlgBrowse::File1_Click() {
    OKButton->setEnabled(true);
}

void dlgBrowse::File1_DblClick() {
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    options_.txtBackupName->setText(name.left(name.size() - 4));
    close();
}

void dlgBrowse::OKButton_Click() {
    if (File1->fileName().isEmpty()) {
        program_.desktop.beep();
        program_.desktop.messageBox(
            QStringLiteral("You must first select a Backup Set before continuing."),
            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
        return;
    }
    File1_DblClick();
}

void dlgBrowse::CancelButton_Click() {
    close();
}

} // namespace cwb
