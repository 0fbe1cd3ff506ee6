#include "common/PictureBox.h"

#include "common/widgets/Placement.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

namespace cw {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(toQColor(back_));
}

QColor PictureBox::toQColor(std::uint32_t colour) const {
    if (colour & 0x80000000u) {
        switch (colour & 0xFFu) {
        case 5: // window background
            return palette().color(QPalette::Base);
        case 8: // window text
            return palette().color(QPalette::Text);
        case 13: // selection highlight
            return palette().color(QPalette::Highlight);
        case 14: // highlighted text
            return palette().color(QPalette::HighlightedText);
        case 15: // button face
            return palette().color(QPalette::Button);
        case 18: // button text
            return palette().color(QPalette::ButtonText);
        default:
            return palette().color(QPalette::Window);
        }
    }
    return QColor(int(colour & 0xFFu), int((colour >> 8) & 0xFFu), int((colour >> 16) & 0xFFu));
}

void PictureBox::setForeColor(std::uint32_t colour) {
    fore_ = colour;
}

void PictureBox::setBackColor(std::uint32_t colour) {
    back_ = colour;
}

double PictureBox::scaleWidth() const {
    return std::max(0, width() - 2 * kBorder);
}

double PictureBox::scaleHeight() const {
    return std::max(0, height() - 2 * kBorder);
}

double PictureBox::twipsPerPixelX() const {
    return cw::twipsPerPixelX();
}

int PictureBox::widthTwips() const {
    return static_cast<int>(std::lround(width() * twipsPerPixelX()));
}

void PictureBox::setWidthTwips(int twips) {
    const long px = std::lround(std::max(0, twips) / twipsPerPixelX());
    resize(static_cast<int>(std::min<long>(px, QWIDGETSIZE_MAX)), height());
}

void PictureBox::clear() {
    fitImage();
    image_.fill(toQColor(back_));
    update();
}

void PictureBox::fillRect(int x1, int y1, int x2, int y2) {
    // Corners are both inside the rectangle, in either order.
    const QRect r = QRect(QPoint(x1, y1), QPoint(x2, y2)).normalized();
    fitImage();
    QPainter p(&image_);
    p.fillRect(r, toQColor(fore_));
    update(r.translated(kBorder, kBorder));
}

void PictureBox::paintEvent(QPaintEvent*) {
    fitImage();
    QPainter p(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.frameShape = QFrame::Panel;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = kBorder;
    frame.midLineWidth = 0;
    p.fillRect(rect(), palette().color(QPalette::Window));
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
    p.drawImage(kBorder, kBorder, image_);
}

void PictureBox::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    fitImage();
    Q_EMIT resized();
    Q_EMIT repaintNeeded();
}

// A hidden widget gets its resize event only when shown, so every use checks the size.
void PictureBox::fitImage() {
    const QSize inner(std::max(1, width() - 2 * kBorder), std::max(1, height() - 2 * kBorder));
    if (inner == image_.size())
        return;
    // Keep what was drawn; new area shows the back colour until repainted.
    QImage grown(inner, QImage::Format_RGB32);
    grown.fill(toQColor(back_));
    QPainter p(&grown);
    p.drawImage(0, 0, image_);
    p.end();
    image_ = grown;
}

} // namespace cw
