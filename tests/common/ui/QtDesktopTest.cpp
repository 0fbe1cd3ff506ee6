// The production desktop service and the activation rule it serves, on the offscreen
// platform: boxes are found as the active modal widget and answered by clicking.
#include "common/widgets/QtDesktop.h"
#include "common/widgets/Activation.h"
#include "common/widgets/Placement.h"
#include "tests/common/ui/QtPrinters.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace cw;
using cw::test::TestEnv;

namespace {

// Runs f on the modal widget once it is up (f must close it).
void whenModal(std::function<void(QWidget*)> f) {
    QTimer::singleShot(0, [f] {
        QWidget* w = QApplication::activeModalWidget();
        f(w);
        if (w && w->isVisible())
            w->close(); // whatever the check did, never leave the test waiting
    });
}

QWidget* helpWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpWindow")
            return w;
    return nullptr;
}

} // namespace

TEST(QtDesktop, MessageBoxShowsWhatWasAskedAndReportsTheButton) {
    QtDesktop desktop;
    struct Case {
        Buttons buttons;
        QMessageBox::StandardButton click;
        Answer answer;
    };
    for (const Case& c : {Case{Buttons::OK, QMessageBox::Ok, Answer::OK},
                          Case{Buttons::OKCancel, QMessageBox::Cancel, Answer::Cancel},
                          Case{Buttons::YesNo, QMessageBox::Yes, Answer::Yes},
                          Case{Buttons::YesNo, QMessageBox::No, Answer::No},
                          Case{Buttons::RetryCancel, QMessageBox::Retry, Answer::Retry}}) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttonCount = 0;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttonCount = box->buttons().size();
            QTest::mouseClick(box->button(c.click), Qt::LeftButton);
        });
        EXPECT_EQ(desktop.messageBox("Hello  there", Icon::Warning, c.buttons), c.answer);
        EXPECT_EQ(title, "Caskwell"); // the program title when none is given
        EXPECT_EQ(text, "Hello  there");
        EXPECT_EQ(icon, QMessageBox::Warning);
        EXPECT_EQ(buttonCount, c.buttons == Buttons::OK ? 1 : 2);
    }

    desktop.setProgramTitle("Caskwell Restore");
    QString title;
    whenModal([&](QWidget* w) {
        title = w->windowTitle();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    EXPECT_EQ(desktop.messageBox("x", Icon::Question, Buttons::OKCancel), Answer::Cancel);
    EXPECT_EQ(title, "Caskwell Restore");
    whenModal([&](QWidget* w) {
        title = w->windowTitle();
        w->close(); // closed without a button: the way out
    });
    EXPECT_EQ(desktop.messageBox("x", Icon::None, Buttons::YesNo, "Own"), Answer::No);
    EXPECT_EQ(title, "Own");
}

TEST(QtDesktop, InputBox) {
    QtDesktop desktop;
    QString label, title, preset;
    whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QInputDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        label = dlg->labelText();
        title = dlg->windowTitle();
        preset = dlg->textValue();
        dlg->setTextValue("typed");
        dlg->accept();
    });
    EXPECT_EQ(desktop.inputBox("Password:", "", "pre"), std::optional<QString>("typed"));
    EXPECT_EQ(label, "Password:");
    EXPECT_EQ(title, "Caskwell");
    EXPECT_EQ(preset, "pre");
    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(desktop.inputBox("Password:", "T"), std::nullopt);
}

TEST(QtDesktop, BusyPointerNestsAndStaysBalanced) {
    QApplication::setOverrideCursor(Qt::PointingHandCursor); // someone else's
    {
        QtDesktop desktop;
        desktop.setBusy(true);
        desktop.setBusy(true);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        desktop.setBusy(false);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        desktop.setBusy(false);
        desktop.setBusy(false); // one too many must not take the other cursor away
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        desktop.setBusy(true); // left on: the service's end restores it
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtDesktop, HelpWindowShowsPagesAndCloses) {
    TestEnv env;
    env.writeFile("help/index.html", "<html><body><h1>Contents page</h1></body></html>");
    env.writeFile("help/topic20.html", "<html><body><p>Licence agreement</p></body></html>");
    QtDesktop desktop(QString::fromStdString(env.path("help")));
    desktop.help(HelpCommand::Contents);
    QWidget* w = helpWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    auto* browser = w->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Contents page"));
    desktop.help(HelpCommand::Topic, 20);
    EXPECT_EQ(helpWindow(), w); // one window, reused
    EXPECT_TRUE(browser->toPlainText().contains("Licence agreement"));
    desktop.help(HelpCommand::Topic, 130); // not shipped: said so, no crash
    EXPECT_TRUE(browser->toPlainText().contains("topic130.html"));
    EXPECT_TRUE(browser->toPlainText().contains("not found"));
    desktop.help(HelpCommand::Close);
    EXPECT_FALSE(w->isVisible());
    desktop.help(HelpCommand::Close); // closing twice is harmless

    QtDesktop noHelp;
    noHelp.help(HelpCommand::Contents);
    noHelp.help(HelpCommand::Close);
}

TEST(ActivationWatcher, ShowAndReturnFromOwnWindowButNotFromABox) {
    QWidget main;
    main.setWindowTitle("main");
    ActivationWatcher watcher(&main);
    QSignalSpy activated(&watcher, &ActivationWatcher::activated);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(activated.count(), 1); // shown: once, not again for the activation after it

    // Back from a box shown through the desktop service: not an activation.
    QtDesktop desktop;
    whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    desktop.messageBox("question", Icon::Question, Buttons::OKCancel);
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::qWait(20);
    EXPECT_EQ(activated.count(), 1);

    // Back from another window of the program: an activation.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(activated.count(), 2);

    // Hidden and shown again: one activation.
    main.hide();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(activated.count(), 3);
}

TEST(Placement, TwipsAndCentring) {
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(twipsPerPixelX(), 1440.0 / dpi);
    EXPECT_EQ(twipsToPixelsX(1440), static_cast<int>(std::lround(dpi)));
    EXPECT_EQ(pixelsToTwipsX(twipsToPixelsX(2880)), 2880);

    const QRect s = QGuiApplication::primaryScreen()->geometry();
    QWidget w;
    w.resize(201, 100);
    centreOnScreen(&w);
    EXPECT_EQ(w.x(), s.x() + (s.width() - 201) / 2);
    EXPECT_EQ(w.y(), s.y() + (s.height() - 100) / 2);
    centreWithFixedHeight(&w, 1440);
    EXPECT_EQ(w.x(), s.x() + (s.width() - 201) / 2);
    EXPECT_EQ(w.y(), s.y() + (s.height() - twipsToPixelsY(1440)) / 2);
}
