#pragma once
// The restore selection window: lists the opened set while it loads, lets the user pick
// entries and whether to restore the stored directories, and asks an encrypted set's
// password.
#include "zip/include/cwunzip.h"

#include <QStringList>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace cwr {

struct RestoreContext;

class frmRestore : public QWidget {
    Q_OBJECT
public:
    explicit frmRestore(RestoreContext& ctx, QWidget* parent = nullptr);

    QLabel* lblFile = nullptr;
    QLabel* lblCount = nullptr;
    QListWidget* lstArchive = nullptr;
    QLabel* lblCountChecked = nullptr;
    QPushButton* cmdSelectAll = nullptr;
    QPushButton* cmdDeselectall = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 2> optResDir{}; // 0 "Yes", 1 "No"
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Picture1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QListWidget* lstFileSize = nullptr;
    QListWidget* lstDirHolding = nullptr;

    // "Yes" is selected in optResDir: the stored directories are restored.
    bool restoreStructure() const;

public Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void lstArchive_Click();
    void cmdSelectAll_Click();
    void cmdDeselectall_Click();
    void cmdOpen_Click();
    void cmdRestore_Click();
    void cmdCancel_Click();

    // One listing message from the library: into the plan, and shown.
    void listingMessage(const char* text);

private:
    void listSet();
    void separateDirectories();
    // The entries listed so far go into the lists in one step each.
    void addPendingLines();

    RestoreContext& ctx_;
    CwListSink sink_{};
    QStringList pendingFiles_, pendingSizes_; // listed entries not yet in the lists
    bool damageTold_ = false; // the damaged-set warning comes once, at the first activation
};

} // namespace cwr
