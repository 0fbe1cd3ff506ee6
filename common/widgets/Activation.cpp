#include "common/widgets/Activation.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace cw {

namespace {

// Modal boxes up right now, program-wide (boxes nest: a box from inside a box's handler).
int modalBoxes = 0;

} // namespace

ActivationWatcher::ActivationWatcher(QWidget* w) : QObject(w), w_(w) {
    if (w_)
        w_->installEventFilter(this);
}

void ActivationWatcher::beginModalBox() {
    ++modalBoxes;
}

void ActivationWatcher::endModalBox() {
    if (modalBoxes > 0)
        --modalBoxes;
}

bool ActivationWatcher::eventFilter(QObject* obj, QEvent* e) {
    if (obj != w_)
        return QObject::eventFilter(obj, e);
    switch (e->type()) {
    case QEvent::Show:
        // The activation that follows a show is the same event; do not report it twice.
        leftForOwnWindow_ = leftForBox_ = false;
        Q_EMIT activated();
        break;
    case QEvent::WindowDeactivate:
        // Qt has already made the new window active: none means another program took over.
        leftForOwnWindow_ = QApplication::activeWindow() != nullptr;
        leftForBox_ = modalBoxes > 0;
        break;
    case QEvent::WindowActivate: {
        const bool fromOwn = leftForOwnWindow_;
        const bool fromBox = leftForBox_;
        leftForOwnWindow_ = leftForBox_ = false;
        if (fromOwn && !fromBox)
            Q_EMIT activated();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(obj, e);
}

} // namespace cw
