#include "backup/frmBackup.h"

#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/dlgBrowse.h"
#include "backup/dlgDupBackupset.h"
#include "common/dlgNewFolder.h"
#include "common/platform/Desktop.h"
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/widgets/Activation.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/WindowKeys.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

namespace cwb {

namespace {

const QString kTitle = QStringLiteral("Caskwell");

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

QRadioButton* option(QWidget* parent, const char* array, int index, const QString& caption) {
    return named(new QRadioButton(caption, parent),
                 QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index));
}

} // namespace

frmBackup::frmBackup(BackupProgram& program, QWidget* parent) : QWidget(parent), program_(program) {
    setObjectName(QStringLiteral("frmBackup"));
    setWindowTitle(kTitle);
    sizeTw(this, 7900, 7000);

    lblExplain = named(new QLabel(this), QStringLiteral("lblExplain"));
    lblExplain->setWordWrap(true);
    placeTw(lblExplain, 120, 120, 7600, 900);

    lblBackupName =
        named(new QLabel(QStringLiteral("Backup Name"), this), QStringLiteral("lblBackupName"));
    placeTw(lblBackupName, 120, 1140, 1300, 300);
    txtBackupName = named(new QLineEdit(this), QStringLiteral("txtBackupName"));
    placeTw(txtBackupName, 1500, 1100, 3000, 330);

    Drive1 = named(new cw::DriveListBox(this), QStringLiteral("Drive1"));
    placeTw(Drive1, 120, 1560, 3000, 330);
    dirFolderList = named(new cw::DirListBox(this), QStringLiteral("dirFolderList"));
    placeTw(dirFolderList, 120, 1980, 3000, 2300);

    cmdNewFolder =
        named(new QPushButton(QStringLiteral("New Folder"), this), QStringLiteral("cmdNewFolder"));
    placeTw(cmdNewFolder, 3300, 1980, 1300, 375);
    cmdBrowse =
        named(new QPushButton(QStringLiteral("Browse..."), this), QStringLiteral("cmdBrowse"));
    placeTw(cmdBrowse, 3300, 2460, 1300, 375);

    flLookforBackupSet = named(new cw::FileListBox(this), QStringLiteral("flLookforBackupSet"));
    // A hidden set of the same name would otherwise be replaced without a question.
    flLookforBackupSet->setShowHidden(true);
    flLookforBackupSet->hide();

    Picture1 = named(new QLabel(this), QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(64, 64));
    Picture1->setAlignment(Qt::AlignCenter);
    placeTw(Picture1, 5400, 1560, 1800, 1500);

    cmdSupport = named(new QToolButton(this), QStringLiteral("cmdSupport"));
    cmdSupport->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdSupport->setToolTip(QStringLiteral("Click Here for help on Backing up your application."));
    placeTw(cmdSupport, 4800, 3480, 480, 480);
    lblSupport = named(new QLabel(QStringLiteral("Support"), this), QStringLiteral("lblSupport"));
    placeTw(lblSupport, 5400, 3580, 1200, 300);

    fraEncrypt =
        named(new QGroupBox(QStringLiteral("Encrypt Backup?"), this), QStringLiteral("fraEncrypt"));
    placeTw(fraEncrypt, 120, 4440, 3700, 1500);
    optEncrypt[1] = option(fraEncrypt, "optEncrypt", 1, QStringLiteral("No"));
    placeTw(optEncrypt[1], 120, 300, 1000, 300);
    optEncrypt[0] = option(fraEncrypt, "optEncrypt", 0, QStringLiteral("Yes (Set Password)"));
    placeTw(optEncrypt[0], 120, 660, 2200, 300);
    txtPassword = named(new QLineEdit(fraEncrypt), QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    placeTw(txtPassword, 120, 1020, 2000, 330);
    lblCaseSensitive = named(new QLabel(QStringLiteral("Case-Sensitive"), fraEncrypt),
                             QStringLiteral("lblCaseSensitive"));
    placeTw(lblCaseSensitive, 2200, 1040, 1400, 300);
    optEncrypt[1]->setChecked(true);
    setPasswordEnabled(false);
    fraEncrypt->hide();
    optEncrypt[0]->hide();
    optEncrypt[1]->hide();
    txtPassword->hide();

    frmCompression = named(new QGroupBox(QStringLiteral("Compression Level"), this),
                           QStringLiteral("frmCompression"));
    placeTw(frmCompression, 4000, 4440, 3700, 1500);
    optComp[3] = option(frmCompression, "optComp", 3, QStringLiteral("Maximum (Slowest)"));
    placeTw(optComp[3], 120, 260, 3400, 280);
    optComp[2] = option(frmCompression, "optComp", 2, QStringLiteral("Normal (Typical)"));
    placeTw(optComp[2], 120, 560, 3400, 280);
    optComp[1] = option(frmCompression, "optComp", 1, QStringLiteral("Minimum (Fast)"));
    placeTw(optComp[1], 120, 860, 3400, 280);
    optComp[0] = option(frmCompression, "optComp", 0, QStringLiteral("None (Fastest)"));
    placeTw(optComp[0], 120, 1160, 3400, 280);
    frmCompression->hide();
    for (auto* o : optComp)
        o->hide();

    fraSpanM = named(new QGroupBox(QStringLiteral("Span Multiple Disks?"), this),
                     QStringLiteral("fraSpanM"));
    optSpan[1] = option(fraSpanM, "optSpan", 1, QStringLiteral("No"));
    optSpan[0] = option(fraSpanM, "optSpan", 0, QStringLiteral("Yes"));
    optSpan[1]->setChecked(true);
    for (auto* o : optSpan)
        o->setEnabled(false);
    fraSpanM->setEnabled(false);
    fraSpanM->hide();

    txtEncrypt = named(new QLineEdit(this), QStringLiteral("txtEncrypt"));
    txtEncrypt->hide();

    cmdStart = named(new QPushButton(QStringLiteral("Next>>"), this), QStringLiteral("cmdStart"));
    placeTw(cmdStart, 4800, 6120, 1400, 375);
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("cmdCancel"));
    placeTw(cmdCancel, 6360, 6120, 1400, 375);

    watcher_ = new cw::ActivationWatcher(this);
    connect(watcher_, &cw::ActivationWatcher::activated, this, &frmBackup::Form_Activate);
    connect(optEncrypt[0], &QRadioButton::clicked, this, [this] { optEncrypt_Click(0); });
    connect(optEncrypt[1], &QRadioButton::clicked, this, [this] { optEncrypt_Click(1); });
    connect(cmdSupport, &QToolButton::clicked, this, &frmBackup::cmdSupport_Click);
    connect(cmdNewFolder, &QPushButton::clicked, this, &frmBackup::cmdNewFolder_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmBackup::cmdBrowse_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmBackup::cmdStart_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBackup::cmdCancel_Click);
    new cw::WindowKeys(this, cmdStart, cmdCancel);
    // The plan follows the controls, whoever changes them.
    connect(txtBackupName, &QLineEdit::textChanged, this, &frmBackup::storeChoices);
    connect(txtPassword, &QLineEdit::textChanged, this, &frmBackup::storeChoices);
    connect(dirFolderList, &cw::DirListBox::pathChanged, this, &frmBackup::storeChoices);
    for (QRadioButton* o :
         {optEncrypt[0], optSpan[0], optComp[0], optComp[1], optComp[2], optComp[3]})
        connect(o, &QRadioButton::toggled, this, &frmBackup::storeChoices);
    storeChoices();
}

