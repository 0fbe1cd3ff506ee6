#pragma once
// The file list control: regular files of one directory matching a pattern (compared
// without regard to case), filtered by attribute, sorted by name.
#include "common/platform/Files.h"
#include <QListWidget>

namespace cw {

// Each item keeps its file name's bytes beside the text shown: a name that is not UTF-8
// shows replacement characters but still names its file.
constexpr int kRawNameRole = Qt::UserRole + 1;

class FileListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QString path READ path WRITE setPathProperty NOTIFY pathChanged)
    Q_PROPERTY(QString pattern READ pattern WRITE setPattern)
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName)
    Q_PROPERTY(QStringList items READ items)
    Q_PROPERTY(QStringList selectedNames READ selectedNames)
    Q_PROPERTY(bool multiSelect READ multiSelect WRITE setMultiSelect)
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString path() const { return path_; }
    // Lists dir. Throws cw::PlatformError(kErrPathNotFound) when it cannot be listed (the
    // list is then empty). Emits pathChanged.
    void setPath(const QString& dir);
    QString pattern() const { return pattern_; }
    // ";"-separated wildcards ("*.bks", "*.*"); re-reads the list.
    void setPattern(const QString& pattern);
    // Attribute filter; re-reads the list. Defaults: normal, archive, read-only on; hidden,
    // system off.
    files::AttrFilter filter() const { return filter_; }
    void setFilter(const files::AttrFilter& filter);
    void setShowHidden(bool on);

    // The selected (current) item's name, "" when none.
    QString fileName() const;
    // Selects the item with that name if it is listed.
    void setFileName(const QString& name);
    QStringList items() const;
    std::string rawItem(int row) const; // the bytes of the name item(row) shows
    QStringList selectedNames() const;
    bool multiSelect() const;
    // Single selection (default) or extended multiple selection.
    void setMultiSelect(bool on);
    // Re-reads the directory; a directory that vanished gives an empty list.
    void refreshList();

Q_SIGNALS:
    void pathChanged(const QString& path);
    void fileClicked(const QString& name);
    void fileDoubleClicked(const QString& name);

private:
    void setPathProperty(const QString& dir);
    // The list anew from the folder; empty, and PlatformError thrown, when it cannot be read.
    void fill();
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    files::AttrFilter filter_;
};

} // namespace cw
