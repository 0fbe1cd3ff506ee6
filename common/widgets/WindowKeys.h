#pragma once
// Enter and Escape for a window that is no QDialog (QDialog does this by itself): Enter
// presses the push button that has the focus, else the window's default button; Escape
// presses its way out. Keys a control uses itself (Enter in a directory list) never get here.
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace cw {

class WindowKeys : public QObject {
public:
    // The default button is marked as such; either button may be null.
    WindowKeys(QWidget* window, QPushButton* defaultButton, QAbstractButton* escapeButton);

    void setDefaultButton(QPushButton* b);
    // Runs when Escape comes while the escape button is hidden or disabled.
    std::function<void()> escapeOtherwise;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QWidget* window_;
    QPointer<QPushButton> default_;
    QPointer<QAbstractButton> escape_;
};

// Whether a button can be pressed now: shown in its window and enabled.
bool pressable(const QAbstractButton* b);

} // namespace cw
