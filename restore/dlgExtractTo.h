#pragma once
// The restore destination: a drive and a directory list whose current path is where the
// selected entries go.
#include <QDialog>

class QLabel;
class QPushButton;

namespace cw {
class DirListBox;
class DriveListBox;
} // namespace cw

namespace cwr {

struct RestoreContext;

class dlgExtractTo : public QDialog {
    Q_OBJECT
public:
    explicit dlgExtractTo(RestoreContext& ctx, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    cw::DriveListBox* Drive1 = nullptr;
    cw::DirListBox* drvExtractTo = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* cmdNewFolder = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The destination directory.
    QString destination() const;

public Q_SLOTS:
    void Form_Load();
    void Drive1_Change();
    void cmdNewFolder_Click();
    void OKButton_Click();
    void CancelButton_Click();

private:
    // Sends the drive list back to the root drive, unless it is there already (a refused
    // root would otherwise refuse itself again without end).
    void backToRootDrive();

    RestoreContext& ctx_;
};

} // namespace cwr
