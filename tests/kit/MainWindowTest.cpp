// The main window: start-up, the commands' enabled states across the profile work, the
// toolbar, help requests and exit.
#include "KitFixture.h"
#include "kit/dlgDirforINI.h"
#include "kit/frmConfig.h"
#include "kit/frmOptions.h"
#include "kit/frmSplash.h"
#include "kit/frmTip.h"
#include "kit/frmViewsplash.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <QToolBar>
#include <memory>

namespace kit::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;

TEST_F(KitTest, StartsIdleWithBackdropAndNewProfileFlag) {
    EXPECT_EQ(commandsOf(*main), kIdle);
    EXPECT_TRUE(app.profile.newProfile);
    ASSERT_NE(main->loadedBackdrop(), nullptr);
    EXPECT_EQ(main->loadedBackdrop()->lblVersion->text(), "Version 1.0  (Build: 48)");
    EXPECT_EQ(main->windowTitle(), "Caskwell Developer Distribution Kit");
    EXPECT_EQ(main->mnuFileNew->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(main->mnuHelpHelp->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(main->toolbarButton(3)->data().toString(), "ProPref");
    EXPECT_TRUE(main->toolbarButton(4)->isSeparator());
}

TEST_F(KitTest, CommandsFollowNewProfileCancelEditorAndCancel) {
    main->mnuFileNew->trigger();
    flush();
    EXPECT_EQ(commandsOf(*main), kDialogOpen);
    EXPECT_EQ(main->loadedBackdrop(), nullptr);

    // Cancel in the dialog: idle again, backdrop back.
    QTest::mouseClick(main->loadedNewProfileDialog()->CancelButton, Qt::LeftButton);
    flush();
    EXPECT_EQ(commandsOf(*main), kIdle);
    EXPECT_NE(main->loadedBackdrop(), nullptr);
    EXPECT_EQ(main->loadedNewProfileDialog(), nullptr);

    // Through the dialog to the editor, then the editor's Cancel.
    frmConfig* editor = startNewProfile("Payroll", env.makeDir("app"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(commandsOf(*main), kEditorOpen);
    EXPECT_EQ(app.profile.folder, q(env.path("app") + "/"));
    QTest::mouseClick(editor->cmdCancel, Qt::LeftButton);
    flush();
    EXPECT_EQ(commandsOf(*main), kIdle);
    EXPECT_EQ(main->loadedConfig(), nullptr);
    EXPECT_TRUE(app.profile.description.isEmpty());
    EXPECT_EQ(app.profile.folder, q(env.path("app") + "/")) << "Cancel keeps the folder";
    EXPECT_NE(main->loadedBackdrop(), nullptr);
    EXPECT_FALSE(cw::files::isOrdinaryFile(env.path("app/cwkcon32.dll")));

    // The dialog stayed loaded and hidden; showing it again still switches the commands.
    ASSERT_NE(main->loadedNewProfileDialog(), nullptr);
    main->toolbarButton(2)->setEnabled(true);
    main->Toolbar1_ButtonClick("New");
    EXPECT_EQ(commandsOf(*main), kDialogOpen);
    EXPECT_TRUE(main->loadedNewProfileDialog()->txtProfileDescription->text().isEmpty());
}

TEST_F(KitTest, ClosingTheEditorFrameIsItsCancel) {
    frmConfig* editor = startNewProfile("Payroll", env.makeDir("app"));
    ASSERT_NE(editor, nullptr);
    editor->parentWidget()->close();
    flush();
    EXPECT_EQ(commandsOf(*main), kIdle);
    EXPECT_EQ(main->loadedConfig(), nullptr);
}

TEST_F(KitTest, MenuNewEmptiesTheProfileButToolbarNewKeepsIt) {
    app.profile.description = "Old";
    app.profile.folder = "/old/";
    main->Toolbar1_ButtonClick("New");
    EXPECT_EQ(app.profile.description, "Old");
    EXPECT_EQ(app.profile.folder, "/old/");
    main->loadedNewProfileDialog()->CancelButton_Click();
    flush();

    main->mnuFileNew->trigger();
    EXPECT_TRUE(app.profile.description.isEmpty());
    EXPECT_TRUE(app.profile.folder.isEmpty());
    // A preferences window created now has the caption beginning with the blank.
    EXPECT_EQ(main->options()->windowTitle(), " Profile Options");
}

TEST_F(KitTest, ToolbarHelpStaysEnabledAndHelpRequestsReachTheirTopics) {
    QAction* help = main->toolbarButton(5);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isEnabled());
    frmConfig* editor = startNewProfile("Payroll", env.makeDir("app"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(help->isEnabled());
    editor->cmdCancel_Click();
    EXPECT_TRUE(help->isEnabled());

    help->trigger();
    main->mnuHelpHelp->trigger();
    main->mnuHelpContents->trigger();
    EXPECT_EQ(helpCalls(cw::HelpCommand::Contents), 3);
    main->mnuLicense->trigger();
    EXPECT_EQ(helpCalls(cw::HelpCommand::Topic, 20), 1);
    main->options()->cmdHelp->click();
    EXPECT_EQ(helpCalls(cw::HelpCommand::Topic, 130), 1);
    EXPECT_TRUE(main->mnuConfigPref->isEnabled());
    EXPECT_TRUE(main->mnuLicense->isEnabled());
}

TEST_F(KitTest, UnknownToolbarKeyDoesNothing) {
    main->Toolbar1_ButtonClick("Nonsense");
    EXPECT_TRUE(desktop.calls().empty());
    EXPECT_EQ(commandsOf(*main), kIdle);
}

TEST_F(KitTest, ExitClosesTheHelpAndDestroysHiddenWindows) {
    main->options();
    main->mnuFileNew->trigger();
    main->mnuFileexit->trigger();
    flush();
    EXPECT_EQ(main->loadedOptions(), nullptr);
    EXPECT_EQ(main->loadedNewProfileDialog(), nullptr);
    EXPECT_EQ(helpCalls(cw::HelpCommand::Close), 1);
    EXPECT_FALSE(main->isVisible());
}

// Start-up runs the tip window modally: answer it from the event loop once it is up.
void closeTipWhenShown(bool clearCheckBox, QString* shownTip) {
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* tip = qobject_cast<frmTip*>(QApplication::activeModalWidget());
        if (!tip) {
            if (++*tries > 500)
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (shownTip)
            *shownTip = tip->lblTipText->text();
        if (clearCheckBox)
            tip->chkLoadTipsAtStartup->click();
        tip->cmdOK->click();
    });
    timer->start(10);
}

TEST_F(KitTest, StartUpShowsTheTipUntilSwitchedOff) {
    main.reset();
    env.writeFile("kit/TIPOFDAY.TXT", "Only tip\r\n");
    QString shown;
    closeTipWhenShown(true, &shown);
    std::unique_ptr<MDIMainForm> first = frmSplash::startUp(app);
    EXPECT_EQ(shown, "Only tip");
    EXPECT_EQ(stored("Options", "Show Tips at Startup"), "0");
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(commandsOf(*first), kIdle);
    first.reset();

    // Switched off: the next start shows no tip window and returns at once.
    std::unique_ptr<MDIMainForm> second = frmSplash::startUp(app);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(KitTest, GarbageTipSettingCountsAsMissing) {
    main.reset();
    cw::settings::save(kSettingsApp, "Options", "Show Tips at Startup", "yes please");
    QString shown = "none";
    closeTipWhenShown(false, &shown);
    std::unique_ptr<MDIMainForm> m = frmSplash::startUp(app);
    EXPECT_NE(shown, "none");
    EXPECT_EQ(stored("Options", "Show Tips at Startup"), "1");
}

} // namespace
} // namespace kit::test
