#pragma once
// Picks a file inside the Windows or the System directory for the add-item dialog and
// hands back its path relative to that directory.
#include "kit/KitApp.h"
#include <QDialog>

class QPushButton;

namespace cw {
class DirListBox;
class FileListBox;
} // namespace cw

namespace kit {

class dlgSubDir;

class dlgFile : public QDialog {
    Q_OBJECT
public:
    dlgFile(KitApp& app, dlgSubDir& owner, QWidget* parent = nullptr);

    cw::FileListBox* File1 = nullptr;
    cw::DirListBox* Dir1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    const QString& windowsDirectory() const { return windowsDir_; }
    const QString& systemDirectory() const { return systemDir_; }

public Q_SLOTS:
    void Form_Load();
    void Dir1_Change();
    void OKButton_Click();
    void CancelButton_Click();

protected:
    void reject() override;

private:
    void queryDirectories();
    void pointFileList();
    void moveBackTo(const QString& dir, const QString& message);

    KitApp& app_;
    dlgSubDir& owner_;
    QString windowsDir_;
    QString systemDir_;
    int depth_ = 0;
};

} // namespace kit
