// A set spread over the disks of a small removable drive: one disk in the drive at a time,
// the full ones labelled and put aside while cwb writes, and put back as cwr asks for them.
#include "tests/road/Road.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/Tree.h"

#include <filesystem>

namespace road {
namespace {

namespace fs = std::filesystem;

// A removable drive and its disks. The disk in the drive is the drive's folder; the others
// lie on a shelf, each a folder named by its label.
class Disks {
public:
    Disks(std::string drive, std::string shelf)
        : drive_(std::move(drive)), shelf_(std::move(shelf)) {}
    // Takes the disk out of the drive and labels it outLabel; puts the disk inLabel in (a
    // label never used before is a blank disk).
    void swap(const std::string& outLabel, const std::string& inLabel) {
        move(drive_, shelf_ + "/" + outLabel);
        move(shelf_ + "/" + inLabel, drive_);
        in = inLabel;
    }
    std::vector<std::string> onDisk(const std::string& label) const {
        return cw::test::filesBelow(label == in ? drive_ : shelf_ + "/" + label);
    }
    std::string in = "blank";

private:
    static void move(const std::string& from, const std::string& to) {
        fs::create_directories(to);
        if (fs::exists(from))
            for (const auto& e : fs::directory_iterator(from))
                fs::rename(e.path(), to / e.path().filename());
    }
    std::string drive_, shelf_;
};

TEST_F(RoadTest, SpannedSetTravelsOnDisksOfARemovableDrive) {
    cw::test::FakeDrives drives;
    const std::string usb = env.makeDir("usb");
    drives.add(usb, cw::drives::kRemovable);
    Disks disks(usb, env.makeDir("shelf"));

    // Stored, so that the set's size follows from the files': two full disks and a last one
    // small enough for cwr to keep what it needs of it when the set is opened.
    std::uintmax_t total = 0;
    for (const std::string& f : files)
        total += fs::file_size(f);
    const auto disk = static_cast<long long>(total / 20 * 9);

    // A full disk comes out with the number cwb gives it, and a blank one goes in.
    onDiskPrompt = [&](const QString& text) {
        const QString n = text.section('#', 1).section('.', 0, 0);
        disks.swap(n.toStdString(), "blank " + n.toStdString());
    };
    const std::string set = backup({.drive = usb, .level = 0, .volumeLimit = disk});
    ASSERT_EQ(set, usb + "/Weekly.bks");
    EXPECT_EQ(diskPrompts, QStringList({"First, remove this disk and label it Disk #1.  Then "
                                        "insert a new disk.",
                                        "First, remove this disk and label it Disk #2.  Then "
                                        "insert a new disk."}));
    EXPECT_EQ(disks.onDisk("1"), std::vector<std::string>{"Weekly.b01"});
    EXPECT_EQ(disks.onDisk("2"), std::vector<std::string>{"Weekly.b02"});
    EXPECT_EQ(disks.onDisk(disks.in), std::vector<std::string>{"Weekly.bks"});
    const std::string last = disks.in;

    // cwr opens the set from the last disk and asks for each other disk once, in order.
    onDiskPrompt = [&](const QString& text) {
        disks.swap(disks.in, text.startsWith("Insert the Last disk")
                                 ? last
                                 : text.section('#', 1).toStdString());
    };
    const std::string dest = env.makeDir("restored");
    EXPECT_EQ(restore({.set = set, .dest = dest}), "Restore Completed Succesfully.");
    expectTree(dest, true);
    EXPECT_EQ(diskPrompts, QStringList({"Take out the current disk and insert Disk #1",
                                        "Take out the current disk and insert Disk #2"}));
}

} // namespace
} // namespace road
