#include "common/widgets/WindowKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace cw {

bool pressable(const QAbstractButton* b) {
    return b && b->isVisible() && b->isEnabled();
}

WindowKeys::WindowKeys(QWidget* window, QPushButton* defaultButton, QAbstractButton* escapeButton)
    : QObject(window), window_(window), escape_(escapeButton) {
    setDefaultButton(defaultButton);
    window->installEventFilter(this);
}

void WindowKeys::setDefaultButton(QPushButton* b) {
    if (default_)
        default_->setDefault(false);
    default_ = b;
    if (b)
        b->setDefault(true);
}

bool WindowKeys::eventFilter(QObject* obj, QEvent* e) {
    if (obj != window_ || e->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(e);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // As in a dialog: the button with the focus first, so Enter never presses another.
        auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        if (focused && window_->isAncestorOf(focused) && pressable(focused)) {
            focused->click();
            return true;
        }
        if (pressable(default_)) {
            default_->click();
            return true;
        }
        return false;
    }
    case Qt::Key_Escape:
        if (pressable(escape_)) {
            escape_->click();
            return true;
        }
        if (escapeOtherwise) {
            escapeOtherwise();
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace cw
