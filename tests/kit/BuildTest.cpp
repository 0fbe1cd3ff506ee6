// Building a profile: the file written, the files copied beside it, the questions and
// messages of the build, and open -> build round trips.
#include "KitFixture.h"
#include "common/platform/FilePaths.h"
#include "kit/ProfileItems.h"
#include "kit/ValueCheckBox.h"
#include "kit/dlgConfirm.h"
#include "kit/frmOptions.h"
#include "tests/support/FileFaults.h"
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace kit::test {
namespace {

using cw::Answer;
using cw::Buttons;
using cw::Icon;

const char* const kDistributed[] = {"libcwzip.so", "libcwunzip.so", "cwr", "cwb"};

class Build : public KitTest {
protected:
    void SetUp() override {
        KitTest::SetUp();
        for (const char* name : kDistributed)
            env.writeFile(std::string("kit/") + name, std::string("contents of ") + name);
        writeRuntime("Qt 1");
        appDir = env.makeDir("app");
    }
    // A small runtime folder beside cwkit, as the build gathers it.
    void writeRuntime(const std::string& version) {
        env.writeFile("kit/runtime/libQt6Core.so.6", version);
        env.writeFile("kit/runtime/plugins/platforms/libqxcb.so", "xcb for " + version);
        env.writeFile("kit/runtime/runtime.list",
                      "libQt6Core.so.6\nplugins/platforms/libqxcb.so\n");
    }
    // The runtime an application folder holds: each file and its contents, in one text.
    static std::string runtimeIn(const std::string& dir) {
        if (!std::filesystem::is_directory(dir))
            return "<none>";
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
            if (e.is_regular_file())
                files.push_back(std::filesystem::relative(e.path(), dir).string() + "=" +
                                cw::test::TestEnv::readFile(e.path().string()));
        std::sort(files.begin(), files.end());
        std::string all;
        for (const std::string& f : files)
            all += f + ";";
        return all;
    }
    // Presses Build Profile in the editor and then in the confirmation window.
    void build(frmConfig* editor) {
        editor->cmdMakeINI->click();
        dlgConfirm* confirm = main->loadedConfirm();
        ASSERT_NE(confirm, nullptr);
        confirm->OKButton->click();
        flush();
    }
    void expectDistribution() {
        desktop.expectBox(distributionMessage(app.profile.folder), Icon::Information, Buttons::OK,
                          "Caskwell", Answer::OK, true);
    }
    frmConfig* openProfile(const std::string& folder) {
        desktop.expectFolder(q(folder));
        main->OpenProfile();
        return main->loadedConfig();
    }
    std::string profile() const { return cw::test::TestEnv::readFile(appDir + "/cwkcon32.dll"); }

    std::string appDir;
};

TEST_F(Build, WritesTheDocumentedExampleAndCopiesTheKit) {
    frmConfig* editor = startNewProfile("Inventory Manager", appDir);
    ASSERT_NE(editor, nullptr);
    // Kinds mixed in the list still come out section by section, in list order.
    editor->lstSubDir->addItems({"%InstallDir% \\ Data", "%Windows% \\ invmgr.ini",
                                 "%InstallDir% \\ Reports/Monthly", "%System% \\ invgrid.ocx"});
    frmOptions* o = main->options();
    o->chkEmpDir->click();
    supportByPhone(o, "555-0100");
    expectDistribution();
    build(editor);

    EXPECT_EQ(profile(), "[Description]\r\nInventory Manager\r\n[Application]\r\nData\r\n"
                         "Reports/Monthly\r\n[Windows]\r\ninvmgr.ini\r\n[System]\r\ninvgrid.ocx\r\n"
                         "[Encrypt]\r\ntrue\r\n[Longfile]\r\ntrue\r\n[EmptyDir]\r\n0\r\n"
                         "[Hidden]\r\ncwNever\r\n[Compression]\r\ncwCompression_Normal\r\n"
                         "[FileStructure]\r\ncwStructure_Relative\r\n[Support]\r\n555-0100\r\n"
                         "[Startup]\r\nYes\r\n[Customize Compression]\r\nNo\r\n");
    for (const char* name : kDistributed)
        EXPECT_EQ(cw::test::TestEnv::readFile(appDir + "/" + name),
                  std::string("contents of ") + name);
    EXPECT_TRUE(cw::files::isOrdinaryFile(appDir + "/system/libstdc++.so.6"));
    EXPECT_TRUE(cw::files::isOrdinaryFile(appDir + "/system/libgcc_s.so.1"));
    EXPECT_EQ(runtimeIn(appDir + "/system/runtime"),
              "libQt6Core.so.6=Qt 1;plugins/platforms/libqxcb.so=xcb for Qt 1;"
              "runtime.list=libQt6Core.so.6\nplugins/platforms/libqxcb.so\n;");
    EXPECT_FALSE(std::filesystem::exists(appDir + "/.cwkcon32.dll.new"));
    EXPECT_FALSE(std::filesystem::exists(appDir + "/system/runtime.new"));

    EXPECT_EQ(main->loadedConfig(), nullptr);
    EXPECT_EQ(main->loadedConfirm(), nullptr);
    EXPECT_EQ(main->loadedNewProfileDialog(), nullptr);
    EXPECT_NE(main->loadedOptions(), nullptr) << "the preferences stay for the next profile";
    EXPECT_NE(main->loadedBackdrop(), nullptr);
    EXPECT_EQ(commandsOf(*main), kIdle);
    EXPECT_EQ(app.profile.description, "Inventory Manager");
    EXPECT_FALSE(desktop.busy());
}

TEST_F(Build, VendorSupportNoLevelAndEmptyItems) {
    frmConfig* editor = startNewProfile("App", appDir);
    // An item with an empty name does not cut off the items after it.
    editor->lstSubDir->addItems({"%InstallDir% \\ ", "%InstallDir% \\ Data", "%System% \\ a"});
    frmOptions* o = main->options();
    o->optComp[3]->setAutoExclusive(false);
    o->optComp[3]->setChecked(false);
    o->chkHidden->click();
    o->chkLongFile->setValue(2);
    expectDistribution();
    build(editor);
    EXPECT_EQ(profile(), "[Description]\r\nApp\r\n[Application]\r\nData\r\n[Windows]\r\n"
                         "[System]\r\na\r\n[Encrypt]\r\ntrue\r\n[Longfile]\r\nfalse\r\n"
                         "[EmptyDir]\r\n1\r\n[Hidden]\r\ncwYes\r\n"
                         "[FileStructure]\r\ncwStructure_Relative\r\n[Support]\r\n" +
                             std::string(kVendorSupportAddress) +
                             "\r\n[Startup]\r\nYes\r\n[Customize Compression]\r\nNo\r\n");
}

TEST_F(Build, RebuildOfAnOpenedProfileAsksFirst) {
    const std::string old = "[Description]\r\nOld\r\n[Application]\r\nkeep\r\n";
    env.writeFile("app/cwkcon32.dll", old);
    frmConfig* editor = openProfile(appDir);
    ASSERT_NE(editor, nullptr);
    const QString ask = "Are you sure you want to replace the Profile in '" + q(appDir) + "/'?";
    desktop.expectBox(ask, Icon::Question, Buttons::YesNo, "Caskwell", Answer::No, true);
    build(editor);
    EXPECT_EQ(profile(), old);
    EXPECT_NE(main->loadedConfig(), nullptr);
    EXPECT_NE(main->loadedConfirm(), nullptr) << "the confirmation window stays open";
    EXPECT_FALSE(desktop.busy());
    EXPECT_FALSE(cw::files::isOrdinaryFile(appDir + "/cwb"));

    desktop.expectBox(ask, Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes, true);
    expectDistribution();
    ASSERT_NE(main->loadedConfirm(), nullptr);
    main->loadedConfirm()->OKButton->click();
    EXPECT_NE(profile().find("[Application]\r\nkeep\r\n[Windows]"), std::string::npos);
    EXPECT_NE(profile().find("[Customize Compression]"), std::string::npos);
}

TEST_F(Build, AFailedWriteKeepsTheOldProfileAndTheEditor) {
    const std::string old = "[Description]\r\nOld\r\n";
    const std::string path = env.writeFile("app/cwkcon32.dll", old);
    frmConfig* editor = openProfile(appDir);
    ASSERT_NE(editor, nullptr);
    editor->lstSubDir->addItem("%InstallDir% \\ new");
    cw::files::injectFault(path, cw::files::Fault::ReadOnly);
    desktop.expectBox("Are you sure you want to replace the Profile in '" + q(appDir) + "/'?",
                      Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes);
    desktop.expectBox("There was an error while creating the profile.  Error code: 75",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    build(editor);
    EXPECT_EQ(profile(), old);
    EXPECT_NE(main->loadedConfig(), nullptr);
    EXPECT_EQ(joined(main->loadedConfig()->items()), joined(QStringList{"%InstallDir% \\ new"}));
    EXPECT_FALSE(desktop.busy());
}

TEST_F(Build, AHostileLineIsNamedAndNothingIsWritten) {
    frmConfig* editor = startNewProfile("App", appDir);
    editor->lstSubDir->addItems({"%InstallDir% \\ [Startup]", "%Windows% \\ a=b"});
    frmOptions* o = main->options();
    supportByPhone(o, "555\n[Hidden]");
    desktop.expectBox("'555\n[Hidden]' cannot be stored in the Support section of a Profile "
                      "because it holds a line break.  Change it and build again.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    build(editor);
    EXPECT_FALSE(cw::files::isOrdinaryFile(appDir + "/cwkcon32.dll"));

    // Lines that look like headers or pairs are stored and read back as they were.
    o->txtPhone->setText("555-0100");
    expectDistribution();
    ASSERT_NE(main->loadedConfirm(), nullptr);
    main->loadedConfirm()->OKButton->click();
    flush();
    frmConfig* reopened = openProfile(appDir);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(joined(reopened->items()),
              joined(QStringList({"%InstallDir% \\ [Startup]", "%Windows% \\ a=b"})));
}

TEST_F(Build, NoLocationChosenIsRefused) {
    frmConfig* editor = main->config();
    editor->setDirforINI(q(appDir + "/cwkcon32.dll"));
    desktop.expectBox("You must first choose 'New Profile' before you can Build the Profile.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    build(editor);
    EXPECT_FALSE(cw::files::isOrdinaryFile(appDir + "/cwkcon32.dll"));
    EXPECT_FALSE(desktop.busy());
}

TEST_F(Build, AMissingKitFileWarnsOnceAndTheMessageStillFollows) {
    std::filesystem::remove(env.path("kit/libcwzip.so"));
    frmConfig* editor = startNewProfile("App", appDir);
    desktop.expectBox("Some files were not available to copy to your destination directory.  "
                      "Confirm that all files are located in your Caskwell Directory.",
                      Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    expectDistribution();
    build(editor);
    EXPECT_TRUE(cw::files::isOrdinaryFile(appDir + "/cwkcon32.dll"));
    for (const char* name : kDistributed)
        EXPECT_FALSE(cw::files::isOrdinaryFile(appDir + "/" + name)) << name;
    EXPECT_FALSE(std::filesystem::exists(appDir + "/system"));
    EXPECT_FALSE(desktop.busy());
}

TEST_F(Build, SecondBuildSkipsTheRuntimeFilesAndTheHomeFolderTakesThemDirectly) {
    frmConfig* editor = startNewProfile("App", appDir);
    expectDistribution();
    build(editor);
    std::filesystem::remove(appDir + "/system/libgcc_s.so.1");
    env.writeFile("kit/cwb", "newer cwb");
    // A newer runtime that no longer has the plugin: nothing of the old one may stay.
    std::filesystem::remove_all(env.path("kit/runtime"));
    env.writeFile("kit/runtime/libQt6Core.so.6", "Qt 2");
    env.writeFile("kit/runtime/runtime.list", "libQt6Core.so.6\n");

    editor = openProfile(appDir);
    desktop.expectBox("Are you sure you want to replace the Profile in '" + q(appDir) + "/'?",
                      Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes);
    expectDistribution();
    build(editor);
    EXPECT_EQ(cw::test::TestEnv::readFile(appDir + "/cwb"), "newer cwb");
    EXPECT_FALSE(cw::files::isOrdinaryFile(appDir + "/system/libgcc_s.so.1"));
    EXPECT_EQ(runtimeIn(appDir + "/system/runtime"),
              "libQt6Core.so.6=Qt 2;runtime.list=libQt6Core.so.6\n;");
    EXPECT_FALSE(std::filesystem::exists(appDir + "/system/runtime.new"));
    EXPECT_FALSE(std::filesystem::exists(appDir + "/system/runtime.old"));

    editor = startNewProfile("Home", env.home());
    expectDistribution();
    build(editor);
    EXPECT_TRUE(cw::files::isOrdinaryFile(env.home() + "/libgcc_s.so.1"));
    EXPECT_FALSE(std::filesystem::exists(env.home() + "/system"));
    // The home folder keeps its runtime out of sight, where the utilities look for it.
    EXPECT_EQ(runtimeIn(env.home() + "/.local/lib/caskwell/runtime"),
              "libQt6Core.so.6=Qt 2;runtime.list=libQt6Core.so.6\n;");
}

TEST_F(Build, AnIncompleteRuntimeWarnsOnceAndLeavesTheOldOneInPlace) {
    frmConfig* editor = startNewProfile("App", appDir);
    expectDistribution();
    build(editor);

    // A listed file missing beside cwkit: the warning, and the kit keeps the runtime it had.
    writeRuntime("Qt 2");
    std::filesystem::remove(env.path("kit/runtime/plugins/platforms/libqxcb.so"));
    editor = openProfile(appDir);
    desktop.expectBox("Are you sure you want to replace the Profile in '" + q(appDir) + "/'?",
                      Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes);
    const QString warning = "Some files were not available to copy to your destination "
                            "directory.  Confirm that all files are located in your Caskwell "
                            "Directory.";
    desktop.expectBox(warning, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    expectDistribution();
    build(editor);
    EXPECT_EQ(cw::test::TestEnv::readFile(appDir + "/system/runtime/libQt6Core.so.6"), "Qt 1");

    // No runtime at all and a utility missing too: still one warning for the build.
    std::filesystem::remove_all(env.path("kit/runtime"));
    std::filesystem::remove(env.path("kit/cwr"));
    const std::string other = env.makeDir("other");
    editor = startNewProfile("Other", other);
    desktop.expectBox(warning, Icon::Warning, Buttons::OK, "Caskwell", Answer::OK, true);
    expectDistribution();
    build(editor);
    EXPECT_FALSE(std::filesystem::exists(other + "/system/runtime"));
    EXPECT_FALSE(desktop.busy());
}

TEST_F(Build, OpenThenBuildKeepsEveryItemAndPreference) {
    frmConfig* editor = startNewProfile("  Round Trip ", appDir);
    const QStringList items = {"%InstallDir% \\ data",   "%InstallDir% \\ help/en",
                               "%Windows% \\ .appc/x y", "%System% \\ k",
                               "%System% \\  blanks  ",  "%InstallDir% \\ ;semi"};
    editor->lstSubDir->addItems(items);
    frmOptions* o = main->options();
    o->chkEncrypt->click();
    o->chkSaveStruc->click();
    o->optComp[4]->click();
    o->chkChngComp->click();
    supportByWeb(o, "https://support.example.org/app");
    o->tbsOptions->setCurrentIndex(2);
    o->optNo->click();
    expectDistribution();
    build(editor);
    const std::string first = profile();

    // A fresh run of cwkit opens it: the preferences come from the profile.
    main.reset();
    main = std::make_unique<MDIMainForm>(app);
    editor = openProfile(appDir);
    ASSERT_NE(editor, nullptr);
    QStringList expected = items;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return static_cast<int>(items::kindOf(a)) < static_cast<int>(items::kindOf(b));
    });
    EXPECT_EQ(joined(editor->items()), joined(expected));
    EXPECT_EQ(app.profile.description, "Round Trip") << "trimmed when read back";
    o = main->options();
    EXPECT_EQ(o->chkEncrypt->value(), 0);
    EXPECT_EQ(o->chkSaveStruc->value(), 0);
    EXPECT_EQ(o->selectedCompression(), 4);
    EXPECT_EQ(o->chkChngComp->value(), 1);
    EXPECT_TRUE(o->optWebsite->isChecked());
    EXPECT_EQ(o->txtURL->text(), "https://support.example.org/app");
    EXPECT_TRUE(o->optNo->isChecked());

    desktop.expectBox("Are you sure you want to replace the Profile in '" + q(appDir) + "/'?",
                      Icon::Question, Buttons::YesNo, "Caskwell", Answer::Yes);
    expectDistribution();
    build(editor);
    std::string second = profile();
    const auto firstDescription = first.substr(0, first.find("[Application]"));
    EXPECT_EQ(firstDescription, "[Description]\r\n  Round Trip \r\n");
    EXPECT_EQ(second.substr(second.find("[Application]")),
              first.substr(first.find("[Application]")));
}

} // namespace
} // namespace kit::test

namespace kit::test {
namespace {

// The real kit: cwkit's own folder is the build's bin folder, where the utilities and the
// libraries are built beside it.
TEST_F(KitTest, BuildCopiesTheRealUtilitiesAndLibraries) {
    const std::string bin = cw::test::TestEnv::binDir();
    for (const char* name : kDistributed)
        if (!cw::files::isOrdinaryFile(bin + "/" + name))
            GTEST_SKIP() << name << " is not built";
    app.programDir = q(bin);
    const std::string dir = env.makeDir("Inventory");
    frmConfig* editor = startNewProfile("Inventory Manager", dir);
    ASSERT_NE(editor, nullptr);
    editor->lstSubDir->addItem("%InstallDir% \\ Data");
    desktop.expectBox(distributionMessage(q(dir + "/")), Icon::Information, Buttons::OK, "Caskwell",
                      Answer::OK, true);
    editor->cmdMakeINI->click();
    main->loadedConfirm()->OKButton->click();
    for (const char* name : kDistributed) {
        EXPECT_EQ(cw::files::fileLength(dir + "/" + name), cw::files::fileLength(bin + "/" + name))
            << name;
    }
    EXPECT_TRUE(std::filesystem::exists(dir + "/cwkcon32.dll"));
    const std::string runtime = cw::paths::runtimeLibraryDirectory();
    EXPECT_EQ(cw::files::fileLength(dir + "/system/libstdc++.so.6"),
              cw::files::fileLength(runtime + "/libstdc++.so.6"));
    EXPECT_TRUE(cw::files::isOrdinaryFile(dir + "/system/libgcc_s.so.1"));
    // The gathered runtime, whole: every listed file, byte for byte in size.
    std::ifstream list(bin + "/runtime/runtime.list");
    int listed = 0;
    for (std::string name; std::getline(list, name); ++listed)
        EXPECT_EQ(cw::files::fileLength(dir + "/system/runtime/" + name),
                  cw::files::fileLength(bin + "/runtime/" + name))
            << name;
    EXPECT_GT(listed, 10);
    EXPECT_TRUE(cw::files::isOrdinaryFile(dir + "/system/runtime/plugins/platforms/libqxcb.so"));
}

} // namespace
} // namespace kit::test
