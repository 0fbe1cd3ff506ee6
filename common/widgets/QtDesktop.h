#pragma once
// The production desktop service: QMessageBox, QInputDialog, QApplication::beep, ...
#include "common/platform/Desktop.h"

class QDialog;

namespace cw {

class QtDesktop : public DesktopService {
public:
    // helpDir: folder holding the help pages (index.html, topic20.html, topic130.html).
    explicit QtDesktop(QString helpDir = {});
    ~QtDesktop() override;

    Answer messageBox(const QString& text, Icon icon, Buttons buttons,
                      const QString& title = {}) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText = {}, bool masked = false) override;
    void beep() override;
    void setBusy(bool busy) override;
    QString chooseFolder(QWidget* owner, const QString& title) override;
    bool openUrl(const QString& url) override;
    bool startProgram(const QString& program, const QStringList& args = {}) override;
    void help(HelpCommand command, int topic = 0) override;

    // Runs a modal dialog the way the service runs its boxes: the window it returns to does
    // not count the return as an activation.
    static int execModal(QDialog& dialog);

private:
    QString helpDir_;
    int busyDepth_ = 0;
    QWidget* helpWindow_ = nullptr;
};

} // namespace cw
