// The preferences window: where it takes its first values from, the developer's defaults,
// the support choices, the maker-number check and the tabs.
#include "KitFixture.h"
#include "kit/SupportCheck.h"
#include "kit/ValueCheckBox.h"
#include "kit/frmOptions.h"
#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabBar>

namespace kit::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;

const QString kMakerWarning = "You have entered in Fennick's phone number.  Please enter in "
                              "YOUR support phone number.";

void saveConfig(std::initializer_list<std::pair<const char*, const char*>> entries) {
    for (const auto& [key, value] : entries)
        cw::settings::save(kSettingsApp, "Config", key, value);
}

// A profile in the application folder, opened from disk (so the window reads it).
class OptionsFromProfile : public KitTest {
protected:
    frmOptions* loadProfile(const std::string& body) {
        const std::string path = env.writeFile("app/cwkcon32.dll", body);
        app.profile.newProfile = false;
        app.profile.path = q(path);
        return main->options();
    }
};

TEST_F(KitTest, FirstStartWithEmptyStoreKeepsTheInitialStates) {
    frmOptions* o = main->options();
    EXPECT_EQ(o->chkLongFile->value(), 1);
    EXPECT_EQ(o->chkEncrypt->value(), 1);
    EXPECT_EQ(o->chkEmpDir->value(), 1);
    EXPECT_EQ(o->chkHidden->value(), 0);
    EXPECT_EQ(o->chkSaveStruc->value(), 1);
    EXPECT_EQ(o->chkChngComp->value(), 0);
    EXPECT_EQ(o->selectedCompression(), 3);
    EXPECT_EQ(o->iComp, 0);
    EXPECT_TRUE(o->optYesDBT->isChecked());
    EXPECT_FALSE(o->frmSptOption->isEnabled());
    EXPECT_TRUE(o->OptYes->isChecked());
    EXPECT_TRUE(o->cmdDefault->isEnabled());
    EXPECT_EQ(o->tbsOptions->count(), 3);
    EXPECT_EQ(o->tbsOptions->tabData(2).toString(), "Group3");
    EXPECT_EQ(o->tbsOptions->tabToolTip(1), "Set Support Options for Users");
    EXPECT_EQ(o->optComp[2], nullptr);
    EXPECT_EQ(o->optComp[4]->objectName(), "optComp(4)");
}

TEST_F(KitTest, LoadsTheDevelopersDefaultsFromTheStore) {
    saveConfig({{"LongFileNames", "0"},
                {"Encryption", "0"},
                {"EmptyDirectories", "0"},
                {"HiddenFiles", "1"},
                {"DirectoryStruct", "0"},
                {"Compression", "4"},
                {"ChangeComp", "1"}});
    frmOptions* o = main->options();
    EXPECT_EQ(o->chkLongFile->value(), 0);
    EXPECT_EQ(o->chkEncrypt->value(), 0);
    EXPECT_EQ(o->chkEmpDir->value(), 0);
    EXPECT_EQ(o->chkHidden->value(), 1);
    EXPECT_EQ(o->chkSaveStruc->value(), 0);
    EXPECT_EQ(o->chkChngComp->value(), 1);
    EXPECT_EQ(o->selectedCompression(), 4);
    EXPECT_EQ(o->iComp, 4);
}

TEST_F(KitTest, GarbageInTheStoreLeavesEachControlAsItWas) {
    saveConfig({{"LongFileNames", "yes"},
                {"Encryption", "7"},
                {"EmptyDirectories", " 0 "},
                {"HiddenFiles", "2"},
                {"Compression", "9"},
                {"ChangeComp", "99999999999"}});
    frmOptions* o = main->options();
    EXPECT_EQ(o->chkLongFile->value(), 1);
    EXPECT_EQ(o->chkEncrypt->value(), 1);
    EXPECT_EQ(o->chkEmpDir->value(), 0) << "blanks around a number are fine";
    EXPECT_EQ(o->chkHidden->value(), 2) << "2 is the grayed state";
    EXPECT_EQ(o->chkChngComp->value(), 0);
    EXPECT_EQ(o->iComp, 9);
    EXPECT_EQ(o->selectedCompression(), 3) << "an unknown level selects nothing new";
}

