#include "tests/support/ScriptedDesktop.h"

#include <gtest/gtest.h>

namespace cw::test {

namespace {

QString iconName(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QStringLiteral("none");
    case Icon::Information:
        return QStringLiteral("information");
    case Icon::Question:
        return QStringLiteral("question");
    case Icon::Warning:
        return QStringLiteral("warning");
    case Icon::Critical:
        return QStringLiteral("critical");
    }
    return QStringLiteral("?");
}

QString buttonsName(Buttons buttons) {
    switch (buttons) {
    case Buttons::OK:
        return QStringLiteral("OK");
    case Buttons::OKCancel:
        return QStringLiteral("OK/Cancel");
    case Buttons::YesNo:
        return QStringLiteral("Yes/No");
    case Buttons::RetryCancel:
        return QStringLiteral("Retry/Cancel");
    }
    return QStringLiteral("?");
}

QString describeBox(const QString& text, Icon icon, Buttons buttons, const QString& title) {
    return QStringLiteral("box \"%1\" (%2, %3, title \"%4\")")
        .arg(text, iconName(icon), buttonsName(buttons), title);
}

// What a user who merely dismisses the box would answer.
Answer defaultAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::OK:
        return Answer::OK;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OKCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace

struct ScriptedDesktop::Expected {
    bool input = false;
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::OK;
    Answer answer = Answer::OK;
    std::optional<bool> beepBefore;
    std::function<void()> onShow;
    std::optional<QString> inputAnswer;

