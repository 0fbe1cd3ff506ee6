#pragma once
// The plain-language summary of the profile in hand, before it is built; also what is
// printed.
#include "kit/KitApp.h"
#include <QDialog>

class QListWidget;
class QPushButton;

namespace kit {

class dlgConfirm : public QDialog {
    Q_OBJECT
public:
    dlgConfirm(KitApp& app, QWidget* parent = nullptr);

    QListWidget* lstConfirm = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    QStringList summary() const;

public Q_SLOTS:
    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    // Prints the summary and closes the window.
    void PrintINI();

protected:
    void reject() override;

private:
    void fillSummary();

    KitApp& app_;
};

} // namespace kit
