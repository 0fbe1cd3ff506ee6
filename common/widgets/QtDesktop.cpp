#include "common/widgets/QtDesktop.h"

#include "common/widgets/Activation.h"
#include "common/widgets/Placement.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace cw {

namespace {

// Keeps the activation watchers quiet about the re-activation a modal box's closing causes.
struct ModalBoxScope {
    ModalBoxScope() { ActivationWatcher::beginModalBox(); }
    ~ModalBoxScope() { ActivationWatcher::endModalBox(); }
    ModalBoxScope(const ModalBoxScope&) = delete;
    ModalBoxScope& operator=(const ModalBoxScope&) = delete;
};

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// The window a box belongs to, so that it stays in front of it: the active window, else a
// visible dialog of the program (one shown a moment ago may not be active yet), else any
// visible window.
QWidget* boxOwner() {
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    QWidget* owner = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowType() == Qt::ToolTip || w->windowType() == Qt::Popup)
            continue;
        if (w->windowType() == Qt::Dialog)
            return w;
        if (!owner)
            owner = w;
    }
    return owner;
}

} // namespace

QtDesktop::QtDesktop(QString helpDir) : helpDir_(std::move(helpDir)) {}

QtDesktop::~QtDesktop() {
    while (busyDepth_ > 0)
        setBusy(false);
    delete helpWindow_;
}

Answer QtDesktop::messageBox(const QString& text, Icon icon, Buttons buttons,
                             const QString& title) {
    QMessageBox box(qtIcon(icon), title.isEmpty() ? programTitle() : title, text,
                    QMessageBox::NoButton, boxOwner());
    // The first button is the default, as on the classic box; Escape takes the way out.
    QPushButton* first = nullptr;
    QPushButton* second = nullptr;
    switch (buttons) {
    case Buttons::OK:
        first = box.addButton(QMessageBox::Ok);
        box.setEscapeButton(first);
        break;
    case Buttons::OKCancel:
        first = box.addButton(QMessageBox::Ok);
        second = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(second);
        break;
    case Buttons::YesNo:
        first = box.addButton(QMessageBox::Yes);
        second = box.addButton(QMessageBox::No);
        break;
    case Buttons::RetryCancel:
        first = box.addButton(QMessageBox::Retry);
        second = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(second);
        break;
    }
    box.setDefaultButton(first);
    {
        ModalBoxScope scope;
        box.exec();
    }
    const bool firstChosen = box.clickedButton() == first;
    switch (buttons) {
    case Buttons::OK:
        return Answer::OK;
    case Buttons::OKCancel:
        return firstChosen ? Answer::OK : Answer::Cancel;
    case Buttons::YesNo:
        return firstChosen ? Answer::Yes : Answer::No;
    case Buttons::RetryCancel:
        return firstChosen ? Answer::Retry : Answer::Cancel;
    }
    return Answer::Cancel;
}

std::optional<QString> QtDesktop::inputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText, bool masked) {
    QInputDialog dlg(boxOwner());
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setWindowTitle(title.isEmpty() ? programTitle() : title);
    dlg.setLabelText(prompt);
    dlg.setTextValue(defaultText);
    if (masked)
        dlg.setTextEchoMode(QLineEdit::Password);
    int result;
    {
        ModalBoxScope scope;
        result = dlg.exec();
    }
    if (result != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

void QtDesktop::beep() {
    QApplication::beep();
}

void QtDesktop::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busyDepth_;
    } else if (busyDepth_ > 0) {
        // Unbalanced "off" calls are ignored: they must not pop a cursor someone else set.
        QApplication::restoreOverrideCursor();
        --busyDepth_;
    }
}

QString QtDesktop::chooseFolder(QWidget* owner, const QString& title) {
    ModalBoxScope scope;
    return QFileDialog::getExistingDirectory(owner, title);
}

bool QtDesktop::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

bool QtDesktop::startProgram(const QString& program, const QStringList& args) {
    return QProcess::startDetached(program, args);
}

int QtDesktop::execModal(QDialog& dialog) {
    ModalBoxScope scope;
    return dialog.exec();
}

void QtDesktop::help(HelpCommand command, int topic) {
    if (command == HelpCommand::Close) {
        if (helpWindow_)
            helpWindow_->close();
        return;
    }
    if (!helpWindow_) {
        helpWindow_ = new QWidget(nullptr, Qt::Window);
        helpWindow_->setObjectName(QStringLiteral("HelpWindow"));
        helpWindow_->setWindowTitle(programTitle() + QStringLiteral(" Help"));
        auto* browser = new QTextBrowser(helpWindow_);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(helpWindow_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        for (const QKeySequence& key :
             {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
            auto* close = new QShortcut(key, helpWindow_);
            QObject::connect(close, &QShortcut::activated, helpWindow_, &QWidget::close);
        }
        helpWindow_->resize(640, 480);
        // Wholly on the screen, whatever the window manager would pick.
        centreOnScreen(helpWindow_);
    }
    auto* browser = helpWindow_->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    const QString page = command == HelpCommand::Contents
                             ? QStringLiteral("index.html")
                             : QStringLiteral("topic%1.html").arg(topic);
    const QString file = QDir(helpDir_).filePath(page);
    if (!helpDir_.isEmpty() && QFile::exists(file)) {
        browser->setSearchPaths({helpDir_});
        browser->setSource(QUrl::fromLocalFile(file));
    } else {
        browser->setPlainText(QStringLiteral("The help page \"%1\" was not found.\n\nLooked in: %2")
                                  .arg(page, helpDir_.isEmpty()
                                                 ? QStringLiteral("(no help folder)")
                                                 : QDir::toNativeSeparators(helpDir_)));
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

} // namespace cw
