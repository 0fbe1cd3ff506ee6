#pragma once
// Starts a new profile: the application's name and the directory to hold its profile.
#include "kit/KitApp.h"
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace cw {
class DirListBox;
class DriveListBox;
class FileListBox;
} // namespace cw

namespace kit {

class dlgDirforINI : public QDialog {
    Q_OBJECT
public:
    dlgDirforINI(KitApp& app, QWidget* parent = nullptr);

    QLabel* lblDescription = nullptr;
    QLineEdit* txtProfileDescription = nullptr;
    QLabel* lblExplainDirforBP = nullptr;
    cw::DriveListBox* drvforINI = nullptr;
    cw::DirListBox* dirforINI = nullptr;
    QLabel* lblDirExplain = nullptr;
    QPushButton* cmdNewFolder = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    cw::FileListBox* flLookforIni = nullptr; // hidden: finds a profile already there

    // Whether the developer agreed to replace a profile found in the chosen directory; the
    // old profile is replaced only when the new one is built.
    bool replaceConfirmed() const { return replaceConfirmed_; }
    // The main window's commands while the dialog is open.
    void switchCommands();

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void drvforINI_Change();
    void dirforINI_Change();
    void cmdNewFolder_Click();
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void reject() override;

private:
    void driveBackToRoot();

    KitApp& app_;
    bool replaceConfirmed_ = false;
    int driveDepth_ = 0;
};

} // namespace kit
