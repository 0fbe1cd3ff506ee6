#include "tests/support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QWidget>

namespace cw::test {

ModalAnswerer::ModalAnswerer(QString window, QString label, std::deque<QString> b)
    : buttons(std::move(b)), window_(std::move(window)), label_(std::move(label)) {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start();
}

void ModalAnswerer::poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != window_ || !w->isVisible())
            continue;
        auto* info = w->findChild<QLabel*>(label_);
        prompts.push_back(info ? info->text() : QString());
        const QString name = buttons.empty() ? QString() : buttons.front();
        if (!buttons.empty())
            buttons.pop_front();
        auto* button = name.isEmpty() ? nullptr : w->findChild<QAbstractButton*>(name);
        if (button)
            button->click();
        else
            w->close();
        return;
    }
}

} // namespace cw::test
