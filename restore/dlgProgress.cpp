#include "restore/dlgProgress.h"

#include "common/PictureBox.h"
#include "common/platform/Desktop.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/InputHold.h"
#include "common/widgets/Placement.h"
#include "restore/EmptyDirectories.h"
#include "restore/Listing.h"
#include "restore/RestoreContext.h"
#include "restore/UnzipLibrary.h"
#include "restore/dlgExtractTo.h"
#include "restore/frmRestore.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cstring>
#include <limits>

namespace cwr {

namespace {
constexpr int kWidth = 420;
constexpr int kButtonWidth = 150;
} // namespace

dlgProgress::dlgProgress(RestoreContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), callback_(ctx, *this) {
    setObjectName(QStringLiteral("dlgProgress"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Caskwell"));
    setFixedSize(kWidth, 230);

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    lblInfo = make(new QLabel(this), "lblInfo");
    lblInfo->setGeometry(12, 12, kWidth - 24, 44);
    lblInfo->setWordWrap(true);
    filettraited = make(new QLabel(this), "filettraited");
    filettraited->setGeometry(12, 60, kWidth - 24, 64);
    filettraited->setWordWrap(true);
    Picture1 = make(new cw::PictureBox(this), "Picture1");
    Picture1->setGeometry(12, 132, kWidth - 24, 24);
    Picture1->hide();
    cmdStartRestore =
        make(new QPushButton(QStringLiteral("Start Restore"), this), "cmdStartRestore");
    cmdStartRestore->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    cmdStartRestore->setGeometry(12, 180, kButtonWidth, 32);
    cmdStartRestore->setDefault(true);
    cmdCancel = make(new QPushButton(this), "cmdCancel");
    cmdCancel->setGeometry(kWidth - 12 - kButtonWidth, 180, kButtonWidth, 32);
    lstDirectories = make(new QListWidget(this), "lstDirectories");
    lstDirectories->hide();

    connect(Picture1, &cw::PictureBox::repaintNeeded, this, &dlgProgress::Picture1_Paint);
    connect(cmdStartRestore, &QPushButton::clicked, this, &dlgProgress::cmdStartRestore_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &dlgProgress::cmdCancel_Click);
    Form_Load();
}

dlgProgress::~dlgProgress() = default;

cw::CProgressBar& dlgProgress::progressBar() {
    if (!bar_)
        bar_ = std::make_unique<cw::CProgressBar>();
    return *bar_;
}

void dlgProgress::Form_Load() {
    cw::centreOnScreen(this);
    progressBar().setCanvas(Picture1);
    cmdCancel->setText(QStringLiteral("Cancel"));
    lblInfo->setText(QStringLiteral("You are about to start the Restore process. Press 'Start "
                                    "Restore' to proceed, Cancel to quit."));
    if (ctx_.bindUnzip())
        ctx_.unzipLibrary().api().InstallCallback(&ExtractionCallback::callback);
}

void dlgProgress::Picture1_Paint() {
    progressBar().refresh(false);
}

void dlgProgress::progressUpdate() {
    barPending_ = true;
}

void dlgProgress::showActivity(const QString& text) {
    activity_ = text;
    activityPending_ = true;
}

void dlgProgress::refreshNow() {
    if (activityPending_) {
        activityPending_ = false;
        filettraited->setText(activity_);
        filettraited->repaint();
    }
    if (barPending_) {
        barPending_ = false;
        cw::CProgressBar& bar = progressBar();
        const std::int64_t v = std::min<std::int64_t>(ctx_.restoredCount, bar.max());
        bar.setValue(static_cast<std::int32_t>(v));
    }
}

void dlgProgress::eventHandled() {
    if (!running_) {
        refreshNow();
        return;
    }
    if (!pacer_.due())
        return;
    refreshNow();
    // The window is moved, covered and closed while the library works; a close request
    // that comes while events are handled waits for the next turn.
    if (pumping_)
        return;
    pumping_ = true;
    QCoreApplication::processEvents();
    pumping_ = false;
}

void dlgProgress::askToStop() {
    if (asking_ || stopRequested_)
        return;
    asking_ = true;
    const cw::Answer answer = ctx_.desktop.messageBox(
        QStringLiteral("Stop the restore now?  Files already restored are kept."),
        cw::Icon::Question, cw::Buttons::YesNo, QStringLiteral("Caskwell"));
    asking_ = false;
    if (answer == cw::Answer::Yes && running_)
        stopRequested_ = true;
}

void dlgProgress::cmdStartRestore_Click() {
    // The selection may have been emptied after "Restore To...": there is nothing to run.
    if (!ctx_.restoreWindow || !ctx_.extractDialog || ctx_.selectedCount <= 0 ||
        !ctx_.bindUnzip()) {
        ctx_.desktop.beep();
        ctx_.desktop.messageBox(
            QStringLiteral("There are no Files to Restore!  Restore will be terminated."),
            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
        ctx_.stop = true;
        ctx_.closeAll();
        return;
    }

    ctx_.setBusy(true);
    lblInfo->clear();
    setWindowTitle(QStringLiteral("I'm working on it.  Please wait..."));
    cmdStartRestore->hide();
    Picture1->show();
    cmdCancel->move((width() - cmdCancel->width()) / 2, cmdCancel->y());
    cmdCancel->hide();

    {
        // frmRestore stays on screen but takes no input until the run is over.
        const cw::InputHold hold(this);
        extract();
    }
    refreshNow();

    if (ctx_.stop) {
        ctx_.setBusy(false);
        ctx_.closeAll();
        return;
    }
    ctx_.desktop.beep();
    ctx_.setBusy(false);
    Picture1->show();
    filettraited->hide();
    setWindowTitle(QStringLiteral("Caskwell"));
    // A damaged set may have held files its listing could not show.
    lblInfo->setText(ctx_.incomplete || ctx_.plan.damaged
                         ? QStringLiteral("Restore Completed with errors.  Some files were not "
                                          "restored.")
                         : QStringLiteral("Restore Completed Succesfully."));
    cmdCancel->setText(QStringLiteral("Exit"));
    cmdCancel->setEnabled(true);
    cmdCancel->show();
    cmdCancel->setDefault(true);
}

void dlgProgress::extract() {
    const RestorePlan& plan = ctx_.plan;
    cw::CProgressBar& bar = progressBar();
    bar.setMin(0);
    bar.setMax(static_cast<std::int32_t>(
        std::min<std::int64_t>(ctx_.selectedCount, std::numeric_limits<std::int32_t>::max())));

    lstDirectories->clear();
    for (const auto& line : plan.directoryLines())
        lstDirectories->addItem(QString::fromStdString(line));

    const UnzipFunctions& api = ctx_.unzipLibrary().api();
    const bool encrypted = ctx_.encryptedFlag == "1";
    const bool structure = plan.restoreStructure;
    // The set, password and structure go to the library once per listed entry.
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        api.ArchiveName(ctx_.backupSetPath.c_str());
        if (encrypted)
            api.Decrypt(ctx_.password.c_str());
        if (structure)
            api.RestoreStructure(-1);
    }
    // The library keeps the password until its run ends; this copy goes now.
    explicit_bzero(ctx_.password.data(), ctx_.password.size());
    ctx_.password.clear();
    const std::string& dest = plan.destination;
    api.Include(includeList(plan.selectedPaths()).c_str());
    api.ExtractTo(dest.c_str());
    running_ = true;
    pacer_.restart();
    api.Unzip();
    running_ = false;

    if (ctx_.stop || !structure)
        return;
    recreateEmptyDirectories(plan.directoryLines(), dest, plan.directoryStamps);
}

void dlgProgress::cmdCancel_Click() {
    ctx_.closeAll();
}

void dlgProgress::reject() {
    close();
}

void dlgProgress::closeEvent(QCloseEvent* e) {
    if (running_) {
        e->ignore();
        askToStop();
        return;
    }
    e->accept();
    // Every way out of this window ends the program.
    ctx_.closeAll();
}

} // namespace cwr
