#include "common/widgets/FileListBox.h"

#include "common/platform/Errors.h"

#include <QDir>

namespace cw {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item)
            Q_EMIT fileClicked(item->text());
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item)
            Q_EMIT fileDoubleClicked(item->text());
    });
    // The classic control starts on the current directory.
    path_ = QDir::cleanPath(QDir::currentPath());
    refreshList();
}

void FileListBox::setPath(const QString& dir) {
    QString p = QDir::cleanPath(QDir(dir).absolutePath());
    if (p.isEmpty())
        p = QStringLiteral("/");
    const bool changed = p != path_;
    path_ = p;
    try {
        fill();
    } catch (const PlatformError&) {
        if (changed)
            Q_EMIT pathChanged(path_);
        throw;
    }
    if (changed)
        Q_EMIT pathChanged(path_);
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refreshList();
}

void FileListBox::setFilter(const files::AttrFilter& filter) {
    filter_ = filter;
    refreshList();
}

void FileListBox::setShowHidden(bool on) {
    filter_.hidden = on;
    refreshList();
}

QString FileListBox::fileName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileListBox::setFileName(const QString& name) {
    const auto found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return;
    // In a multiple-selection list the name joins the selection.
    setCurrentItem(found.front(), multiSelect() ? QItemSelectionModel::Select
                                                : QItemSelectionModel::ClearAndSelect);
}

QStringList FileListBox::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

std::string FileListBox::rawItem(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kRawNameRole).toByteArray().toStdString() : std::string();
}

QStringList FileListBox::selectedNames() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected())
            out << item(i)->text();
    return out;
}

bool FileListBox::multiSelect() const {
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void FileListBox::setMultiSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                        : QAbstractItemView::SingleSelection);
    if (!on && selectedItems().size() > 1) {
        QListWidgetItem* keep = currentItem();
        clearSelection();
        if (keep)
            keep->setSelected(true);
    }
}

void FileListBox::refreshList() {
    const QStringList selected = selectedNames();
    const QString current = currentItem() ? currentItem()->text() : QString();
    try {
        fill();
    } catch (const PlatformError&) {
        // A directory that vanished shows an empty list.
        return;
    }
    // Keep the user's selection across a re-read where the names survive.
    for (int i = 0; i < count(); ++i) {
        if (item(i)->text() == current)
            setCurrentItem(item(i), QItemSelectionModel::NoUpdate);
        if (selected.contains(item(i)->text()))
            item(i)->setSelected(true);
    }
}

void FileListBox::fill() {
    clear();
    const auto names = files::listFiles(path_.toStdString(), pattern_.toStdString(), filter_);
    for (const auto& n : names) {
        auto* it = new QListWidgetItem(QString::fromStdString(n), this);
        it->setData(kRawNameRole, QByteArray::fromStdString(n));
    }
}

void FileListBox::setPathProperty(const QString& dir) {
    try {
        setPath(dir);
    } catch (const PlatformError&) {
        // A property write has no way to report; the list is empty then.
    }
}

} // namespace cw
