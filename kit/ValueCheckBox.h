#pragma once
// A check box with the classic three values: 0 unchecked, 1 checked, 2 grayed. Only a
// stored value can make it grayed; a click always goes between checked and unchecked.
#include <QCheckBox>

namespace kit {

class ValueCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

    int value() const {
        switch (checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Unchecked:
            break;
        }
        return 0;
    }
    // Values other than 0, 1 and 2 are refused (false) and change nothing.
    bool setValue(int v) {
        if (v < 0 || v > 2)
            return false;
        if (v == 2)
            setTristate(true);
        setCheckState(v == 2 ? Qt::PartiallyChecked : v == 1 ? Qt::Checked : Qt::Unchecked);
        if (v != 2)
            setTristate(false);
        return true;
    }

protected:
    void nextCheckState() override {
        const bool wasChecked = checkState() == Qt::Checked;
        setTristate(false);
        setCheckState(wasChecked ? Qt::Unchecked : Qt::Checked);
    }
};

} // namespace kit
