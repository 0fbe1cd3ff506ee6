#include "restore/dlgReplace.h"

#include "common/platform/Desktop.h"
#include "common/widgets/Placement.h"
#include "restore/RestoreContext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace cwr {

dlgReplace::dlgReplace(RestoreContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("dlgReplace"));
    setWindowTitle(QStringLiteral("Caskwell"));
    setModal(true);

    auto make = [this](auto* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    Picture1 = make(new QLabel(this), "Picture1");
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    lblReplaceInfo = make(new QLabel(this), "lblReplaceInfo");
    lblReplaceInfo->setWordWrap(true);
    cmdReplace = make(new QPushButton(QStringLiteral("Replace"), this), "cmdReplace");
    cmdReplaceAll = make(new QPushButton(QStringLiteral("Replace All"), this), "cmdReplaceAll");
    cmdSkip = make(new QPushButton(QStringLiteral("Skip"), this), "cmdSkip");
    cmdCancelRestore =
        make(new QPushButton(QStringLiteral("Cancel Restore"), this), "cmdCancelRestore");

    auto* top = new QHBoxLayout;
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addWidget(lblReplaceInfo, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdReplace);
    buttons->addWidget(cmdReplaceAll);
    buttons->addWidget(cmdSkip);
    buttons->addWidget(cmdCancelRestore);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(460, 140);

    connect(cmdReplace, &QPushButton::clicked, this, &dlgReplace::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &dlgReplace::cmdReplaceAll_Click);
    connect(cmdSkip, &QPushButton::clicked, this, &dlgReplace::cmdSkip_Click);
    connect(cmdCancelRestore, &QPushButton::clicked, this, &dlgReplace::cmdCancelRestore_Click);
    Form_Load();
}

int dlgReplace::ask(RestoreContext& ctx, QWidget* parent) {
    dlgReplace prompt(ctx, parent);
    prompt.exec();
    return ctx.replaceAnswer;
}

void dlgReplace::Form_Load() {
    ctx_.desktop.beep();
    cw::centreOnScreen(this);
    // The pointer stays normal for the rest of the run.
    ctx_.setBusy(false);
    lblReplaceInfo->setText(
        QStringLiteral("Warning, ") + QString::fromStdString(ctx_.currentFileName) +
        QStringLiteral(" already exists in the Directory specified.") + QLatin1Char('\n') +
        QStringLiteral("Do you want to Replace, Replace All, Skip or Cancel "
                       "Restore"));
}

void dlgReplace::answer(int a) {
    ctx_.replaceAnswer = a;
    done(a);
}

void dlgReplace::cmdReplace_Click() {
    answer(Replace);
}
void dlgReplace::cmdReplaceAll_Click() {
    answer(ReplaceAll);
}
void dlgReplace::cmdSkip_Click() {
    answer(Skip);
}
void dlgReplace::cmdCancelRestore_Click() {
    answer(CancelRestore);
}

void dlgReplace::reject() {
    answer(Skip);
}

} // namespace cwr
