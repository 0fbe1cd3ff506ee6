// Drives that cannot be used: unavailable ones in both dialogs, a CD-ROM as destination.
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "restore/RestoreContext.h"
#include "restore/dlgExtractTo.h"
#include "restore/dlgOpenBackupSet.h"
#include "restore/frmRestore.h"
#include "tests/restore/RestoreFixture.h"
#include "tests/support/FakeDrives.h"

#include <QPushButton>
#include <filesystem>

using namespace cwr;
using namespace cwr::test;

namespace {

class RestoreDrives : public RestoreFixture {
protected:
    // A removable drive whose medium is gone.
    std::string goneDrive() {
        const std::string p = env.makeDir("usb");
        drives.add(p, cw::drives::kRemovable);
        std::filesystem::remove(p);
        return p;
    }
    dlgExtractTo& destination() {
        frmRestore& w = openSet({entryMessage("", "a.txt", "1")});
        select(w, {0});
        w.cmdRestore->click();
        return *ctx->extractDialog;
    }
    cw::test::FakeDrives drives;
};

TEST_F(RestoreDrives, UnavailableDriveAsksUntilCancelThenReturnsToTheProgramDrive) {
    const std::string usb = goneDrive();
    dlgOpenBackupSet& d = ctx->showOpenDialog();
    const QString text = QString::fromStdString("Drive " + usb + " is not available at this time.");
    desktop.expectBox(text, cw::Icon::Warning, cw::Buttons::RetryCancel, "Caskwell",
                      cw::Answer::Retry, true);
    desktop.expectBox(text, cw::Icon::Warning, cw::Buttons::RetryCancel, "Caskwell",
                      cw::Answer::Cancel, true);
    d.Drive1->setDrive(QString::fromStdString(usb));
    EXPECT_EQ(d.Drive1->drive(), "/");
    EXPECT_FALSE(d.Dir1->path().startsWith(QString::fromStdString(usb)));
}

TEST_F(RestoreDrives, UnavailableDestinationGoesBackToTheRootDrive) {
    const std::string usb = goneDrive();
    dlgExtractTo& d = destination();
    desktop.expectBox("This drive appears to be unavailable to Caskwell at this time.",
                      cw::Icon::Warning, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    d.Drive1->setDrive(QString::fromStdString(usb));
    EXPECT_EQ(d.Drive1->drive(), "/");
}

TEST_F(RestoreDrives, CdRomIsRefusedAsDestination) {
    const std::string disc = env.makeDir("disc");
    drives.add(disc, cw::drives::kCdRom);
    dlgExtractTo& d = destination();
    desktop.expectBox("You cannot specify a CD-ROM as the Destination drive for Restore "
                      "process.  Select another Drive.",
                      cw::Icon::Warning, cw::Buttons::OK, "Caskwell", cw::Answer::OK, true);
    d.Drive1->setDrive(QString::fromStdString(disc));
    EXPECT_EQ(d.Drive1->drive(), "/");
    EXPECT_FALSE(d.destination().startsWith(QString::fromStdString(disc)));
}

TEST_F(RestoreDrives, RemovableDestinationIsFine) {
    const std::string usb = env.makeDir("usb");
    drives.add(usb, cw::drives::kRemovable);
    dlgExtractTo& d = destination();
    d.Drive1->setDrive(QString::fromStdString(usb));
    EXPECT_EQ(d.destination(), QString::fromStdString(usb));
}

} // namespace
