#pragma once
// Asked when a set of the chosen name already exists: replace it, or go back.
#include <QDialog>

class QLabel;
class QPushButton;

namespace cwb {

struct BackupProgram;
class frmBackup;

class dlgDupBackupset : public QDialog {
    Q_OBJECT
public:
    // Modeless; deletes itself when closed.
    dlgDupBackupset(BackupProgram& program, frmBackup& options);

    QLabel* lblFoundBackupSet = nullptr;
    QLabel* Picture1 = nullptr;
    QPushButton* cmdReplace = nullptr;
    QPushButton* cmdCancel = nullptr;

public Q_SLOTS:
    void Form_Load();
    void cmdReplace_Click();
    void cmdCancel_Click();

private:
    BackupProgram& program_;
    frmBackup& options_;
};

} // namespace cwb
