#include "common/widgets/InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace cw {

InputHold::InputHold(QWidget* running) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != running && w->isVisible())
            held_.emplace_back(w);
    qApp->installEventFilter(this);
}

InputHold::~InputHold() {
    qApp->removeEventFilter(this);
}

bool InputHold::holds(const QWidget* window) const {
    return std::any_of(held_.begin(), held_.end(),
                       [window](const QPointer<QWidget>& w) { return w == window; });
}

bool InputHold::eventFilter(QObject* obj, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Close:
        break;
    default:
        return false;
    }
    const auto* widget = qobject_cast<const QWidget*>(obj);
    return widget && holds(widget->window());
}

} // namespace cw
