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

frmViewsplash::frmViewsplash(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmViewsplash"));
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
    layout->addWidget(imgProduct);
    for (QLabel* l : {lblDescription, lblPlatform, lblVersion}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
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
