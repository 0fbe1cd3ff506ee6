#include "tests/road/Tour.h"

#include "backup/BackupProgram.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/dlgNewFolder.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "kit/ValueCheckBox.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgSubDir.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <cstdio>
#include <filesystem>

namespace road {

namespace fs = std::filesystem;
using cw::Answer;
using cw::Buttons;
using cw::Icon;
using kit::test::q;

namespace {

std::string nameOf(const QWidget* w) {
    return w ? w->objectName().toStdString() : std::string("(nothing)");
}

} // namespace

void TourTest::giveKeyboard(QWidget* window) {
    // The application's own idea of the active window: the platform may call a window
    // active a moment before the keyboard follows it there.
    if (QApplication::activeWindow() != window)
        window->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }))
        << nameOf(window) << " never gets the keyboard";
}

// Enter where the focus is must press b: the window's default button.
void TourTest::expectPressedBy(QAbstractButton* b, int k) {
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    const std::string name = nameOf(b);
    const std::string focus = nameOf(QApplication::focusWidget());
    key(k);
    EXPECT_EQ(clicked.count(), 1) << "Enter in " << focus << " did not press " << name;
}

void TourTest::expectClosedByEscape(QWidget* dialog) {
    QPointer<QWidget> window(dialog);
    giveKeyboard(dialog);
    const std::string focus = nameOf(QApplication::focusWidget()) + " of " +
                              nameOf(QApplication::focusWidget()->window());
    key(Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!window || !window->isVisible())
        << "Escape in " << focus << " left " << nameOf(dialog) << " open";
}

void TourTest::SetUp() {
    const std::string bin = cw::test::TestEnv::binDir();
    for (const char* name : {"cwb", "cwr", "libcwzip.so", "libcwunzip.so"})
        if (!fs::exists(bin + "/" + name))
            GTEST_SKIP() << name << " is not built";
    KitTest::SetUp();
    app.programDir = q(bin);
    // cp -r examples/inventory-manager ~/invmgr; rm ~/invmgr/Templates/.keep
    appDir = env.home() + "/invmgr";
    fs::copy(std::string(CW_SOURCE_DIR) + "/examples/inventory-manager", appDir,
             fs::copy_options::recursive);
    fs::remove(appDir + "/Templates/.keep");
    backups = env.home() + "/backups";
    restored = env.home() + "/restored";
}

void TourTest::key(int k, Qt::KeyboardModifiers mods) {
    QApplication::processEvents();
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target) {
        ADD_FAILURE() << "no window has the keyboard";
        return;
    }
    QTest::keyClick(target, static_cast<Qt::Key>(k), mods);
}

void TourTest::tabTo(QWidget* w) {
    QWidget* window = w->window();
    giveKeyboard(window);
    for (int i = 0; i < 80; ++i) {
        QApplication::processEvents();
        QWidget* f = QApplication::focusWidget();
        if (f && (f == w || f->focusProxy() == w || w->focusProxy() == f))
            return;
        key(Qt::Key_Tab);
    }
    ADD_FAILURE() << "Tab never reaches " << nameOf(w) << " in " << nameOf(window);
}

void TourTest::press(QAbstractButton* b) {
    if (!keys) {
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
        return;
    }
    QSignalSpy clicked(b, &QAbstractButton::clicked);
    tabTo(b);
    // Enter presses the button that has the focus, as Space does.
    key(qobject_cast<QPushButton*>(b) ? Qt::Key_Return : Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1) << nameOf(b);
}

void TourTest::type(QWidget* field, const QString& text) {
    if (keys)
        tabTo(field);
    QTest::keyClicks(keys ? QApplication::focusWidget() : field, text);
}

void TourTest::chooseFolder(cw::DirListBox* list, const std::string& dir) {
    if (!keys) {
        list->setPath(q(dir));
        return;
    }
    // From the root down, one level at a time: arrows to the folder, Enter to open it.
    tabTo(list);
    key(Qt::Key_Home);
    key(Qt::Key_Return);
    for (const auto& part : fs::path(dir).relative_path()) {
        const QString name = q(part.string());
        for (int i = 0; i < 1000 && list->currentItem() && list->currentItem()->text() != name; ++i)
            key(Qt::Key_Down);
        key(Qt::Key_Return);
    }
    EXPECT_EQ(list->path().toStdString(), dir);
}

