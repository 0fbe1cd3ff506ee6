// Whole restores with the real libraries: sets written through libcwzip.so's C interface,
// restored through cwr's windows and libcwunzip.so, compared byte for byte with their
// timestamps and permissions.
#include "common/PictureBox.h"
#include "common/platform/SharedLibrary.h"
#include "common/widgets/DirListBox.h"
#include "restore/Listing.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"
#include "tests/support/Tree.h"
#include "zip/include/cwzip.h"

#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>

using namespace cwr;
using namespace cwr::test;
namespace fs = std::filesystem;

namespace {

short ignoreEvents(int, int, const char*) {
    return 0;
}

// Confirms the disk prompts of a spanned set, whose order is the library's business, and
// leaves every other box to the script.
class DiskDesktop : public cw::test::ScriptedDesktop {
public:
    cw::Answer messageBox(const QString& text, cw::Icon icon, cw::Buttons buttons,
                          const QString& title) override {
        const bool disk = text.startsWith("Take out the current disk and insert Disk #") ||
                          text == "Insert the Last disk in the Backup Set.";
        if (answerDiskPrompts && disk) {
            diskPrompts.push_back(text);
            if (onDiskPrompt)
                onDiskPrompt(text);
            return cw::Answer::OK;
        }
        if (collectWarnings && text.startsWith("Warning during process on file  ")) {
            warnings.push_back(text);
            return cw::Answer::OK;
        }
        return ScriptedDesktop::messageBox(text, icon, buttons, title);
    }
    bool answerDiskPrompts = false;
    std::vector<QString> diskPrompts;
    std::function<void(const QString&)> onDiskPrompt; // the user changing disks
    bool collectWarnings = false;
    std::vector<QString> warnings;
};

struct SetOptions {
    bool structure = true;
    bool emptyDirs = true;
    const char* password = nullptr;
    long long volumeLimit = 0;
};

class RestoreEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        desktop.setProgramTitle("Caskwell Restore");
        bin = cw::test::TestEnv::binDir();
        if (!fs::exists(bin + "/libcwzip.so") || !fs::exists(bin + "/libcwunzip.so"))
            GTEST_SKIP() << "the archive libraries are not built";
        src = env.makeDir("src");
        write("Data/a.txt", "alpha\n", 0640, 1'000'000'000);
        write("Data/sub/b.bin", cw::test::randomBytes(20000, 1), 0755, 1'100'000'000);
        write("c.txt", "", 0600, 1'200'000'000);
        write("Docs/d e.txt", std::string(70000, 'd'), 0644, 1'300'000'000);
        fs::create_directories(src + "/Empty/Inner");
        ::chmod((src + "/Empty/Inner").c_str(), 0750);
        const struct timespec when[2] = {{1'400'000'000, 0}, {1'400'000'000, 0}};
        ::utimensat(AT_FDCWD, (src + "/Empty/Inner").c_str(), when, 0);
        files = {"Data/a.txt", "Data/sub/b.bin", "c.txt", "Docs/d e.txt"};
    }

    void write(const std::string& rel, const std::string& content, mode_t mode, time_t mtime) {
        cw::test::writeFileAs(src + "/" + rel, content, mode, mtime);
    }

    // Writes a set of every file (and the empty directory) through the C interface.
    std::string writeSet(const SetOptions& o, const std::string& name = "Set1") {
        cw::SharedLibrary lib(bin + "/libcwzip.so");
        EXPECT_TRUE(lib.load()) << lib.error();
        auto fn = [&lib](const char* n) { return lib.symbol(n); };
        reinterpret_cast<int (*)()>(fn("cwZip_Initialise"))();
        reinterpret_cast<int (*)(CwCallback)>(fn("cwZip_InstallCallback"))(&ignoreEvents);
        reinterpret_cast<int (*)(int)>(fn("cwZip_IncludeEmptyDirectoryEntries"))(o.emptyDirs ? -1
                                                                                             : 0);
        const std::string set = env.makeDir("sets") + "/" + name + ".bks";
        reinterpret_cast<int (*)(const char*)>(fn("cwZip_ArchiveName"))(set.c_str());
        if (o.password)
            reinterpret_cast<int (*)(const char*)>(fn("cwZip_Encrypt"))(o.password);
        std::string include;
        for (const auto& f : files)
            include += src + "/" + f + "|";
        include += src + "/Empty/Inner/(EMPTY)|";
        reinterpret_cast<int (*)(const char*)>(fn("cwZip_Include"))(include.c_str());
        reinterpret_cast<int (*)(int)>(fn("cwZip_SaveStructure"))(o.structure ? 2 : 0);
        reinterpret_cast<int (*)(int)>(fn("cwZip_SetCompressionLevel"))(1);
        reinterpret_cast<int (*)(int)>(fn("cwZip_UseLFN"))(-1);
        reinterpret_cast<int (*)(int)>(fn("cwZip_Span"))(o.volumeLimit > 0 ? -1 : 0);
        reinterpret_cast<int (*)(long long)>(fn("cwZip_TestVolumeLimit"))(o.volumeLimit);
        EXPECT_EQ(reinterpret_cast<int (*)()>(fn("cwZip"))(), 0);
        reinterpret_cast<int (*)(long long)>(fn("cwZip_TestVolumeLimit"))(0);
        EXPECT_TRUE(fs::exists(set));
        return set;
    }

    // One run of cwr: open the set, select all, choose dest, start.
    struct Run {
        Run(RestoreEndToEnd& t, const std::string& set, std::optional<QString> password = {})
            : ctx(t.desktop, t.bin) {
            if (password)
                t.desktop.expectInput("Enter password for this BackupSet.", "Caskwell", password);
            ctx.backupSetPath = set;
            window = &ctx.showRestoreWindow();
            window->cmdSelectAll->click();
        }
        ~Run() { RestoreFixture_flush(); }
        static void RestoreFixture_flush() {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        dlgProgress& to(RestoreEndToEnd& t, const std::string& dest, bool structure) {
            window->optResDir[structure ? 0 : 1]->setChecked(true);
            dlgExtractTo& d = ctx.showExtractDialog();
            d.drvExtractTo->setPath(QString::fromStdString(dest));
            if (structure)
                t.desktop.expectBox("You have chosen to restore the selected files to a "
                                    "folder rather than the root directory!  Are you sure?",
                                    cw::Icon::Warning, cw::Buttons::YesNo, "Caskwell",
                                    cw::Answer::Yes, true);
            d.OKButton->click();
            return *ctx.progressWindow;
        }
        RestoreContext ctx;
        frmRestore* window = nullptr;
    };

    // Where a file of the source tree lands under dest.
    std::string restored(const std::string& dest, const std::string& rel, bool structure) const {
        return structure ? dest + src + "/" + rel : dest + "/" + fs::path(rel).filename().string();
    }

    cw::test::TestEnv env;
    DiskDesktop desktop;
    std::string bin, src;
    std::vector<std::string> files;
};

TEST_F(RestoreEndToEnd, StructureRestoreBringsBackFilesAndEmptyDirectories) {
    const std::string set = writeSet({});
    Run run(*this, set);
    EXPECT_EQ(run.window->lstArchive->count(), 4);
    EXPECT_EQ(run.window->lblCount->text(), "Files in Backup Set - [4]");
    EXPECT_GE(run.window->lstDirHolding->count(), 1);
    const std::string dest = env.makeDir("dest");
    dlgProgress& p = run.to(*this, dest, true);
    p.cmdStartRestore->click();
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed Succesfully.");
    for (const auto& f : files)
        cw::test::expectSameFile(src + "/" + f, restored(dest, f, true));
    // The empty directory comes back with the time and mode it was stored with.
    struct stat st {};
    ASSERT_EQ(::stat((dest + src + "/Empty/Inner").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'400'000'000);
}

TEST_F(RestoreEndToEnd, FlatRestorePutsEveryFileIntoTheDestination) {
    const std::string set = writeSet({.structure = false});
    Run run(*this, set);
    const std::string dest = env.makeDir("flat");
    dlgProgress& p = run.to(*this, dest, false);
    p.cmdStartRestore->click();
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed Succesfully.");
    for (const auto& f : files)
        cw::test::expectSameFile(src + "/" + f, restored(dest, f, false));
    EXPECT_FALSE(fs::exists(dest + "/Inner"));
}

TEST_F(RestoreEndToEnd, EncryptedSetWithTheRightPassword) {
    const std::string set = writeSet({.password = "s3cret pw"});
    Run run(*this, set, QString("s3cret pw"));
    EXPECT_EQ(run.ctx.encryptedFlag, "1");
    const std::string dest = env.makeDir("dest");
    run.to(*this, dest, true).cmdStartRestore->click();
    for (const auto& f : files)
        cw::test::expectSameFile(src + "/" + f, restored(dest, f, true));
}

TEST_F(RestoreEndToEnd, WrongPasswordStopsEndsTheProgramAndCreatesNothing) {
    const std::string set = writeSet({.password = "right"});
    for (const bool structure : {false, true}) {
        SCOPED_TRACE(structure);
        Run run(*this, set, QString("wrong"));
        // The password is asked with what is typed hidden.
        const auto calls = desktop.calls();
        const auto input = std::find_if(calls.rbegin(), calls.rend(), [](const auto& c) {
            return c.kind == cw::test::DesktopCall::Kind::Input;
        });
        ASSERT_NE(input, calls.rend());
        EXPECT_TRUE(input->masked);
        const std::string dest = env.makeDir(structure ? "tree" : "flat");
        dlgProgress& p = run.to(*this, dest, structure);
        desktop.expectBox("An incorrect password has been entered.  Restore process will be "
                          "terminated.",
                          cw::Icon::Critical, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
        p.cmdStartRestore->click();
        Run::RestoreFixture_flush();
        EXPECT_FALSE(run.ctx.progressWindow);
        EXPECT_FALSE(run.ctx.restoreWindow);
        // Neither the library nor the empty-folder step left anything behind.
        EXPECT_EQ(cw::test::filesBelow(dest), std::vector<std::string>{});
    }
}

TEST_F(RestoreEndToEnd, SpannedSetInOneFolderNeedsNoDisk) {
    const std::string set = writeSet({.volumeLimit = 16 * 1024});
    ASSERT_TRUE(fs::exists(env.path("sets/Set1.b01")));
    Run run(*this, set);
    EXPECT_EQ(run.window->lstArchive->count(), 4);
    const std::string dest = env.makeDir("dest");
    dlgProgress& p = run.to(*this, dest, true);
    desktop.answerDiskPrompts = true;
    p.cmdStartRestore->click();
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed Succesfully.");
    EXPECT_TRUE(desktop.diskPrompts.empty());
    for (const auto& f : files)
        cw::test::expectSameFile(src + "/" + f, restored(dest, f, true));
}

TEST_F(RestoreEndToEnd, SpannedSetOnADriveAsksForEachEarlierDiskOnce) {
    // Two and three volumes; the last one is small enough to be kept when the set is opened.
    for (const long long limit : {16 * 1024, 8 * 1024}) {
        SCOPED_TRACE(limit);
        const std::string name = "Set" + std::to_string(limit);
        const std::string set = writeSet({.volumeLimit = limit}, name);
        const std::string sets = env.path("sets"), shelf = env.makeDir("shelf" + name);
        // The drive (sets/) holds the last disk; the others wait on the shelf.
        std::vector<QString> expected;
        for (int n = 1; fs::exists(sets + "/" + name + ".b0" + std::to_string(n)); ++n) {
            const std::string vol = "/" + name + ".b0" + std::to_string(n);
            fs::rename(sets + vol, shelf + vol);
            expected.push_back("Take out the current disk and insert Disk #" + QString::number(n));
        }
        ASSERT_EQ(expected.size(), limit > 8 * 1024 ? 1u : 2u);
        fs::copy_file(set, shelf + "/" + name + ".bks");
        Run run(*this, set);
        const std::string dest = env.makeDir("dest" + name);
        dlgProgress& p = run.to(*this, dest, true);
        desktop.answerDiskPrompts = true;
        desktop.diskPrompts.clear();
        desktop.onDiskPrompt = [&](const QString& text) {
            const std::string vol = text.startsWith("Insert the Last disk")
                                        ? name + ".bks"
                                        : name + ".b0" + text.section('#', 1).toStdString();
            for (const auto& in : fs::directory_iterator(sets))
                fs::remove(in.path());
            fs::copy_file(shelf + "/" + vol, sets + "/" + vol);
        };
        p.cmdStartRestore->click();
        EXPECT_EQ(p.lblInfo->text(), "Restore Completed Succesfully.");
        EXPECT_EQ(desktop.diskPrompts, expected);
        for (const auto& f : files)
            cw::test::expectSameFile(src + "/" + f, restored(dest, f, true));
        fs::remove_all(sets);
    }
}

// Restores every file once, then changes them and restores again answering the prompts.
class RestoreReplaceEndToEnd : public RestoreEndToEnd {
protected:
    void restoreAgain(std::deque<QString> answers, const std::string& dest) {
        for (const auto& f : files)
            std::ofstream(restored(dest, f, false), std::ios::binary) << "changed";
        ReplaceAnswerer answerer(std::move(answers));
        Run run(*this, set);
        run.to(*this, dest, false).cmdStartRestore->click();
        prompts = answerer.prompts.size();
        info = run.ctx.progressWindow ? run.ctx.progressWindow->lblInfo->text() : QString();
    }
    void SetUp() override {
        RestoreEndToEnd::SetUp();
        if (IsSkipped())
            return;
        set = writeSet({.structure = false});
        dest = env.makeDir("dest");
        Run run(*this, set);
        run.to(*this, dest, false).cmdStartRestore->click();
    }
    bool isChanged(const std::string& f) {
        return cw::test::TestEnv::readFile(restored(dest, f, false)) == "changed";
    }
    std::string set, dest;
    std::size_t prompts = 0;
    QString info;
};

// What the user's trash holds: for each record, the path the file came from and the
// contents of the trashed file.
std::map<std::string, std::string> trashed(const std::string& dataHome) {
    std::map<std::string, std::string> out;
    const std::string trash = dataHome + "/Trash";
    if (!fs::exists(trash + "/info"))
        return out;
    for (const auto& info : fs::directory_iterator(trash + "/info")) {
        const std::string text = cw::test::TestEnv::readFile(info.path().string());
        const auto at = text.find("\nPath=");
        if (info.path().extension() != ".trashinfo" || at == std::string::npos)
            continue;
        const std::string encoded = text.substr(at + 6, text.find('\n', at + 6) - at - 6);
        const std::string path =
            QUrl::fromPercentEncoding(QByteArray::fromStdString(encoded)).toStdString();
        out[path] = cw::test::TestEnv::readFile(trash + "/files/" + info.path().stem().string());
    }
    return out;
}

TEST_F(RestoreReplaceEndToEnd, ReplaceEachAndReplaceAll) {
    restoreAgain({"cmdReplace", "cmdReplaceAll"}, dest);
    EXPECT_EQ(prompts, 2u);
    // Every replaced file can be had back from the trash.
    std::map<std::string, std::string> expected;
    for (const auto& f : files) {
        EXPECT_FALSE(isChanged(f)) << f;
        expected[restored(dest, f, false)] = "changed";
    }
    EXPECT_EQ(trashed(env.dataHome()), expected);
    EXPECT_EQ(info, "Restore Completed Succesfully.");
}

TEST_F(RestoreReplaceEndToEnd, SkipKeepsTheExistingFiles) {
    restoreAgain({"cmdSkip", "cmdSkip", "cmdSkip", "cmdSkip"}, dest);
    EXPECT_EQ(prompts, 4u);
    for (const auto& f : files)
        EXPECT_TRUE(isChanged(f)) << f;
}

TEST_F(RestoreReplaceEndToEnd, CancelRestoreKeepsTheRestAndSaysSo) {
    desktop.expectBox("Error process is stopped !", cw::Icon::None, cw::Buttons::OK,
                      "Caskwell Restore", cw::Answer::OK, true);
    restoreAgain({"cmdReplace", "cmdCancelRestore"}, dest);
    EXPECT_EQ(prompts, 2u);
    int changed = 0;
    for (const auto& f : files)
        changed += isChanged(f);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(info, "Restore Completed with errors.  Some files were not restored.");
}

struct KeyCounter : QObject {
    int keys = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        keys += e->type() == QEvent::KeyPress;
        return false;
    }
};

// Closing the progress window during a run asks whether to stop. Here the close comes while
// the second file's replace prompt is up: Yes stops the run at that file's next event, as
// Cancel Restore would (the file before it restored, nothing half-written); No goes on.
TEST_F(RestoreReplaceEndToEnd, ClosingTheWindowDuringTheRunAsksWhetherToStop) {
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop);
        fs::remove(restored(dest, files[0], false));
        for (std::size_t k = 1; k < files.size(); ++k)
            std::ofstream(restored(dest, files[k], false), std::ios::binary) << "changed";
        Run run(*this, set);
        dlgProgress& p = run.to(*this, dest, false);
        desktop.expectBox("Stop the restore now?  Files already restored are kept.",
                          cw::Icon::Question, cw::Buttons::YesNo, "Caskwell",
                          stop ? cw::Answer::Yes : cw::Answer::No);
        if (stop)
            desktop.expectBox("Error process is stopped !", cw::Icon::None, cw::Buttons::OK,
                              "Caskwell Restore", cw::Answer::OK, true);
        // What reaches the selection window: nothing while the run goes on.
        KeyCounter keysToSelection;
        run.window->installEventFilter(&keysToSelection);
        const auto typeIntoSelection = [&run] {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QCoreApplication::sendEvent(run.window, &key);
        };
        int prompts = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != "dlgReplace" || !w->isVisible())
                    continue;
                if (++prompts == 1) {
                    typeIntoSelection();
                    QCloseEvent close;
                    QCoreApplication::sendEvent(&p, &close);
                    EXPECT_FALSE(close.isAccepted());
                }
                w->findChild<QPushButton*>("cmdReplace")->click();
            }
        });
        user.start(5);
        p.cmdStartRestore->click();
        user.stop();
        EXPECT_EQ(prompts, stop ? 1 : 3);
        EXPECT_EQ(keysToSelection.keys, 0);
        typeIntoSelection();
        EXPECT_EQ(keysToSelection.keys, 1) << "the selection window takes keys again";
        EXPECT_EQ(p.lblInfo->text(), stop ? "Restore Completed with errors.  Some files were not "
                                            "restored."
                                          : "Restore Completed Succesfully.");
        EXPECT_EQ(p.cmdCancel->text(), "Exit");
        cw::test::expectSameFile(src + "/" + files[0], restored(dest, files[0], false));
        for (std::size_t k = 1; k < files.size(); ++k)
            EXPECT_EQ(isChanged(files[k]), stop) << files[k];
        for (const auto& f : cw::test::filesBelow(dest))
            EXPECT_EQ(f.find(".cwtmp"), std::string::npos) << f;
    }
}

} // namespace

