#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/Files.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/FileFaults.h"
#include "tests/support/TestEnv.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace cw;

namespace {

std::string line(int id, const std::string& dev, const std::string& point, const std::string& fs,
                 const std::string& source) {
    return std::to_string(id) + " 1 " + dev + " / " + point + " rw,relatime shared:3 - " + fs +
           " " + source + " rw\n";
}

} // namespace

TEST(Drives, RealSystemListsRootFirst) {
    auto all = drives::list();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), "/");
    EXPECT_NE(drives::type("/"), drives::kNoRootDir);
    EXPECT_NO_THROW(drives::checkAvailable("/"));
}

TEST(Drives, MountTableOrderAndTypes) {
    test::TestEnv env;
    test::FakeDrives fake;
    std::string sys = fake.root() + "/sys";
    namespace fs = std::filesystem;
    // sdb is a USB stick reached through a relative link, as sysfs does it; sdc's partition
    // carries no flag but its disk does; sdd is an internal disk.
    fs::create_directories(sys + "/devices/pci0/usb2/2-1/block/sdb/sdb1");
    fs::create_directories(sys + "/devices/pci0/ata1/block/sdc/sdc1");
    fs::create_directories(sys + "/devices/pci0/ata2/block/sdd/sdd1");
    fs::create_directories(sys + "/devices/pci0/ata3/block/sr1");
    auto write = [](const std::string& p, const std::string& t) {
        FILE* f = fopen(p.c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs(t.c_str(), f);
        fclose(f);
    };
    write(sys + "/devices/pci0/ata1/block/sdc/removable", "1\n");
    write(sys + "/devices/pci0/ata2/block/sdd/removable", "0\n");
    fs::create_directories(sys + "/dev/block");
    fs::create_symlink("../../devices/pci0/usb2/2-1/block/sdb/sdb1", sys + "/dev/block/8:17");
    fs::create_symlink("/sys/devices/pci0/ata1/block/sdc/sdc1", sys + "/dev/block/8:33");
    fs::create_symlink("../../devices/pci0/ata2/block/sdd/sdd1", sys + "/dev/block/8:49");
    fs::create_symlink("../../devices/pci0/ata3/block/sr1", sys + "/dev/block/11:1");

    std::string home = env.home();
    fake.setMountInfo(line(1, "8:1", "/", "ext4", "/dev/sda1") +
                      line(2, "0:5", "/proc", "proc", "proc") +
                      line(3, "8:49", "/mnt/data", "ext4", "/dev/sdd1") +
                      line(4, "8:17", "/media/user/MY\\040STICK", "vfat", "/dev/sdb1") +
                      line(5, "8:2", home, "ext4", "/dev/sda2") +
                      line(6, "11:0", "/run/media/user/DISC", "udf", "/dev/sr0") +
                      line(7, "8:33", "/media/card", "exfat", "/dev/sdc1") +
                      line(8, "0:60", "/mnt/share", "cifs", "//srv/share") +
                      line(9, "0:61", "/srv/nfs", "nfs4", "srv:/x") + "garbage line\n\n" +
                      line(10, "7:0", "/snap/core/1", "squashfs", "/dev/loop0") +
                      line(11, "11:1", "/media/dvd", "vfat", "LABEL=DVD"));

    EXPECT_EQ(drives::list(),
              (std::vector<std::string>{"/", home, "/mnt/data", "/media/user/MY STICK",
                                        "/run/media/user/DISC", "/media/card", "/mnt/share",
                                        "/media/dvd"}));
    EXPECT_EQ(drives::type("/"), drives::kFixed);
    EXPECT_EQ(drives::type("/mnt/data"), drives::kFixed);
    EXPECT_EQ(drives::type("/media/user/MY STICK"), drives::kRemovable);
    EXPECT_EQ(drives::type("/media/user/MY STICK/"), drives::kRemovable);
    EXPECT_EQ(drives::type("/media/card"), drives::kRemovable);
    EXPECT_EQ(drives::type("/run/media/user/DISC"), drives::kCdRom);
    EXPECT_EQ(drives::type("/media/dvd"), drives::kCdRom);
    EXPECT_EQ(drives::type("/mnt/share"), drives::kRemote);
    EXPECT_EQ(drives::type("/srv/nfs"), drives::kRemote);
    EXPECT_EQ(drives::type("/media/user"), drives::kNoRootDir);

    EXPECT_EQ(drives::driveOf("/media/user/MY STICK/backups/x.bks"), "/media/user/MY STICK");
    EXPECT_EQ(drives::driveOf("/media/cardboard"), "/");
    EXPECT_EQ(drives::driveOf(home + "/docs"), home);
}

TEST(Drives, MissingOrHostileMountInformationNeverFails) {
    test::FakeDrives fake;
    fake.setMountInfo("");
    EXPECT_EQ(drives::list(), std::vector<std::string>{"/"});
    EXPECT_EQ(drives::driveOf("/any/where"), "/");

    std::string junk;
    for (int i = 0; i < 20000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    fake.setMountInfo(junk + "\n1 2 3\n - - - -\n1 1 8:1 / relative rw - ext4 x rw\n\\\\\\0");
    EXPECT_EQ(drives::list(), std::vector<std::string>{"/"});

    // A huge table, every point mounted twice, stays quick; the later mount counts.
    std::string huge;
    for (int i = 0; i < 20000; ++i)
        huge +=
            line(i, "0:1", "/mnt/d" + std::to_string(i % 10000), i == 19999 ? "nfs" : "ext4", "x");
    fake.setMountInfo(huge);
    auto start = std::chrono::steady_clock::now();
    auto many = drives::list();
    ASSERT_EQ(many.size(), 10001u);
    EXPECT_EQ(many[1], "/mnt/d0");
    EXPECT_EQ(drives::type("/mnt/d9999"), drives::kRemote);
    EXPECT_EQ(drives::type("/mnt/d9998"), drives::kFixed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));

    drives::setSystemRoots(fake.root() + "/nothing", fake.root() + "/nothing");
    EXPECT_EQ(drives::list(), std::vector<std::string>{"/"});
    EXPECT_EQ(drives::type("/"), drives::kFixed);

    // A mount table that is a directory, not a file.
    std::filesystem::create_directories(fake.root() + "/dir/proc/self/mountinfo");
    drives::setSystemRoots(fake.root() + "/dir", fake.root() + "/dir");
    EXPECT_EQ(drives::list(), std::vector<std::string>{"/"});

    // Unreadable through the fault seam.
    drives::setSystemRoots(fake.root(), fake.root());
    fake.add("/media/usb", drives::kRemovable);
    EXPECT_EQ(drives::list().size(), 2u);
    files::injectFault(fake.root() + "/proc/self/mountinfo", files::Fault::Unreadable);
    EXPECT_EQ(drives::list(), std::vector<std::string>{"/"});
    files::clearFaults();
}

TEST(Drives, FakeDrivesMarkTemporaryFoldersAndRestore) {
    test::TestEnv env;
    {
        test::FakeDrives fake;
        std::string usb = env.makeDir("usb stick");
        std::string disc = env.makeDir("disc");
        std::string fixed = env.makeDir("fixed");
        fake.add(usb, drives::kRemovable);
        fake.add(disc, drives::kCdRom);
        fake.add(fixed, drives::kFixed);
        fake.add(env.makeDir("net"), drives::kRemote);
        EXPECT_EQ(drives::type(usb), drives::kRemovable);
        EXPECT_EQ(drives::type(disc), drives::kCdRom);
        EXPECT_EQ(drives::type(fixed), drives::kFixed);
        EXPECT_EQ(drives::type(env.path("net")), drives::kRemote);
        EXPECT_EQ(drives::type(env.root()), drives::kNoRootDir);
        EXPECT_EQ(drives::list(), (std::vector<std::string>{"/", usb, disc}));
        EXPECT_EQ(drives::driveOf(usb + "/sub/file"), usb);
    }
    EXPECT_EQ(drives::type(env.path("usb stick")), drives::kNoRootDir) << "roots restored";
}

TEST(Drives, UnavailableDriveIsError68) {
    test::TestEnv env;
    std::string gone = env.path("gone");
    try {
        drives::checkAvailable(gone);
        FAIL() << "no error";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), kErrDeviceUnavailable);
        EXPECT_STREQ(e.what(), ("Drive " + gone + " is not available at this time.").c_str());
    }
    std::string there = env.makeDir("there");
    EXPECT_NO_THROW(drives::checkAvailable(there));
    files::injectFault(there, files::Fault::Unreadable);
    EXPECT_THROW(drives::checkAvailable(there), PlatformError);
}
