#include "kit/dlgConfirm.h"
#include "common/platform/Desktop.h"
#include "common/widgets/Placement.h"
#include "kit/MDIMainForm.h"
#include "kit/PrinterService.h"
#include "kit/ValueCheckBox.h"
#include "kit/frmConfig.h"
#include "kit/frmOptions.h"
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kit {

dlgConfirm::dlgConfirm(KitApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("dlgConfirm"));
    lstConfirm = new QListWidget(this);
    lstConfirm->setObjectName(QStringLiteral("lstConfirm"));
    QPalette p = lstConfirm->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    lstConfirm->setPalette(p);
    OKButton = new QPushButton(QStringLiteral("Build Profile"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    OKButton->setMinimumHeight(56);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstConfirm, 1);
    layout->addLayout(buttons);
    connect(OKButton, &QPushButton::clicked, this, &dlgConfirm::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgConfirm::CancelButton_Click);
    resize(640, 420);
}

void dlgConfirm::Form_Load() {
    cw::centreOnScreen(this);
    setWindowTitle(app_.profile.description + QStringLiteral(" Profile Confirmation"));
    fillSummary();
}

QStringList dlgConfirm::summary() const {
    QStringList out;
    for (int i = 0; i < lstConfirm->count(); ++i)
        out << lstConfirm->item(i)->text();
    return out;
}

void dlgConfirm::fillSummary() {
    lstConfirm->clear();
    lstConfirm->addItem(QStringLiteral("[Directories/Files]"));
    QPalette p = lstConfirm->palette();
    p.setColor(QPalette::Text, QColor(255, 0, 0));
    lstConfirm->setPalette(p);
    lstConfirm->addItem(QStringLiteral("All files in the Application's Directory"));
    if (app_.main) {
        if (frmConfig* editor = app_.main->loadedConfig())
            lstConfirm->addItems(editor->items());
    }
    lstConfirm->addItem(QString());
    lstConfirm->addItem(QStringLiteral("[Configuration]"));
    if (!app_.main)
        return;
    const frmOptions* o = app_.main->options();
    auto pick = [](bool on, const char* yes, const char* no) {
        return QLatin1String(on ? yes : no);
    };
    lstConfirm->addItem(pick(o->chkEncrypt->value() != 0, "Encryption:  YES", "Encryption:  NO"));
    lstConfirm->addItem(pick(o->chkEmpDir->value() != 0, "Store Empty Directories in Set",
                             "Do Not Store Empty Directories in Set"));
    lstConfirm->addItem(
        pick(o->chkHidden->value() == 1, "Backup Hidden files", "Do Not Backup Hidden files"));
    lstConfirm->addItem(
        pick(o->chkLongFile->value() == 1, "Use Long File Names", "Use DOS 8.3 Filenames"));
    lstConfirm->addItem(pick(o->chkSaveStruc->value() == 1, "Save the Relative Directory Structure",
                             "Do not save the Relative Directory Structure"));
    const char* levels[5] = {"No", "Minimum", nullptr, "Normal", "Maximum"};
    const int comp = o->selectedCompression();
    if (comp >= 0)
        lstConfirm->addItem(QLatin1String(levels[comp]) +
                            QStringLiteral(" Compression will be used"));
    if (o->optYesDBT->isChecked())
        lstConfirm->addItem(QStringLiteral("Fennick Technologies will provide Support."));
    else if (o->optWebsite->isChecked())
        lstConfirm->addItem(QStringLiteral("Developer will provide support via the web at: ") +
                            o->txtURL->text());
    else
        lstConfirm->addItem(QStringLiteral("Developer will provide support via the phone at: ") +
                            o->txtPhone->text());
    lstConfirm->addItem(pick(o->OptYes->isChecked(),
                             "Prompt screen WILL be displayed upon launching cwb.",
                             "Prompt screen WILL NOT be displayed upon launching cwb."));
    lstConfirm->addItem(pick(o->chkChngComp->value() == 1,
                             "User will have the ability to Change compression level.",
                             "User WILL NOT have the ability to Change compression level."));
}

void dlgConfirm::OKButton_Click() {
    if (!app_.main)
        return;
    frmConfig* editor = app_.main->loadedConfig();
    if (!editor) {
        // No editor, so no profile location was chosen.
        app_.desktop.beep();
        app_.desktop.messageBox(
            QStringLiteral("You must first choose 'New Profile' before you can Build the Profile."),
            cw::Icon::Warning, cw::Buttons::OK, QStringLiteral("Caskwell"));
        return;
    }
    editor->setBuildBusy(true);
    editor->KillNew();
}

void dlgConfirm::CancelButton_Click() {
    unloadWindow(app_, this);
}

void dlgConfirm::reject() {
    CancelButton_Click();
}

void dlgConfirm::PrintINI() {
    PrintOptions options;
    options.hidePrintToFile = true;
    options.disableSelection = true;
    std::unique_ptr<QPrinter> printer = app_.printer.choosePrinter(this, options);
    if (!printer) {
        unloadWindow(app_, this);
        return;
    }
    hide();
    QString path;
    if (app_.main) {
        if (frmConfig* editor = app_.main->loadedConfig())
            path = editor->lblDirforINI->text();
    }
    const QString date =
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    QPainter painter;
    if (painter.begin(printer.get())) {
        const QRect page = painter.viewport();
        int y = 0;
        auto line = [&](const QString& text, int points) {
            QFont f = painter.font();
            f.setPointSize(points);
            painter.setFont(f);
            const int height = painter.fontMetrics().lineSpacing();
            if (y + height > page.height() && y > 0) {
                printer->newPage();
                y = 0;
            }
            painter.drawText(QRect(0, y, page.width(), height), Qt::AlignLeft | Qt::TextSingleLine,
                             text);
            y += height;
        };
        line(QStringLiteral("Caskwell Profile"), 28);
        line(path, 12);
        line(QStringLiteral("Printed: ") + date, 12);
        line(QString(), 12);
        for (const QString& text : summary())
            line(text, 16);
        painter.end();
    }
    unloadWindow(app_, this);
}

} // namespace kit
