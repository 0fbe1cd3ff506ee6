#include "tests/road/Road.h"

#include "backup/BackupProgram.h"
#include "backup/ZipLibrary.h"
#include "backup/dlgDupBackupset.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "kit/ValueCheckBox.h"
#include "kit/dlgConfirm.h"
#include "kit/dlgFile.h"
#include "kit/dlgSubDir.h"
#include "kit/frmOptions.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/Tree.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <filesystem>
#include <unistd.h>

namespace road {

namespace fs = std::filesystem;
using cw::Answer;
using cw::Buttons;
using cw::Icon;
using kit::test::q;

namespace {

// The disk prompts of both utilities go to the test's handler, in whatever number the
// archive's layout asks for them; every other box is left to the script.
class RoadDesktop : public cw::test::ScriptedDesktop {
public:
    RoadDesktop(QStringList& prompts, const std::function<void(const QString&)>& handler)
        : prompts_(prompts), handler_(handler) {}
    Answer messageBox(const QString& text, Icon icon, Buttons buttons,
                      const QString& title) override {
        if (text.startsWith(QStringLiteral("First, remove this disk and label it Disk #")) ||
            text.startsWith(QStringLiteral("Take out the current disk and insert Disk #")) ||
            text == QStringLiteral("Insert the Last disk in the Backup Set.")) {
            prompts_ << text;
            EXPECT_EQ(buttons, Buttons::OK);
            if (handler_)
                handler_(text);
            return Answer::OK;
        }
        return ScriptedDesktop::messageBox(text, icon, buttons, title);
    }

private:
    QStringList& prompts_;
    const std::function<void(const QString&)>& handler_;
};

// A click on an option's or check box's mark, where a user aims (the middle of a wide button
// can lie beyond its text, where a click does nothing).
void clickMark(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

constexpr time_t kDay = 86400;

} // namespace

void RoadTest::SetUp() {
    const std::string bin = cw::test::TestEnv::binDir();
    for (const char* name : {"cwb", "cwr", "libcwzip.so", "libcwunzip.so"})
        if (!fs::exists(bin + "/" + name))
            GTEST_SKIP() << name << " is not built";
    KitTest::SetUp();
    // cwkit runs from the build's bin folder, where the real kit lies beside it.
    app.programDir = q(bin);
    plantTree();
    buildProfile();
}

void RoadTest::plantTree() {
    using cw::test::randomBytes;
    const std::string home = env.home();
    appDir = home + "/Apps/Inventory";
    const std::string text(30000, 'i');
    struct File {
        std::string path;
        std::string content;
        mode_t mode;
        time_t mtime;
    };
    const File tree[] = {
        // Windows and System files, each found where the profile names it.
        {home + "/.invmgr.ini", "[invmgr]\nlast=3\n", 0600, 1'500'000'000},
        {home + "/Start Menu/Inventory Manager.desktop", "[Desktop Entry]\n", 0644, 1'400'000'000},
        {home + "/.config/invmgr/grid.conf", "grid=1\n", 0640, 1'300'000'000},
        // The application folder: one file of every kind the scan meets.
        {appDir + "/prog.dat", randomBytes(300'000, 1), 0644, 1'000'000'000},
        {appDir + "/readme.txt", text, 0444, 1'000'000'000 + kDay},
        {appDir + "/run.sh", "#!/bin/sh\nexec ./prog\n", 0755, 900'000'000},
        // Only root can back up a file that no one may read.
        {appDir + "/licence.key", "no one reads this\n", ::geteuid() == 0 ? 0000u : 0400u,
         1'100'000'000},
        {appDir + "/.settings", "window=max\n", 0600, 1'600'000'000},
        {appDir + "/empty.log", "", 0640, 1'650'000'000},
        {appDir + "/Data/stock.db", randomBytes(200'000, 2), 0660, 1'200'000'000},
        {appDir + "/Data/Long File Name.text", text + "tail", 0644, 1'250'000'000},
        {appDir + "/Data/Archive/2019 report.csv", "a;b\n1;2\n", 0400, 1'560'000'000},
        {appDir + "/Data/Archive/.old", randomBytes(5000, 3), 0600, 1'570'000'000},
        // Dates before the ZIP format's own and after 32-bit seconds run out.
        {appDir + "/Data/Archive/legacy.dat", "1976\n", 0644, 200'000'000},
        {appDir + "/Data/schedule.dat", "2096\n", 0644, 4'000'000'000},
        // Names that nothing may trim, split or cut short.
        {appDir + "/ notes .txt ", "blanks\n", 0644, 1'700'000'000},
        {appDir + "/tab\tand\nline break", "names may hold both", 0644, 1'700'000'000},
        {appDir + "/-v", "dash\n", 0644, 1'700'000'000},
        {appDir + "/back\\slash", "not a folder\n", 0644, 1'700'000'000},
    };
    for (const File& f : tree) {
        cw::test::writeFileAs(f.path, f.content, f.mode, f.mtime);
        planted.push_back(f.path);
    }
    emptyDir = appDir + "/Empty";
    fs::create_directories(emptyDir);
}

void RoadTest::buildProfile() {
    using kit::dlgFile;
    using kit::dlgSubDir;
    kit::frmConfig* editor = startNewProfile(QStringLiteral("Inventory Manager"), appDir);
    ASSERT_NE(editor, nullptr);
    // Each item through the add-item dialog, typed or browsed as the developer would.
    auto add = [&](QRadioButton* dlgSubDir::*kind, const QString& typed,
                   const std::string& browseDir = {}, const QString& browseFile = {}) {
        editor->cmdDAdd->click();
        dlgSubDir* dlg = main->loadedSubDir();
        ASSERT_NE(dlg, nullptr);
        clickMark(dlg->*kind);
        if (!browseDir.empty()) {
            dlg->cmdBrowse->click();
            dlgFile* file = dlg->fileDialog();
            ASSERT_NE(file, nullptr);
            file->Dir1->setPath(q(browseDir));
            file->File1->setFileName(browseFile);
            QTest::mouseClick(file->OKButton, Qt::LeftButton);
        } else {
            QTest::keyClicks(dlg->txtSubDir, typed);
        }
        QTest::mouseClick(dlg->OKButton, Qt::LeftButton);
        flush();
    };
    add(&dlgSubDir::optAppDir, QStringLiteral("Data"));
    add(&dlgSubDir::optAppDir, QStringLiteral("Data/Archive"));
    add(&dlgSubDir::optAppDir, QStringLiteral("Empty"));
    add(&dlgSubDir::optWindows, QStringLiteral(".invmgr.ini"));
    add(&dlgSubDir::optWindows, {}, env.home() + "/Start Menu",
        QStringLiteral("Inventory Manager.desktop"));
    add(&dlgSubDir::optSys, {}, env.config() + "/invmgr", QStringLiteral("grid.conf"));

    // Preferences: hidden files in, users may choose the level; the rest as it comes
    // (long names, encryption allowed, empty directories, relative structure, Normal).
    QTimer::singleShot(0, [this] {
        kit::frmOptions* o = main->loadedOptions();
        ASSERT_NE(o, nullptr);
        ASSERT_TRUE(o->isVisible());
        clickMark(o->chkHidden);
        clickMark(o->chkChngComp);
        QTest::mouseClick(o->cmdOK, Qt::LeftButton);
    });
    editor->cmdPref->click();

    desktop.expectBox(kit::test::distributionMessage(q(appDir + "/")), Icon::Information,
                      Buttons::OK, QStringLiteral("Caskwell"), Answer::OK, true);
    editor->cmdMakeINI->click();
    kit::dlgConfirm* confirm = main->loadedConfirm();
    ASSERT_NE(confirm, nullptr);
    QTest::mouseClick(confirm->OKButton, Qt::LeftButton);
    flush();

    const std::string profile = cw::test::TestEnv::readFile(appDir + "/cwkcon32.dll");
    EXPECT_NE(profile.find("[Application]\r\nData\r\nData/Archive\r\nEmpty\r\n[Windows]\r\n"
                           ".invmgr.ini\r\nStart Menu/Inventory Manager.desktop\r\n[System]\r\n"
                           "invmgr/grid.conf\r\n"),
              std::string::npos)
        << profile;
    for (const char* line : {"[EmptyDir]\r\n1\r\n", "[Hidden]\r\ncwYes\r\n",
                             "[Customize Compression]\r\nYes\r\n", "[Encrypt]\r\ntrue\r\n"})
        EXPECT_NE(profile.find(line), std::string::npos) << line;
    // The kit the end user runs: the build's own programs and libraries.
    const std::string bin = cw::test::TestEnv::binDir();
    files = planted;
    files.push_back(appDir + "/cwkcon32.dll");
    for (const char* name : {"cwb", "cwr", "libcwzip.so", "libcwunzip.so"}) {
        EXPECT_EQ(cw::test::TestEnv::readFile(appDir + "/" + name),
                  cw::test::TestEnv::readFile(bin + "/" + name))
            << name;
        files.push_back(appDir + "/" + name);
    }
}

std::string RoadTest::backup(const BackupChoice& c) {
    diskPrompts.clear();
    RoadDesktop desk(diskPrompts, onDiskPrompt);
    cwb::BackupProgram prog(desk, appDir);
    desk.expectBox(QStringLiteral("INVENTORY MANAGER must be closed before continuing the backup."
                                  "  If INVENTORY MANAGER is not closed, close it now then click "
                                  "'OK'."),
                   Icon::Warning, Buttons::OKCancel, QStringLiteral("Caskwell"), Answer::OK, true);
    EXPECT_TRUE(prog.start());
    if (!prog.startWindow)
        return {};
    QTest::mouseClick(prog.startWindow->cmdNext, Qt::LeftButton);

    cwb::frmBackup& options = *prog.optionsWindow;
    if (!c.drive.empty())
        options.Drive1->setDrive(q(c.drive));
    else
        options.dirFolderList->setPath(q(c.folder));
    EXPECT_EQ(options.optSpan[0]->isChecked(), !c.drive.empty());
    QTest::keyClicks(options.txtBackupName, c.name);
    if (c.password) {
        clickMark(options.optEncrypt[0]);
        QTest::keyClicks(options.txtPassword, *c.password);
        desk.expectInput(QStringLiteral("Type the password again to confirm it."),
                         QStringLiteral("Caskwell"), *c.password);
    }
    if (c.level >= 0)
        clickMark(options.optComp[c.level]);
    QTest::mouseClick(options.cmdStart, Qt::LeftButton);
    EXPECT_EQ(bool(options.dupDialog), c.replace);
    if (options.dupDialog)
        QTest::mouseClick(options.dupDialog->cmdReplace, Qt::LeftButton);
    if (!prog.progressWindow) {
        ADD_FAILURE() << "no progress window";
        return {};
    }
    cwb::frmZIP& z = *prog.progressWindow;
    if (c.volumeLimit > 0) {
        auto limit =
            reinterpret_cast<int (*)(long long)>(prog.zipLibrary().symbol("cwZip_TestVolumeLimit"));
        EXPECT_TRUE(limit);
        if (limit)
            limit(c.volumeLimit);
    }
    QTest::mouseClick(z.cmdOK, Qt::LeftButton);
    EXPECT_TRUE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was backed up succesfully."));
    const std::string set = z.setPath().toStdString();
    QTest::mouseClick(z.cmdCancel, Qt::LeftButton);
    EXPECT_TRUE(prog.ended);
    return set;
}

QString RoadTest::restore(const RestoreChoice& c) {
    diskPrompts.clear();
    RoadDesktop desk(diskPrompts, onDiskPrompt);
    desk.setProgramTitle(QStringLiteral("Caskwell Restore"));
    cw::test::ModalAnswerer answerer(QStringLiteral("dlgReplace"), QStringLiteral("lblReplaceInfo"),
                                     c.replaceAnswers);
    if (c.expect)
        c.expect(desk);
    cwr::RestoreContext ctx(desk, appDir);
    struct Flush {
        ~Flush() { flushDeletes(); }
    } flushAtEnd; // closed windows go before the context they use

    cwr::dlgOpenBackupSet& open = ctx.showOpenDialog();
    const fs::path set(c.set);
    open.Dir1->setPath(q(set.parent_path().string()));
    open.File1->setFileName(q(set.filename().string()));
    open.File1_Click();
    if (c.password)
        desk.expectInput(QStringLiteral("Enter password for this BackupSet."),
                         QStringLiteral("Caskwell"), *c.password);
    QTest::mouseClick(open.cmdOpen, Qt::LeftButton);
    if (!ctx.restoreWindow) {
        ADD_FAILURE() << "the set did not open";
        return {};
    }
    cwr::frmRestore& w = *ctx.restoreWindow;
    if (c.only.empty())
        QTest::mouseClick(w.cmdSelectAll, Qt::LeftButton);
    for (const std::string& file : c.only) {
        // A line shows the stored name: the full path without its leading "/".
        const auto found = w.lstArchive->findItems(q(file.substr(1)) + '\t', Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << file;
        if (found.empty())
            continue;
        w.lstArchive->scrollToItem(found.front());
        QTest::mouseClick(w.lstArchive->viewport(), Qt::LeftButton, {},
                          w.lstArchive->visualItemRect(found.front()).center());
    }
    clickMark(w.optResDir[c.structure ? 0 : 1]);
    QTest::mouseClick(w.cmdRestore, Qt::LeftButton);
    cwr::dlgExtractTo& to = *ctx.extractDialog;
    if (c.dest == "/") {
        // The drive's own name means its current directory; the root is its first item.
        to.drvExtractTo->setCurrentRow(0);
        QTest::keyClick(to.drvExtractTo, Qt::Key_Return);
    } else {
        to.drvExtractTo->setPath(q(c.dest));
    }
    EXPECT_EQ(to.destination(), q(c.dest));
    if (c.structure && c.dest != "/")
        desk.expectBox(QStringLiteral("You have chosen to restore the selected files to a folder "
                                      "rather than the root directory!  Are you sure?"),
                       Icon::Warning, Buttons::YesNo, QStringLiteral("Caskwell"), Answer::Yes,
                       true);
    QTest::mouseClick(to.OKButton, Qt::LeftButton);
    if (!ctx.progressWindow) {
        ADD_FAILURE() << "no progress window";
        return {};
    }
    cwr::dlgProgress& p = *ctx.progressWindow;
    QTest::mouseClick(p.cmdStartRestore, Qt::LeftButton);
    replacePrompts = answerer.prompts;
    EXPECT_TRUE(answerer.buttons.empty()) << "fewer replace prompts than answers";
    if (!ctx.progressWindow)
        return {};
    const QString info = p.lblInfo->text();
    QTest::mouseClick(p.cmdCancel, Qt::LeftButton);
    return info;
}

std::string RoadTest::restored(const std::string& dest, const std::string& file, bool structure) {
    if (!structure)
        return dest + "/" + fs::path(file).filename().string();
    return dest == "/" ? file : dest + file;
}

void RoadTest::expectTree(const std::string& dest, bool structure,
                          const std::vector<std::string>& except) const {
    for (const std::string& f : files) {
        if (std::find(except.begin(), except.end(), f) != except.end())
            continue;
        cw::test::expectSameFile(refDir_.empty() ? f : reference(f), restored(dest, f, structure));
    }
    EXPECT_EQ(fs::is_directory(restored(dest, emptyDir, true)), structure);
}

void RoadTest::keepReference() {
    refDir_ = env.makeDir("reference");
    for (const std::string& f : files)
        ASSERT_EQ(std::system(("cp -p '" + f + "' '" + reference(f) + "'").c_str()), 0) << f;
}

std::string RoadTest::reference(const std::string& file) const {
    const auto at = std::find(files.begin(), files.end(), file);
    return refDir_ + "/" + std::to_string(at - files.begin());
}

} // namespace road
