// The tip of the day, the about box, and the kit's plain helpers.
#include "KitFixture.h"
#include "kit/ProfileItems.h"
#include "kit/frmAbout.h"
#include "kit/frmTip.h"
#include "tests/support/FileFaults.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <cstdlib>
#include <filesystem>

namespace kit::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;

TEST_F(KitTest, TipsComeOnlyFromTheFileAndBlankLinesAreTips) {
    env.writeFile("kit/TIPOFDAY.TXT", "one\r\n\r\nthree");
    frmTip tip(app);
    EXPECT_EQ(tip.windowTitle(), "Caskwell Tip of the Day");
    EXPECT_EQ(joined(tip.tips()), joined(QStringList({"one", "", "three"})));
    EXPECT_TRUE(tip.chkLoadTipsAtStartup->isChecked());
    EXPECT_EQ(stored("Options", "Show Tips at Startup"), "1");
    QSet<QString> seen;
    for (int i = 0; i < 200; ++i) {
        tip.cmdNextTip->click();
        EXPECT_GE(tip.currentTip(), 1);
        EXPECT_LE(tip.currentTip(), 3);
        seen.insert(tip.lblTipText->text());
    }
    EXPECT_EQ(seen, QSet<QString>({"one", "", "three"}));
    tip.chkLoadTipsAtStartup->click();
    EXPECT_EQ(stored("Options", "Show Tips at Startup"), "0");
}

TEST_F(KitTest, MissingEmptyAndUnreadableTipFiles) {
    {
        frmTip tip(app);
        EXPECT_EQ(tip.lblTipText->text(),
                  "That the TIPOFDAY.TXT file was not found? \r\n\r\nCreate a text file named "
                  "TIPOFDAY.TXT using NotePad with 1 tip per line. Then place it in the same "
                  "directory as the application. ");
        const QString before = tip.lblTipText->text();
        tip.cmdNextTip->click();
        EXPECT_EQ(tip.lblTipText->text(), before);
        EXPECT_FALSE(tip.LoadTips(QString()));
    }
    {
        env.writeFile("kit/TIPOFDAY.TXT", "");
        frmTip tip(app);
        EXPECT_TRUE(tip.tips().isEmpty());
        EXPECT_TRUE(tip.lblTipText->text().isEmpty());
    }
    {
        const std::string file = env.writeFile("kit/TIPOFDAY.TXT", "tip\n");
        cw::files::injectFault(file, cw::files::Fault::Unreadable);
        frmTip tip(app);
        EXPECT_EQ(tip.lblTipText->text(), "The tip file " + q(file) + " cannot be read.");
    }
}

TEST_F(KitTest, ShippedTipFileHasTips) {
    frmTip tip(app);
    EXPECT_TRUE(tip.LoadTips(q(std::string(CW_SOURCE_DIR) + "/TIPOFDAY.TXT")));
    EXPECT_GE(tip.tips().size(), 10);
    EXPECT_FALSE(tip.tips().contains(QString()));
}

class About : public KitTest {
protected:
    void SetUp() override {
        KitTest::SetUp();
        if (const char* p = std::getenv("PATH"))
            oldPath = p;
        main->mnuHelpAbout->trigger();
        about = main->loadedAbout();
        ASSERT_NE(about, nullptr);
    }
    void TearDown() override {
        ::setenv("PATH", oldPath.c_str(), 1);
        KitTest::TearDown();
    }
    std::string oldPath;
    frmAbout* about = nullptr;
};

TEST_F(About, ShowsVersionAndContactAndOpensTheLicence) {
    EXPECT_EQ(about->windowTitle(), "About Caskwell Developer Distribution Kit");
    EXPECT_EQ(about->lblVersion->text(), "Version 1.0  (Build: 48)");
    EXPECT_EQ(about->lblDescription->text(),
              "Build Powerful Backup Profiles for distribution with your own SDK Applications.");
    EXPECT_EQ(about->lblContact->text(),
              "Contact Information \r\nWeb Site:  " + QString(kContactWebAddress) +
                  " \r\n   Phone (610) 555-0142");
    about->cmdLicense->click();
    EXPECT_EQ(helpCalls(cw::HelpCommand::Topic, 20), 1);
    about->cmdOK->click();
    flush();
    EXPECT_EQ(main->loadedAbout(), nullptr);
}

TEST_F(About, StartsTheFirstSystemInformationProgramOnThePath) {
    const std::string bin = env.makeDir("bin");
    for (const char* name : {"kinfocenter", "xfce4-taskmanager"}) {
        const std::string p = env.writeFile(std::string("bin/") + name, "#!/bin/sh\n");
        std::filesystem::permissions(p, std::filesystem::perms::owner_all);
    }
    ::setenv("PATH", bin.c_str(), 1);
    about->cmdSysInfo->click();
    ASSERT_FALSE(desktop.calls().empty());
    EXPECT_EQ(desktop.calls().back().kind, cw::test::DesktopCall::Kind::Program);
    EXPECT_EQ(desktop.calls().back().text, q(bin + "/kinfocenter"));

    desktop.setStartProgramResult(false);
    desktop.expectBox("System Information Is Unavailable At This Time", Icon::None, Buttons::OK,
                      "Caskwell", Answer::OK, true);
    about->cmdSysInfo->click();

    ::setenv("PATH", env.makeDir("empty").c_str(), 1);
    desktop.expectBox("System Information Is Unavailable At This Time", Icon::None, Buttons::OK,
                      "Caskwell", Answer::OK, true);
    about->StartSysInfo();
    EXPECT_NE(main->loadedAbout(), nullptr) << "the about box stays open";
}

TEST(ProfileItems, KindsNamesAndEmptyEntries) {
    using items::Kind;
    EXPECT_EQ(items::prefix(Kind::Application), "%InstallDir% \\ ");
    EXPECT_EQ(items::prefix(Kind::Windows).size(), 12);
    EXPECT_EQ(items::prefix(Kind::System).size(), 11);
    EXPECT_EQ(items::kindOf("%Windows% \\ a"), Kind::Windows);
    EXPECT_EQ(items::kindOf("plain"), Kind::None);
    EXPECT_EQ(items::nameOf("%System% \\  b "), " b ");
    const QStringList list = {"%System% \\ s1", "%InstallDir% \\ a", "%System% \\ ",
                              "%System% \\ s2"};
    EXPECT_EQ(items::sectionLines(list, Kind::System), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_TRUE(items::sectionLines(list, Kind::Windows).empty());

    QStringList read = items::itemsFromEntries(Kind::System, {"x", "windows12ch", ""});
    read << items::itemsFromEntries(Kind::Windows, {""});
    items::removeEmptyItems(read);
    EXPECT_EQ(joined(read), joined(QStringList({"%System% \\ x", "%System% \\ windows12ch"})))
        << "a one-character System entry is an item like any other";
}

} // namespace
} // namespace kit::test
