#pragma once
// The progress window: shows what is about to be backed up, runs the compression library in
// one call, follows its progress and reports the outcome.
#include "common/CProgressBar.h"
#include "common/PictureBox.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;

namespace cw {
class WindowKeys;
}

namespace cwb {

struct BackupProgram;

// The compression library's callback: progress text, the bar, and the library's questions
// and problems as message boxes. Answers 0, or CW_ZIP_ANSWER_STOP to events 12 and 13 once
// the user chose to stop the run.
short ZipCallback(int reserved, int action, const char* message);

class frmZIP : public QWidget {
    Q_OBJECT
public:
    explicit frmZIP(BackupProgram& program, QWidget* parent = nullptr);
    ~frmZIP() override;

    QLabel* lblInfo = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    cw::PictureBox* Picture1 = nullptr;
    QLabel* filettraited = nullptr;

    cw::CProgressBar& progressBar() { return bar_; }
    // The set this run writes (known once DoZIP has named it).
    const QString& setPath() const { return setPath_; }
    // Whether the last run ended with a complete new set and no error reported.
    bool completed() const { return completed_; }
    bool libraryReady() const { return libraryReady_; }
    // From Start Backup until the library returns.
    bool running() const { return running_; }
    // The user chose to stop the run; the library is told at its next event 12 or 13.
    bool stopRequested() const { return stopRequested_; }

    // One report of the library (the callback's work once the message is copied); the
    // callback's answer.
    short callback(int action, const QString& message);

public Q_SLOTS:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Picture1_Paint();
    void DoZIP();
    void maj();

protected:
    // During the run a close request asks whether to stop; the window stays until the
    // library has returned.
    void closeEvent(QCloseEvent* e) override;

private:
    // At most every kPaintInterval: what changed is painted and pending window events are
    // handled (moving, uncovering, the close request), from inside the library's call.
    void keepUp();
    // The progress label and the bar follow the library's last report when the window
    // paints, before any other event (a box above all) and when the run ends: setting them
    // for every file would cost more than storing the file.
    void catchUp();

    BackupProgram& program_;
    cw::WindowKeys* keys_ = nullptr;
    cw::CProgressBar bar_;
    QString setPath_;
    bool libraryReady_ = false;
    bool errorReported_ = false;
    bool completed_ = false;
    bool running_ = false;
    bool ran_ = false; // one run per program run
    bool stopRequested_ = false;
    bool asking_ = false;  // the stop question is up
    bool stopped_ = false; // the library stopped at the user's request
    bool barBehind_ = false;
    bool textBehind_ = false;
    QString lastProgress_; // the last message of event 12 or 13
    int lastProgressAction_ = 0;
    QElapsedTimer paced_; // since the window last kept up
};

} // namespace cwb
