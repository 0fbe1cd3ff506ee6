#include "common/widgets/DriveListBox.h"

#include "common/platform/Drives.h"

#include <QDir>

namespace cw {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    refreshDrives();
    // Like the classic control, start on the drive of the current directory.
    const QString start =
        QString::fromStdString(drives::driveOf(QDir::currentPath().toStdString()));
    int i = findText(start);
    if (i < 0) {
        addItem(start);
        i = count() - 1;
    }
    setCurrentIndex(i);
    // Only a user's pick is a change here; setDrive emits on its own.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            Q_EMIT driveChanged(itemText(index));
    });
}

QString DriveListBox::drive() const {
    return currentText();
}

void DriveListBox::setDrive(const QString& path) {
    const QString d = QString::fromStdString(drives::driveOf(path.toStdString()));
    int i = findText(d);
    if (i < 0) {
        addItem(d);
        i = count() - 1;
    }
    setCurrentIndex(i);
    Q_EMIT driveChanged(d);
}

QStringList DriveListBox::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void DriveListBox::refreshDrives() {
    const QString keep = currentText();
    clear();
    for (const auto& d : drives::list())
        addItem(QString::fromStdString(d));
    if (!keep.isEmpty()) {
        int i = findText(keep);
        if (i < 0) {
            // The selected drive may be a mount the list does not offer; keep showing it.
            addItem(keep);
            i = count() - 1;
        }
        setCurrentIndex(i);
    }
}

} // namespace cw
