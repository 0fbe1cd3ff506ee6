#include "kit/dlgSubDir.h"
#include "common/platform/Desktop.h"
#include "common/profile/ProfileFile.h"
#include "common/widgets/Activation.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/ProfileItems.h"
#include "kit/dlgFile.h"
#include "kit/frmConfig.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kit {

dlgSubDir::dlgSubDir(KitApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("dlgSubDir"));
    lblInstructions = new QLabel(this);
    lblInstructions->setObjectName(QStringLiteral("lblInstructions"));
    lblInstructions->setWordWrap(true);
    lblInstructions->setMinimumHeight(64);
    lblInstructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtSubDir = new QLineEdit(this);
    txtSubDir->setObjectName(QStringLiteral("txtSubDir"));
    cmdBrowse = new QPushButton(QStringLiteral("Browse..."), this);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse->setEnabled(false);
    fraDirectory = new QGroupBox(QStringLiteral("Item Type"), this);
    fraDirectory->setObjectName(QStringLiteral("fraDirectory"));
    optAppDir = new QRadioButton(QStringLiteral("Sub-directory of main application directory"),
                                 fraDirectory);
    optAppDir->setObjectName(QStringLiteral("optAppDir"));
    optWindows = new QRadioButton(QStringLiteral("File in Windows directory"), fraDirectory);
    optWindows->setObjectName(QStringLiteral("optWindows"));
    optSys = new QRadioButton(QStringLiteral("File in Windows\\System directory"), fraDirectory);
    optSys->setObjectName(QStringLiteral("optSys"));
    optAppDir->setChecked(true);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setEnabled(false);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto* frame = new QVBoxLayout(fraDirectory);
    for (QRadioButton* o : {optAppDir, optWindows, optSys})
        frame->addWidget(o);
    auto* grid = new QGridLayout(this);
    grid->addWidget(lblInstructions, 0, 0, 1, 2);
    grid->addWidget(txtSubDir, 1, 0);
    grid->addWidget(cmdBrowse, 1, 1);
    grid->addWidget(fraDirectory, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);
    grid->setColumnMinimumWidth(0, 320);

    auto onSelect = [this](QRadioButton* option, void (dlgSubDir::*slot)()) {
        connect(option, &QRadioButton::toggled, this, [this, slot](bool on) {
            if (on)
                (this->*slot)();
        });
    };
    onSelect(optAppDir, &dlgSubDir::optAppDir_Click);
    onSelect(optWindows, &dlgSubDir::optWindows_Click);
    onSelect(optSys, &dlgSubDir::optSys_Click);
    connect(txtSubDir, &QLineEdit::textChanged, this, &dlgSubDir::txtSubDir_Change);
    connect(cmdBrowse, &QPushButton::clicked, this, &dlgSubDir::cmdBrowse_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgSubDir::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgSubDir::CancelButton_Click);
    auto* watcher = new cw::ActivationWatcher(this);
    connect(watcher, &cw::ActivationWatcher::activated, this, &dlgSubDir::Form_Activate);
    adjustSize();
}

dlgFile* dlgSubDir::fileDialog() const {
    return file_;
}

void dlgSubDir::Form_Load() {
    cw::centreOnScreen(this);
    setWindowTitle(QStringLiteral("Add Item to ") + app_.profile.description +
                   QStringLiteral(" Profile"));
}

void dlgSubDir::setSubDirInstructions() {
    lblInstructions->setText(
        QStringLiteral("Enter the name of the sub-directory that ") +
        QStringLiteral("resides in your main application's directory.") +
        QStringLiteral("\r\n\r\n") +
        QStringLiteral("All files inside this sub-directory will be backed up."));
}

void dlgSubDir::Form_Activate() {
    setSubDirInstructions();
    txtSubDir->setFocus();
}

void dlgSubDir::optAppDir_Click() {
    setSubDirInstructions();
    cmdBrowse->setEnabled(false);
}

void dlgSubDir::optWindows_Click() {
    cmdBrowse->setEnabled(true);
    lblInstructions->setText(
        QStringLiteral("Select the Windows file you want added to the Profile."));
}

void dlgSubDir::optSys_Click() {
    cmdBrowse->setEnabled(true);
    lblInstructions->setText(
        QStringLiteral("Select the Windows\\System file you want added to the Profile."));
}

void dlgSubDir::txtSubDir_Change() {
    OKButton->setEnabled(true);
}

void dlgSubDir::cmdBrowse_Click() {
    // A chooser closed earlier may still wait for its deletion: make a fresh one.
    if (!file_ || file_->isHidden()) {
        file_ = new dlgFile(app_, *this, this);
        file_->Form_Load();
    }
    file_->show();
    file_->raise();
    file_->activateWindow();
}

void dlgSubDir::OKButton_Click() {
    const items::Kind kind = optWindows->isChecked() ? items::Kind::Windows
                             : optSys->isChecked()   ? items::Kind::System
                                                     : items::Kind::Application;
    const QString name = txtSubDir->text();
    // A name holding a line break would not read back as one line of the profile.
    if (!cw::profile::lineIsStorable(name.toStdString())) {
        app_.desktop.beep();
        app_.desktop.messageBox(QStringLiteral("The name cannot be stored in a Profile because "
                                               "it holds a line break."),
                                cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
        txtSubDir->setFocus();
        return;
    }
    if (app_.main) {
        if (frmConfig* editor = app_.main->loadedConfig())
            editor->lstSubDir->addItem(items::makeItem(kind, name));
    }
    unloadWindow(app_, this);
}

void dlgSubDir::CancelButton_Click() {
    unloadWindow(app_, this);
}

void dlgSubDir::reject() {
    CancelButton_Click();
}

} // namespace kit
