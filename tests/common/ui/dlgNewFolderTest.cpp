// The new-folder dialog, driven by typing and clicking as a user does.
#include "common/dlgNewFolder.h"
#include "common/platform/Files.h"
#include "common/widgets/DirListBox.h"
#include "tests/common/ui/QtPrinters.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace cw;
using cw::test::ScriptedDesktop;
using cw::test::TestEnv;

namespace {

const QString kInvalid =
    QStringLiteral("You've entered an invalid character '/\\:*?<>|' in your folder name.");
const QString kExists = QStringLiteral("This folder already exists.  Click 'OK' and type a "
                                       "different folder name or choose a different directory.");

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A modeless dialog on a list at dir, as cwb and cwr open it.
struct Fixture {
    explicit Fixture(const std::string& dir) {
        list.setPath(q(dir));
        dlg = dlgNewFolder::open(desktop, list, nullptr, false);
    }
    ~Fixture() { delete dlg.data(); }

    void type(const QString& text) {
        QLineEdit* txt = dlg->findChild<QLineEdit*>("txtNameOfFolder");
        txt->clear();
        QTest::keyClicks(txt, text);
    }
    void clickOk() { QTest::mouseClick(dlg->findChild<QPushButton*>("OKButton"), Qt::LeftButton); }

    ScriptedDesktop desktop;
    DirListBox list;
    QPointer<dlgNewFolder> dlg;
};

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

TEST(dlgNewFolder, ControlsLabelAndFocus) {
    TestEnv env;
    Fixture f(env.makeDir("Work"));
    ASSERT_TRUE(f.dlg);
    EXPECT_EQ(f.dlg->objectName(), "dlgNewFolder");
    EXPECT_EQ(f.dlg->windowTitle(), "Caskwell");
    EXPECT_FALSE(f.dlg->isModal());
    EXPECT_EQ(f.dlg->findChild<QLabel*>("lblNewFolder")->text(),
              "Enter the Name of the New folder you're placing under '" + q(env.path("Work")) +
                  "'");
    EXPECT_EQ(f.dlg->txtNameOfFolder->text(), "");
    EXPECT_EQ(f.dlg->OKButton->text(), "OK");
    EXPECT_EQ(f.dlg->CancelButton->text(), "Cancel");
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.dlg));
    EXPECT_EQ(QApplication::focusWidget(), f.dlg->txtNameOfFolder);

    // Coming back from the caller's window, the name field has the focus again.
    f.dlg->OKButton->setFocus();
    QWidget caller;
    caller.show();
    caller.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&caller));
    f.dlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.dlg));
    EXPECT_EQ(QApplication::focusWidget(), f.dlg->txtNameOfFolder);
}

TEST(dlgNewFolder, CreatesTheFolderAndMovesTheListThere) {
    TestEnv env;
    Fixture f(env.makeDir("Data"));
    QSignalSpy changed(&f.list, &DirListBox::pathChanged);
    f.type("New  one ");
    f.clickOk();
    EXPECT_TRUE(files::isDirectory(env.path("Data/New  one "))); // exactly as typed
    EXPECT_EQ(f.list.path(), q(env.path("Data/New  one ")));
    EXPECT_EQ(changed.count(), 1);
    settle();
    EXPECT_TRUE(f.dlg.isNull()); // closed, and a modeless one deletes itself
    EXPECT_TRUE(f.desktop.calls().empty());
}

TEST(dlgNewFolder, EnterPressesOk) {
    TestEnv env;
    Fixture f(env.makeDir("Data"));
    f.type("ViaEnter");
    QTest::keyClick(f.dlg->txtNameOfFolder, Qt::Key_Return);
    EXPECT_EQ(f.list.path(), q(env.path("Data/ViaEnter")));
}