void frmBackup::storeChoices() {
    BackupPlan& plan = program_.plan;
    plan.destination = dirFolderList->path().toStdString();
    plan.backupName = txtBackupName->text().toStdString();
    plan.encrypt = optEncrypt[0]->isChecked();
    plan.password = txtPassword->text().toStdString();
    plan.level.reset();
    for (int i = 0; i < 4; ++i)
        if (optComp[i]->isChecked())
            plan.level = kOptionLevels[i];
    plan.span = optSpan[0]->isChecked();
}

void frmBackup::Form_Load() {
    const cw::profile::Profile& profile = program_.plan.profile;
    if (profile.encryptionAllowed)
        txtEncrypt->setText(QLatin1String(*profile.encryptionAllowed ? cw::profile::value::kTrue
                                                                     : cw::profile::value::kFalse));

    Drive1->setDrive(QDir::currentPath());
    try {
        dirFolderList->setPath(Drive1->drive());
    } catch (const cw::PlatformError&) {
        // The current drive unreadable: the folder list stays where it starts.
    }
    dirFolderList_Change();
    connect(dirFolderList, &cw::DirListBox::pathChanged, this, &frmBackup::dirFolderList_Change);
    connect(Drive1, &cw::DriveListBox::driveChanged, this, &frmBackup::Drive1_Change);

    const bool encrypt = txtEncrypt->text() == QLatin1String(cw::profile::value::kTrue);
    if (encrypt) {
        fraEncrypt->show();
        optEncrypt[0]->show();
        optEncrypt[1]->show();
        txtPassword->show();
    }
    const bool customize = profile.customCompression.value_or(false);
    if (customize) {
        frmCompression->show();
        for (auto* o : optComp)
            o->show();
    }
    if (!encrypt && !customize) {
        compact_ = true;
        placeTw(cmdStart, 4800, 4420, 1400, 375);
        placeTw(cmdCancel, 6360, 4420, 1400, 375);
        resize(width(), pxY(5400));
    }

    for (int i = 0; i < 4; ++i)
        if (profile.compression == kOptionLevels[i])
            optComp[i]->setChecked(true);
    // Behind the start window, in the same place: Next>> there brings it to the front.
    cw::centreOnScreen(this);
}

