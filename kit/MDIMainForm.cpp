#include "kit/MDIMainForm.h"
#include "common/platform/Desktop.h"
#include "common/platform/Files.h"
#include "common/profile/Profile.h"
#include "common/profile/ProfileFile.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/ProfileItems.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgDirforINI.h"
#include "kit/dlgSubDir.h"
#include "kit/frmAbout.h"
#include "kit/frmConfig.h"
#include "kit/frmOptions.h"
#include "kit/frmViewsplash.h"
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QToolBar>

namespace kit {

MDIMainForm::MDIMainForm(KitApp& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("MDIMainForm"));
    setWindowTitle(QStringLiteral("Caskwell Developer Distribution Kit"));
    app_.main = this;
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    buildMenus();
    buildToolbar();
    resize(900, 680);
    // Wholly on a smaller screen too.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableGeometry().size() - QSize(16, 48)));
    cw::centreOnScreen(this);
    Form_Load();
}

MDIMainForm::~MDIMainForm() {
    if (app_.main == this)
        app_.main = nullptr;
}

void MDIMainForm::buildMenus() {
    auto action = [this](QMenu* menu, QAction*& member, const char* name, const QString& caption,
                         const QKeySequence& key, void (MDIMainForm::*slot)()) {
        member = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        member->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            member->setShortcut(key);
        connect(member, &QAction::triggered, this, slot);
    };
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    action(mnuFile, mnuFileNew, "mnuFileNew", QStringLiteral("&New Profile"),
           QKeySequence(QStringLiteral("Ctrl+N")), &MDIMainForm::mnuFileNew_Click);
    action(mnuFile, mnuFileOpen, "mnuFileOpen", QStringLiteral("&Open Profile"),
           QKeySequence(QStringLiteral("Ctrl+O")), &MDIMainForm::mnuFileOpen_Click);
    action(mnuFile, mnuFileCreate, "mnuFileCreate", QStringLiteral("&Build Profile"),
           QKeySequence(QStringLiteral("Ctrl+B")), &MDIMainForm::mnuFileCreate_Click);
    mnuFile->addSeparator();
    action(mnuFile, mnufilePrint, "mnufilePrint", QStringLiteral("&Print"),
           QKeySequence(QStringLiteral("Ctrl+P")), &MDIMainForm::mnufilePrint_Click);
    mnuFile->addSeparator();
    action(mnuFile, mnuFileexit, "mnuFileexit", QStringLiteral("E&xit Caskwell DDK"), {},
           &MDIMainForm::mnuFileexit_Click);
    mnuFileCreate->setEnabled(false);
    mnufilePrint->setEnabled(false);

    mnuConfig = menuBar()->addMenu(QStringLiteral("Pro&file"));
    mnuConfig->setObjectName(QStringLiteral("mnuConfig"));
    action(mnuConfig, mnuConfigPref, "mnuConfigPref", QStringLiteral("Profile P&references"),
           QKeySequence(QStringLiteral("Ctrl+R")), &MDIMainForm::mnuConfigPref_Click);

    action(nullptr, mnuLicense, "mnuLicense", QStringLiteral("&License"), {},
           &MDIMainForm::mnuLicense_Click);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    action(mnuHelp, mnuHelpContents, "mnuHelpContents", QStringLiteral("Co&ntents..."), {},
           &MDIMainForm::mnuHelpContents_Click);
    mnuHelp->addSeparator();
    action(mnuHelp, mnuHelpHelp, "mnuHelpHelp", QStringLiteral("Help"), QKeySequence(Qt::Key_F1),
           &MDIMainForm::mnuHelpHelp_Click);
    mnuHelp->addSeparator();
    action(mnuHelp, mnuHelpAbout, "mnuHelpAbout", QStringLiteral("About Caskwell DDK"), {},
           &MDIMainForm::mnuHelpAbout_Click);
    // Shortcuts work while a child window inside the frame has the focus.
    for (QAction* a :
         {mnuFileNew, mnuFileOpen, mnuFileCreate, mnufilePrint, mnuConfigPref, mnuHelpHelp})
        a->setShortcutContext(Qt::ApplicationShortcut);
}

void MDIMainForm::buildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    struct Button {
        const char* key;
        const char* caption;
        const char* tip;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[] = {
        {"Open", "Open Profile", "Click Here to Open an Existing Profile",
         QStyle::SP_DialogOpenButton},
        {"New", "New Profile", "Create a New Profile", QStyle::SP_FileIcon},
        {"ProPref", "Profile Pref", "Configure Profile Preferences",
         QStyle::SP_FileDialogDetailedView},
        {nullptr, nullptr, nullptr, QStyle::SP_CustomBase},
        {"Help", "Help", "Help with Developer Distribution Kit", QStyle::SP_DialogHelpButton},
    };
    for (const Button& b : buttons) {
        if (!b.key) {
            Toolbar1->addSeparator();
            continue;
        }
        QAction* a = Toolbar1->addAction(style()->standardIcon(b.icon), QLatin1String(b.caption));
        const QString key = QLatin1String(b.key);
        a->setObjectName(QStringLiteral("Toolbar1.") + key);
        a->setData(key);
        a->setToolTip(QLatin1String(b.tip));
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
    }
}

