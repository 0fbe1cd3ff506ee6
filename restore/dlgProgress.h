#pragma once
// The last window of cwr: starts the one extraction of the run, shows its progress,
// re-creates empty directories and reports the end. Every way out ends the program.
#include "common/CProgressBar.h"
#include "restore/ExtractionCallback.h"

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
    // The library is working: the window cannot be closed.
    bool running() const { return running_; }

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

    RestoreContext& ctx_;
    std::unique_ptr<cw::CProgressBar> bar_;
    ExtractionCallback callback_;
    bool running_ = false;
};

} // namespace cwr
