#include "backup/frmZIP.h"

#include "backup/BackupIncludeList.h"
#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/SetFile.h"
#include "backup/ZipLibrary.h"
#include "common/Format.h"
#include "common/platform/Desktop.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"

#include "common/widgets/WindowKeys.h"
#include "zip/include/cwevents.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>
#include <cstring>
#include <limits>

namespace cwb {

namespace {

const QString kTitle = QStringLiteral("Caskwell");

// The window the library's callback reports to; set while it is installed.
frmZIP* gCallbackTarget = nullptr;

constexpr std::size_t kMessageBuffer = 2049;

// About 30 paints a second: enough to follow, cheap beside a run of many small files.
constexpr qint64 kPaintInterval = 33; // ms

// The message as the callback keeps it: at most 2,048 bytes, never cut inside a character.
std::string copyMessage(const char* message) {
    if (!message)
        return {};
    std::size_t n = ::strnlen(message, kMessageBuffer - 1);
    if (n == kMessageBuffer - 1 && message[n] != '\0')
        while (n > 0 && (static_cast<unsigned char>(message[n]) & 0xC0) == 0x80)
            --n;
    return std::string(message, n);
}

} // namespace

short ZipCallback(int /*reserved*/, int action, const char* message) {
    const std::string m = copyMessage(message);
    if (gCallbackTarget)
        return gCallbackTarget->callback(action, QString::fromStdString(m));
    return CW_ZIP_ANSWER_GO_ON;
}

frmZIP::frmZIP(BackupProgram& program, QWidget* parent) : QWidget(parent), program_(program) {
    setObjectName(QStringLiteral("frmZIP"));
    setWindowTitle(kTitle);
    // No other window takes input while the library runs inside this window's events. A
    // window takes its modality when shown, so it is modal from the start: the windows
    // before it are hidden by then, or done with.
    setWindowModality(Qt::ApplicationModal);
    sizeTw(this, 6600, 4200);

    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    placeTw(lblInfo, 240, 240, 6100, 600);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    placeTw(lblSummary, 240, 960, 6100, 1000);

    filettraited = new QLabel(this);
    filettraited->setObjectName(QStringLiteral("filettraited"));
    filettraited->setAutoFillBackground(true);
    filettraited->setBackgroundRole(QPalette::Base);
    placeTw(filettraited, 240, 960, 6100, 1000);
    filettraited->lower();

    Picture1 = new cw::PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    placeTw(Picture1, 240, 2160, 6100, 360);
    Picture1->hide();

    cmdOK = new QPushButton(QStringLiteral("Start Backup"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    placeTw(cmdOK, 1500, 3000, 1700, 450);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    placeTw(cmdCancel, 3400, 3000, 1700, 450);

    connect(cmdOK, &QPushButton::clicked, this, &frmZIP::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmZIP::cmdCancel_Click);
    connect(Picture1, &cw::PictureBox::repaintNeeded, this, &frmZIP::Picture1_Paint);
    keys_ = new cw::WindowKeys(this, cmdOK, cmdCancel);
    // While the run hides every button, Escape is what closing the window is.
    keys_->escapeOtherwise = [this] { close(); };
}

frmZIP::~frmZIP() {
    if (gCallbackTarget == this)
        gCallbackTarget = nullptr;
}

void frmZIP::Form_Load() {
    try {
        bar_.setCanvas(Picture1);
    } catch (const cw::CProgressBarError&) {
        // A canvas too large for the bar's layout arithmetic: the run goes on without it.
    }

    ZipLibrary& zip = program_.zipLibrary();
    libraryReady_ = zip.bind();
    if (libraryReady_) {
        zip.api().Initialise();
        gCallbackTarget = this;
        zip.api().InstallCallback(&ZipCallback);
    }

    cw::centreOnScreen(this);
    setWindowTitle(kTitle);
    lblInfo->setText(QStringLiteral(
        "You are about to start a Backup. Press 'Start Backup' to proceed, Cancel to quit."));
    const BackupPlan& plan = program_.plan;
    lblSummary->setText(QStringLiteral("You are backing up a total of ") +
                        QString::number(plan.shownCount) +
                        QStringLiteral(" file(s).\r\n\r\nTotal Uncompressed Size of All Files:  ") +
                        QString::fromStdString(cw::formatPicture(plan.totalSize, "###,###")) +
                        QStringLiteral(" bytes"));

    if (!libraryReady_) {
        // Nothing can be written: say why, and leave only the way out.
        program_.desktop.messageBox(zip.errorText(), cw::Icon::Critical, cw::Buttons::OK, kTitle);
        cmdOK->hide();
        cmdCancel->setText(QStringLiteral("Exit"));
        keys_->setDefaultButton(cmdCancel);
    }
}

void frmZIP::cmdOK_Click() {
    // Enter on a hidden button, or a click while the window keeps up, starts nothing more.
    if (!libraryReady_ || running_ || ran_)
        return;
    running_ = true;
    auto& desktop = program_.desktop;
    desktop.setBusy(true);
    setWindowTitle(QStringLiteral("I'm working on it.  Please wait..."));
    cmdOK->hide();
    lblSummary->hide();
    lblInfo->setText(QString());
    cmdCancel->move((width() - cmdCancel->width()) / 2, cmdCancel->y());
    cmdCancel->hide();
    filettraited->raise();

    setPath_ = QString::fromStdString(program_.plan.setPath());
    const SetIdentity before = SetIdentity::of(setPath_.toStdString());
    errorReported_ = false;
    paced_.start();

    DoZIP();
    catchUp();

    running_ = false;
    ran_ = true;
    // The old set goes only once a complete new one stands in its place.
    const SetIdentity after = SetIdentity::of(setPath_.toStdString());
    completed_ = !errorReported_ && !stopped_ && after.isNewerThan(before);
    if (completed_ && program_.replaceFlag && program_.existingSetPath != setPath_) {
        const std::string old = program_.existingSetPath.toStdString();
        // On a case-blind file system the old name is the new set itself.
        if (!SetIdentity::of(old).sameFileAs(after))
            cw::files::removeFile(old);
    }

    desktop.beep();
    desktop.setBusy(false);
    Picture1->show();
    filettraited->hide();
    setWindowTitle(kTitle);
    lblInfo->setText(program_.appDescription +
                     (completed_ ? QStringLiteral(" was backed up succesfully.")
                                 : QStringLiteral(" was not backed up completely.")));
    cmdCancel->setText(QStringLiteral("Exit"));
    cmdCancel->show();
    cmdCancel->setEnabled(true);
    keys_->setDefaultButton(cmdCancel);
    // Whatever the pace skipped, the end of the run is on screen at once.
    repaint();
}

void frmZIP::keepUp() {
    if (paced_.isValid() && paced_.elapsed() < kPaintInterval)
        return;
    paced_.start();
    catchUp();
    QCoreApplication::processEvents();
}

void frmZIP::catchUp() {
    if (textBehind_) {
        textBehind_ = false;
        if (lastProgressAction_ == CW_EVENT_PROGRESS) {
            const std::string m = lastProgress_.toStdString();
            filettraited->setText(QStringLiteral("Compressing file : ") +
                                  QString::fromStdString(cw::getField(m, "|", 2)) +
                                  QStringLiteral("\r\n\r\nCompression Percent Done: ") +
                                  QString::fromStdString(cw::getField(m, "|", 5)) +
                                  QStringLiteral("%"));
        } else {
            filettraited->setText(QString());
        }
    }
    if (barBehind_) {
        barBehind_ = false;
        maj();
    }
}

void frmZIP::closeEvent(QCloseEvent* e) {
    if (!running_) {
        QWidget::closeEvent(e);
        return;
    }
    e->ignore();
    if (stopRequested_ || asking_)
        return;
    asking_ = true;
    const cw::Answer answer = program_.desktop.messageBox(
        QStringLiteral("Stop the backup now?  No backup set is written, and an older set of the "
                       "same name is kept."),
        cw::Icon::Question, cw::Buttons::YesNo, kTitle);
    asking_ = false;
    if (answer == cw::Answer::Yes && running_)
        stopRequested_ = true;
}

void frmZIP::DoZIP() {
    Picture1->show();
    bar_.setMin(0);
    bar_.setMax(program_.plan.progressTop());

    const IncludeList include = makeIncludeList(program_.plan.files);
    if (!include.leftOut.empty()) {
        QString names;
        for (const auto& e : include.leftOut)
            names += QStringLiteral("\r\n") + QString::fromStdString(e);
        program_.desktop.messageBox(
            QStringLiteral("The following file(s) cannot be backed up because their names "
                           "contain the character '|'.  They have been left out of the Backup "
                           "Set:\r\n") +
                names,
            cw::Icon::Warning, cw::Buttons::OK, kTitle);
    }
    runBackup(program_.zipLibrary().api(), program_.plan, setPath_.toStdString(), include.list);
}

void frmZIP::maj() {
    bar_.setValue(static_cast<std::int32_t>(
        std::min<std::int64_t>(program_.filesDone, std::numeric_limits<std::int32_t>::max())));
}

short frmZIP::callback(int action, const QString& m) {
    auto field = [&m](int n) {
        return QString::fromStdString(cw::getField(m.toStdString(), "|", n));
    };
    auto& desktop = program_.desktop;
    // Anything else, a box above all, shows the progress as it stands.
    if (action != CW_EVENT_PROGRESS && action != CW_EVENT_STORED)
        catchUp();
    switch (action) {
    case CW_EVENT_START:
        filettraited->setText(QStringLiteral("Creating list of files"));
        break;
    case CW_EVENT_PROGRESS:
    case CW_EVENT_STORED:
        if (action == CW_EVENT_STORED) {
            ++program_.filesDone;
            barBehind_ = true;
        }
        lastProgress_ = m;
        lastProgressAction_ = action;
        textBehind_ = true;
        if (running_)
            keepUp();
        else
            catchUp();
        break;
    case CW_EVENT_DISK:
        desktop.messageBox(QStringLiteral("First, remove this disk and label it Disk #") +
                               field(2) + QStringLiteral(".  Then insert a new disk."),
                           cw::Icon::Information, cw::Buttons::OK, kTitle);
        break;
    case CW_EVENT_UNREADABLE:
        errorReported_ = true;
        desktop.messageBox(QStringLiteral("Error during process of file : ") + field(2),
                           cw::Icon::None, cw::Buttons::OK, kTitle);
        break;
    case CW_EVENT_WARNING:
        desktop.messageBox(QStringLiteral("Warning during process on file  ") + field(2),
                           cw::Icon::None, cw::Buttons::OK, kTitle);
        break;
    case CW_EVENT_DUPLICATE:
        desktop.beep();
        desktop.messageBox(QStringLiteral("Warning, ") + field(2) +
                               QStringLiteral(" already exists in this Backup Set.\r\nDo you want "
                                              "to Replace, Replace All, Skip or Cancel Backup"),
                           cw::Icon::Warning, cw::Buttons::OK, kTitle);
        break;
    case CW_EVENT_FATAL:
        errorReported_ = true;
        // The user's own stop needs no error box: the window says the set was not written.
        if (field(3) == QString::number(CW_ZIP_ERROR_STOPPED)) {
            stopped_ = true;
            break;
        }
        desktop.messageBox(QStringLiteral("Error process is stopped !"), cw::Icon::None,
                           cw::Buttons::OK, kTitle);
        break;
    default:
        break;
    }
    if (stopRequested_ && (action == CW_EVENT_PROGRESS || action == CW_EVENT_STORED))
        return CW_ZIP_ANSWER_STOP;
    return CW_ZIP_ANSWER_GO_ON;
}

void frmZIP::cmdCancel_Click() {
    program_.endProgram();
}

void frmZIP::Picture1_Paint() {
    bar_.refresh(false);
}

} // namespace cwb
