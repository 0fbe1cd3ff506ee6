#include "common/widgets/DirListBox.h"

#include "common/platform/Drives.h"
#include "common/platform/Errors.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <string>

namespace cw {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 14;

// Indents each item by its depth in the tree, as the classic control draws it.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        o.rect.adjust(index.data(kLevelRole).toInt() * kIndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, o, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.rwidth() += index.data(kLevelRole).toInt() * kIndentPixels;
        return s;
    }
};

QString normalised(const QString& dir) {
    QString p = QDir::cleanPath(QDir(dir).absolutePath());
    return p.isEmpty() ? QStringLiteral("/") : p;
}

bool isMountPoint(const std::string& p) {
    return drives::driveOf(p) == p;
}

} // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item)
            openItem(item);
    });
    // The classic control starts on the current directory.
    try {
        setPath(QDir::currentPath());
    } catch (const PlatformError&) {
        try {
            setPath(QStringLiteral("/"));
        } catch (const PlatformError&) {
            path_ = QStringLiteral("/");
        }
    }
}

QString DirListBox::path() const {
    return path_;
}

void DirListBox::setPath(const QString& dir) {
    std::string target = normalised(dir).toStdString();
    // A drive named by its mount point means that drive's current directory, as a window's
    // drive list hands it over; the mount point itself is reached by opening its item.
    if (isMountPoint(target)) {
        const auto it = remembered_.find(target);
        if (it != remembered_.end() && files::isDirectory(it->second))
            target = it->second;
    }
    showDir(target);
}

void DirListBox::showDir(const std::string& target) {
    drives::checkAvailable(drives::driveOf(target));
    if (!files::isDirectory(target))
        throw PlatformError(kErrPathNotFound, "Path not found: " + target);
    const auto subdirs = files::listDirectories(target);

    const QString newPath = QString::fromStdString(target);
    fill(newPath, subdirs);
    remembered_[drives::driveOf(target)] = target;
    if (newPath != path_) {
        path_ = newPath;
        Q_EMIT pathChanged(path_);
    }
}

void DirListBox::fill(const QString& dir, const std::vector<std::string>& subdirs) {
    clear();
    QStringList chain;
    for (QString p = dir;; p = QString::fromStdString(paths::parent(p.toStdString()))) {
        chain.prepend(p);
        if (p == QLatin1String("/") || chain.size() > 4096)
            break;
    }
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int level = 0;
    for (const QString& p : chain) {
        const QString name =
            p == QLatin1String("/") ? p : QString::fromStdString(paths::fileName(p.toStdString()));
        auto* item = new QListWidgetItem(open, name, this);
        item->setData(kPathRole, p);
        item->setData(kLevelRole, level++);
    }
    const int current = count() - 1;
    for (const auto& s : subdirs) {
        auto* item = new QListWidgetItem(closed, QString::fromStdString(s), this);
        item->setData(kPathRole, QString::fromStdString(paths::join(dir.toStdString(), s)));
        item->setData(kLevelRole, level);
    }
    setCurrentRow(current);
}

void DirListBox::openItem(QListWidgetItem* item) {
    try {
        showDir(normalised(item->data(kPathRole).toString()).toStdString());
    } catch (const PlatformError&) {
        // The directory went away or cannot be read: show what is there now.
        refreshList();
    }
}

void DirListBox::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem()) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(e);
}

void DirListBox::refreshList() {
    // Fall back to the nearest ancestor that still exists.
    std::string p = path_.toStdString();
    for (int guard = 0; guard < 4096; ++guard) {
        try {
            showDir(p);
            return;
        } catch (const PlatformError&) {
            if (paths::isRoot(p))
                break;
            p = paths::parent(p);
        }
    }
    clear();
}

QStringList DirListBox::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->data(kPathRole).toString();
    return out;
}

void DirListBox::setPathProperty(const QString& dir) {
    try {
        setPath(dir);
    } catch (const PlatformError&) {
        // A property write has no way to report; the list keeps its path.
    }
}

} // namespace cw
