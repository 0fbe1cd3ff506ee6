#include "tests/road/WindowCheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <sstream>

namespace road {

namespace {

// The system's own controls; Qt's inner parts (scroll bars, viewports) are Qt's business.
bool isControl(const QWidget* w) {
    const QString name = w->objectName();
    return !w->isWindow() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

std::string name(const QWidget* w) {
    return w->objectName().toStdString();
}

std::string size(const QSize& s) {
    return std::to_string(s.width()) + "x" + std::to_string(s.height());
}

QString caption(QString text) {
    return text.remove(QLatin1Char('&'));
}

} // namespace

void WindowCheck::check(QWidget* window, const std::string& state) {
    QCoreApplication::processEvents();
    if (window->layout())
        window->layout()->activate();
    const std::string where = state + ": " + name(window) + " ";
    if (!window->isVisible()) {
        faults.push_back(where + "is not shown");
        return;
    }
    if (window->isWindow()) {
        const QScreen* screen = window->screen();
        if (screen && !screen->geometry().contains(window->frameGeometry()))
            faults.push_back(where + "is not wholly on its screen");
    }
    QList<QWidget*> parents{window};
    parents << window->findChildren<QWidget*>();
    for (QWidget* parent : parents) {
        if (parent != window && (!isControl(parent) || !parent->isVisibleTo(window)))
            continue;
        QList<QWidget*> shown;
        for (QObject* o : parent->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && isControl(w) && w->isVisibleTo(window))
                shown << w;
        }
        for (int i = 0; i < shown.size(); ++i) {
            QWidget* a = shown[i];
            checkText(a, where);
            if (!parent->rect().contains(a->geometry()))
                faults.push_back(where + name(a) + " reaches beyond " + name(parent));
            for (int j = i + 1; j < shown.size(); ++j) {
                QWidget* b = shown[j];
                if (a->geometry().intersects(b->geometry()) &&
                    !together_.contains(a->objectName() + '|' + b->objectName()))
                    faults.push_back(where + name(a) + " and " + name(b) + " overlap");
            }
        }
    }
}

void WindowCheck::checkText(QWidget* w, const std::string& where) {
    const QFontMetrics fm = w->fontMetrics();
    const std::string at = where + name(w) + " (" + size(w->size()) + ") ";
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty())
            return;
        if (l->wordWrap()) {
            if (l->heightForWidth(l->width()) > l->height())
                faults.push_back(at + "cuts its text off: it needs " +
                                 std::to_string(l->heightForWidth(l->width())) + " high");
        } else if (l->sizeHint().width() > l->width() || l->sizeHint().height() > l->height()) {
            faults.push_back(at + "cuts its text off: it needs " + size(l->sizeHint()));
        }
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        // Fusion asks 80 pixels of any captioned button; the caption itself needs less.
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        const QSize need(fm.horizontalAdvance(caption(b->text())) + icon + 8, fm.height() + 4);
        if (!b->text().isEmpty() && (need.width() > b->width() || need.height() > b->height()))
            faults.push_back(at + "cuts its caption off: it needs " + size(need));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (!b->text().isEmpty() &&
            (b->sizeHint().width() > b->width() || b->sizeHint().height() > b->height()))
            faults.push_back(at + "cuts its caption off: it needs " + size(b->sizeHint()));
    } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
        if (w->minimumSizeHint().height() > w->height())
            faults.push_back(at + "is too low to read: it needs " +
                             std::to_string(w->minimumSizeHint().height()) + " high");
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (fm.horizontalAdvance(caption(g->title())) + 16 > g->width())
            faults.push_back(at + "cuts its title off");
    }
}

void WindowCheck::checkOwned(QWidget* dialog, const std::string& state) {
    const QWindow* handle = dialog->windowHandle();
    if (!handle || !handle->transientParent())
        faults.push_back(state + ": " + name(dialog) + " may fall behind the window it serves");
}

std::string WindowCheck::report() const {
    std::ostringstream out;
    for (const auto& f : faults)
        out << "\n  " << f;
    return out.str();
}

} // namespace road
