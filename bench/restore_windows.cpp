// cwr's windows on a large set, run by hand (bench/windows-restore.sh), never in CI: a set of
// 100 folders of 1,000 tiny files is opened and restored through the window library
// offscreen, with the scripted desktop of the tests answering the boxes, and timed against
// a one-entry set and against the decompression library called alone.
//
//   bench_restore_windows [work folder (default /tmp/cwbench-windows-restore)] [runs (5)]
//                         [open: the opening rows alone, for a profiler]
// CWBENCH_DEST names a folder for the restores (a tmpfs keeps the disk's state out of the
// comparison: on ext4, creating files right after 100,000 were removed costs the kernel
// more the more were removed nearby); both restores of a run go to the same path there.
#include "common/platform/SharedLibrary.h"
#include "common/widgets/DirListBox.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgProgress.h"
#include "restore/frmRestore.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestEnv.h"
#include "zip/include/cwunzip.h"
#include "zip/include/cwzip.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFolders = 100, kFilesPerFolder = 1000;

short quiet(int, int, const char*) {
    return 0;
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The files of the tree, named as the include list names them.
std::vector<std::string> makeTree(const std::string& root, int folders, int files) {
    std::vector<std::string> out;
    for (int d = 0; d < folders; ++d) {
        const std::string dir = root + "/d" + std::to_string(d);
        fs::create_directories(dir);
        for (int f = 0; f < files; ++f) {
            const std::string path = dir + "/f" + std::to_string(f) + ".txt";
            std::ofstream(path) << "file " << f << "\n";
            out.push_back(path);
        }
    }
    return out;
}

void writeSet(cw::SharedLibrary& zip, const std::vector<std::string>& files,
              const std::string& set) {
    std::string include;
    for (const auto& f : files)
        include += f + "|";
    zip.function<int (*)()>("cwZip_Initialise")();
    zip.function<int (*)(CwCallback)>("cwZip_InstallCallback")(&quiet);
    zip.function<int (*)(const char*)>("cwZip_ArchiveName")(set.c_str());
    zip.function<int (*)(const char*)>("cwZip_Include")(include.c_str());
    zip.function<int (*)(int)>("cwZip_SaveStructure")(2);
    zip.function<int (*)(int)>("cwZip_SetCompressionLevel")(1);
    zip.function<int (*)(int)>("cwZip_UseLFN")(-1);
    if (zip.function<int (*)()>("cwZip")() != 0)
        std::fprintf(stderr, "the set %s was not written\n", set.c_str());
}

struct Bench {
    cw::test::ScriptedDesktop desktop;
    std::string bin = cw::test::TestEnv::binDir();

    // cwr's selection window on set, from its creation until the list is on screen.
    double open(const std::string& set, double* selectAll = nullptr) {
        cwr::RestoreContext ctx(desktop, bin);
        ctx.backupSetPath = set;
        const auto start = Clock::now();
        cwr::frmRestore& w = ctx.showRestoreWindow();
        if (!QTest::qWaitForWindowExposed(&w))
            std::fprintf(stderr, "the window was not shown\n");
        w.lstArchive->repaint();
        const double shown = seconds(start);
        if (selectAll) {
            const auto from = Clock::now();
            w.cmdSelectAll->click();
            *selectAll = seconds(from);
        }
        ctx.closeAll();
        flushDeletes();
        return shown;
    }

    // The whole restore of set into dest through the windows: Start Restore to its end.
    double restoreThroughWindows(const std::string& set, const std::string& dest) {
        cwr::RestoreContext ctx(desktop, bin);
        ctx.backupSetPath = set;
        cwr::frmRestore& w = ctx.showRestoreWindow();
        w.cmdSelectAll->click();
        w.optResDir[0]->setChecked(true);
        cwr::dlgExtractTo& d = ctx.showExtractDialog();
        d.drvExtractTo->setPath(QString::fromStdString(dest));
        desktop.expectBox("You have chosen to restore the selected files to a folder rather "
                          "than the root directory!  Are you sure?",
                          cw::Icon::Warning, cw::Buttons::YesNo, "Caskwell", cw::Answer::Yes);
        d.OKButton->click();
        cwr::dlgProgress& p = *ctx.progressWindow;
        if (!QTest::qWaitForWindowExposed(&p))
            std::fprintf(stderr, "the progress window was not shown\n");
        const auto start = Clock::now();
        p.cmdStartRestore->click();
        const double took = seconds(start);
        if (p.lblInfo->text() != "Restore Completed Succesfully.")
            std::fprintf(stderr, "the restore said: %s\n", qPrintable(p.lblInfo->text()));
        ctx.closeAll();
        flushDeletes();
        return took;
    }

    // The same restore with the library alone.
    double restoreAlone(const std::string& set, const std::vector<std::string>& files,
                        const std::string& dest) {
        cw::SharedLibrary unzip(bin + "/libcwunzip.so");
        unzip.load();
        std::string include;
        for (const auto& f : files)
            include += f.substr(1) + "|";
        const auto start = Clock::now();
        unzip.function<int (*)()>("cwUnzip_Initialise")();
        unzip.function<int (*)(CwCallback)>("cwUnzip_InstallCallback")(&quiet);
        unzip.function<int (*)(const char*)>("cwUnzip_ArchiveName")(set.c_str());
        unzip.function<int (*)(int)>("cwUnzip_RestoreStructure")(-1);
        unzip.function<int (*)(const char*)>("cwUnzip_Include")(include.c_str());
        unzip.function<int (*)(const char*)>("cwUnzip_ExtractTo")(dest.c_str());
        if (unzip.function<int (*)()>("cwUnzip")() != 0)
            std::fprintf(stderr, "the library's restore failed\n");
        return seconds(start);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string work = argc > 1 ? argv[1] : "/tmp/cwbench-windows-restore";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const bool openOnly = argc > 3 && std::string(argv[3]) == "open";
    // The opening rows alone keep their tree and sets for the next run.
    const bool reuse = openOnly && fs::exists(work + "/sets/One.bks");
    if (!reuse)
        fs::remove_all(work);
    fs::create_directories(work + "/sets");

    Bench b;
    cw::SharedLibrary zip(b.bin + "/libcwzip.so");
    if (!zip.load()) {
        std::fprintf(stderr, "%s\n", zip.error().c_str());
        return 1;
    }
    const std::string bigSet = work + "/sets/Many.bks", smallSet = work + "/sets/One.bks";
    std::vector<std::string> many, one;
    if (!reuse) {
        many = makeTree(work + "/app", kFolders, kFilesPerFolder);
        one = makeTree(work + "/one", 1, 1);
        writeSet(zip, many, bigSet);
        writeSet(zip, one, smallSet);
    }
    std::printf("%zu files in %d folders; medians of %d runs\n",
                static_cast<std::size_t>(kFolders * kFilesPerFolder), kFolders, runs);

    const QByteArray destRoot = qgetenv("CWBENCH_DEST");
    const std::string dest =
        (destRoot.isEmpty() ? work : destRoot.toStdString()) + "/cwbench-restore-dest";
    std::vector<double> openMany, openOne, selectAll, windows, alone, ratio;
    for (int r = 0; r < runs; ++r) {
        double select = 0;
        openOne.push_back(b.open(smallSet));
        openMany.push_back(b.open(bigSet, &select));
        selectAll.push_back(select);
        if (openOnly) {
            std::printf("run %d: open %.2f s (1 entry %.2f s), select all %.3f s\n", r + 1,
                        openMany.back(), openOne.back(), select);
            continue;
        }
        const std::string dw = dest, da = dest;
        // Paired, in turn first, so that the page cache and the load favour neither.
        const auto fresh = [&dest] {
            fs::remove_all(dest);
            fs::create_directories(dest);
        };
        if (r % 2 == 0) {
            fresh();
            windows.push_back(b.restoreThroughWindows(bigSet, dw));
            fresh();
            alone.push_back(b.restoreAlone(bigSet, many, da));
        } else {
            fresh();
            alone.push_back(b.restoreAlone(bigSet, many, da));
            fresh();
            windows.push_back(b.restoreThroughWindows(bigSet, dw));
        }
        ratio.push_back(windows.back() / alone.back());
        std::printf("run %d: open %.2f s (1 entry %.2f s), select all %.3f s, restore windows "
                    "%.2f s, library %.2f s\n",
                    r + 1, openMany.back(), openOne.back(), select, windows.back(), alone.back());
        std::fflush(stdout);
    }
    std::printf("\n| what | median |\n|---|---|\n");
    std::printf("| cwr open to list shown, %zu entries, more than for 1 entry | %.2f s |\n",
                static_cast<std::size_t>(kFolders * kFilesPerFolder),
                median(openMany) - median(openOne));
    std::printf("| cwr Select All, %zu lines | %.3f s |\n",
                static_cast<std::size_t>(kFolders * kFilesPerFolder), median(selectAll));
    std::printf("| cwr whole restore through the windows | %.2f s |\n", median(windows));
    std::printf("| cwUnzip alone | %.2f s |\n", median(alone));
    std::printf("| ratio windows / library (median of paired runs) | %.2fx |\n", median(ratio));
    std::printf("| target: at most 1.3x library + 2 s | %.2f s |\n", 1.3 * median(alone) + 2);
    std::fflush(stdout);
    fs::remove_all(dest);
    if (!openOnly)
        fs::remove_all(work);
    return 0;
}
