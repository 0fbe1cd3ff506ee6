#include "backup/BackupProgram.h"

#include "backup/Layout.h"
#include "backup/ZipLibrary.h"
#include "backup/frmBackup.h"
#include "backup/frmStartBackup.h"
#include "backup/frmZIP.h"

namespace cwb {

BackupProgram::BackupProgram(cw::DesktopService& d, std::string dir)
    : desktop(d), appDir(std::move(dir)) {}

BackupProgram::~BackupProgram() {
    // The progress window reads the others while it goes; it goes first.
    progressWindow.reset();
    optionsWindow.reset();
    startWindow.reset();
}

ZipLibrary& BackupProgram::zipLibrary() {
    if (!zip)
        zip = std::make_unique<ZipLibrary>(appDir);
    return *zip;
}

bool BackupProgram::start() {
    if (!startWindow)
        startWindow = std::make_unique<frmStartBackup>(*this);
    if (!startWindow->Form_Load()) {
        endProgram();
        return false;
    }
    startWindow->show();
    bringToFront(startWindow.get());
    return true;
}

frmBackup& BackupProgram::openOptionsWindow() {
    if (!optionsWindow) {
        optionsWindow = std::make_unique<frmBackup>(*this);
        optionsWindow->Form_Load();
    }
    optionsWindow->show();
    return *optionsWindow;
}

frmZIP& BackupProgram::showProgressWindow() {
    if (!progressWindow) {
        progressWindow = std::make_unique<frmZIP>(*this);
        progressWindow->Form_Load();
    }
    progressWindow->show();
    bringToFront(progressWindow.get());
    return *progressWindow;
}

void BackupProgram::endProgram() {
    ended = true;
    if (progressWindow)
        progressWindow->close();
    if (optionsWindow)
        optionsWindow->close();
    if (startWindow)
        startWindow->close();
}

} // namespace cwb
