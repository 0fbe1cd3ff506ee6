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
    makeProductFace(this, imgProduct, lblDescription, lblPlatform, lblVersion)
        ->setContentsMargins(24, 24, 24, 24);
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
