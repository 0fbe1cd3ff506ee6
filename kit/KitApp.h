#pragma once
// Program-wide values of cwkit: the profile in hand, the program's own directory and the
// desktop service. main() owns one; every window gets it by reference.
#include <QString>

namespace cw {
class DesktopService;
}

namespace kit {

class MDIMainForm;

struct ProfileState {
    QString description; // the application name given to the profile; "" when none
    QString folder;      // the application directory, always ending with "/"
    QString path;        // the profile file found by the open command
    bool newProfile = false;
};

struct KitApp {
    KitApp(cw::DesktopService& desktopService, QString ownDirectory)
        : desktop(desktopService), programDir(std::move(ownDirectory)) {}

    cw::DesktopService& desktop;
    QString programDir; // where cwkit, the utilities, the libraries and TIPOFDAY.TXT lie
    ProfileState profile;
    MDIMainForm* main = nullptr; // the frame window while it exists
};

} // namespace kit
