#include "backup/dlgDupBackupset.h"

#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/frmBackup.h"
#include "common/platform/Desktop.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace cwb {

dlgDupBackupset::dlgDupBackupset(BackupProgram& program, frmBackup& options)
    : QDialog(&options), program_(program), options_(options) {
    setObjectName(QStringLiteral("dlgDupBackupset"));
    setWindowTitle(QStringLiteral("Caskwell"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    sizeTw(this, 6000, 2200);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    placeTw(Picture1, 120, 120, 600, 600);

    lblFoundBackupSet = new QLabel(
        QStringLiteral("A Backup Set with the same name already exists.  To replace the existing "
                       "backup set with a new one, choose 'Replace'.  To enter a different name "
                       "or select another destination for the backup, choose 'Back'."),
        this);
    lblFoundBackupSet->setObjectName(QStringLiteral("lblFoundBackupSet"));
    lblFoundBackupSet->setWordWrap(true);
    placeTw(lblFoundBackupSet, 840, 120, 5000, 1300);

    cmdReplace = new QPushButton(QStringLiteral("&Replace"), this);
    cmdReplace->setObjectName(QStringLiteral("cmdReplace"));
    placeTw(cmdReplace, 2700, 1600, 1400, 375);
    cmdCancel = new QPushButton(QStringLiteral("&Back"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    placeTw(cmdCancel, 4300, 1600, 1400, 375);

    connect(cmdReplace, &QPushButton::clicked, this, &dlgDupBackupset::cmdReplace_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &dlgDupBackupset::cmdCancel_Click);
    Form_Load();
}

void dlgDupBackupset::Form_Load() {
    cw::centreOnScreen(this);
    program_.desktop.beep();
}

void dlgDupBackupset::cmdReplace_Click() {
    program_.replaceFlag = true;
    close();
    options_.hide();
    program_.showProgressWindow();
}

void dlgDupBackupset::cmdCancel_Click() {
    close();
    program_.replaceFlag = false;
}

} // namespace cwb
