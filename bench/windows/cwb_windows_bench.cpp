// cwb's windows on a large application folder, driven offscreen with the scripted desktop as
// the window tests drive them: the start window until its list is shown, Add All and Remove
// All on the long list, and the whole backup through the windows against cwZip called
// directly on the same include list. Run by bench/windows.sh, which makes the folders.
//   cwb_windows_bench <big app folder> <small app folder> <work folder> <runs> [start]
// With "start" only the start window is timed, with "backup" also the backup through the
// windows (for a profiler).
#include "backup/BackupIncludeList.h"
#include "backup/BackupProgram.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"
#include "common/platform/SharedLibrary.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/FileListBox.h"
#include "tests/support/ScriptedDesktop.h"
#include "zip/include/cwzip.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Lets the windows lay out and paint what is pending, as a shown window would.
void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// One run of cwb in an application folder, with a desktop that must stay silent.
struct Cwb {
    explicit Cwb(const std::string& app)
        : program(std::make_unique<cwb::BackupProgram>(desktop, app)) {}
    ~Cwb() {
        program.reset();
        if (!desktop.boxes().empty())
            std::fprintf(stderr, "cwb showed %zu message box(es), the first: %s\n",
                         desktop.boxes().size(), desktop.boxes().front().text.toUtf8().constData());
        desktop.verify();
    }
    // Start-up until the start window shows its list.
    bool start() {
        if (!program->start())
            return false;
        if (!QTest::qWaitForWindowExposed(program->startWindow.get()))
            std::fprintf(stderr, "the start window was not exposed\n");
        settle();
        program->startWindow->lstFileList->viewport()->repaint();
        return true;
    }
    cw::test::ScriptedDesktop desktop;
    std::unique_ptr<cwb::BackupProgram> program;
};

// The list measures itself a part at a time after the window is shown: done when its
// scroll range has stopped growing.
void waitForListLayout(QListWidget* list) {
    int same = 0, last = -1;
    while (same < 5) {
        QApplication::processEvents();
        QTest::qSleep(1);
        const int now = list->verticalScrollBar()->maximum();
        same = now == last ? same + 1 : 0;
        last = now;
    }
}

// Start-up until the list is shown, and until it is laid out whole.
double timeStart(const std::string& app, int& count, double& laidOut) {
    const auto t = Clock::now();
    Cwb cwb(app);
    if (!cwb.start())
        return -1;
    const double s = seconds(t);
    waitForListLayout(cwb.program->startWindow->lstFileList);
    laidOut = seconds(t);
    count = cwb.program->startWindow->lstFileList->count();
    return s;
}

// The whole backup through the windows, timed from Start Backup to Exit.
double timeWindowsBackup(const std::string& app, const std::string& dest, std::string& include) {
    Cwb cwb(app);
    if (!cwb.start())
        return -1;
    include = cwb::makeIncludeList(cwb.program->plan.files).list;
    cwb::frmStartBackup& start = *cwb.program->startWindow;
    QTest::mouseClick(start.cmdNext, Qt::LeftButton);
    cwb::frmBackup& options = *cwb.program->optionsWindow;
    options.dirFolderList->setPath(QString::fromStdString(dest));
    options.txtBackupName->setText(QStringLiteral("Bench"));
    settle();
    QTest::mouseClick(options.cmdStart, Qt::LeftButton);
    cwb::frmZIP& z = *cwb.program->progressWindow;
    settle();
    const auto t = Clock::now();
    QTest::mouseClick(z.cmdOK, Qt::LeftButton);
    settle();
    const bool ok = z.completed() && z.cmdCancel->text() == QStringLiteral("Exit");
    QTest::mouseClick(z.cmdCancel, Qt::LeftButton);
    settle();
    const double s = seconds(t);
    if (!ok)
        std::fprintf(stderr, "the backup through the windows did not complete: %s\n",
                     z.lblInfo->text().toUtf8().constData());
    return ok ? s : -1;
}

short quietCallback(int, int, const char*) {
    return 0;
}

// cwZip alone with the settings cwb passes for this profile (relative structure, long
// names, no empty-directory entries, the library's default level, no spanning).
double timeLibraryBackup(cw::SharedLibrary& lib, const std::string& include,
                         const std::string& set) {
    auto fn = [&lib](const char* name) { return lib.symbol(name); };
    auto initialise = reinterpret_cast<int (*)()>(fn("cwZip_Initialise"));
    auto callback = reinterpret_cast<int (*)(CwCallback)>(fn("cwZip_InstallCallback"));
    auto name = reinterpret_cast<int (*)(const char*)>(fn("cwZip_ArchiveName"));
    auto includeFn = reinterpret_cast<int (*)(const char*)>(fn("cwZip_Include"));
    auto structure = reinterpret_cast<int (*)(int)>(fn("cwZip_SaveStructure"));
    auto span = reinterpret_cast<int (*)(int)>(fn("cwZip_Span"));
    auto lfn = reinterpret_cast<int (*)(int)>(fn("cwZip_UseLFN"));
    auto zip = reinterpret_cast<int (*)()>(fn("cwZip"));
    if (!initialise || !callback || !name || !includeFn || !structure || !span || !lfn || !zip)
        return -1;
    const auto t = Clock::now();
    initialise();
    callback(&quietCallback);
    name(set.c_str());
    includeFn(include.c_str());
    structure(2);
    span(0);
    lfn(1);
    const int r = zip();
    const double s = seconds(t);
    return r == 0 ? s : -1;
}

