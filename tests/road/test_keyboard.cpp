// The whole road by keyboard alone: Tab reaches every control the tour needs, Enter presses
// each window's default button (OK, Open, Next>>, Start) or the button that has the focus,
// Escape is Cancel; and the help window closes with Escape and Ctrl+W.
#include "common/widgets/QtDesktop.h"
#include "tests/road/Tour.h"

#include <QApplication>

namespace road {
namespace {

TEST_F(TourTest, TheWholeRoadByKeyboardAlone) {
    keys = true;
    buildProfile();
    backUp();
    restore();
    int status = -1;
    EXPECT_EQ(compare(status), "");
    EXPECT_EQ(status, 0);
}

TEST(HelpWindow, ClosesWithEscapeAndCtrlW) {
    cw::QtDesktop desktop(QString::fromStdString(cw::test::TestEnv::binDir() + "/help"));
    auto helpWindow = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("HelpWindow") && w->isVisible())
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        desktop.help(cw::HelpCommand::Contents);
        QWidget* window = helpWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : window, key);
        EXPECT_EQ(helpWindow(), nullptr) << key.toString().toStdString();
    }
}

} // namespace
} // namespace road
