#pragma once
// Picks an existing set in the destination folder; its name becomes the backup name.
#include <QDialog>

class QLabel;
class QPushButton;

namespace cw {
class FileListBox;
}

namespace cwb {

struct BackupProgram;
class frmBackup;

class dlgBrowse : public QDialog {
    Q_OBJECT
public:
    // Modeless; deletes itself when closed.
    dlgBrowse(BackupProgram& program, frmBackup& options);

    QLabel* lblBackupName = nullptr;
    QLabel* lblCurrentDir = nullptr;
    cw::FileListBox* File1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public Q_SLOTS:
    void Form_Load();
    void File1_Click();
    void File1_DblClick();
    void OKButton_Click();
    void CancelButton_Click();

private:
    BackupProgram& program_;
    frmBackup& options_;
};

} // namespace cwb
