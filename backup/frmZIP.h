#pragma once
// The progress window: shows what is about to be backed up, runs the compression library in
// one call, follows its progress and reports the outcome.
#include "common/CProgressBar.h"
#include "common/PictureBox.h"

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
// and problems as message boxes. Always answers 0.
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

    // One report of the library (the callback's work once the message is copied).
    void callback(int action, const QString& message);

public Q_SLOTS:
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Picture1_Paint();
    void DoZIP();
    void maj();

private:
    BackupProgram& program_;
    cw::WindowKeys* keys_ = nullptr;
    cw::CProgressBar bar_;
    QString setPath_;
    bool libraryReady_ = false;
    bool errorReported_ = false;
    bool completed_ = false;
};

} // namespace cwb
