#pragma once
// cwb's program-wide values, owned by main (or a test) and handed to every window: the
// backup plan the windows show and edit, and the windows themselves.
#include "backup/BackupPlan.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

namespace cw {
class DesktopService;
}

namespace cwb {

class ZipLibrary;
class frmStartBackup;
class frmBackup;
class frmZIP;

struct BackupProgram {
    BackupProgram(cw::DesktopService& desktop, std::string appDir);
    ~BackupProgram();
    BackupProgram(const BackupProgram&) = delete;
    BackupProgram& operator=(const BackupProgram&) = delete;

    cw::DesktopService& desktop;
    std::string appDir; // the directory holding cwb itself

    QString appDescription;
    QString supportText;
    bool replaceFlag = false;
    QString existingSetPath;
    std::int64_t filesDone = 0;
    BackupPlan plan;

    // The compression library, bound from appDir at first use unless a test put one here.
    std::unique_ptr<ZipLibrary> zip;
    ZipLibrary& zipLibrary();

    // The windows; created as the road of a backup reaches them.
    std::unique_ptr<frmStartBackup> startWindow;
    std::unique_ptr<frmBackup> optionsWindow;
    std::unique_ptr<frmZIP> progressWindow;

    // Loads and shows the start window; false when start-up ended the program.
    bool start();
    frmBackup& openOptionsWindow();
    // Loads the progress window on first use and shows it.
    frmZIP& showProgressWindow();
    // Closes every window: the program ends.
    void endProgram();
    bool ended = false;
};

} // namespace cwb
