// The drive, directory and file list controls, driven as the windows and users drive them.
#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/Files.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/DriveListBox.h"
#include "common/widgets/FileListBox.h"
#include "tests/common/ui/QtPrinters.h"
#include "tests/support/FakeDrives.h"
#include "tests/support/FileFaults.h"
#include "tests/support/TestEnv.h"

#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace cw;
using cw::test::TestEnv;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QStringList texts(const QListWidget& l) {
    QStringList out;
    for (int i = 0; i < l.count(); ++i)
        out << l.item(i)->text();
    return out;
}

// A widget double click as a user makes it: QTest's own sends the second click only.
void doubleClick(QWidget* w, QPoint at) {
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
}

int rowOf(const QListWidget& l, const QString& text) {
    return texts(l).indexOf(text);
}

// "/" and one removable drive at <root>/usb.
struct MountFixture {
    explicit MountFixture(const TestEnv& env) : usb(env.makeDir("usb")) {
        fake.add(usb, drives::kRemovable);
    }
    cw::test::FakeDrives fake;
    std::string usb;
};

} // namespace

TEST(DirListBox, ShowsAncestorsThenVisibleSubdirectoriesSorted) {
    TestEnv env;
    env.makeDir("top/beta");
    env.makeDir("top/Alpha");
    env.makeDir("top/.secret");
    env.writeFile("top/file.txt", "x");
    DirListBox dir;
    QSignalSpy changed(&dir, &DirListBox::pathChanged);
    dir.setPath(q(env.path("top/")));
    EXPECT_EQ(dir.path(), q(env.path("top")));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toString(), q(env.path("top")));

    const QStringList items = texts(dir);
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items.front(), "/");
    EXPECT_EQ(items.mid(items.size() - 3), (QStringList{"top", "Alpha", "beta"}));
    EXPECT_EQ(dir.currentRow(), items.size() - 3); // the current directory is selected
    EXPECT_EQ(dir.property("path").toString(), dir.path());
    const QStringList paths = dir.property("items").toStringList();
    ASSERT_EQ(paths.size(), items.size());
    EXPECT_EQ(paths.front(), "/");
    EXPECT_EQ(paths.back(), q(env.path("top/beta")));

    dir.setPath(q(env.path("top")));
    EXPECT_EQ(changed.count(), 1); // same path: no Change event
}

TEST(DirListBox, DoubleClickAndEnterOpenItems) {
    TestEnv env;
    env.makeDir("top/sub/deeper");
    DirListBox dir;
    dir.resize(300, 400);
    dir.setPath(q(env.path("top")));
    QSignalSpy changed(&dir, &DirListBox::pathChanged);

    QListWidgetItem* sub = dir.item(rowOf(dir, "sub"));
    ASSERT_NE(sub, nullptr);
    dir.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dir));
    const QPoint at = dir.visualItemRect(sub).center();
    doubleClick(dir.viewport(), at);
    EXPECT_EQ(dir.path(), q(env.path("top/sub")));
    EXPECT_EQ(changed.count(), 1);

    // Enter on an ancestor goes up.
    dir.setCurrentRow(rowOf(dir, "top"));
    QTest::keyClick(&dir, Qt::Key_Return);
    EXPECT_EQ(dir.path(), q(env.path("top")));
    EXPECT_EQ(changed.count(), 2);
    dir.setCurrentRow(0);
    QTest::keyClick(&dir, Qt::Key_Enter);
    EXPECT_EQ(dir.path(), "/");
}

