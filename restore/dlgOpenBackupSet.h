#pragma once
// The first window of cwr: the user picks a backup set by drive, directory and name.
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace cw {
class DirListBox;
class DriveListBox;
class FileListBox;
} // namespace cw

namespace cwr {

struct RestoreContext;

class dlgOpenBackupSet : public QDialog {
    Q_OBJECT
public:
    explicit dlgOpenBackupSet(RestoreContext& ctx, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    cw::DriveListBox* Drive1 = nullptr;
    cw::DirListBox* Dir1 = nullptr;
    cw::FileListBox* File1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtBackupName = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboFileType = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* CancelButton = nullptr;

public Q_SLOTS:
    void Form_Load();
    void cboFileType_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void txtBackupName_Change();
    void cmdOpen_Click();
    void CancelButton_Click();

private:
    RestoreContext& ctx_;
};

} // namespace cwr
