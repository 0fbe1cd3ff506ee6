#pragma once
// Window placement in the kit's units: twips (1440 to the inch at the screen's logical DPI).
class QWidget;

namespace cw {

int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
double twipsPerPixelX();
// left = (screen width - window width) / 2, top = (screen height - window height) / 2.
void centreOnScreen(QWidget* w);
// Horizontally centred; top = (screen height - fixedHeightTwips) / 2.
void centreWithFixedHeight(QWidget* w, int fixedHeightTwips);

} // namespace cw