TEST(DirListBox, BadPathsThrowAndKeepThePreviousPath) {
    TestEnv env;
    env.makeDir("top");
    env.writeFile("plain", "x");
    DirListBox dir;
    dir.setPath(q(env.path("top")));
    const QStringList before = texts(dir);
    for (const std::string& bad : {env.path("missing"), env.path("plain")}) {
        try {
            dir.setPath(q(bad));
            ADD_FAILURE() << "no error for " << bad;
        } catch (const PlatformError& e) {
            EXPECT_EQ(e.number(), kErrPathNotFound) << bad;
        }
        EXPECT_EQ(dir.path(), q(env.path("top")));
        EXPECT_EQ(texts(dir), before);
    }
    // The property setter cannot report, so it must not throw either.
    EXPECT_TRUE(dir.setProperty("path", q(env.path("missing"))));
    EXPECT_EQ(dir.path(), q(env.path("top")));
}

TEST(DirListBox, RefreshFallsBackToAnExistingAncestor) {
    TestEnv env;
    env.makeDir("top/gone/deep");
    DirListBox dir;
    dir.setPath(q(env.path("top/gone/deep")));
    std::filesystem::remove_all(env.path("top/gone"));
    env.makeDir("top/new");
    QSignalSpy changed(&dir, &DirListBox::pathChanged);
    dir.refreshList();
    EXPECT_EQ(dir.path(), q(env.path("top")));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(texts(dir).back(), "new");
}

TEST(DirListBox, DriveMountPointShowsTheDirectoryLastShownThere) {
    TestEnv env;
    MountFixture mounts(env);
    env.makeDir("usb/docs");
    env.makeDir("top");
    DirListBox dir;
    dir.setPath(q(env.path("usb/docs")));
    dir.setPath(q(env.path("top")));
    // The drive's mount point means the directory the list last showed on that drive.
    dir.setPath(q(mounts.usb));
    EXPECT_EQ(dir.path(), q(env.path("usb/docs")));
    dir.setPath(q(mounts.usb));
    EXPECT_EQ(dir.path(), q(env.path("usb/docs")));
    // A drive whose directory vanished shows its mount point.
    std::filesystem::remove_all(env.path("usb/docs"));
    dir.setPath(q(env.path("top")));
    dir.setPath(q(mounts.usb));
    EXPECT_EQ(dir.path(), q(mounts.usb));

    files::injectFault(mounts.usb, files::Fault::Unreadable);
    dir.setPath(q(env.path("top")));
    try {
        dir.setPath(q(env.path("usb/docs")));
        ADD_FAILURE() << "an unreadable drive gave no error";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), kErrDeviceUnavailable);
    }
    EXPECT_EQ(dir.path(), q(env.path("top")));
}

TEST(DriveListBox, ListsDrivesAndEmitsChangeOnSetAndPick) {
    TestEnv env;
    MountFixture mounts(env);
    const std::string fixed = env.makeDir("fixed"); // a fixed disk outside /media: not offered
    mounts.fake.add(fixed, drives::kFixed);
    DriveListBox drv;
    EXPECT_EQ(drv.itemText(0), "/");
    EXPECT_TRUE(drv.property("items").toStringList().contains(q(mounts.usb)));
    EXPECT_GE(drv.findText(q(mounts.usb)), 1);
    EXPECT_LT(drv.findText(q(fixed)), 0);
    QSignalSpy changed(&drv, &DriveListBox::driveChanged);

    drv.setDrive(q(env.path("usb")) + "/some/where");
    EXPECT_EQ(drv.drive(), q(mounts.usb));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toString(), q(mounts.usb));
    drv.setDrive(q(mounts.usb));
    EXPECT_EQ(changed.count(), 2); // also when it is already selected
    drv.setDrive(q(fixed));
    EXPECT_EQ(drv.drive(), q(fixed)); // a mount the list did not offer is added
    EXPECT_EQ(changed.count(), 3);

    drv.setProperty("drive", "/etc");
    EXPECT_EQ(drv.drive(), "/");
    EXPECT_EQ(changed.count(), 4);

    // A user's pick.
    const int usbRow = drv.findText(q(mounts.usb));
    ASSERT_GE(usbRow, 0);
    drv.setCurrentIndex(usbRow);
    Q_EMIT drv.activated(usbRow);
    EXPECT_EQ(changed.count(), 5);
    EXPECT_EQ(changed.back()[0].toString(), q(mounts.usb));

    drv.refreshDrives();
    EXPECT_EQ(drv.drive(), q(mounts.usb)); // the selection survives a re-read
}

