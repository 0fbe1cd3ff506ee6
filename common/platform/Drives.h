#pragma once
// Drives on Linux are the mounted file systems a user would pick.
#include <string>
#include <vector>

namespace cw::drives {

enum DriveType : int {
    kNoRootDir = 1,
    kRemovable = 2,
    kFixed = 3,
    kRemote = 4,
    kCdRom = 5,
};

// Where /proc and /sys are read from; tests point these at fixture trees.
// Default: "/" for both (so "/proc/self/mountinfo" and "/sys/...").
void setSystemRoots(const std::string& procRoot, const std::string& sysRoot);
void resetSystemRoots();

// Mount points: "/" first, then the home file system when mounted separately, then mount
// points under /media, /run/media and /mnt, in mount-table order. Never fails: missing or
// unreadable mount information gives {"/"}.
std::vector<std::string> list();
// GetDriveTypeA: 1 when path is no mount point, else 2/3/4/5 (removable/fixed/remote/CD-ROM).
int type(const std::string& mountPoint);
// The mount point containing path (the deepest mount that is a prefix); "/" at worst.
std::string driveOf(const std::string& path);
// Throws PlatformError(kErrDeviceUnavailable) when the mount point cannot be read
// (stat or opendir fails with EIO, ENOMEDIUM, ENODEV, ENOENT or EACCES).
void checkAvailable(const std::string& mountPoint);

} // namespace cw::drives
