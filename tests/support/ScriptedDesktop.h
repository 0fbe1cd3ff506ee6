#pragma once
// The test double of the desktop service: a queue of expected boxes with their answers.
// Every call is recorded; a box the script did not expect is a recorded failure (answered
// with a default, never thrown, since boxes are also shown from inside library callbacks);
// verify() (run by the destructor) checks every expected box came and none unexpected did.
#include "common/platform/Desktop.h"
#include "kit/PrinterService.h"
#include <QPrinter>
#include <functional>
#include <optional>
#include <vector>

namespace cw::test {

struct DesktopCall {
    enum class Kind { Box, Input, Beep, Busy, Folder, Url, Program, Print, Help } kind;
    QString text;  // box text, input prompt, URL, program, help topic as text
    QString title; // the title as shown (the program title when the caller gave none)
    Icon icon = Icon::None;
    Buttons buttons = Buttons::OK;
    bool beepBefore = false; // a beep came right before this box (no other call between)
    bool busy = false;       // for Busy: on or off
    bool masked = false;     // for Input: what is typed shows as dots
    int topic = 0;           // for Help
    HelpCommand help = HelpCommand::Contents;
};

class ScriptedDesktop : public DesktopService, public kit::PrinterService {
public:
    ScriptedDesktop();
    ~ScriptedDesktop() override; // calls verify()

    // Expect a message box; answer it with `answer`. onShow runs when the box comes, before
    // it is answered (to check state mid-flow). beepBefore: required beep (true/false), or
    // std::nullopt to not check.
    ScriptedDesktop& expectBox(const QString& text, Icon icon, Buttons buttons,
                               const QString& title, Answer answer,
                               std::optional<bool> beepBefore = std::nullopt,
                               std::function<void()> onShow = {});
    // Expect an input box; std::nullopt answers Cancel.
    ScriptedDesktop& expectInput(const QString& prompt, const QString& title,
                                 std::optional<QString> answer);
    // Answers for the next folder chooser calls ("" = cancelled), in order.
    ScriptedDesktop& expectFolder(const QString& answer);
    // Result of openUrl / startProgram calls (default true).
    void setOpenUrlResult(bool ok) { urlResult_ = ok; }
    void setStartProgramResult(bool ok) { programResult_ = ok; }
    // choosePrinter returns a PDF printer writing to this file; empty = cancelled.
    void setPrintToPdf(const QString& pdfPath) { pdfPath_ = pdfPath; }

    Answer messageBox(const QString& text, Icon icon, Buttons buttons,
                      const QString& title = {}) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText = {}, bool masked = false) override;
    void beep() override;
    void setBusy(bool busy) override;
    QString chooseFolder(QWidget* owner, const QString& title) override;
    bool openUrl(const QString& url) override;
    bool startProgram(const QString& program, const QStringList& args = {}) override;
    std::unique_ptr<QPrinter> choosePrinter(QWidget* owner, const kit::PrintOptions& opts) override;
    void help(HelpCommand command, int topic = 0) override;

    const std::vector<DesktopCall>& calls() const { return calls_; }
    std::vector<DesktopCall> boxes() const; // only the message boxes
    int beepCount() const;
    bool busy() const { return busyDepth_ > 0; }
    // Expected items not yet consumed.
    int pending() const;
    // Records a gtest failure for each unexpected call and each expected one that never came;
    // then forgets them. Safe to call more than once.
    void verify();

private:
    struct Expected;
    std::vector<Expected> expected_;
    std::vector<QString> unexpected_;
    std::vector<DesktopCall> calls_;
    std::vector<QString> folders_;
    bool urlResult_ = true;
    bool programResult_ = true;
    QString pdfPath_;
    int busyDepth_ = 0;
};

} // namespace cw::test
