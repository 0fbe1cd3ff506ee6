#include "kit/frmViewsplash.h"
#include "common/Version.h"
#include "common/widgets/Placement.h"
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace kit {

QLabel* makeProductPicture(QWidget* parent, int size) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(parent->style()
                           ->standardIcon(QStyle::SP_DriveHDIcon)
                           .pixmap(size, size)
                           .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignCenter);
    return picture;
}

QVBoxLayout* makeProductFace(QWidget* parent, QLabel*& picture, QLabel*& description,
                             QLabel*& platform, QLabel*& version) {
    picture = makeProductPicture(parent, 96);
    picture->setObjectName(QStringLiteral("imgProduct"));
    description = new QLabel(
        QStringLiteral(
            "Build Powerful Backup Profiles for distribution with your own SDK Applications."),
        parent);
    description->setObjectName(QStringLiteral("lblDescription"));
    platform = new QLabel(QStringLiteral("For Windows 95, 98 and NT"), parent);
    platform->setObjectName(QStringLiteral("lblPlatform"));
    version = new QLabel(parent);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* layout = new QVBoxLayout(parent);
    layout->addWidget(picture);
    for (QLabel* l : {description, platform, version}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    return layout;
}

frmViewsplash::frmViewsplash(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmViewsplash"));
    makeProductFace(this, imgProduct, lblDescription, lblPlatform, lblVersion);
    resize(520, 240);
}

void frmViewsplash::Form_Load() {
    // Above the centre by the fixed 2,500 twips, as the original backdrop sat.
    QWidget* outer = parentWidget() ? parentWidget() : this;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        const int left = (s.width() - outer->width()) / 2;
        const int top = (s.height() - (outer->height() + cw::twipsToPixelsY(2500))) / 2;
        outer->move(std::max(0, left), std::max(0, top));
    }
    lblVersion->setText(QString::fromStdString(cw::versionText()));
}

} // namespace kit