TEST(dlgNewFolder, InvalidCharactersAreRefused) {
    TestEnv env;
    Fixture f(env.makeDir("Data"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.dlg));
    f.dlg->OKButton->setFocus(); // where a click with the mouse would leave it
    for (const QString bad : {"a:b", "x\\y", "c/d", "*", "?", "<", ">", "p|q"}) {
        f.desktop.expectBox(kInvalid, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
        f.type(bad);
        f.clickOk();
        EXPECT_EQ(f.desktop.pending(), 0) << bad.toStdString();
        EXPECT_TRUE(f.dlg && f.dlg->isVisible());
    }
    EXPECT_EQ(f.list.path(), q(env.path("Data")));
    EXPECT_TRUE(files::listDirectories(env.path("Data")).empty());
    EXPECT_EQ(QApplication::focusWidget(), f.dlg->txtNameOfFolder);
}

TEST(dlgNewFolder, ExistingFolderAndEmptyNameGiveTheExistsMessage) {
    TestEnv env;
    env.makeDir("Data/Old");
    Fixture f(env.path("Data"));
    QSignalSpy changed(&f.list, &DirListBox::pathChanged);
    for (const QString name : {"Old", ""}) {
        f.desktop.expectBox(kExists, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
        f.type(name);
        f.clickOk();
        EXPECT_EQ(f.desktop.pending(), 0);
        EXPECT_TRUE(f.dlg && f.dlg->isVisible());
    }
    EXPECT_EQ(changed.count(), 0);
    // The user tries again with a new name.
    f.type("Fresh");
    f.clickOk();
    EXPECT_EQ(f.list.path(), q(env.path("Data/Fresh")));
}

TEST(dlgNewFolder, OtherFailuresStayOpenSilently) {
    TestEnv env;
    Fixture f(env.makeDir("Data"));
    std::filesystem::remove_all(env.path("Data")); // the parent vanished under the list
    f.type("New");
    f.clickOk();
    EXPECT_TRUE(f.desktop.calls().empty());
    EXPECT_TRUE(f.dlg && f.dlg->isVisible());
    EXPECT_EQ(f.list.path(), q(env.path("Data")));

    f.type(QString(300, 'n')); // longer than a name may be
    env.makeDir("Data");
    f.clickOk();
    EXPECT_TRUE(f.desktop.calls().empty());
    EXPECT_TRUE(f.dlg && f.dlg->isVisible());
}

TEST(dlgNewFolder, CancelLeavesEverythingAlone) {
    TestEnv env;
    Fixture f(env.makeDir("Data"));
    QSignalSpy changed(&f.list, &DirListBox::pathChanged);
    f.type("NotMade");
    QTest::mouseClick(f.dlg->CancelButton, Qt::LeftButton);
    settle();
    EXPECT_TRUE(f.dlg.isNull());
    EXPECT_FALSE(files::isDirectory(env.path("Data/NotMade")));
    EXPECT_EQ(changed.count(), 0);
}

TEST(dlgNewFolder, AtTheRootAnExistingFolderIsRefused) {
    TestEnv env;
    DirListBox list;
    list.setCurrentRow(0); // open the root's item: "/" alone would mean the drive's directory
    QTest::keyClick(&list, Qt::Key_Return);
    ASSERT_EQ(list.path(), "/");
    ScriptedDesktop desktop;
    dlgNewFolder dlg(desktop, list);
    EXPECT_TRUE(dlg.lblNewFolder->text().endsWith("'/'"));
    desktop.expectBox(kExists, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    dlg.txtNameOfFolder->setText("tmp");
    dlg.OKButton_Click();
    EXPECT_EQ(list.path(), "/");
}

TEST(dlgNewFolder, ModalOpenWaitsUntilClosed) {
    TestEnv env;
    DirListBox list;
    list.setPath(q(env.makeDir("Data")));
    ScriptedDesktop desktop;
    bool sawModal = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<dlgNewFolder*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        sawModal = dlg->isModal();
        dlg->txtNameOfFolder->setText("Modal");
        dlg->OKButton_Click();
    });
    EXPECT_EQ(dlgNewFolder::open(desktop, list, nullptr, true), nullptr);
    EXPECT_TRUE(sawModal);
    EXPECT_EQ(list.path(), q(env.path("Data/Modal")));
}

TEST(dlgNewFolder, ClosesWhenItsListGoesAway) {
    TestEnv env;
    ScriptedDesktop desktop;
    auto* list = new DirListBox;
    list->setPath(q(env.makeDir("Data")));
    QPointer<dlgNewFolder> dlg = dlgNewFolder::open(desktop, *list, nullptr, false);
    delete list;
    settle();
    EXPECT_TRUE(dlg.isNull());
}
