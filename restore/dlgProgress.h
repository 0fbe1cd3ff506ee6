#pragma once
// The last window of cwr: starts the one extraction of the run, shows its progress,
// re-creates empty directories and reports the end. Every way out ends the program.
#include "common/CProgressBar.h"
#include "restore/ExtractionCallback.h"
#include "restore/PaintPacer.h"

#include <QDialog>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace cw {
class PictureBox;
}

namespace cwr {

struct RestoreContext;

class dlgProgress : public QDialog {
    Q_OBJECT
public:
    explicit dlgProgress(RestoreContext& ctx, QWidget* parent = nullptr);
    ~dlgProgress() override;

    QLabel* lblInfo = nullptr;
    QLabel* filettraited = nullptr;
    cw::PictureBox* Picture1 = nullptr;
    QPushButton* cmdStartRestore = nullptr;
    QPushButton* cmdCancel = nullptr;
    QListWidget* lstDirectories = nullptr;

    cw::CProgressBar& progressBar();
    // The bar follows the restored count.
    void progressUpdate();
    // The activity line shows text.
    void showActivity(const QString& text);
    // The callback is through with one event. During a run what changed is shown, and
    // pending events handled, at most about 30 times a second; otherwise at once.
    void eventHandled();
    // Shows the activity line and the bar as they are now.
    void refreshNow();
    // The library is working: closing the window asks whether to stop the run.
    bool running() const { return running_; }
    // The user chose to stop the run; the callback tells the library at its next chance.
    bool stopRequested() const { return stopRequested_; }

public Q_SLOTS:
    void Form_Load();
    void cmdStartRestore_Click();
    void cmdCancel_Click();
    void Picture1_Paint();

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void extract();
    void askToStop();

    RestoreContext& ctx_;
    std::unique_ptr<cw::CProgressBar> bar_;
    ExtractionCallback callback_;
    bool running_ = false;
    PaintPacer pacer_;
    QString activity_;
    bool activityPending_ = false, barPending_ = false;
    bool stopRequested_ = false, asking_ = false, pumping_ = false;
};

} // namespace cwr