void TourTest::buildProfile() {
    // Press New Profile.
    if (keys) {
        main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
        key(Qt::Key_N, Qt::ControlModifier);
    } else {
        QTest::mouseClick(main->Toolbar1->widgetForAction(main->toolbarButton(2)), Qt::LeftButton);
    }
    kit::dlgDirforINI* dlg = main->loadedNewProfileDialog();
    ASSERT_NE(dlg, nullptr);
    type(dlg->txtProfileDescription, QStringLiteral("Inventory Manager"));
    chooseFolder(dlg->dirforINI, appDir);
    if (keys) {
        tabTo(dlg->txtProfileDescription);
        expectPressedBy(dlg->OKButton, Qt::Key_Return);
    } else {
        press(dlg->OKButton);
    }
    kit::frmConfig* editor = main->loadedConfig();
    ASSERT_NE(editor, nullptr);

    // Every folder is its own item.
    for (const char* folder : {"Data", "Data/Archive", "Reports", "Reports/Monthly", "Templates"}) {
        press(editor->cmdDAdd);
        kit::dlgSubDir* add = main->loadedSubDir();
        ASSERT_NE(add, nullptr);
        EXPECT_TRUE(add->optAppDir->isChecked());
        if (keys && folder == std::string("Data")) {
            // Escape is Cancel: nothing is added, and Add brings the dialog back.
            expectClosedByEscape(add);
            EXPECT_EQ(editor->lstSubDir->count(), 0);
            press(editor->cmdDAdd);
            add = main->loadedSubDir();
            ASSERT_NE(add, nullptr);
        }
        type(add->txtSubDir, QLatin1String(folder));
        if (keys)
            expectPressedBy(add->OKButton, Qt::Key_Return);
        else
            press(add->OKButton);
        flush();
    }

    // Preferences (a modal window): empty directories stay on; OK.
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [this, &answer] {
        kit::frmOptions* o = main->loadedOptions();
        if (!o || !o->isVisible())
            return;
        answer.stop();
        EXPECT_TRUE(o->chkEmpDir->isChecked());
        if (keys) {
            tabTo(o->chkEmpDir);
            expectPressedBy(o->cmdOK, Qt::Key_Return);
        } else {
            press(o->cmdOK);
        }
    });
    answer.start();
    press(editor->cmdPref);
    EXPECT_FALSE(answer.isActive()) << "the preferences did not open";
    answer.stop();

    desktop.expectBox(kit::test::distributionMessage(q(appDir + "/")), Icon::Information,
                      Buttons::OK, QStringLiteral("Caskwell"), Answer::OK, true);
    press(editor->cmdMakeINI);
    kit::dlgConfirm* confirm = main->loadedConfirm();
    ASSERT_NE(confirm, nullptr);
    if (keys) {
        tabTo(confirm->lstConfirm);
        expectPressedBy(confirm->OKButton, Qt::Key_Return);
    } else {
        press(confirm->OKButton);
    }
    flush();
    const std::string profile = cw::test::TestEnv::readFile(appDir + "/cwkcon32.dll");
    EXPECT_NE(profile.find("[Application]\r\nData\r\nData/Archive\r\nReports\r\nReports/Monthly"
                           "\r\nTemplates\r\n[Windows]"),
              std::string::npos)
        << profile;
    EXPECT_NE(profile.find("[EmptyDir]\r\n1\r\n"), std::string::npos) << profile;
    EXPECT_TRUE(fs::is_directory(appDir + "/system"));
}

