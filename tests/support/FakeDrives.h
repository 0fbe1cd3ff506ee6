#pragma once
// Makes the drive layer see a mount table of the test's choosing.
//
// The platform reads mounts from <procRoot>/proc/self/mountinfo and device flags from
// <sysRoot>/sys/dev/block/MAJ:MIN. FakeDrives writes such a fixture tree into its own
// temporary folder and points the drive layer at it (drives::setSystemRoots); the
// destructor points it back at the real system and removes the fixture.
//
// The fixture always holds "/" as a fixed disk. Add any existing folder as a drive of
// a given type; it then behaves as a mount point of that type everywhere:
//
//     cw::test::TestEnv env;
//     cw::test::FakeDrives fake;
//     std::string usb = env.makeDir("usb");
//     fake.add(usb, cw::drives::kRemovable);   // drives::type(usb) == 2, listed by list()
//     fake.add(env.makeDir("disc"), cw::drives::kCdRom);
//
// Removable drives and CD-ROMs are listed by drives::list() wherever they are mounted;
// fixed and remote ones only when under /media, /run/media or /mnt (as on a real system).
// Use one FakeDrives at a time.
#include "common/platform/Drives.h"

#include <string>
#include <vector>

namespace cw::test {

class FakeDrives {
public:
    FakeDrives();
    ~FakeDrives();
    FakeDrives(const FakeDrives&) = delete;
    FakeDrives& operator=(const FakeDrives&) = delete;

    // Adds a mount of the given drives::DriveType at mountPoint (kFixed, kRemovable, kRemote
    // or kCdRom) and rewrites the fixture.
    void add(const std::string& mountPoint, int driveType);
    // Writes mountinfo text of your own (for parser tests); replaces what add() wrote.
    void setMountInfo(const std::string& text);
    // The fixture folder: <root>/proc/self/mountinfo and <root>/sys/dev/block/...
    const std::string& root() const { return root_; }

private:
    struct Entry {
        std::string mountPoint;
        int type;
    };
    void write();
    std::string root_;
    std::vector<Entry> entries_;
};

} // namespace cw::test
