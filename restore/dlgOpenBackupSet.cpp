#include "restore/dlgOpenBackupSet.h"

#include "common/platform/Desktop.h"
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/Placement.h"
#include "restore/RestoreContext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cwr {

dlgOpenBackupSet::dlgOpenBackupSet(RestoreContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("dlgOpenBackupSet"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Open Caskwell Backup Set"));

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 = make(new QLabel(QStringLiteral("Look In:"), this), "Label1");
    Drive1 = make(new cw::DriveListBox(this), "Drive1");
    Dir1 = make(new cw::DirListBox(this), "Dir1");
    File1 = make(new cw::FileListBox(this), "File1");
    Label2 = make(new QLabel(QStringLiteral("Name of Backup Set:"), this), "Label2");
    txtBackupName = make(new QLineEdit(this), "txtBackupName");
    Label3 = make(new QLabel(QStringLiteral("Files of Type:"), this), "Label3");
    cboFileType = make(new QComboBox(this), "cboFileType");
    cmdOpen = make(new QPushButton(QStringLiteral("Open"), this), "cmdOpen");
    CancelButton = make(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton");
    cmdOpen->setEnabled(false);
    cmdOpen->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Drive1, 1, 0);
    grid->addWidget(Dir1, 2, 0);
    grid->addWidget(File1, 1, 1, 2, 1);
    grid->addWidget(Label2, 3, 0);
    grid->addWidget(txtBackupName, 4, 0);
    grid->addWidget(Label3, 5, 0);
    grid->addWidget(cboFileType, 6, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOpen);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 1, 4, 1);
    resize(480, 360);

    connect(Drive1, &cw::DriveListBox::driveChanged, this, &dlgOpenBackupSet::Drive1_Change);
    connect(Dir1, &cw::DirListBox::pathChanged, this, &dlgOpenBackupSet::Dir1_Change);
    connect(File1, &cw::FileListBox::fileClicked, this, &dlgOpenBackupSet::File1_Click);
    connect(txtBackupName, &QLineEdit::textChanged, this, &dlgOpenBackupSet::txtBackupName_Change);
    connect(cboFileType, &QComboBox::activated, this, &dlgOpenBackupSet::cboFileType_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &dlgOpenBackupSet::cmdOpen_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgOpenBackupSet::CancelButton_Click);

    // The lists start at the current directory, as the controls do by themselves.
    Dir1_Change();
    Form_Load();
}

void dlgOpenBackupSet::Form_Load() {
    cw::centreOnScreen(this);
    cboFileType->addItem(QStringLiteral("Caskwell Backup Sets (*.bks)"));
    cboFileType->addItem(QStringLiteral("All files (*.*)"));
    cboFileType->setCurrentIndex(0);
    cboFileType_Click();
    File1->setPattern(QStringLiteral("*.BKS"));
}

void dlgOpenBackupSet::cboFileType_Click() {
    File1->setPattern(cboFileType->currentIndex() == 1 ? QStringLiteral("*.*")
                                                       : QStringLiteral("*.bks"));
    File1->refreshList();
}

void dlgOpenBackupSet::Drive1_Change() {
    for (;;) {
        try {
            Dir1->setPath(Drive1->drive());
            return;
        } catch (const cw::PlatformError&) {
            ctx_.desktop.beep();
            const cw::Answer a = ctx_.desktop.messageBox(
                QStringLiteral("Drive ") + Drive1->drive() +
                    QStringLiteral(" is not available at this time."),
                cw::Icon::Warning, cw::Buttons::RetryCancel, QStringLiteral("Caskwell"));
            if (a == cw::Answer::Retry)
                continue;
            // Falling back to the drive just refused would ask again without end.
            const std::string own = cw::drives::driveOf(ctx_.programDir);
            if (Drive1->drive().toStdString() != own)
                Drive1->setDrive(QString::fromStdString(ctx_.programDir));
            return;
        }
    }
}

void dlgOpenBackupSet::Dir1_Change() {
    try {
        File1->setPath(Dir1->path());
    } catch (const cw::PlatformError&) {
        // An unreadable directory simply lists no files.
    }
}

void dlgOpenBackupSet::File1_Click() {
    txtBackupName->setText(File1->fileName());
}

void dlgOpenBackupSet::txtBackupName_Change() {
    if (!txtBackupName->text().isEmpty())
        cmdOpen->setEnabled(true);
}

void dlgOpenBackupSet::cmdOpen_Click() {
    const QString name = txtBackupName->text();
    const QStringList items = File1->items();
    for (const QString& item : items) {
        if (item != name)
            continue;
        QString dir = File1->path();
        if (!dir.endsWith(QLatin1Char('/')))
            dir += QLatin1Char('/');
        ctx_.backupSetPath = (dir + item).toStdString();
        // The next window comes up first, so the program never has no window open.
        ctx_.showRestoreWindow();
        close();
        return;
    }
    ctx_.desktop.beep();
    ctx_.desktop.messageBox(QStringLiteral("'") + name +
                                QStringLiteral("' cannot be found in this directory."),
                            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
}

void dlgOpenBackupSet::CancelButton_Click() {
    close();
}

} // namespace cwr
