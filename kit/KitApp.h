#pragma once
// Program-wide values of cwkit: the profile in hand, the program's own directory, the
// desktop service and the print dialog. main() owns one; every window gets it by reference.
#include <QString>

namespace cw {
class DesktopService;
}

namespace kit {

class MDIMainForm;
class PrinterService;

struct ProfileState {
    QString description; // the application name given to the profile; "" when none
    QString folder;      // the application directory, always ending with "/"
    QString path;        // the profile file found by the open command
    bool newProfile = false;
};

struct KitApp {
    KitApp(cw::DesktopService& desktopService, PrinterService& printerService, QString ownDirectory)
        : desktop(desktopService), printer(printerService), programDir(std::move(ownDirectory)) {}

    cw::DesktopService& desktop;
    PrinterService& printer;
    QString programDir; // where cwkit, the utilities, the libraries and TIPOFDAY.TXT lie
    ProfileState profile;
    MDIMainForm* main = nullptr; // the frame window while it exists
};

} // namespace kit
