#include "backup/frmStartBackup.h"

#include "backup/BackupProgram.h"
#include "backup/Layout.h"
#include "backup/frmBackup.h"
#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/WindowKeys.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <unordered_set>

namespace cwb {

namespace {

const QString kTitle = QStringLiteral("Caskwell");
constexpr int kListBatch = 2000;

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
    // A long list is measured a part at a time between other events: the window shows and
    // takes input at once, and the scroll range grows to the whole list within moments.
    lstFileList->setLayoutMode(QListView::Batched);
    lstFileList->setBatchSize(kListBatch);
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
    for (const auto& f : program_.plan.files)
        out << q(f);
    return out;
}

std::int64_t frmStartBackup::totalSize() const {
    return program_.plan.totalSize;
}

std::int64_t frmStartBackup::markerCount() const {
    return program_.plan.markerCount;
}

void frmStartBackup::addToList(const std::string& path) {
    addToList(std::vector<std::string>{path});
}

void frmStartBackup::addToList(const std::vector<std::string>& paths) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(paths.size()));
    for (const auto& p : paths) {
        program_.plan.add(p);
        shown << q(p);
    }
    // One insertion: the list is laid out once, not once per line.
    lstFileList->addItems(shown);
}

bool frmStartBackup::Form_Load() {
    auto& desktop = program_.desktop;
    BackupPlan& plan = program_.plan;
    profilePath_ = BackupPlan::profilePath(program_.appDir);
    plan.readProfile(program_.appDir);
    const cw::profile::Profile& profile = plan.profile;

    if (profile.support)
        program_.supportText = q(*profile.support);

    if (!cw::files::isOrdinaryFile(profilePath_)) {
        desktop.messageBox(QStringLiteral("This program cannot find the necessary files to "
                                          "function.  Please contact your vendor."),
                           cw::Icon::Critical, cw::Buttons::OK, kTitle);
        close();
        return false;
    }

    if (program_.appDescription.isEmpty())
        program_.appDescription = q(profile.description.value_or(std::string()));

    if (plan.asksToCloseTheApplication()) {
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

    for (const auto& d : plan.directoriesToScan(program_.appDir))
        lstIni->addItem(q(d));
    for (const auto& f : plan.namedFiles())
        plan.addNamed(f);
    File1->setShowHidden(plan.includesHidden());

    // File1 holds what the scan lists (pattern and attributes); each folder is read with one
    // look at every file, its length included.
    const std::string pattern = File1->pattern().toStdString();
    const cw::files::AttrFilter filter = File1->filter();
    for (int i = 0; i < lstIni->count(); ++i) {
        const QString d = lstIni->item(i)->text();
        if (plan.wantsMarkers())
            plan.addMarker(d.toStdString());
        if (cw::files::existsAsFileOrDirectory(bareDir(d.toStdString()))) {
            try {
                QString cleaned = QDir::cleanPath(QDir(d).absolutePath());
                if (cleaned.isEmpty())
                    cleaned = QStringLiteral("/");
                const std::string dir = cleaned.toStdString();
                for (const auto& f : cw::files::listFilesWithSizes(dir, pattern, filter))
                    plan.addScanned(cw::paths::join(dir, f.name), f.size);
            } catch (const cw::PlatformError&) {
                // Typically an "Application" line naming a file: nothing of it is listed.
                desktop.messageBox(QStringLiteral("The following Directory '") + d +
                                       QStringLiteral("' listed in the Backup Profile cannot "
                                                      "be found. \r\nContact your vendor."),
                                   cw::Icon::Critical, cw::Buttons::OK, kTitle);
            }
        }
    }
    // The Windows and System directories themselves, from the empty last list entries.
    plan.finishStartup();
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(plan.files.size()));
    for (const auto& f : plan.files)
        shown << q(f);
    lstFileList->addItems(shown);

    if (plan.files.empty()) {
        desktop.messageBox(
            QStringLiteral("There are no Files available to Backup.  Contact your Vendor."),
            cw::Icon::Critical, cw::Buttons::OK, kTitle);
        close();
        return false;
    }

    lblTotalFiles->setText(QString::number(plan.shownCount));
    lblSize->setText(QString::number(plan.totalSize));

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
    lblTotalFiles->setText(QString::number(program_.plan.shownCount));
    lblSize->setText(QString::number(program_.plan.totalSize));
}

void frmStartBackup::cmdAdd_Click() {
    const std::string dir = lstFiles->path().toStdString();
    // The list's entries looked up by hash: a long list and many picked files stay linear.
    std::unordered_set<std::string> listed;
    std::vector<std::string> picked;
    for (int i = 0; i < lstFiles->count(); ++i) {
        if (!lstFiles->item(i)->isSelected())
            continue;
        if (listed.empty())
            listed.insert(program_.plan.files.begin(), program_.plan.files.end());
        const std::string raw = cw::paths::join(dir, lstFiles->rawItem(i));
        const QString entry = q(raw);
        if (listed.count(raw)) {
            addToList(picked); // the files before it stay added
            program_.desktop.messageBox(
                QStringLiteral("Add process stopped.  ") + entry +
                    QStringLiteral(" already exists in the list.\r\n\r\nAll files selected "
                                   "before ") +
                    entry +
                    QStringLiteral(" have been entered in list.\r\nReselect all files after ") +
                    entry + QStringLiteral(" and click on 'Add'."),
                cw::Icon::Critical, cw::Buttons::OK, kTitle);
            showCount();
            return;
        }
        listed.insert(raw);
        picked.push_back(raw);
    }
    addToList(picked);
    showCount();
}

void frmStartBackup::cmdAddAll_Click() {
    const std::string dir = lstFiles->path().toStdString();
    std::vector<std::string> all;
    all.reserve(static_cast<std::size_t>(lstFiles->count()));
    for (int i = 0; i < lstFiles->count(); ++i)
        all.push_back(cw::paths::join(dir, lstFiles->rawItem(i)));
    addToList(all);
    showCount();
}

void frmStartBackup::cmdRemove_Click() {
    const auto selected = lstFileList->selectedItems();
    if (selected.isEmpty()) {
        program_.desktop.beep();
        program_.desktop.messageBox(
            QStringLiteral("You must first select a file to remove before you click Remove."),
            cw::Icon::Warning, cw::Buttons::OK, kTitle);
    } else {
        const int row = lstFileList->row(selected.first());
        program_.plan.removeAt(static_cast<std::size_t>(row));
        delete lstFileList->takeItem(row);
    }
    showCount();
}

void frmStartBackup::cmdRemAll_Click() {
    program_.plan.removeAll();
    lstFileList->clear();
    showCount();
}

void frmStartBackup::cmdNext_Click() {
    // Markers alone would make an empty set that reports success.
    if (!program_.plan.hasFiles()) {
        program_.desktop.beep();
        program_.desktop.messageBox(QStringLiteral("There are no files to back up."),
                                    cw::Icon::Warning, cw::Buttons::OK, kTitle);
        return;
    }
    hide();
    auto& options = program_.openOptionsWindow();
    bringToFront(&options);
}

void frmStartBackup::cmdCancel_Click() {
    close();
}

} // namespace cwb
