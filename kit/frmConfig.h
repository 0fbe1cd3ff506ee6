#pragma once
// The profile editor: the items to back up beyond the application directory, and the
// commands that add, remove, set preferences, print, cancel and build.
#include "kit/KitApp.h"
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace kit {

class frmConfig : public QWidget {
    Q_OBJECT
public:
    explicit frmConfig(KitApp& app, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* lblDirectories = nullptr;
    QListWidget* lstSubDir = nullptr;
    QPushButton* cmdDAdd = nullptr;
    QPushButton* cmdDRemove = nullptr;
    QPushButton* cmdPref = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdMakeINI = nullptr;
    QLabel* lblExplainINIDir = nullptr;
    QLabel* lblDirforINI = nullptr; // hidden: the profile file to write

    // Sets the profile file to write; runs the label's change handling.
    void setDirforINI(const QString& path);
    QStringList items() const;
    // Shows the editor in the main window's frame and makes it the active child.
    void showInFrame();

    // The build: ask before replacing an opened profile, write it, copy the kit beside it.
    void KillNew();
    void Write_INI();
    void CopyFiles();
    // After the copy step, always: the runtime folder the utilities start on.
    void CopyRuntime();
    // The busy pointer of a build: set by the confirmation window, cleared once the build
    // ends, however it ends.
    void setBuildBusy(bool busy);

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void cmdDAdd_Click();
    void cmdDRemove_Click();
    void cmdPref_Click();
    void cmdPrint_Click();
    void cmdMakeINI_Click();
    void cmdCancel_Click();
    void lblDirforINI_Change();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    // Writes every section into a new file beside the old profile and puts it in its
    // place; the old profile stays as it was when anything fails. Returns the error number
    // or 0.
    int writeProfile(const QString& path);
    void buildFailed(int errorNumber);
    void warnMissingFiles();
    // Makes the frame tall enough for what the labels now say.
    void fitFrame();
    void endBuild();

    KitApp& app_;
    bool unloading_ = false;
    bool busy_ = false;
    bool warnedMissing_ = false; // the missing-files warning comes once a build
};

} // namespace kit
