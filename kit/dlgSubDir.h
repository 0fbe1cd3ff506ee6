#pragma once
// Adds one item to the profile editor's list: a sub-directory of the application directory,
// or a file in the Windows or System directory.
#include "kit/KitApp.h"
#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kit {

class dlgFile;

class dlgSubDir : public QDialog {
    Q_OBJECT
public:
    dlgSubDir(KitApp& app, QWidget* parent = nullptr);

    QLabel* lblInstructions = nullptr;
    QLineEdit* txtSubDir = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QGroupBox* fraDirectory = nullptr;
    QRadioButton* optAppDir = nullptr;
    QRadioButton* optWindows = nullptr;
    QRadioButton* optSys = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The file chooser opened by Browse, while it is open.
    dlgFile* fileDialog() const;

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void optAppDir_Click();
    void optWindows_Click();
    void optSys_Click();
    void txtSubDir_Change();
    void cmdBrowse_Click();
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void reject() override;

private:
    void setSubDirInstructions();

    KitApp& app_;
    QPointer<dlgFile> file_;
};

} // namespace kit