TEST(FileListBox, PatternsAttributesAndSorting) {
    TestEnv env;
    env.writeFile("d/b.BKS", "");
    env.writeFile("d/a.bks", "");
    env.writeFile("d/C.Bks", "");
    env.writeFile("d/notes.txt", "");
    env.writeFile("d/.hidden.bks", "");
    env.makeDir("d/dir.bks");
    FileListBox fl;
    QSignalSpy changed(&fl, &FileListBox::pathChanged);
    fl.setPattern("*.bks");
    fl.setPath(q(env.path("d")));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(fl.items(), (QStringList{"a.bks", "b.BKS", "C.Bks"}));
    EXPECT_EQ(fl.property("items").toStringList(), fl.items());

    fl.setPattern("*.TXT;*.bks");
    EXPECT_EQ(fl.items(), (QStringList{"a.bks", "b.BKS", "C.Bks", "notes.txt"}));
    fl.setShowHidden(true);
    EXPECT_TRUE(fl.items().contains(".hidden.bks"));
    fl.setShowHidden(false);
    files::AttrFilter none;
    none.normal = none.archive = none.readOnly = false;
    fl.setFilter(none);
    EXPECT_TRUE(fl.items().isEmpty());
    fl.setFilter({});
    fl.setPattern("*.*");
    EXPECT_EQ(fl.items().size(), 4);
}

TEST(FileListBox, SelectionSignalsAndReread) {
    TestEnv env;
    env.writeFile("d/one", "");
    env.writeFile("d/two", "");
    env.writeFile("d/three", "");
    FileListBox fl;
    fl.setPath(q(env.path("d")));
    EXPECT_EQ(fl.fileName(), "");
    fl.setFileName("two");
    EXPECT_EQ(fl.fileName(), "two");
    EXPECT_EQ(fl.property("fileName").toString(), "two");
    fl.setFileName("absent");
    EXPECT_EQ(fl.fileName(), "two");

    fl.setMultiSelect(true);
    EXPECT_TRUE(fl.property("multiSelect").toBool());
    fl.setFileName("one");
    EXPECT_EQ(fl.selectedNames(), (QStringList{"one", "two"})); // list order
    fl.setMultiSelect(false);
    EXPECT_EQ(fl.selectedNames().size(), 1);

    fl.resize(200, 300);
    fl.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fl));
    QSignalSpy clicked(&fl, &FileListBox::fileClicked);
    QSignalSpy dclicked(&fl, &FileListBox::fileDoubleClicked);
    const QPoint at = fl.visualItemRect(fl.item(fl.items().indexOf("three"))).center();
    QTest::mouseClick(fl.viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toString(), "three");
    doubleClick(fl.viewport(), at);
    ASSERT_EQ(dclicked.count(), 1);
    EXPECT_EQ(dclicked[0][0].toString(), "three");

    env.writeFile("d/four", "");
    std::filesystem::remove(env.path("d/one"));
    fl.refreshList();
    EXPECT_EQ(fl.items(), (QStringList{"four", "three", "two"}));
    EXPECT_EQ(fl.fileName(), "three"); // the selection survives a re-read

    std::filesystem::remove_all(env.path("d"));
    fl.refreshList();
    EXPECT_TRUE(fl.items().isEmpty());
    try {
        fl.setPath(q(env.path("d")));
        ADD_FAILURE() << "no error for a missing directory";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), kErrPathNotFound);
    }
    EXPECT_TRUE(fl.setProperty("path", q(env.path("nowhere"))));
    EXPECT_TRUE(fl.items().isEmpty());
}
