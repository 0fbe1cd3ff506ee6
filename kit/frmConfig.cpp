#include "kit/frmConfig.h"
#include "common/platform/Desktop.h"
#include "common/widgets/Activation.h"
#include "common/widgets/Placement.h"
#include "common/widgets/WindowKeys.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgSubDir.h"
#include "kit/frmOptions.h"
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kit {

frmConfig::frmConfig(KitApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("frmConfig"));
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setWordWrap(true);
        return l;
    };
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    Label1 = label("Label1",
                   QStringLiteral("Caskwell automatically backs up all files in the directory in "
                                  "which it resides. To add nested sub-directories or any "
                                  "additional files, such as supporting Windows system files or "
                                  "Windows desktop shortcuts, choose the Add button"));
    lblDirectories =
        label("lblDirectories", QStringLiteral("Sub-Directories, Windows and System Files"));
    lstSubDir = new QListWidget(this);
    lstSubDir->setObjectName(QStringLiteral("lstSubDir"));
    cmdDAdd = button("cmdDAdd", QStringLiteral("Add"));
    cmdDRemove = button("cmdDRemove", QStringLiteral("Remove"));
    cmdPref = button("cmdPref", QStringLiteral("Preferences"));
    cmdPrint = button("cmdPrint", QStringLiteral("Print"));
    cmdCancel = button("cmdCancel", QStringLiteral("Cancel"));
    cmdMakeINI = button("cmdMakeINI", QStringLiteral("Build Profile"));
    cmdMakeINI->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    cmdMakeINI->setMinimumHeight(56);
    lblExplainINIDir = label("lblExplainINIDir", QString());
    lblDirforINI = label("lblDirforINI", QString());
    lblDirforINI->hide();
    for (QPushButton* b : {cmdDAdd, cmdDRemove, cmdMakeINI})
        b->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 2);
    grid->addWidget(lblDirectories, 1, 0);
    grid->addWidget(lstSubDir, 2, 0);
    auto* column = new QVBoxLayout();
    for (QPushButton* b : {cmdDAdd, cmdDRemove, cmdPref, cmdPrint, cmdCancel, cmdMakeINI})
        column->addWidget(b);
    column->addStretch();
    grid->addLayout(column, 2, 1);
    grid->addWidget(lblExplainINIDir, 3, 0, 1, 2);

    connect(cmdDAdd, &QPushButton::clicked, this, &frmConfig::cmdDAdd_Click);
    connect(cmdDRemove, &QPushButton::clicked, this, &frmConfig::cmdDRemove_Click);
    connect(cmdPref, &QPushButton::clicked, this, &frmConfig::cmdPref_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmConfig::cmdPrint_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);
    connect(cmdMakeINI, &QPushButton::clicked, this, &frmConfig::cmdMakeINI_Click);
    auto* watcher = new cw::ActivationWatcher(this);
    connect(watcher, &cw::ActivationWatcher::activated, this, &frmConfig::Form_Activate);
    // No default here: Enter presses the button that has the focus, Escape loses no work.
    new cw::WindowKeys(this, nullptr, nullptr);
    resize(620, 420);
}

QStringList frmConfig::items() const {
    QStringList out;
    for (int i = 0; i < lstSubDir->count(); ++i)
        out << lstSubDir->item(i)->text();
    return out;
}

void frmConfig::setDirforINI(const QString& path) {
    lblDirforINI->setText(path);
    lblDirforINI_Change();
}

void frmConfig::showInFrame() {
    QWidget* outer = parentWidget() ? parentWidget() : this;
    outer->show();
    show();
    if (app_.main) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(outer))
            app_.main->mdiArea->setActiveSubWindow(sub);
    }
}

void frmConfig::Form_Load() {
    QWidget* outer = parentWidget() ? parentWidget() : this;
    cw::centreWithFixedHeight(outer, 8500);
    if (app_.main && outer != this)
        app_.main->keepInArea(outer);
    if (MDIMainForm* m = app_.main) {
        m->mnuFileCreate->setEnabled(true);
        m->mnufilePrint->setEnabled(true);
        m->mnuFileNew->setEnabled(false);
        m->mnuFileOpen->setEnabled(false);
        m->setToolbarButtonEnabled(4, true);
        m->setToolbarButtonEnabled(5, true);
        m->setToolbarButtonEnabled(1, false);
        m->setToolbarButtonEnabled(2, false);
    }
    setWindowTitle(app_.profile.description + QStringLiteral(" Profile Options"));
    repaint();
}

void frmConfig::Form_Activate() {
    setWindowTitle(app_.profile.description + QStringLiteral(" Profile Options"));
}

void frmConfig::lblDirforINI_Change() {
    cmdMakeINI->setEnabled(true);
    cmdDRemove->setEnabled(true);
    cmdDAdd->setEnabled(true);
}

void frmConfig::cmdDAdd_Click() {
    if (!app_.main)
        return;
    dlgSubDir* dlg = app_.main->subDir();
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
}

void frmConfig::cmdDRemove_Click() {
    app_.desktop.beep();
    QListWidgetItem* item = lstSubDir->currentItem();
    if (!item || !item->isSelected()) {
        app_.desktop.messageBox(QStringLiteral("First select the item in the list that you want "
                                               "to remove, then click Remove"),
                                cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
        return;
    }
    const cw::Answer answer =
        app_.desktop.messageBox(QStringLiteral("Are you sure you want to remove '") + item->text() +
                                    QStringLiteral("' from the list?"),
                                cw::Icon::Question, cw::Buttons::YesNo, QLatin1String(kTitle));
    if (answer == cw::Answer::Yes)
        delete lstSubDir->takeItem(lstSubDir->row(item));
}

void frmConfig::cmdPref_Click() {
    if (app_.main)
        app_.main->options()->showModal();
}

void frmConfig::cmdPrint_Click() {
    if (app_.main)
        app_.main->confirm()->PrintINI();
}

void frmConfig::cmdMakeINI_Click() {
    if (!app_.main)
        return;
    dlgConfirm* dlg = app_.main->confirm();
    dlg->show();
    dlg->raise();
}

void frmConfig::cmdCancel_Click() {
    unloading_ = true;
    unloadWindow(app_, this);
    if (MDIMainForm* m = app_.main) {
        m->setToolbarButtonEnabled(5, false);
        m->mnufilePrint->setEnabled(false);
        m->setToolbarButtonEnabled(4, false);
        m->mnuFileCreate->setEnabled(false);
        m->setToolbarButtonEnabled(1, true);
        m->setToolbarButtonEnabled(2, true);
        m->mnuFileNew->setEnabled(true);
        m->mnuFileOpen->setEnabled(true);
        m->showBackdrop();
    }
    app_.profile.description.clear();
}

bool frmConfig::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::LayoutRequest)
        fitFrame();
    return handled;
}

void frmConfig::fitFrame() {
    if (!layout())
        return;
    const int need = layout()->totalHeightForWidth(width());
    if (need <= height())
        return;
    QWidget* outer = parentWidget() ? parentWidget() : this;
    outer->resize(outer->width(), outer->height() + need - height());
    if (app_.main && outer != this)
        app_.main->keepInArea(outer);
}

void frmConfig::closeEvent(QCloseEvent* e) {
    // Closing the editor's frame is its Cancel, so the main window's commands come back.
    if (!unloading_) {
        e->ignore();
        cmdCancel_Click();
        return;
    }
    e->accept();
}

} // namespace kit
