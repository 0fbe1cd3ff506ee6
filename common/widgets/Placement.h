#pragma once
// Window placement in the kit's units: twips (1440 to the inch at the screen's logical DPI).
class QWidget;

namespace cw {

int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
double twipsPerPixelX();
// Layouts drawn in twips were drawn for the classic 8-point dialog font. The factor (1 or
// more) by which the application's font needs them larger, so that every caption fits.
double fontScale();
// left = (screen width - window width) / 2, top = (screen height - window height) / 2. Both
// placements then keep the window wholly on its screen (the screen of the window it belongs
// to, else the primary one).
void centreOnScreen(QWidget* w);
// Horizontally centred; top = (screen height - fixedHeightTwips) / 2.
void centreWithFixedHeight(QWidget* w, int fixedHeightTwips);

} // namespace cw
