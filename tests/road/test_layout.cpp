// Every window of the three programs, opened as a user meets them, at the default font: no
// caption is cut short, no field is too low to read, no two controls lie on each other, every
// dialog stays in front of the window it serves and every window is wholly on the screen.
#include "backup/BackupProgram.h"
#include "backup/dlgBrowse.h"
#include "backup/dlgDupBackupset.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/dlgNewFolder.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "common/widgets/QtDesktop.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgFile.h"
#include "kit/dlgSubDir.h"
#include "kit/frmAbout.h"
#include "kit/frmSplash.h"
#include "kit/frmTip.h"
#include "kit/frmViewsplash.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/dlgProgress.h"
#include "restore/dlgReplace.h"
#include "restore/dlgWait.h"
#include "restore/frmRestore.h"
#include "tests/road/Road.h"
#include "tests/road/WindowCheck.h"
#include "tests/support/Tree.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>

namespace road {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;
using kit::test::q;

class Layout : public RoadTest {
protected:
    void SetUp() override {
        RoadTest::SetUp();
        // The progress windows show their running text where the summary stood.
        c.together(QStringLiteral("filettraited"), QStringLiteral("lblSummary"));
    }
    void TearDown() override {
        EXPECT_TRUE(c.faults.empty()) << c.report();
        RoadTest::TearDown();
    }
    WindowCheck c;
};

TEST_F(Layout, TheKitsWindows) {
    c.check(main.get(), "idle");
    c.check(main->loadedBackdrop(), "idle");
    main->mnuHelpAbout_Click();
    c.check(main->loadedAbout(), "about");
    main->loadedAbout()->cmdOK->click();
    {
        kit::frmTip tip(app, main.get());
        tip.Form_Load();
        tip.show();
        c.check(&tip, "tip");
        c.checkOwned(&tip, "tip");
    }
    {
        kit::frmSplash splash(app);
        splash.show();
        c.check(&splash, "splash");
    }

    main->mnuFileNew->trigger();
    kit::dlgDirforINI* dir = main->loadedNewProfileDialog();
    ASSERT_NE(dir, nullptr);
    c.check(dir, "new profile");
    c.checkOwned(dir, "new profile");
    cw::dlgNewFolder* folder = cw::dlgNewFolder::open(desktop, *dir->dirforINI, dir, false);
    c.check(folder, "new folder");
    c.checkOwned(folder, "new folder");
    folder->close();
    dir->dirforINI->setPath(q(env.makeDir("Other")));
    QTest::keyClicks(dir->txtProfileDescription, QStringLiteral("Inventory Manager"));
    dir->OKButton->click();
    kit::frmConfig* editor = main->loadedConfig();
    ASSERT_NE(editor, nullptr);
    editor->lstSubDir->addItem(QStringLiteral("%InstallDir% \\ Data"));
    c.check(editor, "editor");

    editor->cmdDAdd->click();
    kit::dlgSubDir* add = main->loadedSubDir();
    ASSERT_NE(add, nullptr);
    c.checkOwned(add, "add item");
    for (QRadioButton* kind : {add->optAppDir, add->optWindows, add->optSys}) {
        kind->click();
        c.check(add, "add item " + kind->objectName().toStdString());
    }
    add->cmdBrowse->click();
    c.check(add->fileDialog(), "add a file");
    c.checkOwned(add->fileDialog(), "add a file");
    add->fileDialog()->CancelButton->click();
    add->CancelButton->click();

    kit::frmOptions* o = main->options();
    o->show();
    c.checkOwned(o, "preferences");
    for (int tab = 0; tab < 3; ++tab) {
        o->tbsOptions->setCurrentIndex(tab);
        c.check(o, "preferences tab " + std::to_string(tab));
    }
    kit::test::supportByWeb(o, QStringLiteral("http://www.example.com/support/"));
    c.check(o, "preferences, support by web");
    kit::test::supportByPhone(o, QStringLiteral("(555) 123-4567"));
    c.check(o, "preferences, support by phone");
    o->hide();

    main->mnuFileCreate->trigger();
    c.check(main->loadedConfirm(), "confirmation");
    c.checkOwned(main->loadedConfirm(), "confirmation");
    main->loadedConfirm()->CancelButton->click();
}

TEST_F(Layout, TheBackupWindows) {
    cwb::BackupProgram prog(desktop, appDir);
    desktop.expectBox(QStringLiteral("INVENTORY MANAGER must be closed before continuing the "
                                     "backup.  If INVENTORY MANAGER is not closed, close it now "
                                     "then click 'OK'."),
                      Icon::Warning, Buttons::OKCancel, QStringLiteral("Caskwell"), Answer::OK);
    ASSERT_TRUE(prog.start());
    c.check(prog.startWindow.get(), "start");
    cwb::frmBackup& options = *prog.optionsWindow;
    c.check(&options, "options");

    const std::string sets = env.makeDir("sets");
    cw::test::writeFileAs(sets + "/Weekly.bks", "an older set", 0644, 1'000'000'000);
    options.dirFolderList->setPath(q(sets));
    options.cmdBrowse->click();
    ASSERT_TRUE(options.browseDialog);
    c.check(options.browseDialog, "browse");
    c.checkOwned(options.browseDialog, "browse");
    options.browseDialog->CancelButton->click();

    QTest::keyClicks(options.txtBackupName, QStringLiteral("Weekly"));
    options.cmdStart->click();
    ASSERT_TRUE(options.dupDialog);
    c.check(options.dupDialog, "same name");
    c.checkOwned(options.dupDialog, "same name");
    options.dupDialog->cmdReplace->click();

    ASSERT_TRUE(prog.progressWindow);
    cwb::frmZIP& z = *prog.progressWindow;
    c.check(&z, "before the backup");
    z.cmdOK->click();
    ASSERT_TRUE(z.completed());
    c.check(&z, "after the backup");
}

TEST_F(Layout, TheRestoreWindows) {
    const std::string set = backup({.folder = env.makeDir("sets")});
    cw::test::ScriptedDesktop desk;
    desk.setProgramTitle(QStringLiteral("Caskwell Restore"));
    cwr::RestoreContext ctx(desk, appDir);
    cwr::dlgOpenBackupSet& open = ctx.showOpenDialog();
    c.check(&open, "open");
    open.Dir1->setPath(q(env.path("sets")));
    open.File1->setFileName(QStringLiteral("Weekly.bks"));
    open.File1_Click();
    open.cmdOpen->click();
    ASSERT_TRUE(ctx.restoreWindow);
    cwr::frmRestore& w = *ctx.restoreWindow;
    c.check(&w, "selection");
    c.check(&ctx.showWaitWindow(), "listing");
    ctx.waitWindow->close();
    w.cmdSelectAll->click();
    c.check(&w, "all selected");

    w.cmdRestore->click();
    ASSERT_TRUE(ctx.extractDialog);
    c.check(ctx.extractDialog, "destination");
    c.checkOwned(ctx.extractDialog, "destination");
    ctx.extractDialog->drvExtractTo->setPath(q(env.makeDir("restored")));
    desk.expectBox(QStringLiteral("You have chosen to restore the selected files to a folder "
                                  "rather than the root directory!  Are you sure?"),
                   Icon::Warning, Buttons::YesNo, QStringLiteral("Caskwell"), Answer::Yes);
    ctx.extractDialog->OKButton->click();
    ASSERT_TRUE(ctx.progressWindow);
    cwr::dlgProgress& p = *ctx.progressWindow;
    c.check(&p, "before the restore");
    c.checkOwned(&p, "before the restore");
    {
        ctx.currentFileName = appDir + "/Data/Long File Name.text";
        cwr::dlgReplace replace(ctx, &p);
        replace.show();
        c.check(&replace, "replace");
        c.checkOwned(&replace, "replace");
    }
    p.cmdStartRestore->click();
    c.check(&p, "after the restore");
    p.cmdCancel->click();
}

TEST_F(Layout, TheHelpWindow) {
    cw::QtDesktop help(q(cw::test::TestEnv::binDir() + "/help"));
    help.help(cw::HelpCommand::Contents);
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("HelpWindow"))
            window = w;
    ASSERT_NE(window, nullptr);
    c.check(window, "help");
}

} // namespace
} // namespace road
