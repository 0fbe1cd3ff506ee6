#pragma once
// Control placement in twips, the unit the window layouts are drawn in.
#include "common/widgets/Placement.h"

#include <QGuiApplication>
#include <QWidget>

namespace cwb {

inline void placeTw(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(cw::twipsToPixelsX(left), cw::twipsToPixelsY(top), cw::twipsToPixelsX(width),
                   cw::twipsToPixelsY(height));
}

inline void sizeTw(QWidget* w, int width, int height) {
    w->resize(cw::twipsToPixelsX(width), cw::twipsToPixelsY(height));
}

// Brings a window to the front; the offscreen platform used by tests has no stacking.
inline void bringToFront(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        w->raise();
    w->activateWindow();
}

} // namespace cwb
