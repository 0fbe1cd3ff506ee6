#pragma once
// The start window: reads the profile beside the program, scans the listed directories and
// lets the user edit the resulting file list before going on to the options.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace cw {
class DirListBox;
class FileListBox;
} // namespace cw

namespace cwb {

struct BackupProgram;

class frmStartBackup : public QWidget {
    Q_OBJECT
public:
    explicit frmStartBackup(BackupProgram& program, QWidget* parent = nullptr);

    QLabel* lblHeading = nullptr;
    cw::FileListBox* File1 = nullptr;
    QListWidget* lstIni = nullptr;
    QListWidget* lstFileList = nullptr;
    QLabel* lblTotalFiles = nullptr;
    QLabel* lblSize = nullptr;
    cw::DirListBox* dirFileList = nullptr;
    cw::FileListBox* lstFiles = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdAddAll = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdRemAll = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The backup file list as it stands.
    QStringList fileListEntries() const;
    const std::string& profilePath() const { return profilePath_; }
    std::int64_t totalSize() const;
    std::int64_t markerCount() const;
    // Puts an entry at the end of the plan's list and of lstFileList; the labels follow at
    // the end of the edit.
    void addToList(const std::string& path); // kept as bytes, shown as text
    void addToList(const std::vector<std::string>& paths);

public Q_SLOTS:
    // Start-up; false when it ended the program (no profile, Cancel, nothing to back up).
    bool Form_Load();
    void dirFileList_Change();
    void cmdAdd_Click();
    void cmdAddAll_Click();
    void cmdRemove_Click();
    void cmdRemAll_Click();
    void cmdNext_Click();
    void cmdCancel_Click();

private:
    void showCount();
    void addFileEntry(const std::string& path); // shown as text, kept as bytes

    BackupProgram& program_;
    std::string profilePath_;
};

} // namespace cwb
