#pragma once
// The directory list control: the current path's ancestors, then its sub-directories.
// A double click (or Enter) on an item opens it. Hidden directories are not shown.
#include <QListWidget>
#include <map>
#include <string>
#include <vector>

namespace cw {

class DirListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPathProperty NOTIFY pathChanged)
    Q_PROPERTY(QStringList items READ items)
public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The current directory, absolute, without a trailing "/" except for the root "/".
    QString path() const;
    // Makes the list show dir (a drive's mount point shows that drive's current directory:
    // the directory remembered for that drive, else the mount point itself) and emits
    // pathChanged when the path changed. Throws cw::PlatformError: kErrDeviceUnavailable
    // when dir's drive cannot be read, kErrPathNotFound when dir does not exist or cannot be
    // listed; the list keeps its previous path then.
    void setPath(const QString& dir);
    // Re-reads the sub-directories.
    void refreshList();
    // The full paths of the listed directories, in list order (ancestors, then sub-directories).
    QStringList items() const;

Q_SIGNALS:
    // The Change event.
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* e) override; // Enter opens the current item

private:
    void setPathProperty(const QString& dir); // property setter: errors are swallowed
    void showDir(const std::string& dir);     // exactly dir, no drive rule; throws
    void fill(const QString& dir, const std::vector<std::string>& subdirs);
    void openItem(QListWidgetItem* item);
    QString path_;
    std::map<std::string, std::string> remembered_; // drive -> directory last shown there
};

} // namespace cw
