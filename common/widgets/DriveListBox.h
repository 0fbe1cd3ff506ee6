#pragma once
// The drive list control: a drop-down of the platform's drives (mount points).
#include <QComboBox>

namespace cw {

class DriveListBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString drive READ drive WRITE setDrive NOTIFY driveChanged)
    Q_PROPERTY(QStringList items READ items)
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    // The selected drive's text (its mount point).
    QString drive() const;
    // Selects the drive that holds path (adding it to the list when it is a mount point not
    // yet listed) and emits driveChanged, also when it is the drive already selected, as the
    // classic control's Change event does when its Drive is set. Never throws.
    void setDrive(const QString& path);
    // Re-reads the drive list.
    void refreshDrives();
    // The listed drives' texts, in list order.
    QStringList items() const;

Q_SIGNALS:
    // The Change event: the user picked a drive or setDrive was called.
    void driveChanged(const QString& drive);
};

} // namespace cw
