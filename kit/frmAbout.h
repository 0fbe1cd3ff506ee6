#pragma once
// The about box: description, version, the maker's contact details, the licence and the
// system information program.
#include "kit/KitApp.h"
#include <QWidget>

class QLabel;
class QPushButton;

namespace kit {

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(KitApp& app, QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblContact = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* cmdLicense = nullptr;

    // The first system information program found on PATH, or "" when there is none.
    static QString systemInfoProgram();
    void StartSysInfo();

public Q_SLOTS:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void cmdLicense_Click();

private:
    KitApp& app_;
};

} // namespace kit