QAction* MDIMainForm::toolbarButton(int position) const {
    const QList<QAction*> list = Toolbar1->actions();
    if (position < 1 || position > list.size())
        return nullptr;
    return list.at(position - 1);
}

void MDIMainForm::setToolbarButtonEnabled(int position, bool enabled) {
    if (position == 4 || position == 5)
        return;
    if (QAction* a = toolbarButton(position))
        a->setEnabled(enabled);
}

void MDIMainForm::Form_Load() {
    app_.profile.newProfile = true;
    showBackdrop();
}

QMdiSubWindow* MDIMainForm::addChild(QWidget* w, bool frameless) {
    QMdiSubWindow* sub =
        mdiArea->addSubWindow(w, frameless ? Qt::FramelessWindowHint : Qt::WindowFlags());
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

void MDIMainForm::keepInArea(QWidget* child) const {
    // Before the frame is shown the area has no size of its own yet.
    if (!mdiArea->viewport()->isVisible())
        return;
    const QSize area = mdiArea->viewport()->size();
    const int x = std::max(0, std::min(child->x(), area.width() - child->width()));
    const int y = std::max(0, std::min(child->y(), area.height() - child->height()));
    child->move(x, y);
}

void MDIMainForm::showBackdrop() {
    if (!backdrop_) {
        backdrop_ = new frmViewsplash();
        addChild(backdrop_, true);
        backdrop_->Form_Load();
        keepInArea(backdrop_->parentWidget());
    }
    backdrop_->parentWidget()->show();
    backdrop_->show();
}

void MDIMainForm::destroyBackdrop() {
    if (backdrop_)
        unloadWindow(app_, backdrop_);
}

void MDIMainForm::forget(QObject* window) {
    if (window == options_)
        options_ = nullptr;
    if (window == config_)
        config_ = nullptr;
    if (window == newProfile_)
        newProfile_ = nullptr;
    if (window == confirm_)
        confirm_ = nullptr;
    if (window == subDir_)
        subDir_ = nullptr;
    if (window == backdrop_)
        backdrop_ = nullptr;
    if (window == about_)
        about_ = nullptr;
}

frmOptions* MDIMainForm::loadedOptions() const {
    return options_;
}
frmConfig* MDIMainForm::loadedConfig() const {
    return config_;
}
dlgDirforINI* MDIMainForm::loadedNewProfileDialog() const {
    return newProfile_;
}
dlgConfirm* MDIMainForm::loadedConfirm() const {
    return confirm_;
}
dlgSubDir* MDIMainForm::loadedSubDir() const {
    return subDir_;
}
frmViewsplash* MDIMainForm::loadedBackdrop() const {
    return backdrop_;
}
frmAbout* MDIMainForm::loadedAbout() const {
    return about_;
}

frmOptions* MDIMainForm::options() {
    if (!options_) {
        options_ = new frmOptions(app_, this);
        options_->Form_Load();
    }
    return options_;
}

frmConfig* MDIMainForm::config() {
    if (!config_) {
        config_ = new frmConfig(app_);
        addChild(config_);
        config_->Form_Load();
    }
    return config_;
}

dlgDirforINI* MDIMainForm::newProfileDialog() {
    if (!newProfile_) {
        newProfile_ = new dlgDirforINI(app_, this);
        newProfile_->Form_Load();
    }
    return newProfile_;
}

dlgConfirm* MDIMainForm::confirm() {
    if (!confirm_) {
        confirm_ = new dlgConfirm(app_, this);
        confirm_->Form_Load();
    }
    return confirm_;
}

dlgSubDir* MDIMainForm::subDir() {
    if (!subDir_) {
        subDir_ = new dlgSubDir(app_, this);
        subDir_->Form_Load();
    }
    return subDir_;
}

void MDIMainForm::showNewProfileDialog() {
    destroyBackdrop();
    dlgDirforINI* dlg = newProfileDialog();
    // A dialog kept hidden since an earlier profile is shown again without its load step;
    // the commands still follow it, so no second profile can be started meanwhile.
    dlg->switchCommands();
    dlg->show();
    dlg->raise();
    dlg->activateWindow();
}

void MDIMainForm::mnuFileNew_Click() {
    showNewProfileDialog();
    app_.profile.description.clear();
    app_.profile.folder.clear();
}

void MDIMainForm::mnuFileOpen_Click() {
    OpenProfile();
}

void MDIMainForm::mnuFileCreate_Click() {
    dlgConfirm* dlg = confirm();
    dlg->show();
    dlg->raise();
}

void MDIMainForm::mnufilePrint_Click() {
    confirm()->PrintINI();
}

void MDIMainForm::mnuFileexit_Click() {
    close();
}

void MDIMainForm::mnuConfigPref_Click() {
    options()->showModal();
}

void MDIMainForm::mnuLicense_Click() {
    app_.desktop.help(cw::HelpCommand::Topic, 20);
}

void MDIMainForm::mnuHelpContents_Click() {
    app_.desktop.help(cw::HelpCommand::Contents);
}

void MDIMainForm::mnuHelpHelp_Click() {
    app_.desktop.help(cw::HelpCommand::Contents);
}

void MDIMainForm::mnuHelpAbout_Click() {
    if (!about_) {
        about_ = new frmAbout(app_);
        addChild(about_);
        about_->Form_Load();
    }
    about_->parentWidget()->show();
    about_->show();
    mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(about_->parentWidget()));
}