TEST_F(KitTest, SetAsDefaultStoresEveryPreferenceAndDisablesItself) {
    frmOptions* o = main->options();
    o->chkHidden->click();
    o->optComp[1]->click();
    o->chkChngComp->click();
    o->cmdDefault->click();
    EXPECT_FALSE(o->cmdDefault->isEnabled());
    EXPECT_EQ(stored("Config", "LongFileNames"), "1");
    EXPECT_EQ(stored("Config", "Encryption"), "1");
    EXPECT_EQ(stored("Config", "EmptyDirectories"), "1");
    EXPECT_EQ(stored("Config", "HiddenFiles"), "1");
    EXPECT_EQ(stored("Config", "DirectoryStruct"), "1");
    EXPECT_EQ(stored("Config", "Compression"), "1");
    EXPECT_EQ(stored("Config", "ChangeComp"), "1");

    o->chkChngComp->click();
    EXPECT_FALSE(o->cmdDefault->isEnabled()) << "the user's compression switch does not count";
    o->chkHidden->click();
    EXPECT_TRUE(o->cmdDefault->isEnabled());
    o->cmdDefault->click();
    EXPECT_EQ(stored("Config", "HiddenFiles"), "0");
    EXPECT_EQ(stored("Config", "ChangeComp"), "0") << "saving again keeps the second value";

    // A grayed box clicked by the user becomes checked, never grayed again.
    o->chkEmpDir->setValue(2);
    o->chkEmpDir->click();
    EXPECT_EQ(o->chkEmpDir->value(), 1);
    o->chkEmpDir->click();
    EXPECT_EQ(o->chkEmpDir->value(), 0);
}

TEST_F(OptionsFromProfile, ReadsEveryPreferenceFromTheOpenedProfile) {
    frmOptions* o = loadProfile("[Description]\r\nPayroll\r\n[Encrypt]\r\nfalse\r\n"
                                "[Longfile]\r\nfalse\r\n[Hidden]\r\ncwYes\r\n"
                                "[FileStructure]\r\ncwStructure_None\r\n"
                                "[Compression]\r\ncwCompression_Minimum\r\n[EmptyDir]\r\n0\r\n"
                                "[Support]\r\n555-0100\r\n[Startup]\r\nNo\r\n"
                                "[Customize Compression]\r\nYes\r\n");
    EXPECT_EQ(o->chkEncrypt->value(), 0);
    EXPECT_EQ(o->chkLongFile->value(), 0);
    EXPECT_EQ(o->chkHidden->value(), 1);
    EXPECT_EQ(o->chkSaveStruc->value(), 0);
    EXPECT_EQ(o->selectedCompression(), 1);
    EXPECT_EQ(o->iComp, 1);
    EXPECT_EQ(o->chkEmpDir->value(), 0);
    EXPECT_TRUE(o->optNoDBT->isChecked());
    EXPECT_TRUE(o->optPhone->isChecked());
    EXPECT_EQ(o->txtPhone->text(), "555-0100");
    EXPECT_TRUE(o->txtPhone->isEnabledTo(o->picOptions[1]));
    EXPECT_FALSE(o->txtURL->isEnabledTo(o->picOptions[1]));
    EXPECT_TRUE(o->optNo->isChecked());
    EXPECT_EQ(o->chkChngComp->value(), 1);
}

TEST_F(OptionsFromProfile, UnexpectedValuesFollowTheirRules) {
    // "True" is not "true"; a misspelt level leaves Normal; LF line ends are read too.
    frmOptions* o = loadProfile("[Encrypt]\nTrue\n[Longfile]\ntrue\n[Compression]\n"
                                "cwCompression_Maximal\n[Support]\nhttps://help.example.org/x\n"
                                "[Startup]\nyes\n");
    EXPECT_EQ(o->chkEncrypt->value(), 0);
    EXPECT_EQ(o->chkLongFile->value(), 1);
    EXPECT_EQ(o->selectedCompression(), 3);
    EXPECT_TRUE(o->optWebsite->isChecked());
    EXPECT_EQ(o->txtURL->text(), "https://help.example.org/x");
    EXPECT_TRUE(o->optNo->isChecked());
    // Sections that are missing read as empty values: boxes off, the maker supports.
    EXPECT_EQ(o->chkEmpDir->value(), 0);
    EXPECT_EQ(o->chkSaveStruc->value(), 0);
    EXPECT_EQ(o->chkChngComp->value(), 0);
}

