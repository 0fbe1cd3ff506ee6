#pragma once
// cwr's program-wide values for one run, owned by main (or a test) and handed to every
// window: the restore plan the windows show and edit, and the open windows.
#include "restore/RestorePlan.h"
#include "zip/include/cwevents.h"

#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

namespace cw {
class DesktopService;
}

namespace cwr {

class UnzipLibrary;
class dlgOpenBackupSet;
class frmRestore;
class dlgWait;
class dlgExtractTo;
class dlgProgress;

struct RestoreContext {
    RestoreContext(cw::DesktopService& desktop, std::string programDir);
    ~RestoreContext();
    RestoreContext(const RestoreContext&) = delete;
    RestoreContext& operator=(const RestoreContext&) = delete;

    cw::DesktopService& desktop;
    std::string programDir; // the directory holding cwr itself

    std::string backupSetPath;
    std::int64_t entryCount = 0;
    std::string encryptedFlag;
    std::string password;
    std::int64_t selectedCount = 0;
    std::int64_t selectedBytes = 0; // counts down during the extraction
    std::int64_t restoredCount = 0;
    std::string currentFileName;
    int replaceAnswer = CW_ANSWER_REPLACE; // the replace prompt's last answer (CW_ANSWER_*)
    bool stop = false;                     // never cleared
    RestorePlan plan;
    // A file was not restored or the user cancelled: the end must not claim success.
    bool incomplete = false;
    // The busy pointer is up (set and cleared once, whoever clears it first).
    bool busy = false;
    void setBusy(bool on);

    // The decompression library, bound from programDir at first use unless a test put one
    // here.
    std::unique_ptr<UnzipLibrary> unzip;
    UnzipLibrary& unzipLibrary();
    // Binds the library; on failure tells the user (naming the file) and returns false.
    bool bindUnzip();

    // The windows of the run; a closed window deletes itself and its pointer turns null.
    QPointer<dlgOpenBackupSet> openDialog;
    QPointer<frmRestore> restoreWindow;
    QPointer<dlgWait> waitWindow;
    QPointer<dlgExtractTo> extractDialog;
    QPointer<dlgProgress> progressWindow;

    // Loads a fresh open dialog and shows it.
    dlgOpenBackupSet& showOpenDialog();
    // Loads a fresh selection window (which lists the set) and shows it.
    frmRestore& showRestoreWindow();
    dlgWait& showWaitWindow();
    // Shows the destination dialog, loading it when it is not loaded.
    dlgExtractTo& showExtractDialog();
    dlgProgress& showProgressWindow();
    // Closes the progress, destination, open and selection windows: the program ends.
    void closeAll();
    bool closingAll = false;
};

} // namespace cwr
