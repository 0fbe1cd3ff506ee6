#pragma once
// The backup options window: destination, backup name, password and compression level.
#include <QPointer>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace cw {
class ActivationWatcher;
class DirListBox;
class DriveListBox;
class FileListBox;
} // namespace cw

namespace cwb {

struct BackupProgram;
class dlgBrowse;
class dlgDupBackupset;

class frmBackup : public QWidget {
    Q_OBJECT
public:
    explicit frmBackup(BackupProgram& program, QWidget* parent = nullptr);

    QLabel* lblExplain = nullptr;
    QLabel* lblBackupName = nullptr;
    QLineEdit* txtBackupName = nullptr;
    cw::DriveListBox* Drive1 = nullptr;
    cw::DirListBox* dirFolderList = nullptr;
    QPushButton* cmdNewFolder = nullptr;
    QPushButton* cmdBrowse = nullptr;
    cw::FileListBox* flLookforBackupSet = nullptr;
    QGroupBox* fraEncrypt = nullptr;
    std::array<QRadioButton*, 2> optEncrypt{};
    QLineEdit* txtPassword = nullptr;
    QLabel* lblCaseSensitive = nullptr;
    QGroupBox* frmCompression = nullptr;
    std::array<QRadioButton*, 4> optComp{};
    QGroupBox* fraSpanM = nullptr;
    std::array<QRadioButton*, 2> optSpan{};
    QToolButton* cmdSupport = nullptr;
    QLabel* lblSupport = nullptr;
    QLineEdit* txtEncrypt = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The dialogs while they are open.
    QPointer<dlgDupBackupset> dupDialog;
    QPointer<dlgBrowse> browseDialog;

    bool compact() const { return compact_; }

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void Drive1_Change();
    void dirFolderList_Change();
    void optEncrypt_Click(int index);
    void cmdSupport_Click();
    void cmdNewFolder_Click();
    void cmdBrowse_Click();
    void cmdStart_Click();
    void cmdCancel_Click();

private:
    void setPasswordEnabled(bool on);
    // Puts the choices the controls show into the backup plan.
    void storeChoices();
    // For a set to be encrypted, the password typed a second time; false when it does not
    // match or the user cancels (the window stays).
    bool passwordConfirmed();

    BackupProgram& program_;
    cw::ActivationWatcher* watcher_ = nullptr;
    bool compact_ = false;
    bool fallingBack_ = false;
};

} // namespace cwb
