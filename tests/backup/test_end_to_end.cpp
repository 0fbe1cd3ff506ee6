// Whole backups through the real compression library, from an application folder with
// sub-directories, hidden files, an empty directory and Windows/System files. Each set is
// listed through the decompression library, and with unzip and 7-Zip where installed.
#include "backup/ZipLibrary.h"
#include "backup/dlgDupBackupset.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/Format.h"
#include "common/platform/SharedLibrary.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/Tree.h"
#include "zip/include/cwunzip.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace cwb::test {
namespace {

namespace fs = std::filesystem;
using cw::Answer;
using cw::Buttons;
using cw::Icon;
const QString kTitle = QStringLiteral("Caskwell");

struct Listing {
    std::vector<std::string> names; // "dir/name", or "dir/" for a directory entry
    bool encrypted = false;
};

// The set as the decompression library lists it.
Listing listWithLibrary(const std::string& set) {
    static cw::SharedLibrary lib(cw::test::TestEnv::binDir() + "/libcwunzip.so");
    Listing out;
    if (!lib.load())
        return out;
    auto init = lib.function<int (*)()>("cwUnzip_Initialise");
    auto sinkFn = lib.function<int (*)(const CwListSink*)>("cwUnzip_SetWindowHandle");
    auto name = lib.function<int (*)(const char*)>("cwUnzip_ArchiveName");
    auto view = lib.function<int (*)(int)>("cwUnzip_View");
    auto run = lib.function<int (*)()>("cwUnzip");
    if (!init || !sinkFn || !name || !view || !run)
        return out;
    std::vector<std::string> messages;
    CwListSink sink{&messages, [](void* f, const char* text) {
                        static_cast<std::vector<std::string>*>(f)->push_back(text);
                    }};
    init();
    sinkFn(&sink);
    name(set.c_str());
    view(-1);
    run();
    for (const auto& m : messages) {
        const std::string dir = cw::getField(m, "|", 4), file = cw::getField(m, "|", 5);
        out.names.push_back(file.empty() ? dir + "/" : dir.empty() ? file : dir + "/" + file);
        out.encrypted = out.encrypted || cw::getField(m, "|", 13) == "1";
    }
    return out;
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

bool onPath(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t b = 0;
    while (b < text.size()) {
        std::size_t e = text.find('\n', b);
        if (e == std::string::npos)
            e = text.size();
        if (e > b)
            out.push_back(text.substr(b, e - b));
        b = e + 1;
    }
    return out;
}

// The names 7-Zip lists, directories with a trailing "/".
std::vector<std::string> listWith7z(const std::string& set, const std::string& password) {
    std::vector<std::string> out;
    std::string path;
    for (const auto& l : lines(run("7zz l -slt -p'" + password + "' '" + set + "' 2>/dev/null"))) {
        if (l.rfind("Path = ", 0) == 0)
            path = l.substr(7);
        else if (l.rfind("Folder = ", 0) == 0 && path != set)
            out.push_back(path + (l == "Folder = +" ? "/" : ""));
    }
    return out;
}

class EndToEndTest : public BackupTest {
protected:
    void SetUp() override {
        lib = cw::test::TestEnv::binDir() + "/libcwzip.so";
        if (!fs::exists(lib) || !fs::exists(cw::test::TestEnv::binDir() + "/libcwunzip.so"))
            GTEST_SKIP() << "the archive libraries are not built";
        fs::copy_file(lib, app + "/libcwzip.so");
        env.writeFile("app/prog.bin", cw::test::randomBytes(30000, 1));
        env.writeFile("app/.hidden.cfg", "hidden=1\n");
        env.writeFile("app/Data/Long File Name.text", std::string(5000, 'x'));
        env.writeFile("app/Data/Archive/b.txt", "archived\n");
        env.makeDir("app/Empty");
        env.writeFile("home/.invmgr.ini", "[invmgr]\n");
        env.writeFile("home/.config/invgrid.conf", "grid\n");
        profile = defaultProfile();
        setSection(profile, "Application", {"Data", "Data/Archive", "Empty"});
        setSection(profile, "Windows", {".invmgr.ini"});
        setSection(profile, "System", {"invgrid.conf"});
        setSection(profile, "EmptyDir", {"1"});
        setSection(profile, "Hidden", {"cwYes"});
        dest = env.makeDir("dest");
    }

    // Start-up, options, Next>>: the progress window, ready to start.
    frmZIP& prepare(const QString& name = QStringLiteral("Daily")) {
        writeProfile(profile);
        EXPECT_TRUE(BackupTest::start(true));
        frmBackup& options = *prog->optionsWindow;
        options.dirFolderList->setPath(q(dest));
        options.txtBackupName->setText(name);
        options.cmdStart_Click();
        if (options.dupDialog)
            options.dupDialog->cmdReplace_Click();
        EXPECT_TRUE(prog->progressWindow);
        return *prog->progressWindow;
    }
    // Full path without its leading "/": what the relative structure stores.
    std::string stored(const std::string& rel) const { return env.path(rel).substr(1); }

    std::string lib, dest;
    Sections profile;
};

TEST_F(EndToEndTest, RelativeStructureLongNamesEmptyDirectoriesAndHiddenFiles) {
    frmZIP& z = prepare();
    z.cmdOK_Click();
    ASSERT_TRUE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was backed up succesfully."));
    const std::vector<std::string> expected = {
        stored("home/.invmgr.ini"),       stored("home/.config/invgrid.conf"),
        stored("app/Data") + "/",         stored("app/Data/Long File Name.text"),
        stored("app/Data/Archive") + "/", stored("app/Data/Archive/b.txt"),
        stored("app/Empty") + "/",        stored("app") + "/",
        stored("app/.hidden.cfg"),        stored("app/cwkcon32.dll"),
        stored("app/libcwzip.so"),        stored("app/prog.bin"),
    };
    const Listing l = listWithLibrary(dest + "/Daily.bks");
    EXPECT_EQ(l.names, expected);
    EXPECT_FALSE(l.encrypted);
    EXPECT_EQ(prog->filesDone, 8);
    // Nothing but the set is written.
    EXPECT_EQ(std::distance(fs::directory_iterator(dest), fs::directory_iterator()), 1);
    if (onPath("unzip")) {
        auto names = lines(run("unzip -Z1 '" + dest + "/Daily.bks'"));
        EXPECT_EQ(names, expected);
        EXPECT_NE(run("unzip -tq '" + dest + "/Daily.bks'").find("No errors"), std::string::npos);
    }
    if (onPath("7zz")) {
        EXPECT_EQ(listWith7z(dest + "/Daily.bks", ""), expected);
    }
}

TEST_F(EndToEndTest, NamesOnlyShortNamesNoHiddenFilesEncrypted) {
    setSection(profile, "Hidden", {"cwNever"});
    setSection(profile, "FileStructure", {"cwStructure_None"});
    setSection(profile, "Longfile", {"false"});
    setSection(profile, "Encrypt", {"true"});
    setSection(profile, "Compression", {"cwCompression_Maximum"});
    frmZIP& z = prepare();
    prog->optionsWindow->optEncrypt[0]->click();
    prog->optionsWindow->txtPassword->setText(QStringLiteral("Se cret"));
    z.cmdOK_Click();
    ASSERT_TRUE(z.completed());
    // Windows and System files are named in the profile, so they go in although hidden.
    const std::vector<std::string> expected = {
        "INVMGR.INI", "INVGRI~1.CON", "DATA/",        "LONGFI~1.TEX", "ARCHIVE/", "B.TXT",
        "EMPTY/",     "APP/",         "CWKCON32.DLL", "LIBCWZIP.SO",  "PROG.BIN"};
    const Listing l = listWithLibrary(dest + "/Daily.bks");
    EXPECT_EQ(l.names, expected);
    EXPECT_TRUE(l.encrypted);
    if (onPath("7zz")) {
        EXPECT_EQ(listWith7z(dest + "/Daily.bks", "Se cret"), expected);
        EXPECT_NE(run("7zz t -p'Se cret' '" + dest + "/Daily.bks' 2>&1").find("Everything is Ok"),
                  std::string::npos);
        EXPECT_EQ(run("7zz t -p'wrong' '" + dest + "/Daily.bks' 2>&1").find("Everything is Ok"),
                  std::string::npos);
    }
}

TEST_F(EndToEndTest, EachCompressionLevelMakesAValidSet) {
    setSection(profile, "Customize Compression", {"Yes"});
    // One run per program: each level gets its own program on the same folder.
    std::vector<std::int64_t> sizes;
    for (int level = 0; level < 4; ++level) {
        prog.reset();
        fs::remove_all(dest);
        fs::create_directory(dest);
        frmZIP& w = prepare(QStringLiteral("Level"));
        prog->optionsWindow->optComp[level]->click();
        w.cmdOK_Click();
        ASSERT_TRUE(w.completed()) << level;
        EXPECT_EQ(listWithLibrary(dest + "/Level.bks").names.size(), 12u);
        sizes.push_back(static_cast<std::int64_t>(fs::file_size(dest + "/Level.bks")));
    }
    // None stores; the others compress the 5,000 repeated bytes.
    EXPECT_GT(sizes[0], sizes[1]);
    EXPECT_GT(sizes[0], sizes[3]);
}

TEST_F(EndToEndTest, ReplacingKeepsTheOldSetUntilTheNewOneIsComplete) {
    env.writeFile("dest/Daily.bks", "old set");
    frmZIP& z = prepare();
    ASSERT_TRUE(prog->replaceFlag);
    // Full destination: the library stops; the old set stays, no partial set is left.
    auto limit = reinterpret_cast<int (*)(long long)>(prog->zip->symbol("cwZip_TestVolumeLimit"));
    ASSERT_TRUE(limit);
    limit(2000);
    desktop.expectBox(QStringLiteral("Error process is stopped !"), Icon::None, Buttons::OK, kTitle,
                      Answer::OK);
    z.cmdOK_Click();
    EXPECT_FALSE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was not backed up completely."));
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/Daily.bks"), "old set");
    EXPECT_EQ(std::distance(fs::directory_iterator(dest), fs::directory_iterator()), 1);
}

// Changes one byte of what goes to the disk; the library reads the set back and finds it.
void changeOneByte(unsigned char* data, size_t size, long long offset) {
    if (offset <= 100 && 100 < offset + static_cast<long long>(size))
        data[100 - offset] ^= 1;
}

TEST_F(EndToEndTest, ASetThatDoesNotReadBackAsWrittenIsNotABackup) {
    env.writeFile("dest/Daily.bks", "old set");
    frmZIP& z = prepare();
    using Hook = void (*)(unsigned char*, size_t, long long);
    auto hook = reinterpret_cast<int (*)(Hook)>(prog->zip->symbol("cwZip_TestWriteHook"));
    ASSERT_TRUE(hook);
    hook(changeOneByte);
    desktop.expectBox(QStringLiteral("Error process is stopped !"), Icon::None, Buttons::OK, kTitle,
                      Answer::OK);
    z.cmdOK_Click();
    hook(nullptr);
    EXPECT_FALSE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was not backed up completely."));
    EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/Daily.bks"), "old set");
    EXPECT_EQ(std::distance(fs::directory_iterator(dest), fs::directory_iterator()), 1);
}

TEST_F(EndToEndTest, ReplacedSetWithAnotherCaseIsGoneOnlyAfterSuccess) {
    env.writeFile("dest/Daily.BKS", "old set");
    frmZIP& z = prepare();
    ASSERT_EQ(prog->existingSetPath, q(dest + "/Daily.BKS"));
    z.cmdOK_Click();
    ASSERT_TRUE(z.completed());
    EXPECT_FALSE(fs::exists(dest + "/Daily.BKS"));
    EXPECT_EQ(listWithLibrary(dest + "/Daily.bks").names.size(), 12u);
}

TEST_F(EndToEndTest, FileThatVanishedAfterTheScanIsReported) {
    frmZIP& z = prepare();
    fs::remove(app + "/prog.bin");
    desktop.expectBox(QStringLiteral("Error during process of file : ") + q(app + "/prog.bin"),
                      Icon::None, Buttons::OK, kTitle, Answer::OK);
    z.cmdOK_Click();
    EXPECT_FALSE(z.completed());
    EXPECT_EQ(z.lblInfo->text(), QStringLiteral("Inventory Manager was not backed up completely."));
    const auto names = listWithLibrary(dest + "/Daily.bks").names;
    EXPECT_EQ(std::count(names.begin(), names.end(), stored("app/prog.bin")), 0);
    EXPECT_EQ(names.size(), 11u);
}

// Answers the disk prompts itself, since their number depends on the archive's layout.
class DiskSwapDesktop : public cw::test::ScriptedDesktop {
public:
    cw::Answer messageBox(const QString& text, cw::Icon icon, cw::Buttons buttons,
                          const QString& title) override {
        if (text.startsWith(QStringLiteral("First, remove this disk"))) {
            prompts << text;
            EXPECT_EQ(icon, cw::Icon::Information);
            EXPECT_EQ(buttons, cw::Buttons::OK);
            EXPECT_EQ(title, QStringLiteral("Caskwell"));
            return cw::Answer::OK;
        }
        return ScriptedDesktop::messageBox(text, icon, buttons, title);
    }
    QStringList prompts;
};

TEST_F(EndToEndTest, SpansARemovableDriveAndAsksForEachDisk) {
    cw::test::FakeDrives drives;
    const std::string usb = env.makeDir("usb");
    drives.add(usb, cw::drives::kRemovable);
    writeProfile(profile);
    DiskSwapDesktop swap;
    struct Release {
        std::unique_ptr<BackupProgram>& p;
        ~Release() { p.reset(); } // before the desktop it uses
    } release{prog};
    prog = std::make_unique<BackupProgram>(swap, app);
    ASSERT_TRUE(prog->start());
    frmBackup& options = *prog->optionsWindow;
    options.Drive1->setDrive(q(usb));
    EXPECT_EQ(options.dirFolderList->path(), q(usb));
    EXPECT_TRUE(options.optSpan[0]->isChecked());
    options.txtBackupName->setText(QStringLiteral("Weekly"));
    options.cmdStart_Click();
    frmZIP& z = *prog->progressWindow;
    auto limit = reinterpret_cast<int (*)(long long)>(prog->zip->symbol("cwZip_TestVolumeLimit"));
    ASSERT_TRUE(limit);
    limit(8192);
    z.cmdOK_Click();
    ASSERT_TRUE(z.completed());
    ASSERT_GE(swap.prompts.size(), 4);
    for (int i = 0; i < swap.prompts.size(); ++i) {
        EXPECT_EQ(swap.prompts[i], QStringLiteral("First, remove this disk and label it Disk #%1.  "
                                                  "Then insert a new disk.")
                                       .arg(i + 1));
        char ext[16];
        std::snprintf(ext, sizeof ext, ".b%02d", i + 1);
        EXPECT_TRUE(fs::exists(usb + "/Weekly" + ext)) << ext;
    }
    EXPECT_EQ(listWithLibrary(usb + "/Weekly.bks").names.size(), 12u);
    // The volumes joined in order are one standard archive.
    std::string joined;
    for (int i = 1; i <= swap.prompts.size(); ++i) {
        char ext[16];
        std::snprintf(ext, sizeof ext, ".b%02d", i);
        joined += cw::test::TestEnv::readFile(usb + "/Weekly" + ext);
    }
    joined += cw::test::TestEnv::readFile(usb + "/Weekly.bks");
    const std::string whole = env.writeFile("joined.zip", joined);
    if (onPath("unzip")) {
        EXPECT_NE(run("unzip -tq '" + whole + "'").find("No errors"), std::string::npos);
    }
}

TEST_F(EndToEndTest, FixedDriveDoesNotSpan) {
    frmZIP& z = prepare();
    EXPECT_TRUE(prog->optionsWindow->optSpan[1]->isChecked());
    z.cmdOK_Click();
    EXPECT_TRUE(z.completed());
}

TEST_F(EndToEndTest, AFileNameThatIsNotUtf8IsBackedUpUnderItsOwnBytes) {
    const std::string latin1 = "app/Data/caf\xe9.txt"; // from an old system
    env.writeFile(latin1, "old name\n");
    frmZIP& z = prepare();
    z.cmdOK_Click();
    ASSERT_TRUE(z.completed());
    EXPECT_EQ(prog->filesDone, 9);
    if (onPath("unzip")) {
        auto names = lines(run("unzip -Z1 '" + dest + "/Daily.bks'"));
        EXPECT_NE(std::find(names.begin(), names.end(), stored(latin1)), names.end());
        EXPECT_NE(run("unzip -tq '" + dest + "/Daily.bks'").find("No errors"), std::string::npos);
    }
}

// Every file read a little slowly, so that the run outlasts the window's pace.
void slowRead(const char*) {
    ::usleep(1000);
}

// Closing frmZIP while the real library runs: Yes stops it with nothing written and the
// older set kept; No lets it finish.
class StopDuringRun : public EndToEndTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(StopDuringRun, CloseAsksAndYesStopsWithTheOlderSetKept) {
    const bool stop = GetParam() == Answer::Yes;
    for (int i = 0; i < 150; ++i)
        env.writeFile("app/Data/f" + std::to_string(i) + ".txt", std::string(100, 'a' + i % 26));
    env.writeFile("dest/Daily.bks", "old set");
    frmZIP& z = prepare();
    auto hook = reinterpret_cast<int (*)(void (*)(const char*))>(
        prog->zipLibrary().symbol("cwZip_TestReadHook"));
    ASSERT_TRUE(hook);
    hook(&slowRead);
    bool modalWhenAsked = false;
    desktop.expectBox(QStringLiteral("Stop the backup now?  No backup set is written, and an "
                                     "older set of the same name is kept."),
                      Icon::Question, Buttons::YesNo, kTitle, GetParam(), std::nullopt, [&] {
                          modalWhenAsked = z.running() && z.isVisible() &&
                                           z.windowModality() == Qt::ApplicationModal &&
                                           z.cmdCancel->isHidden() && z.cmdOK->isHidden();
                      });
    // The close request comes while the library runs: handled when the window keeps up.
    QTimer::singleShot(0, &z, [&z] { z.close(); });
    z.cmdOK_Click();
    hook(nullptr);
    EXPECT_TRUE(modalWhenAsked);
    EXPECT_FALSE(z.running());
    EXPECT_TRUE(z.isVisible());
    EXPECT_EQ(z.completed(), !stop);
    EXPECT_EQ(z.lblInfo->text(),
              stop ? QStringLiteral("Inventory Manager was not backed up completely.")
                   : QStringLiteral("Inventory Manager was backed up succesfully."));
    EXPECT_EQ(z.cmdCancel->text(), QStringLiteral("Exit"));
    EXPECT_FALSE(z.cmdCancel->isHidden());
    if (stop) {
        EXPECT_LT(prog->filesDone, 150);
        EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/Daily.bks"), "old set");
        EXPECT_EQ(cw::test::filesBelow(dest), std::vector<std::string>{"Daily.bks"});
    } else {
        EXPECT_EQ(listWithLibrary(dest + "/Daily.bks").names.size(), 162u);
    }
    // After the run, closing is closing again.
    z.close();
    EXPECT_FALSE(z.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Answers, StopDuringRun, ::testing::Values(Answer::Yes, Answer::No));

} // namespace
} // namespace cwb::test
