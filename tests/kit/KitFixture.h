#pragma once
// A cwkit under test: a temporary home, the scripted desktop, and the main window, with
// the kit's own folder in the temporary folder.
#include "common/platform/Files.h"
#include "common/platform/Settings.h"
#include "common/widgets/DirListBox.h"
#include "kit/KitApp.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/dlgDirforINI.h"
#include "kit/frmConfig.h"
#include "kit/frmOptions.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestEnv.h"
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace kit::test {

inline QString q(const std::string& s) {
    return QString::fromStdString(s);
}
// Lists compared as one readable text.
inline std::string joined(const QStringList& l) {
    return l.join(QLatin1Char('|')).toStdString();
}

// What a build tells the developer, for the application folder given.
inline QString distributionMessage(const QString& folder) {
    return "You can now distribute Caskwell and your new Profile along with your own "
           "application.\r\n\r\nThe files listed below are located in '" +
           folder +
           "'.  Simply install or copy the files into your application's main directory\r\n\r\n"
           "cwb\r\ncwr\r\ncwkcon32.dll\r\nlibcwzip.so\r\nlibcwunzip.so\r\n\r\nThe following "
           "files must be installed in the system folder.  (see help for more "
           "information)\r\n\r\nlibgcc_s.so.1\r\nlibstdc++.so.6\r\n\r\nWhen run, cwb will back "
           "up all files in your main application directory, as well as the items you specified "
           "in the Profile you just created.";
}

class KitTest : public ::testing::Test {
protected:
    KitTest() : app(desktop, desktop, q(env.makeDir("kit"))) {}

    void SetUp() override {
        main = std::make_unique<MDIMainForm>(app);
        main->show();
    }
    void TearDown() override {
        main.reset();
        flush();
        desktop.verify();
    }
    // Lets windows that unloaded go.
    static void flush() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    int helpCalls(cw::HelpCommand command, int topic = 0) const {
        int n = 0;
        for (const auto& c : desktop.calls())
            if (c.kind == cw::test::DesktopCall::Kind::Help && c.help == command &&
                (command != cw::HelpCommand::Topic || c.topic == topic))
                ++n;
        return n;
    }
    // New Profile from the menu, then the application's name and folder, then OK.
    frmConfig* startNewProfile(const QString& name, const std::string& folder) {
        main->mnuFileNew->trigger();
        dlgDirforINI* dlg = main->loadedNewProfileDialog();
        if (!dlg)
            return nullptr;
        dlg->dirforINI->setPath(q(folder));
        QTest::keyClicks(dlg->txtProfileDescription, name);
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        return main->loadedConfig();
    }
    static std::string stored(const char* section, const char* key) {
        return cw::settings::get(kSettingsApp, section, key, "<missing>");
    }

    cw::test::TestEnv env;
    cw::test::ScriptedDesktop desktop;
    KitApp app;
    std::unique_ptr<MDIMainForm> main;
};

// The developer's own support, chosen on the Support tab as a user would.
inline void supportByPhone(frmOptions* o, const QString& phone) {
    o->tbsOptions->setCurrentIndex(1);
    o->optNoDBT->click();
    o->optPhone->click();
    o->txtPhone->setText(phone);
}
inline void supportByWeb(frmOptions* o, const QString& url) {
    o->tbsOptions->setCurrentIndex(1);
    o->optNoDBT->click();
    o->optWebsite->click();
    o->txtURL->setText(url);
}

// The state of the main window's commands: New, Open, Build, Print, toolbar Open and New.
struct Commands {
    bool fileNew, fileOpen, build, print, tbOpen, tbNew;
    bool operator==(const Commands&) const = default;
};
inline Commands commandsOf(const MDIMainForm& m) {
    return {m.mnuFileNew->isEnabled(),       m.mnuFileOpen->isEnabled(),
            m.mnuFileCreate->isEnabled(),    m.mnufilePrint->isEnabled(),
            m.toolbarButton(1)->isEnabled(), m.toolbarButton(2)->isEnabled()};
}
inline std::ostream& operator<<(std::ostream& os, const Commands& c) {
    return os << "New " << c.fileNew << " Open " << c.fileOpen << " Build " << c.build << " Print "
              << c.print << " tbOpen " << c.tbOpen << " tbNew " << c.tbNew;
}
inline constexpr Commands kIdle{true, true, false, false, true, true};
inline constexpr Commands kDialogOpen{false, false, false, false, false, false};
inline constexpr Commands kEditorOpen{false, false, true, true, false, false};

} // namespace kit::test
