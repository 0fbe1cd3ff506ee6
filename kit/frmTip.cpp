#include "kit/frmTip.h"
#include "common/platform/FilePaths.h"
#include "common/platform/Files.h"
#include "common/platform/Settings.h"
#include "kit/KitConstants.h"
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <chrono>

namespace kit {

frmTip::frmTip(KitApp& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Caskwell Tip of the Day"));
    setModal(true);
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Picture1->setPalette(white);
    auto* icon = new QLabel(Picture1);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    Label1 = new QLabel(QStringLiteral("Did you know..."), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    lblTipText = new QLabel(Picture1);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setMinimumSize(320, 120);
    auto* inner = new QGridLayout(Picture1);
    inner->addWidget(icon, 0, 0, Qt::AlignTop);
    inner->addWidget(Label1, 0, 1);
    inner->addWidget(lblTipText, 1, 1);

    chkLoadTipsAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    chkLoadTipsAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdNextTip->setAutoDefault(false);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* buttons = new QVBoxLayout();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdNextTip);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(Picture1, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(chkLoadTipsAtStartup, 1, 0);

    connect(chkLoadTipsAtStartup, &QCheckBox::stateChanged, this,
            &frmTip::chkLoadTipsAtStartup_Click);
    connect(cmdNextTip, &QPushButton::clicked, this, &frmTip::cmdNextTip_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmTip::cmdOK_Click);
    Form_Load();
}

void frmTip::Form_Load() {
    if (chkLoadTipsAtStartup->isChecked())
        chkLoadTipsAtStartup_Click();
    else
        chkLoadTipsAtStartup->setChecked(true);
    random_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::system_clock::now().time_since_epoch().count()));
    const QString file =
        QString::fromStdString(cw::paths::join(app_.programDir.toStdString(), "TIPOFDAY.TXT"));
    if (cw::files::isOrdinaryFile(file.toStdString()) &&
        !cw::files::isReadable(file.toStdString())) {
        // A tip file that is there but cannot be read is said so, rather than "not found".
        lblTipText->setText(QStringLiteral("The tip file ") + file +
                            QStringLiteral(" cannot be read."));
        return;
    }
    if (!LoadTips(file)) {
        lblTipText->setText(QStringLiteral("That the ") + QStringLiteral("TIPOFDAY.TXT") +
                            QStringLiteral(" file was not found? ") + QStringLiteral("\r\n") +
                            QStringLiteral("\r\n") + QStringLiteral("Create a text file named ") +
                            QStringLiteral("TIPOFDAY.TXT") +
                            QStringLiteral(" using NotePad with 1 tip per line. ") +
                            QStringLiteral("Then place it in the same directory as the "
                                           "application. "));
    }
}

bool frmTip::LoadTips(const QString& sFile) {
    if (sFile.isEmpty())
        return false;
    if (!cw::files::isOrdinaryFile(sFile.toStdString()))
        return false;
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    QStringList lines = text.split(QLatin1Char('\n'));
    // A line end after the last line starts no tip of its own.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    tips_ = lines;
    nextTip();
    return true;
}

void frmTip::nextTip() {
    std::uniform_real_distribution<double> r(0.0, 1.0);
    currentTip_ = static_cast<int>(r(random_) * tips_.size() + 1);
    if (currentTip_ > tips_.size())
        currentTip_ = static_cast<int>(tips_.size());
    DisplayCurrentTip();
}

void frmTip::DisplayCurrentTip() {
    if (tips_.isEmpty() || currentTip_ < 1)
        return;
    lblTipText->setText(tips_.at(currentTip_ - 1));
}

void frmTip::cmdNextTip_Click() {
    nextTip();
}

void frmTip::chkLoadTipsAtStartup_Click() {
    cw::settings::save(kSettingsApp, "Options", "Show Tips at Startup",
                       chkLoadTipsAtStartup->isChecked() ? "1" : "0");
}

void frmTip::cmdOK_Click() {
    accept();
}

void frmTip::reject() {
    cmdOK_Click();
}

} // namespace kit
