#include "kit/frmSplash.h"
#include "common/Version.h"
#include "common/platform/Settings.h"
#include "common/widgets/Placement.h"
#include "kit/KitConstants.h"
#include "kit/MDIMainForm.h"
#include "kit/frmTip.h"
#include "kit/frmViewsplash.h"
#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace kit {

frmSplash::frmSplash(KitApp& app)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint), app_(app) {
    setObjectName(QStringLiteral("frmSplash"));
    imgProduct = makeProductPicture(this, 96);
    imgProduct->setObjectName(QStringLiteral("imgProduct"));
    lblDescription = new QLabel(
        QStringLiteral(
            "Build Powerful Backup Profiles for distribution with your own SDK Applications."),
        this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblPlatform = new QLabel(QStringLiteral("For Windows 95, 98 and NT"), this);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));
    lblVersion = new QLabel(this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(imgProduct);
    for (QLabel* l : {lblDescription, lblPlatform, lblVersion}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    setAutoFillBackground(true);
    resize(520, 260);
}

std::unique_ptr<MDIMainForm> frmSplash::startUp(KitApp& app) {
    auto* splash = new frmSplash(app);
    cw::centreOnScreen(splash);
    splash->lblVersion->setText(QString::fromStdString(cw::versionText()));
    splash->show();
    QCoreApplication::processEvents();
    splash->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    splash->show();

    auto main = std::make_unique<MDIMainForm>(app);
    main->show();
    QCoreApplication::processEvents();

    splash->setWindowFlag(Qt::WindowStaysOnTopHint, false);
    delete splash;

    const std::string show =
        cw::settings::get(kSettingsApp, "Options", "Show Tips at Startup", "1");
    // A value that is no number counts as missing, so the tips are shown.
    bool ok = false;
    const int value = QString::fromStdString(show).trimmed().toInt(&ok);
    if (!ok || value == 1) {
        frmTip tip(app, main.get());
        tip.exec();
    }
    return main;
}

} // namespace kit
