#include "common/widgets/Placement.h"

#include <QApplication>
#include <QFontMetricsF>
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

QRect screenRect(const QWidget* w = nullptr) {
    const QScreen* s = nullptr;
    if (w && w->parentWidget())
        s = w->parentWidget()->window()->screen();
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

// Moves w to (x, y), or as near as keeps it wholly inside s.
void moveInside(QWidget* w, int x, int y, const QRect& s) {
    x = std::max(s.left(), std::min(x, s.left() + s.width() - w->width()));
    y = std::max(s.top(), std::min(y, s.top() + s.height() - w->height()));
    w->move(x, y);
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

double fontScale() {
    // The classic dialog font: 13 pixels a line, 6 pixels an average character, at 96 DPI.
    const QFontMetricsF fm(QApplication::font());
    const double dpi = dpiY() / 96.0;
    const double byHeight = fm.height() / (13.0 * dpi);
    const double byWidth = fm.averageCharWidth() / (6.0 * dpi);
    return std::max(1.0, std::max(byHeight, byWidth));
}

void centreOnScreen(QWidget* w) {
    if (!w)
        return;
    const QRect s = screenRect(w);
    moveInside(w, s.x() + (s.width() - w->width()) / 2, s.y() + (s.height() - w->height()) / 2, s);
}

void centreWithFixedHeight(QWidget* w, int fixedHeightTwips) {
    if (!w)
        return;
    const QRect s = screenRect(w);
    moveInside(w, s.x() + (s.width() - w->width()) / 2,
               s.y() + (s.height() - twipsToPixelsY(fixedHeightTwips)) / 2, s);
}

} // namespace cw
