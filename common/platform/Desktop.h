#pragma once
// Every message box, input box, beep, busy pointer, folder chooser, web address, program
// start and help request goes through one DesktopService (cwkit's print dialog goes through
// kit/PrinterService.h). Production uses
// QtDesktop; tests use a scripted service that records each call.
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QWidget;

namespace cw {

enum class Icon { None, Information, Question, Warning, Critical };
enum class Buttons { OK, OKCancel, YesNo, RetryCancel };
enum class Answer { OK, Cancel, Yes, No, Retry };

enum class HelpCommand { Contents = 3, Topic = 1, Close = 2 };

class DesktopService {
public:
    virtual ~DesktopService() = default;

    // A modal message box. An empty title means the program's title.
    virtual Answer messageBox(const QString& text, Icon icon, Buttons buttons,
                              const QString& title = {}) = 0;
    // A modal input box; std::nullopt when cancelled. A masked box (a password) shows
    // what is typed as dots.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText = {},
                                            bool masked = false) = 0;
    virtual void beep() = 0;
    // Busy (hourglass) pointer on or off for the whole application.
    virtual void setBusy(bool busy) = 0;
    // Folder chooser; "" when cancelled.
    virtual QString chooseFolder(QWidget* owner, const QString& title) = 0;
    virtual bool openUrl(const QString& url) = 0;
    // Start a program without waiting for it; false when it cannot be started.
    virtual bool startProgram(const QString& program, const QStringList& args = {}) = 0;
    // Help window of the kit: contents, a topic by context number, or close.
    virtual void help(HelpCommand command, int topic = 0) = 0;

    const QString& programTitle() const { return programTitle_; }
    void setProgramTitle(const QString& title) { programTitle_ = title; }

private:
    QString programTitle_ = QStringLiteral("Caskwell");
};

} // namespace cw
