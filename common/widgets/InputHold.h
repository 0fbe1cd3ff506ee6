#pragma once
// While a long run goes on in one window, the program's other windows take no input: no
// click, key, wheel or close request reaches them. Boxes opened during the run (they are not
// yet shown when the hold starts) and the running window itself behave as usual. Unlike
// giving the running window application modality, this needs no hide and show, so focus
// and the default button stay where they were.
#include <QObject>
#include <QPointer>
#include <vector>

class QWidget;

namespace cw {

class InputHold : public QObject {
public:
    // Holds every visible top-level window but `running`, until destroyed.
    explicit InputHold(QWidget* running);
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    bool holds(const QWidget* window) const;

protected:
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    std::vector<QPointer<QWidget>> held_;
};

} // namespace cw
