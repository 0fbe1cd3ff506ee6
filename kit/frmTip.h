#pragma once
// The tip of the day, shown at start-up unless the developer switched it off.
#include "kit/KitApp.h"
#include <QDialog>
#include <QStringList>
#include <random>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace kit {

class frmTip : public QDialog {
    Q_OBJECT
public:
    frmTip(KitApp& app, QWidget* parent = nullptr);

    QFrame* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblTipText = nullptr;
    QCheckBox* chkLoadTipsAtStartup = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;

    // Fills the tip list from sFile and shows a random tip; false when there is no file.
    bool LoadTips(const QString& sFile);
    void DisplayCurrentTip();
    const QStringList& tips() const { return tips_; }
    int currentTip() const { return currentTip_; }

public Q_SLOTS:
    void Form_Load();
    void cmdNextTip_Click();
    void cmdOK_Click();
    void chkLoadTipsAtStartup_Click();

protected:
    void reject() override;

private:
    void nextTip();

    KitApp& app_;
    QStringList tips_;
    int currentTip_ = 0;
    std::mt19937 random_;
};

} // namespace kit
