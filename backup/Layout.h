#pragma once
// Control placement in twips, the unit the window layouts are drawn in.
#include "common/widgets/Placement.h"

#include <QGuiApplication>
#include <QWidget>

namespace cwb {

// The arrangement as drawn, scaled to what the application's font needs.
inline int pxX(int twips) {
    return cw::twipsToPixelsX(static_cast<int>(twips * cw::fontScale()));
}
inline int pxY(int twips) {
    return cw::twipsToPixelsY(static_cast<int>(twips * cw::fontScale()));
}

inline void placeTw(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(pxX(left), pxY(top), pxX(width), pxY(height));
}

inline void sizeTw(QWidget* w, int width, int height) {
    w->resize(pxX(width), pxY(height));
}

// Brings a window to the front; the offscreen platform used by tests has no stacking.
inline void bringToFront(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        w->raise();
    w->activateWindow();
}

} // namespace cwb