void TourTest::backUp() {
    cw::test::ScriptedDesktop desk;
    cwb::BackupProgram prog(desk, appDir);
    desk.expectBox(QStringLiteral("INVENTORY MANAGER must be closed before continuing the backup."
                                  "  If INVENTORY MANAGER is not closed, close it now then click "
                                  "'OK'."),
                   Icon::Warning, Buttons::OKCancel, QStringLiteral("Caskwell"), Answer::OK, true);
    ASSERT_TRUE(prog.start());
    if (keys)
        expectPressedBy(prog.startWindow->cmdNext, Qt::Key_Return);
    else
        press(prog.startWindow->cmdNext);

    cwb::frmBackup& options = *prog.optionsWindow;
    chooseFolder(options.dirFolderList, env.home());
    press(options.cmdNewFolder);
    auto* folder = options.findChild<cw::dlgNewFolder*>();
    ASSERT_NE(folder, nullptr);
    type(folder->txtNameOfFolder, QStringLiteral("backups"));
    if (keys)
        expectPressedBy(folder->OKButton, Qt::Key_Return);
    else
        press(folder->OKButton);
    EXPECT_EQ(options.dirFolderList->path().toStdString(), backups);
    type(options.txtBackupName, QStringLiteral("Weekly"));
    if (keys)
        expectPressedBy(options.cmdStart, Qt::Key_Return);
    else
        press(options.cmdStart);

    ASSERT_TRUE(prog.progressWindow);
    cwb::frmZIP& z = *prog.progressWindow;
    if (keys)
        expectPressedBy(z.cmdOK, Qt::Key_Return);
    else
        press(z.cmdOK);
    EXPECT_TRUE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was backed up succesfully."));
    if (keys)
        expectPressedBy(z.cmdCancel, Qt::Key_Return);
    else
        press(z.cmdCancel);
    EXPECT_TRUE(prog.ended);
    EXPECT_TRUE(fs::is_regular_file(backups + "/Weekly.bks"));
}

void TourTest::restore() {
    cw::test::ScriptedDesktop desk;
    desk.setProgramTitle(QStringLiteral("Caskwell Restore"));
    cwr::RestoreContext ctx(desk, appDir);
    struct Flush {
        ~Flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    } flushAtEnd; // closed windows go before the context they use

    cwr::dlgOpenBackupSet& open = ctx.showOpenDialog();
    chooseFolder(open.Dir1, backups);
    if (keys) {
        type(open.txtBackupName, QStringLiteral("Weekly.bks"));
        expectPressedBy(open.cmdOpen, Qt::Key_Return);
    } else {
        open.File1->setFileName(QStringLiteral("Weekly.bks"));
        open.File1_Click();
        press(open.cmdOpen);
    }
    ASSERT_TRUE(ctx.restoreWindow);
    cwr::frmRestore& w = *ctx.restoreWindow;
    press(w.cmdSelectAll);
    EXPECT_TRUE(w.optResDir[0]->isChecked()) << "Restore Directory Structure? Yes";
    press(w.cmdRestore);
    ASSERT_TRUE(ctx.extractDialog);
    if (keys) {
        // Escape is Cancel; Restore To... brings the dialog back.
        expectClosedByEscape(ctx.extractDialog);
        EXPECT_FALSE(ctx.extractDialog);
        press(w.cmdRestore);
        ASSERT_TRUE(ctx.extractDialog);
    }
    cwr::dlgExtractTo& to = *ctx.extractDialog;
    chooseFolder(to.drvExtractTo, env.home());
    press(to.cmdNewFolder);
    auto* folder = to.findChild<cw::dlgNewFolder*>();
    ASSERT_NE(folder, nullptr);
    type(folder->txtNameOfFolder, QStringLiteral("restored"));
    if (keys)
        expectPressedBy(folder->OKButton, Qt::Key_Return);
    else
        press(folder->OKButton);
    EXPECT_EQ(to.destination().toStdString(), restored);
    desk.expectBox(QStringLiteral("You have chosen to restore the selected files to a folder "
                                  "rather than the root directory!  Are you sure?"),
                   Icon::Warning, Buttons::YesNo, QStringLiteral("Caskwell"), Answer::Yes, true);
    if (keys) {
        tabTo(to.Drive1);
        expectPressedBy(to.OKButton, Qt::Key_Return);
    } else {
        press(to.OKButton);
    }
    ASSERT_TRUE(ctx.progressWindow);
    cwr::dlgProgress& p = *ctx.progressWindow;
    if (keys)
        expectPressedBy(p.cmdStartRestore, Qt::Key_Return);
    else
        press(p.cmdStartRestore);
    ASSERT_TRUE(ctx.progressWindow);
    EXPECT_EQ(p.lblInfo->text(), QStringLiteral("Restore Completed Succesfully."));
    if (keys)
        expectPressedBy(p.cmdCancel, Qt::Key_Return);
    else
        press(p.cmdCancel);
}

std::string TourTest::compare(int& status) const {
    const std::string command =
        "diff -r -x system '" + appDir + "' '" + restored + appDir + "' 2>&1";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return "cannot run diff";
    }
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    status = ::pclose(pipe);
    return out;
}

} // namespace road
