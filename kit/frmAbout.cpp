#include "kit/frmAbout.h"
#include "common/Version.h"
#include "common/platform/Desktop.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/frmViewsplash.h"
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

namespace kit {

frmAbout::frmAbout(KitApp& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("frmAbout"));
    picIcon = makeProductPicture(this, 48);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setWordWrap(true);
        return l;
    };
    lblTitle = label("lblTitle", QStringLiteral("Caskwell Developer Distribution Kit"));
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    lblTitle->setFont(big);
    lblDescription = label("lblDescription", QStringLiteral("App Description"));
    lblVersion = label("lblVersion", QStringLiteral("Version"));
    lblContact = label("lblContact", QString());
    lblContact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("OK"));
    cmdSysInfo = button("cmdSysInfo", QStringLiteral("&System Info..."));
    cmdLicense = button("cmdLicense", QStringLiteral("&License"));
    cmdOK->setDefault(true);

    auto line = [this] {
        auto* f = new QFrame(this);
        f->setFrameShape(QFrame::HLine);
        f->setFrameShadow(QFrame::Sunken);
        return f;
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(line(), 3, 0, 1, 3);
    grid->addWidget(lblContact, 4, 0, 1, 2);
    grid->addWidget(line(), 5, 0, 1, 3);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdLicense);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 3, 1);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(cmdLicense, &QPushButton::clicked, this, &frmAbout::cmdLicense_Click);
    // Enter and Esc both press OK.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, &frmAbout::cmdOK_Click);
    }
    resize(520, 300);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About Caskwell Developer Distribution Kit"));
    lblDescription->setText(QStringLiteral(
        "Build Powerful Backup Profiles for distribution with your own SDK Applications."));
    lblVersion->setText(QString::fromStdString(cw::versionText()));
    const QString number = QLatin1String(kContactLocalNumber);
    lblContact->setText(
        QStringLiteral("Contact Information ") + QStringLiteral("\r\n") +
        QStringLiteral("Web Site:  ") + QLatin1String(kContactWebAddress) + QStringLiteral(" ") +
        QStringLiteral("\r\n") + QStringLiteral("   Phone (") + QLatin1String(kContactAreaCode) +
        QStringLiteral(") ") + number.left(3) + QStringLiteral("-") + number.mid(3));
    // As large as the texts need, then placed.
    QWidget* outer = parentWidget() ? parentWidget() : this;
    lblTitle->setMinimumWidth(lblTitle->fontMetrics().horizontalAdvance(lblTitle->text()));
    layout()->activate();
    const int w = std::max(width(), layout()->minimumSize().width());
    const int h = std::max(height(), layout()->totalHeightForWidth(w));
    setMinimumSize(w, h);
    outer->resize(outer->size().expandedTo(outer->minimumSizeHint()));
    cw::centreWithFixedHeight(outer, 9500);
    if (app_.main && outer != this)
        app_.main->keepInArea(outer);
}

void frmAbout::cmdOK_Click() {
    unloadWindow(app_, this);
}

void frmAbout::cmdLicense_Click() {
    app_.desktop.help(cw::HelpCommand::Topic, 20);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

QString frmAbout::systemInfoProgram() {
    for (const char* name :
         {"hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void frmAbout::StartSysInfo() {
    const QString program = systemInfoProgram();
    if (!program.isEmpty() && app_.desktop.startProgram(program))
        return;
    app_.desktop.beep();
    app_.desktop.messageBox(QStringLiteral("System Information Is Unavailable At This Time"),
                            cw::Icon::None, cw::Buttons::OK, QLatin1String(kTitle));
}

} // namespace kit
