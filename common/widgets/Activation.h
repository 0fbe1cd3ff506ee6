#pragma once
// "Each time the window becomes active": the window is shown, or the user comes back to it
// from another window of the same program. Coming back from a message or input box does
// not count (Qt re-activates the window then), else a question asked on activation would
// ask again forever after Cancel.
#include <QObject>

class QWidget;

namespace cw {

class ActivationWatcher : public QObject {
    Q_OBJECT
public:
    // Watches w; emits activated() as described above.
    explicit ActivationWatcher(QWidget* w);

    // The desktop service marks the time a modal box is up, so that the activation that
    // follows its closing is not reported.
    static void beginModalBox();
    static void endModalBox();

Q_SIGNALS:
    void activated();

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    QWidget* w_;
    bool leftForOwnWindow_ = false; // last deactivation went to another window of ours
    bool leftForBox_ = false;       // ... and that window was a modal box
};

} // namespace cw
