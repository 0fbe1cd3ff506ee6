#include "restore/dlgExtractTo.h"

#include "common/dlgNewFolder.h"
#include "common/platform/Desktop.h"
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/Placement.h"
#include "restore/RestoreContext.h"
#include "restore/frmRestore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace cwr {

dlgExtractTo::dlgExtractTo(RestoreContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("dlgExtractTo"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Caskwell Restore"));

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Label1 =
        make(new QLabel(QStringLiteral("Choose a destination to restore to."), this), "Label1");
    Drive1 = make(new cw::DriveListBox(this), "Drive1");
    drvExtractTo = make(new cw::DirListBox(this), "drvExtractTo");
    lblNote = make(new QLabel(this), "lblNote");
    lblNote->setWordWrap(true);
    cmdNewFolder = make(new QPushButton(QStringLiteral("New Folder"), this), "cmdNewFolder");
    OKButton = make(new QPushButton(QStringLiteral("OK"), this), "OKButton");
    CancelButton = make(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton");
    OKButton->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(Drive1);
    left->addWidget(drvExtractTo, 1);
    left->addWidget(lblNote);
    auto* right = new QVBoxLayout;
    right->addWidget(OKButton);
    right->addWidget(CancelButton);
    right->addWidget(cmdNewFolder);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    resize(440, 340);
    // Tab follows the buttons as they stand, New Folder last.
    setTabOrder(drvExtractTo, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, cmdNewFolder);

    connect(Drive1, &cw::DriveListBox::driveChanged, this, &dlgExtractTo::Drive1_Change);
    connect(drvExtractTo, &cw::DirListBox::pathChanged, this,
            [this] { ctx_.plan.destination = drvExtractTo->path().toStdString(); });
    connect(cmdNewFolder, &QPushButton::clicked, this, &dlgExtractTo::cmdNewFolder_Click);
    connect(OKButton, &QPushButton::clicked, this, &dlgExtractTo::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgExtractTo::CancelButton_Click);
    Form_Load();
}

QString dlgExtractTo::destination() const {
    return drvExtractTo->path();
}

void dlgExtractTo::Form_Load() {
    cw::centreOnScreen(this);
    Drive1->setDrive(QString::fromStdString(ctx_.programDir));
    const bool structure = ctx_.restoreWindow && ctx_.plan.restoreStructure;
    lblNote->setText(structure ? QStringLiteral("Note:  If you want to restore the exact "
                                                "directory structure select the root "
                                                "directory of the destination drive only.")
                               : QString());
}

void dlgExtractTo::backToRootDrive() {
    if (Drive1->drive() != QStringLiteral("/"))
        Drive1->setDrive(QStringLiteral("/"));
}

void dlgExtractTo::Drive1_Change() {
    try {
        drvExtractTo->setPath(Drive1->drive());
    } catch (const cw::PlatformError& e) {
        if (e.number() != cw::kErrDeviceUnavailable)
            return;
        ctx_.desktop.beep();
        ctx_.desktop.messageBox(
            QStringLiteral("This drive appears to be unavailable to Caskwell at this time."),
            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
        backToRootDrive();
        return;
    }
    if (cw::drives::type(Drive1->drive().toStdString()) == cw::drives::kCdRom) {
        ctx_.desktop.beep();
        ctx_.desktop.messageBox(QStringLiteral("You cannot specify a CD-ROM as the Destination "
                                               "drive for Restore process.  Select another "
                                               "Drive."),
                                cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
        backToRootDrive();
    }
}

void dlgExtractTo::cmdNewFolder_Click() {
    cw::dlgNewFolder::open(ctx_.desktop, *drvExtractTo, this, false);
}

void dlgExtractTo::OKButton_Click() {
    const bool structure = ctx_.restoreWindow && ctx_.plan.restoreStructure;
    if (structure && !cw::paths::isRoot(drvExtractTo->path().toStdString())) {
        ctx_.desktop.beep();
        const cw::Answer a = ctx_.desktop.messageBox(
            QStringLiteral("You have chosen to restore the selected files to a folder rather "
                           "than the root directory!  Are you sure?"),
            cw::Icon::Warning, cw::Buttons::YesNo, QStringLiteral("Caskwell"));
        if (a != cw::Answer::Yes)
            return;
    }
    ctx_.plan.destination = drvExtractTo->path().toStdString();
    // Hidden, not closed: the destination stays chosen while the restore runs.
    ctx_.showProgressWindow();
    hide();
}

void dlgExtractTo::CancelButton_Click() {
    close();
}

} // namespace cwr