TEST_F(OptionsFromProfile, SupportTextTellsWhoSupports) {
    struct Case {
        std::string body;
        bool vendor, website;
        QString url, phone;
    };
    const Case cases[] = {
        {"", true, false, "", ""},
        {std::string(kVendorSupportAddress) + "extra", true, false, "", ""},
        {"www.example.org", false, false, "", "www.example.org"},
        {"http-555-0100", false, true, "http-555-0100", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        main->forget(main->loadedOptions());
        frmOptions* o = loadProfile("[Support]\r\n" + c.body + "\r\n");
        EXPECT_EQ(o->optYesDBT->isChecked(), c.vendor);
        EXPECT_EQ(o->optWebsite->isChecked(), c.website || c.vendor);
        if (!c.vendor) {
            EXPECT_EQ(o->txtURL->text(), c.website ? c.url : QString("http://"));
            EXPECT_EQ(o->txtPhone->text(), c.phone);
        }
    }
}

TEST_F(KitTest, SupportChoicesSwitchTheirControls) {
    frmOptions* o = main->options();
    o->optNoDBT->click();
    EXPECT_FALSE(o->optNoDBT->isChecked()) << "the Support panel is not the one shown";
    o->tbsOptions->setCurrentIndex(1);
    o->optNoDBT->click();
    EXPECT_TRUE(o->frmSptOption->isEnabled());
    EXPECT_EQ(o->txtURL->text(), "http://");
    EXPECT_TRUE(o->txtURL->isEnabledTo(o));
    EXPECT_FALSE(o->txtPhone->isEnabledTo(o));
    EXPECT_NE(o->txtURL->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Button));
    o->optPhone->click();
    EXPECT_TRUE(o->txtPhone->isEnabledTo(o));
    EXPECT_FALSE(o->txtURL->isEnabledTo(o));
    o->txtURL->setText("http");
    o->optWebsite->click();
    EXPECT_EQ(o->txtURL->text(), "http://") << "a short address is prefilled again";
    o->txtURL->setText("http://example.org");
    o->optPhone->click();
    o->optWebsite->click();
    EXPECT_EQ(o->txtURL->text(), "http://example.org");
    o->optYesDBT->click();
    EXPECT_FALSE(o->frmSptOption->isEnabled());
    EXPECT_EQ(o->txtURL->palette().color(QPalette::Base),
              QApplication::palette().color(QPalette::Button));
}

TEST(MakerNumber, FourSpellingsWithAnAreaCodeAreTheMakers) {
    for (const char* text : {"(610) 555-0142", "610 5550142", "800-555 0199", "+1.800.555.0199",
                             "call 555.0142 at area 610"})
        EXPECT_TRUE(isMakersNumber(text)) << text;
    for (const char* text :
         {"555-0142", "610", "(610) 555-0100", "(215) 555-0142", "610 555_0142", ""})
        EXPECT_FALSE(isMakersNumber(text)) << text;
}

TEST_F(KitTest, OkRefusesTheMakersNumberOnlyForPhoneSupport) {
    frmOptions* o = main->options();
    supportByPhone(o, "(610) 555.0142");
    o->show();
    desktop.expectBox(kMakerWarning, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    o->cmdOK->click();
    EXPECT_TRUE(o->txtPhone->text().isEmpty());
    EXPECT_TRUE(o->isVisible());

    o->txtPhone->setText("610 555 0100");
    o->cmdOK->click();
    EXPECT_FALSE(o->isVisible()) << "an area code alone is accepted";

    o->txtPhone->setText("610-555-0142");
    o->optWebsite->click();
    o->show();
    o->cmdOK->click();
    EXPECT_FALSE(o->isVisible()) << "the check does not apply to web support";
}

TEST_F(KitTest, TabsSwitchPanelsAndRefuseTheMakersNumber) {
    frmOptions* o = main->options();
    o->show();
    o->tbsOptions->setCurrentIndex(1);
    EXPECT_FALSE(o->picOptions[1]->isHidden());
    EXPECT_TRUE(o->picOptions[0]->isHidden());
    EXPECT_FALSE(o->picOptions[0]->isEnabled());
    EXPECT_TRUE(o->cmdDefault->isHidden());

    supportByPhone(o, "800.555.0199");
    desktop.expectBox(kMakerWarning, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    o->tbsOptions->setCurrentIndex(2);
    EXPECT_EQ(o->tbsOptions->currentIndex(), 1) << "the strip stays with the panel shown";
    EXPECT_FALSE(o->picOptions[1]->isHidden());
    EXPECT_TRUE(o->picOptions[2]->isHidden());
    EXPECT_TRUE(o->txtPhone->text().isEmpty());

    o->tbsOptions->setCurrentIndex(2);
    EXPECT_FALSE(o->picOptions[2]->isHidden());
    EXPECT_TRUE(o->cmdDefault->isHidden());
    // Ctrl+Tab from the last tab goes to the first.
    o->nextTab();
    EXPECT_EQ(o->tbsOptions->currentIndex(), 0);
    EXPECT_FALSE(o->cmdDefault->isHidden());
    o->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(o));
    QTest::keyClick(o->chkLongFile, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(o->tbsOptions->currentIndex(), 1);
    o->hide();
}

TEST_F(KitTest, CancelKeepsChangesForTheNextBuild) {
    frmOptions* o = main->options();
    o->show();
    o->chkLongFile->click();
    QTest::keyClick(o, Qt::Key_Escape);
    EXPECT_FALSE(o->isVisible());
    EXPECT_EQ(main->options(), o);
    EXPECT_EQ(o->chkLongFile->value(), 0);
}

TEST_F(OptionsFromProfile, OpenedProfileValuesStayForTheNextNewProfile) {
    frmOptions* o = loadProfile("[Hidden]\r\ncwYes\r\n");
    EXPECT_EQ(o->chkHidden->value(), 1);
    main->mnuFileNew->trigger();
    EXPECT_EQ(main->options(), o);
    EXPECT_EQ(o->chkHidden->value(), 1);
}

} // namespace
} // namespace kit::test
