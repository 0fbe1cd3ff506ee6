#include "backup/frmStartBackup.h"

#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/ProfileReaders.h"
#include "backup/frmBackup.h"
#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/platform/Files.h"
#include "common/platform/Paths.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/WindowKeys.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace cwb {

namespace {

const QString kTitle = QStringLiteral("Caskwell");

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// The directory without a trailing "/", the root aside: the form lookups expect.
std::string bareDir(std::string d) {
    while (d.size() > 1 && d.back() == cw::paths::kSep)
        d.pop_back();
    return d;
}

} // namespace

frmStartBackup::frmStartBackup(BackupProgram& program, QWidget* parent)
    : QWidget(parent), program_(program) {
    setObjectName(QStringLiteral("frmStartBackup"));
    setWindowTitle(kTitle);
    sizeTw(this, 9600, 6600);

    lblHeading =
        new QLabel(QStringLiteral("The following files will be Backed up.  Click on Next."), this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    placeTw(lblHeading, 120, 120, 9300, 300);

    lstFileList = new QListWidget(this);
    lstFileList->setObjectName(QStringLiteral("lstFileList"));
    placeTw(lstFileList, 120, 480, 5400, 4800);

    lblTotalFiles = new QLabel(this);
    lblTotalFiles->setObjectName(QStringLiteral("lblTotalFiles"));
    placeTw(lblTotalFiles, 120, 5400, 2000, 300);
    lblSize = new QLabel(this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    placeTw(lblSize, 2400, 5400, 3000, 300);

    cmdAdd = button(this, "cmdAdd", QStringLiteral("Add"));
    placeTw(cmdAdd, 5640, 600, 1200, 375);
    cmdAddAll = button(this, "cmdAddAll", QStringLiteral("Add All"));
    placeTw(cmdAddAll, 5640, 1080, 1200, 375);
    cmdRemove = button(this, "cmdRemove", QStringLiteral("Remove"));
    placeTw(cmdRemove, 5640, 1800, 1200, 375);
    cmdRemAll = button(this, "cmdRemAll", QStringLiteral("Remove All"));
    placeTw(cmdRemAll, 5640, 2280, 1200, 375);

    dirFileList = new cw::DirListBox(this);
    dirFileList->setObjectName(QStringLiteral("dirFileList"));
    placeTw(dirFileList, 6960, 480, 2520, 2300);
    lstFiles = new cw::FileListBox(this);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setMultiSelect(true);
    placeTw(lstFiles, 6960, 2880, 2520, 2400);

    // The scanner and the directory list are working lists, not for the user's eyes.
    File1 = new cw::FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->hide();
    lstIni = new QListWidget(this);
    lstIni->setObjectName(QStringLiteral("lstIni"));
    lstIni->hide();

    cmdNext = button(this, "cmdNext", QStringLiteral("&Next>>"));
    placeTw(cmdNext, 6600, 5880, 1320, 375);
    cmdCancel = button(this, "cmdCancel", QStringLiteral("Cancel"));
    placeTw(cmdCancel, 8100, 5880, 1320, 375);

    connect(cmdAdd, &QPushButton::clicked, this, &frmStartBackup::cmdAdd_Click);
    connect(cmdAddAll, &QPushButton::clicked, this, &frmStartBackup::cmdAddAll_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmStartBackup::cmdRemove_Click);
    connect(cmdRemAll, &QPushButton::clicked, this, &frmStartBackup::cmdRemAll_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmStartBackup::cmdNext_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmStartBackup::cmdCancel_Click);
    new cw::WindowKeys(this, cmdNext, cmdCancel);
}

QStringList frmStartBackup::fileListEntries() const {
    QStringList out;
    out.reserve(lstFileList->count());
    for (int i = 0; i < lstFileList->count(); ++i)
        out << lstFileList->item(i)->text();
    return out;
}

void frmStartBackup::FillListBox(const std::string& section) {
    QListWidget* target = section == "Application" ? lstIni : lstFileList;
    for (const auto& p : listSectionPaths(profilePath_, section, program_.appDir))
        target->addItem(q(p));
}

bool frmStartBackup::Form_Load() {
    auto& desktop = program_.desktop;
    profilePath_ = ::cwb::profilePath(program_.appDir);

    std::string support;
    if (GetProfileBody(profilePath_, "Support", support))
        program_.supportText = q(support);

    if (!cw::files::isOrdinaryFile(profilePath_)) {
        desktop.messageBox(QStringLiteral("This program cannot find the necessary files to "
                                          "function.  Please contact your vendor."),
                           cw::Icon::Critical, cw::Buttons::OK, kTitle);
        close();
        return false;
    }

    if (program_.appDescription.isEmpty())
        program_.appDescription = q(GetProfileFirstLine(program_.appDir, "Description"));

    // A missing "Startup" section is a failed test: the prompt is shown.
    std::string startup;
    if (!GetProfileBody(profilePath_, "Startup", startup) || startup == "Yes") {
        const QString d = program_.appDescription.toUpper();
        desktop.beep();
        const auto answer =
            desktop.messageBox(d + QStringLiteral(" must be closed before continuing the backup.") +
                                   QStringLiteral("  If ") + d +
                                   QStringLiteral(" is not closed, close it now then click 'OK'."),
                               cw::Icon::Warning, cw::Buttons::OKCancel, kTitle);
        if (answer != cw::Answer::OK) {
            close();
            return false;
        }
    }

    FillListBox("Application");
    FillListBox("Windows");
    FillListBox("System");

    const bool includeHidden = GetProfileFirstLine(program_.appDir, "Hidden") != "cwNever";
    const bool markers = emptyDirMarkersWanted(GetProfileFirstLine(program_.appDir, "EmptyDir"));
    File1->setShowHidden(includeHidden);

    for (int i = 0; i < lstIni->count(); ++i) {
        const QString d = lstIni->item(i)->text();
        if (markers) {
            lstFileList->addItem(q(markerEntry(d.toStdString())));
            ++markerCount_;
        }
        if (cw::files::existsAsFileOrDirectory(bareDir(d.toStdString()))) {
            try {
                File1->setPath(d);
                const std::string dir = File1->path().toStdString();
                for (const QString& f : File1->items()) {
                    const std::string entry = cw::paths::join(dir, f.toStdString());
                    lstFileList->addItem(q(entry));
                    const std::int64_t len = cw::files::fileLength(entry);
                    if (len > 0)
                        totalSize_ += len;
                }
            } catch (const cw::PlatformError&) {
                // Typically an "Application" line naming a file: nothing of it is listed.
                desktop.messageBox(QStringLiteral("The following Directory '") + d +
                                       QStringLiteral("' listed in the Backup Profile cannot "
                                                      "be found. \r\nContact your vendor."),
                                   cw::Icon::Critical, cw::Buttons::OK, kTitle);
            }
        }
        // The Windows and System directories themselves, from the empty last list entries.
        for (int k = lstFileList->count() - 1; k >= 0; --k)
            if (lstFileList->item(k)->text().endsWith(QLatin1Char(cw::paths::kSep)))
                delete lstFileList->takeItem(k);
    }

    if (lstFileList->count() == 0) {
        desktop.messageBox(
            QStringLiteral("There are no Files available to Backup.  Contact your Vendor."),
            cw::Icon::Critical, cw::Buttons::OK, kTitle);
        close();
        return false;
    }

    lblTotalFiles->setText(QString::number(lstFileList->count() - markerCount_));
    lblSize->setText(QString::number(totalSize_));

    try {
        dirFileList->setPath(QDir::currentPath());
    } catch (const cw::PlatformError&) {
        // An unreadable current directory leaves the picker where it starts.
    }
    dirFileList_Change();
    connect(dirFileList, &cw::DirListBox::pathChanged, this, &frmStartBackup::dirFileList_Change);

    cw::centreOnScreen(this);
    program_.openOptionsWindow();
    return true;
}

void frmStartBackup::dirFileList_Change() {
    try {
        lstFiles->setPath(dirFileList->path());
    } catch (const cw::PlatformError&) {
        // A folder that cannot be listed shows no files.
    }
}

void frmStartBackup::showCount() {
    lblTotalFiles->setText(QString::number(lstFileList->count()));
}

void frmStartBackup::cmdAdd_Click() {
    const QStringList selected = lstFiles->selectedNames();
    const std::string dir = lstFiles->path().toStdString();
    for (const QString& name : lstFiles->items()) {
        if (!selected.contains(name))
            continue;
        const QString entry = q(cw::paths::join(dir, name.toStdString()));
        if (!lstFileList->findItems(entry, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty()) {
            program_.desktop.messageBox(
                QStringLiteral("Add process stopped.  ") + entry +
                    QStringLiteral(" already exists in the list.\r\n\r\nAll files selected "
                                   "before ") +
                    entry +
                    QStringLiteral(" have been entered in list.\r\nReselect all files after ") +
                    entry + QStringLiteral(" and click on 'Add'."),
                cw::Icon::Critical, cw::Buttons::OK, kTitle);
            return;
        }
        lstFileList->addItem(entry);
    }
    showCount();
}

void frmStartBackup::cmdAddAll_Click() {
    const std::string dir = lstFiles->path().toStdString();
    for (const QString& name : lstFiles->items())
        lstFileList->addItem(q(cw::paths::join(dir, name.toStdString())));
}

void frmStartBackup::cmdRemove_Click() {
    const auto selected = lstFileList->selectedItems();
    if (selected.isEmpty()) {
        program_.desktop.beep();
        program_.desktop.messageBox(
            QStringLiteral("You must first select a file to remove before you click Remove."),
            cw::Icon::Warning, cw::Buttons::OK, kTitle);
    } else {
        delete lstFileList->takeItem(lstFileList->row(selected.first()));
    }
    showCount();
}

void frmStartBackup::cmdRemAll_Click() {
    lstFileList->hide();
    for (int k = lstFileList->count() - 1; k >= 0; --k)
        delete lstFileList->takeItem(k);
    lstFileList->show();
}

void frmStartBackup::cmdNext_Click() {
    hide();
    auto& options = program_.openOptionsWindow();
    bringToFront(&options);
}

void frmStartBackup::cmdCancel_Click() {
    close();
}

} // namespace cwb