namespace {

TEST_F(RestoreEndToEnd, FileThatIsNotASetListsNothing) {
    const std::string notSet = env.writeFile("sets/notes.bks", "just some text\n");
    Run run(*this, notSet);
    EXPECT_EQ(run.window->lstArchive->count(), 0);
    EXPECT_EQ(run.window->lblCount->text(), "Files in Backup Set - [0]");
    EXPECT_FALSE(run.window->cmdRestore->isEnabled());
}

TEST_F(RestoreEndToEnd, ACutSetWarnsAndRestoresEveryFileItLists) {
    struct Row {
        double kept;
        const char* password;
    };
    for (const Row row :
         {Row{0.5, nullptr}, Row{0.99, nullptr}, Row{0.99, "pw"}, Row{0.0, nullptr}}) {
        SCOPED_TRACE(row.kept);
        const std::string set = writeSet({.structure = false, .password = row.password});
        const std::string data = cw::test::TestEnv::readFile(set);
        const auto cut = std::max<std::size_t>(
            30, static_cast<std::size_t>(static_cast<double>(data.size()) * row.kept));
        const std::string part = env.writeFile("sets/cut.bks", data.substr(0, cut));
        // The warning comes first, then the password question.
        desktop.expectBox("This backup set is damaged.  Only the files listed can be restored.",
                          cw::Icon::Warning, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
        Run run(*this, part, row.password ? std::optional<QString>(row.password) : std::nullopt);
        const int listed = run.window->lstArchive->count();
        EXPECT_LE(listed, 4);
        if (row.kept > 0.9) {
            EXPECT_EQ(listed, 4);
        }
        if (listed == 0)
            continue;
        const std::string dest = env.makeDir("dest" + std::to_string(cut));
        dlgProgress& p = run.to(*this, dest, false);
        p.cmdStartRestore->click();
        EXPECT_EQ(p.lblInfo->text(),
                  "Restore Completed with errors.  Some files were not restored.");
        for (int i = 0; i < listed; ++i) {
            const std::string name =
                storedPath(run.window->lstArchive->item(i)->text().toStdString());
            const auto it = std::find_if(files.begin(), files.end(), [&](const std::string& f) {
                return fs::path(f).filename() == name;
            });
            ASSERT_NE(it, files.end()) << name;
            // Local headers carry no permissions: the bytes and the time come back.
            EXPECT_EQ(cw::test::TestEnv::readFile(dest + "/" + name),
                      cw::test::TestEnv::readFile(src + "/" + *it));
            EXPECT_EQ(fs::last_write_time(dest + "/" + name), fs::last_write_time(src + "/" + *it));
        }
    }
}

TEST_F(RestoreEndToEnd, DamagedFileIsReportedAndNotLeftHalfWritten) {
    const std::string set = writeSet({.structure = false});
    std::string data = cw::test::TestEnv::readFile(set);
    // The random file is stored as it is: find a piece of it and damage it.
    const std::string original = cw::test::TestEnv::readFile(src + "/Data/sub/b.bin");
    const std::size_t at = data.find(original.substr(5000, 32));
    ASSERT_NE(at, std::string::npos);
    data[at + 3] = static_cast<char>(data[at + 3] ^ 0x5A);
    std::ofstream(set, std::ios::binary | std::ios::trunc) << data;

    Run run(*this, set);
    const std::string dest = env.makeDir("dest");
    dlgProgress& p = run.to(*this, dest, false);
    desktop.expectBox(QString::fromStdString("Warning during process on file  " + dest + "/b.bin"),
                      cw::Icon::None, cw::Buttons::OK, "Caskwell Restore", cw::Answer::OK, true);
    p.cmdStartRestore->click();
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed with errors.  Some files were not restored.");
    EXPECT_FALSE(fs::exists(dest + "/b.bin"));
    cw::test::expectSameFile(src + "/c.txt", dest + "/c.txt");
}

} // namespace

namespace {

TEST_F(RestoreEndToEnd, NothingIsWrittenThroughALinkInTheDestination) {
    const std::string set = writeSet({});
    const std::string dest = env.makeDir("dest");
    const std::string outside = env.makeDir("outside");
    fs::create_directories(dest + src);
    fs::create_directory_symlink(outside, dest + src + "/Data");
    fs::create_directory_symlink(outside, dest + src + "/Empty");
    Run run(*this, set);
    dlgProgress& p = run.to(*this, dest, true);
    desktop.collectWarnings = true;
    p.cmdStartRestore->click();
    EXPECT_EQ(desktop.warnings.size(), 2u); // the two files below Data
    EXPECT_EQ(p.lblInfo->text(), "Restore Completed with errors.  Some files were not restored.");
    EXPECT_TRUE(fs::is_empty(outside));
    cw::test::expectSameFile(src + "/c.txt", dest + src + "/c.txt");
}

} // namespace

namespace {

TEST_F(RestoreEndToEnd, DiskThatNeverComesStopsTheRestore) {
    const std::string set = writeSet({.volumeLimit = 16 * 1024});
    fs::remove(env.path("sets/Set1.b01"));
    Run run(*this, set);
    const std::string dest = env.makeDir("dest");
    dlgProgress& p = run.to(*this, dest, true);
    desktop.answerDiskPrompts = true;
    desktop.collectWarnings = true;
    desktop.expectBox("Restore process will be stopped!", cw::Icon::Critical, cw::Buttons::OK,
                      "Caskwell", cw::Answer::OK, true);
    p.cmdStartRestore->click();
    Run::RestoreFixture_flush();
    EXPECT_FALSE(run.ctx.progressWindow);
    EXPECT_FALSE(desktop.diskPrompts.empty());
}

} // namespace