    QString describe() const {
        if (input)
            return QStringLiteral("input box \"%1\" (title \"%2\")").arg(text, title);
        return describeBox(text, icon, buttons, title);
    }
};

ScriptedDesktop::ScriptedDesktop() = default;

ScriptedDesktop::~ScriptedDesktop() {
    verify();
}

ScriptedDesktop& ScriptedDesktop::expectBox(const QString& text, Icon icon, Buttons buttons,
                                            const QString& title, Answer answer,
                                            std::optional<bool> beepBefore,
                                            std::function<void()> onShow) {
    Expected e;
    e.text = text;
    e.icon = icon;
    e.buttons = buttons;
    e.title = title;
    e.answer = answer;
    e.beepBefore = beepBefore;
    e.onShow = std::move(onShow);
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedDesktop& ScriptedDesktop::expectInput(const QString& prompt, const QString& title,
                                              std::optional<QString> answer) {
    Expected e;
    e.input = true;
    e.text = prompt;
    e.title = title;
    e.inputAnswer = std::move(answer);
    expected_.push_back(std::move(e));
    return *this;
}

ScriptedDesktop& ScriptedDesktop::expectFolder(const QString& answer) {
    folders_.push_back(answer);
    return *this;
}

Answer ScriptedDesktop::messageBox(const QString& text, Icon icon, Buttons buttons,
                                   const QString& title) {
    DesktopCall call{DesktopCall::Kind::Box, text, title.isEmpty() ? programTitle() : title};
    call.icon = icon;
    call.buttons = buttons;
    call.beepBefore = !calls_.empty() && calls_.back().kind == DesktopCall::Kind::Beep;
    calls_.push_back(call);

    const QString got = describeBox(call.text, icon, buttons, call.title);
    if (expected_.empty() || expected_.front().input || expected_.front().text != call.text ||
        expected_.front().icon != icon || expected_.front().buttons != buttons ||
        expected_.front().title != call.title) {
        unexpected_.push_back(QStringLiteral("unexpected %1; expected next: %2")
                                  .arg(got, expected_.empty() ? QStringLiteral("nothing")
                                                              : expected_.front().describe()));
        return defaultAnswer(buttons);
    }

    Expected e = std::move(expected_.front());
    expected_.erase(expected_.begin());
    if (e.beepBefore && *e.beepBefore != call.beepBefore)
        unexpected_.push_back(
            QStringLiteral("%1 came %2 a beep right before it")
                .arg(got, call.beepBefore ? QStringLiteral("with") : QStringLiteral("without")));
    if (e.onShow) {
        // The box may be shown from inside a C callback: nothing may escape from here.
        try {
            e.onShow();
        } catch (...) {
            unexpected_.push_back(QStringLiteral("the check run at %1 threw").arg(got));
        }
    }
    return e.answer;
}

std::optional<QString> ScriptedDesktop::inputBox(const QString& prompt, const QString& title,
                                                 const QString& defaultText, bool masked) {
    DesktopCall call{DesktopCall::Kind::Input, prompt, title.isEmpty() ? programTitle() : title};
    call.masked = masked;
    calls_.push_back(call);
    if (expected_.empty() || !expected_.front().input || expected_.front().text != prompt ||
        expected_.front().title != call.title) {
        unexpected_.push_back(
            QStringLiteral("unexpected input box \"%1\" (title \"%2\", default \"%3\"); "
                           "expected next: %4")
                .arg(prompt, call.title, defaultText,
                     expected_.empty() ? QStringLiteral("nothing") : expected_.front().describe()));
        return std::nullopt;
    }
    std::optional<QString> answer = expected_.front().inputAnswer;
    expected_.erase(expected_.begin());
    return answer;
}

void ScriptedDesktop::beep() {
    calls_.push_back(DesktopCall{DesktopCall::Kind::Beep, {}, {}});
}

void ScriptedDesktop::setBusy(bool busy) {
    DesktopCall call{DesktopCall::Kind::Busy, {}, {}};
    call.busy = busy;
    calls_.push_back(call);
    if (busy)
        ++busyDepth_;
    else if (busyDepth_ > 0)
        --busyDepth_;
}

QString ScriptedDesktop::chooseFolder(QWidget*, const QString& title) {
    calls_.push_back(DesktopCall{DesktopCall::Kind::Folder, {}, title});
    if (folders_.empty()) {
        unexpected_.push_back(QStringLiteral("unexpected folder chooser \"%1\"").arg(title));
        return {};
    }
    QString answer = folders_.front();
    folders_.erase(folders_.begin());
    return answer;
}

bool ScriptedDesktop::openUrl(const QString& url) {
    calls_.push_back(DesktopCall{DesktopCall::Kind::Url, url, {}});
    return urlResult_;
}

bool ScriptedDesktop::startProgram(const QString& program, const QStringList& args) {
    DesktopCall call{DesktopCall::Kind::Program, program, {}};
    if (!args.isEmpty())
        call.title = args.join(QLatin1Char(' '));
    calls_.push_back(call);
    return programResult_;
}

std::unique_ptr<QPrinter> ScriptedDesktop::choosePrinter(QWidget*, const kit::PrintOptions&) {
    calls_.push_back(DesktopCall{DesktopCall::Kind::Print, pdfPath_, {}});
    if (pdfPath_.isEmpty())
        return nullptr;
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdfPath_);
    return printer;
}

void ScriptedDesktop::help(HelpCommand command, int topic) {
    DesktopCall call{DesktopCall::Kind::Help, {}, {}};
    call.help = command;
    call.topic = topic;
    switch (command) {
    case HelpCommand::Contents:
        call.text = QStringLiteral("Contents");
        break;
    case HelpCommand::Close:
        call.text = QStringLiteral("Close");
        break;
    case HelpCommand::Topic:
        call.text = QString::number(topic);
        break;
    }
    calls_.push_back(call);
}

std::vector<DesktopCall> ScriptedDesktop::boxes() const {
    std::vector<DesktopCall> out;
    for (const auto& c : calls_)
        if (c.kind == DesktopCall::Kind::Box)
            out.push_back(c);
    return out;
}

int ScriptedDesktop::beepCount() const {
    int n = 0;
    for (const auto& c : calls_)
        n += c.kind == DesktopCall::Kind::Beep ? 1 : 0;
    return n;
}

int ScriptedDesktop::pending() const {
    return static_cast<int>(expected_.size() + folders_.size());
}

void ScriptedDesktop::verify() {
    for (const auto& u : unexpected_)
        ADD_FAILURE() << u.toStdString();
    for (const auto& e : expected_)
        ADD_FAILURE() << "expected " << e.describe().toStdString() << " never came";
    for (const auto& f : folders_)
        ADD_FAILURE() << "expected folder chooser (answer \"" << f.toStdString()
                      << "\") never came";
    unexpected_.clear();
    expected_.clear();
    folders_.clear();
}

} // namespace cw::test