void MDIMainForm::Toolbar1_ButtonClick(const QString& key) {
    // A failing toolbar command just ends the click.
    try {
        if (key == QLatin1String("Open")) {
            OpenProfile();
        } else if (key == QLatin1String("New")) {
            showNewProfileDialog();
        } else if (key == QLatin1String("ProPref")) {
            mnuConfigPref_Click();
        } else if (key == QLatin1String("Help")) {
            app_.desktop.help(cw::HelpCommand::Contents);
        }
    } catch (const std::exception&) {
    }
}

bool MDIMainForm::profileIsPresent(const QString& path) const {
    return cw::files::isOrdinaryFile(path.toStdString());
}

void MDIMainForm::OpenProfile() {
    const QString title =
        QStringLiteral("Select the Drive and Directory the Profile resides in and click 'OK'");
    for (;;) {
        app_.profile.folder.clear();
        app_.profile.description.clear();
        const QString chosen = app_.desktop.chooseFolder(this, title);
        if (chosen.trimmed().isEmpty())
            return;
        QString folder = chosen;
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        const QString path = folder + QLatin1String(cw::profile::kFileName);
        if (!profileIsPresent(path)) {
            app_.desktop.beep();
            app_.desktop.messageBox(QStringLiteral("A Profile cannot be found in ") + folder +
                                        QStringLiteral(".  Choose a directory where a profile "
                                                       "exists."),
                                    cw::Icon::Question, cw::Buttons::OK, QLatin1String(kTitle));
            continue;
        }
        if (!cw::files::isReadable(path.toStdString())) {
            app_.desktop.beep();
            app_.desktop.messageBox(QStringLiteral("The Profile in ") + folder +
                                        QStringLiteral(" cannot be read.  Choose another "
                                                       "directory."),
                                    cw::Icon::Warning, cw::Buttons::OK, QLatin1String(kTitle));
            continue;
        }

        frmConfig* editor = config();
        editor->showInFrame();
        editor->setDirforINI(path);
        const cw::profile::Profile profile = cw::profile::read(path.toStdString());
        QStringList list;
        list << items::itemsFromEntries(items::Kind::Application, profile.application)
             << items::itemsFromEntries(items::Kind::Windows, profile.windows)
             << items::itemsFromEntries(items::Kind::System, profile.system);
        items::removeEmptyItems(list);
        editor->lstSubDir->addItems(list);

        app_.profile.path = path;
        app_.profile.folder = folder;
        app_.profile.newProfile = false;
        // A profile without a description keeps an empty one; a rebuild writes it back so.
        app_.profile.description =
            QString::fromStdString(profile.description.value_or(std::string())).trimmed();
        editor->lblExplainINIDir->setText(
            QStringLiteral("Click on the Build Profile button to Overwrite your ") +
            app_.profile.description + QStringLiteral(" Profile in '") + folder +
            QStringLiteral("'."));
        editor->Form_Activate();
        return;
    }
}

void MDIMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (backdrop_)
        keepInArea(backdrop_->parentWidget());
}

void MDIMainForm::closeEvent(QCloseEvent* e) {
    if (!unloaded_) {
        unloaded_ = true;
        for (QWidget* w : std::initializer_list<QWidget*>{newProfile_, subDir_, options_}) {
            if (w)
                unloadWindow(app_, w);
        }
        app_.desktop.help(cw::HelpCommand::Close);
    }
    // The windows inside the frame go with it.
    const auto subs = mdiArea->subWindowList();
    for (QMdiSubWindow* sub : subs) {
        forget(sub->widget());
        sub->hide();
        sub->deleteLater();
    }
    e->accept();
}

void unloadWindow(KitApp& app, QWidget* window) {
    if (!window)
        return;
    if (app.main)
        app.main->forget(window);
    QWidget* outer = window;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        outer = sub;
    outer->hide();
    outer->deleteLater();
}

} // namespace kit
