#pragma once
// The frame window of cwkit: menus, toolbar, the help door, the backdrop, and the windows
// of the program, each loaded at its first use and forgotten when it unloads.
#include "kit/KitApp.h"
#include <QMainWindow>
#include <QPointer>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace kit {

class dlgConfirm;
class dlgDirforINI;
class dlgSubDir;
class frmAbout;
class frmConfig;
class frmOptions;
class frmViewsplash;

class MDIMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIMainForm(KitApp& app, QWidget* parent = nullptr);
    ~MDIMainForm() override;

    KitApp& app() const { return app_; }

    QMdiArea* mdiArea = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileCreate = nullptr;
    QAction* mnufilePrint = nullptr;
    QAction* mnuFileexit = nullptr;
    QMenu* mnuConfig = nullptr;
    QAction* mnuConfigPref = nullptr;
    QAction* mnuLicense = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QToolBar* Toolbar1 = nullptr;

    // Toolbar button by position, 1 to 5 (4 is the separator).
    QAction* toolbarButton(int position) const;
    // Enables or disables the toolbar button at position. The separator (4) and "Help" (5)
    // stay as they are: help has nothing to do with an open profile.
    void setToolbarButtonEnabled(int position, bool enabled);

    // The program's windows, loaded (and their load step run) at first use.
    frmOptions* options();
    frmConfig* config();
    dlgDirforINI* newProfileDialog();
    dlgConfirm* confirm();
    dlgSubDir* subDir();
    // The same windows when loaded, else nullptr.
    frmOptions* loadedOptions() const;
    frmConfig* loadedConfig() const;
    dlgDirforINI* loadedNewProfileDialog() const;
    dlgConfirm* loadedConfirm() const;
    dlgSubDir* loadedSubDir() const;
    frmViewsplash* loadedBackdrop() const;
    frmAbout* loadedAbout() const;

    void showBackdrop();
    void destroyBackdrop();
    // A window that unloads leaves the list at once (its object goes later).
    void forget(QObject* window);
    // Moves a child window back into the visible part of the MDI area where the placement
    // rules (made for the screen) would put it partly outside.
    void keepInArea(QWidget* child) const;
    // Puts w into the MDI area as a child window.
    QMdiSubWindow* addChild(QWidget* w, bool frameless = false);

public Q_SLOTS:
    void Form_Load();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileCreate_Click();
    void mnufilePrint_Click();
    void mnuFileexit_Click();
    void mnuConfigPref_Click();
    void mnuLicense_Click();
    void mnuHelpContents_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    void Toolbar1_ButtonClick(const QString& key);
    // The open command.
    void OpenProfile();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void buildMenus();
    void buildToolbar();
    void showNewProfileDialog();
    bool profileIsPresent(const QString& path) const;

    KitApp& app_;
    QPointer<frmOptions> options_;
    QPointer<frmConfig> config_;
    QPointer<dlgDirforINI> newProfile_;
    QPointer<dlgConfirm> confirm_;
    QPointer<dlgSubDir> subDir_;
    QPointer<frmViewsplash> backdrop_;
    QPointer<frmAbout> about_;
    bool unloaded_ = false;
};

// Unloads a window of cwkit: it leaves the program's window list at once, is hidden, and is
// destroyed when control returns to the event loop (it may be inside one of its own slots).
void unloadWindow(KitApp& app, QWidget* window);

} // namespace kit