void frmBackup::Form_Activate() {
    lblExplain->setText(QStringLiteral("Choose the destination where you would like to backup ") +
                        program_.appDescription +
                        QStringLiteral(", and type in a Backup Name.  Caskwell will automatically "
                                       "use multiple disks if necessary.  "));
}

void frmBackup::Drive1_Change() {
    const QString drive = Drive1->drive();
    for (;;) {
        try {
            dirFolderList->setPath(drive);
            const int type = cw::drives::type(drive.toStdString());
            optSpan[type == cw::drives::kRemovable ? 0 : 1]->setChecked(true);
            return;
        } catch (const cw::PlatformError&) {
            program_.desktop.beep();
            const auto answer =
                program_.desktop.messageBox(QStringLiteral("Drive ") + drive +
                                                QStringLiteral(" is not available at this time."),
                                            cw::Icon::Warning, cw::Buttons::RetryCancel, kTitle);
            if (answer == cw::Answer::Retry)
                continue;
            // Back to the program's own drive, once: should that fail too, stay as we are.
            if (!fallingBack_) {
                fallingBack_ = true;
                Drive1->setDrive(QString::fromStdString(program_.appDir));
                fallingBack_ = false;
            }
            return;
        }
    }
}

void frmBackup::dirFolderList_Change() {
    const QString path = dirFolderList->path();
    try {
        flLookforBackupSet->setPath(path);
    } catch (const cw::PlatformError&) {
        // An unlistable folder simply holds no sets to find.
    }
    // A removable drive can be reached through the folder list alone (mounts live in the
    // tree), so spanning follows the destination folder's drive, not only Drive1.
    if (!path.isEmpty()) {
        const int type = cw::drives::type(cw::drives::driveOf(path.toStdString()));
        optSpan[type == cw::drives::kRemovable ? 0 : 1]->setChecked(true);
    }
}

void frmBackup::setPasswordEnabled(bool on) {
    txtPassword->setEnabled(on);
    QPalette pal = txtPassword->palette();
    pal.setColor(QPalette::Base,
                 QApplication::palette().color(on ? QPalette::Base : QPalette::Button));
    txtPassword->setPalette(pal);
}

