#pragma once
// The preferences of the profile in hand, and the developer's own defaults in the
// settings store. Shown modally; hiding keeps every value for the next build.
#include "common/profile/Profile.h"
#include "kit/KitApp.h"
#include <QDialog>
#include <array>
#include <cstdint>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace kit {

class ValueCheckBox;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(KitApp& app, QWidget* parent = nullptr);

    QTabBar* tbsOptions = nullptr;
    std::array<QWidget*, 3> picOptions{};
    ValueCheckBox* chkLongFile = nullptr;
    ValueCheckBox* chkEncrypt = nullptr;
    ValueCheckBox* chkEmpDir = nullptr;
    ValueCheckBox* chkHidden = nullptr;
    ValueCheckBox* chkSaveStruc = nullptr;
    QGroupBox* Frame1 = nullptr;
    // Indexes 0, 1, 3 and 4; there is no member 2.
    std::array<QRadioButton*, 5> optComp{};
    ValueCheckBox* chkChngComp = nullptr;
    QLabel* lblSupport = nullptr;
    QRadioButton* optYesDBT = nullptr;
    QRadioButton* optNoDBT = nullptr;
    QGroupBox* frmSptOption = nullptr;
    QRadioButton* optWebsite = nullptr;
    QRadioButton* optPhone = nullptr;
    QLineEdit* txtURL = nullptr;
    QLineEdit* txtPhone = nullptr;
    QLabel* lblStartup = nullptr;
    QGroupBox* frmStartup = nullptr;
    QRadioButton* OptYes = nullptr;
    QRadioButton* optNo = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;

    std::int16_t iComp = 0;

    // The selected compression member (0, 1, 3 or 4), or -1 when none is selected.
    int selectedCompression() const;
    // The level the selected member stands for; nothing when none is selected.
    std::optional<cw::profile::Compression> selectedLevel() const;
    // Shows the window modally; returns when it is hidden.
    void showModal();
    // The maker-number check: false when the support telephone is the maker's own.
    bool makerNumberCheck() const;

public Q_SLOTS:
    void Form_Load();
    void tbsOptions_Click();
    void nextTab();
    void optYesDBT_Click();
    void optNoDBT_Click();
    void optWebsite_Click();
    void optPhone_Click();
    void optComp_Click(int index);
    void checkBox_Click();
    void cmdDefault_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    void reject() override;

private:
    void buildSettingsPanel(QWidget* panel);
    void buildSupportPanel(QWidget* panel);
    void buildStartupPanel(QWidget* panel);
    void loadFromStore();
    void loadFromProfile();
    void select(QRadioButton* option);
    void setBoxBackground(bool white);
    void refusePhone();

    KitApp& app_;
    int shownTab_ = 0;
};

} // namespace kit
