#include "common/widgets/Placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace cw {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// Without a screen (a headless start) the classic 96 DPI stands in.
double dpiX() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

double dpiY() {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

QRect screenRect() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace

int twipsToPixelsX(int twips) {
    return static_cast<int>(std::lround(twips * dpiX() / kTwipsPerInch));
}

int twipsToPixelsY(int twips) {
    return static_cast<int>(std::lround(twips * dpiY() / kTwipsPerInch));
}

int pixelsToTwipsX(int pixels) {
    return static_cast<int>(std::lround(pixels * twipsPerPixelX()));
}

double twipsPerPixelX() {
    return kTwipsPerInch / dpiX();
}

void centreOnScreen(QWidget* w) {
    if (!w)
        return;
    const QRect s = screenRect();
    w->move(s.x() + (s.width() - w->width()) / 2, s.y() + (s.height() - w->height()) / 2);
}

void centreWithFixedHeight(QWidget* w, int fixedHeightTwips) {
    if (!w)
        return;
    const QRect s = screenRect();
    w->move(s.x() + (s.width() - w->width()) / 2,
            s.y() + (s.height() - twipsToPixelsY(fixedHeightTwips)) / 2);
}

} // namespace cw
