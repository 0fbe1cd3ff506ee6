#pragma once
// Shown while a backup set is being listed.
#include <QDialog>

class QLabel;

namespace cwr {

class dlgWait : public QDialog {
    Q_OBJECT
public:
    explicit dlgWait(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;

public Q_SLOTS:
    void Form_Load();
};

} // namespace cwr