// Add All of one folder's files onto the long list, then Remove All of everything.
void timeListEditing(const std::string& app, const std::string& folder, double& addAll,
                     double& removeAll, int& lines) {
    Cwb cwb(app);
    if (!cwb.start())
        return;
    cwb::frmStartBackup& start = *cwb.program->startWindow;
    start.dirFileList->setPath(QString::fromStdString(folder));
    settle();
    auto t = Clock::now();
    QTest::mouseClick(start.cmdAddAll, Qt::LeftButton);
    settle();
    addAll = seconds(t);
    waitForListLayout(start.lstFileList);
    lines = start.lstFileList->count();
    t = Clock::now();
    QTest::mouseClick(start.cmdRemAll, Qt::LeftButton);
    settle();
    removeAll = seconds(t);
}

std::string fileSize(const std::string& path) {
    std::error_code ec;
    const auto n = fs::file_size(path, ec);
    return ec ? "?" : std::to_string(n);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <big app> <small app> <work> <runs>\n", argv[0]);
        return 2;
    }
    const std::string big = argv[1], small = argv[2], work = argv[3];
    const int runs = std::max(1, std::atoi(argv[4]));
    // The start window's file picker opens the current folder: keep it small.
    QDir::setCurrent(QString::fromStdString(work));
    const std::string dest = work + "/dest";
    fs::create_directories(dest);
    const std::string set = dest + "/Bench.bks";

    std::vector<double> startBig, startSmall, laidBig, laidSmall, windows, library, addAll,
        removeAll;
    int bigCount = 0, smallCount = 0, lines = 0;
    cw::SharedLibrary lib(big + "/libcwzip.so");
    if (!lib.load()) {
        std::fprintf(stderr, "%s\n", lib.error().c_str());
        return 1;
    }
    // One untimed run first, so that neither timed backup reads the files cold.
    {
        Cwb warm(big);
        if (warm.start())
            timeLibraryBackup(lib, cwb::makeIncludeList(warm.program->plan.files).list, set);
        fs::remove(set);
    }
    for (int r = 0; r < runs; ++r) {
        double laid = 0;
        startSmall.push_back(timeStart(small, smallCount, laid));
        laidSmall.push_back(laid);
        startBig.push_back(timeStart(big, bigCount, laid));
        laidBig.push_back(laid);
        if (argc > 5 && std::string(argv[5]) == "start") {
            std::printf("start %.2f s (%d lines, laid out whole %.2f s) / %.2f s (%d lines)\n",
                        startBig.back(), bigCount, laidBig.back(), startSmall.back(), smallCount);
            continue;
        }
        std::string include;
        fs::remove(set);
        windows.push_back(timeWindowsBackup(big, dest, include));
        if (argc > 5 && std::string(argv[5]) == "backup") {
            std::printf("backup through the windows %.2f s\n", windows.back());
            continue;
        }
        const std::string size = fileSize(set);
        fs::remove(set);
        library.push_back(timeLibraryBackup(lib, include, set));
        if (r == 0)
            std::printf("round 1: set %s bytes through the windows, %s bytes by cwZip alone\n",
                        size.c_str(), fileSize(set).c_str());
        fs::remove(set);
        double a = -1, b = -1;
        timeListEditing(big, big + "/d000", a, b, lines);
        addAll.push_back(a);
        removeAll.push_back(b);
        std::printf("round %d: start %.2f s (%d lines, laid out whole %.2f s) / %.2f s (%d lines), "
                    "backup windows %.2f s, cwZip %.2f s, Add All %.3f s, Remove All %.3f s\n",
                    r + 1, startBig.back(), bigCount, laidBig.back(), startSmall.back(), smallCount,
                    windows.back(), library.back(), addAll.back(), removeAll.back());
        std::fflush(stdout);
    }

    const double sb = median(startBig), ss = median(startSmall);
    const double w = median(windows), l = median(library);
    std::printf("\nmedians of %d runs\n", runs);
    std::printf("cwb start window, list shown: %d lines %.2f s, %d lines %.2f s: %.2f s more "
                "(target: under 1 s more)\n",
                bigCount, sb, smallCount, ss, sb - ss);
    std::printf("  the list laid out whole: %.2f s, %.2f s more\n", median(laidBig),
                median(laidBig) - median(laidSmall));
    std::printf("cwb whole backup through the windows %.2f s, cwZip alone %.2f s: %.2fx "
                "(target: at most 1.3x + 2 s = %.2f s)\n",
                w, l, l > 0 ? w / l : 0.0, 1.3 * l + 2.0);
    std::printf("cwb Add All of 1,000 files onto the list: %.3f s (%d lines after); "
                "Remove All: %.3f s\n",
                median(addAll), lines, median(removeAll));
    return 0;
}