void frmBackup::optEncrypt_Click(int index) {
    setPasswordEnabled(index == 0);
}

void frmBackup::cmdSupport_Click() {
    const QString& support = program_.supportText;
    if (support.startsWith(QLatin1String("http"), Qt::CaseSensitive)) {
        program_.desktop.openUrl(support);
        return;
    }
    program_.desktop.messageBox(
        QStringLiteral("If you have questions or need help with this backup, please "
                       "call...\r\n\r\n") +
            support,
        cw::Icon::Question, cw::Buttons::OK, kTitle);
}

void frmBackup::cmdNewFolder_Click() {
    cw::dlgNewFolder::open(program_.desktop, *dirFolderList, this, false);
}

void frmBackup::cmdBrowse_Click() {
    if (browseDialog) {
        bringToFront(browseDialog);
        return;
    }
    browseDialog = new dlgBrowse(program_, *this);
    browseDialog->show();
}

void frmBackup::cmdStart_Click() {
    auto& desktop = program_.desktop;
    const QString name = txtBackupName->text();
    QString trimmed = name;
    while (trimmed.startsWith(QLatin1Char(' ')))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(QLatin1Char(' ')))
        trimmed.chop(1);
    if (trimmed.isEmpty()) {
        desktop.messageBox(QStringLiteral("You must first enter in a Backup Name for your Backup."),
                           cw::Icon::Critical, cw::Buttons::OK, kTitle);
        txtBackupName->setFocus();
        return;
    }
    // A "/" would put the set into another folder than the one chosen.
    if (name.contains(QLatin1Char('/'))) {
        desktop.messageBox(QStringLiteral("A Backup Name cannot contain the character '/'.  "
                                          "Please enter a different Backup Name."),
                           cw::Icon::Critical, cw::Buttons::OK, kTitle);
        txtBackupName->setFocus();
        return;
    }
    const QString folder =
        QString::fromStdString(cw::paths::withTrailingSep(dirFolderList->path().toStdString()));
    if (!cw::files::isWritableDirectory(folder.toStdString())) {
        desktop.beep();
        desktop.messageBox(QStringLiteral("The backup cannot be written to '") + folder +
                               QStringLiteral("'.  Choose another destination for the backup."),
                           cw::Icon::Warning, cw::Buttons::OK, kTitle);
        return;
    }
    if (!passwordConfirmed())
        return;
    const QString setName = name + QStringLiteral(".bks");
    try {
        flLookforBackupSet->setPath(dirFolderList->path());
    } catch (const cw::PlatformError&) {
        // Nothing listed: no set to find.
    }
    for (const QString& file : flLookforBackupSet->items()) {
        if (file.toLower() == setName.toLower()) {
            program_.replaceFlag = false;
            program_.existingSetPath = folder + file;
            if (dupDialog) {
                bringToFront(dupDialog);
                return;
            }
            dupDialog = new dlgDupBackupset(program_, *this);
            dupDialog->show();
            return;
        }
    }
    program_.replaceFlag = false;
    storeChoices();
    hide();
    program_.showProgressWindow();
}

bool frmBackup::passwordConfirmed() {
    if (!optEncrypt[0]->isChecked()) // what frmZIP reads to encrypt
        return true;
    auto& desktop = program_.desktop;
    // A mistyped password would make a set nobody can restore: ask for it once more.
    const std::optional<QString> again = desktop.inputBox(
        QStringLiteral("Type the password again to confirm it."), kTitle, QString(), true);
    if (!again)
        return false;
    if (*again == txtPassword->text())
        return true;
    desktop.beep();
    desktop.messageBox(QStringLiteral("The passwords do not match."), cw::Icon::Warning,
                       cw::Buttons::OK, kTitle);
    txtPassword->clear();
    txtPassword->setFocus();
    return false;
}

void frmBackup::cmdCancel_Click() {
    program_.endProgram();
}

} // namespace cwb
