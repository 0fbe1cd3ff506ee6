#include "common/dlgNewFolder.h"

#include "common/platform/Desktop.h"
#include "common/platform/Errors.h"
#include "common/platform/Files.h"
#include "common/widgets/Activation.h"
#include "common/widgets/DirListBox.h"
#include "common/widgets/Placement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cw {

namespace {

const QString kTitle = QStringLiteral("Caskwell");

} // namespace

dlgNewFolder::dlgNewFolder(DesktopService& desktop, DirListBox& list, QWidget* parent)
    : QDialog(parent), desktop_(desktop), list_(list) {
    setObjectName(QStringLiteral("dlgNewFolder"));
    setWindowTitle(kTitle);

    lblNewFolder = new QLabel(this);
    lblNewFolder->setObjectName(QStringLiteral("lblNewFolder"));
    lblNewFolder->setWordWrap(true);
    lblNewFolder->setFixedWidth(twipsToPixelsX(4200));
    txtNameOfFolder = new QLineEdit(this);
    txtNameOfFolder->setObjectName(QStringLiteral("txtNameOfFolder"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(lblNewFolder);
    left->addWidget(txtNameOfFolder);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(OKButton);
    right->addWidget(CancelButton);
    right->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(left, 1);
    outer->addLayout(right);

    connect(OKButton, &QPushButton::clicked, this, &dlgNewFolder::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgNewFolder::CancelButton_Click);
    // Activate: each time the dialog becomes active the name field takes the focus.
    connect(new ActivationWatcher(this), &ActivationWatcher::activated, txtNameOfFolder,
            [this] { txtNameOfFolder->setFocus(); });
    // The dialog works on the caller's list; without it there is nothing left to do.
    connect(&list, &QObject::destroyed, this, &QWidget::close);

    // Load.
    lblNewFolder->setText(QStringLiteral("Enter the Name of the New folder you're placing under ") +
                          QLatin1Char('\'') + list_.path() + QLatin1Char('\''));
    setFixedSize(sizeHint());
    centreOnScreen(this);
}

dlgNewFolder* dlgNewFolder::open(DesktopService& desktop, DirListBox& list, QWidget* parent,
                                 bool modal) {
    auto* dlg = new dlgNewFolder(desktop, list, parent);
    if (modal) {
        dlg->setModal(true);
        dlg->exec();
        delete dlg;
        return nullptr;
    }
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setModal(false);
    dlg->show();
    return dlg;
}

void dlgNewFolder::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    centreOnScreen(this);
}

void dlgNewFolder::OKButton_Click() {
    const QString name = txtNameOfFolder->text(); // exactly as typed
    static const QString invalid = QStringLiteral("\\/:*?<>|");
    for (const QChar c : name) {
        if (invalid.contains(c)) {
            desktop_.beep();
            desktop_.messageBox(
                QStringLiteral(
                    "You've entered an invalid character '/\\:*?<>|' in your folder name."),
                Icon::Warning, Buttons::OK, kTitle);
            txtNameOfFolder->setFocus();
            return;
        }
    }

    const QString parent = list_.path();
    const QString newPath =
        parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
    try {
        files::makeDirectory(newPath.toStdString());
        list_.setPath(newPath);
    } catch (const PlatformError& e) {
        if (e.number() == kErrPathFileAccess) {
            desktop_.beep();
            desktop_.messageBox(
                QStringLiteral("This folder already exists.  Click 'OK' and type a different "
                               "folder name or ") +
                    QStringLiteral("choose a different directory."),
                Icon::Warning, Buttons::OK, kTitle);
            txtNameOfFolder->setFocus();
        }
        return;
    } catch (const std::exception&) {
        return; // any other failure leaves the dialog open without a word
    }
    accept();
}

void dlgNewFolder::CancelButton_Click() {
    reject();
}

} // namespace cw
