#pragma once
// The Qt canvas of the block progress bar: a child drawing surface with a sunken border,
// painting into a backing image so that what was drawn survives until drawn over.
#include "common/CProgressBar.h"

#include <QImage>
#include <QWidget>

namespace cw {

class PictureBox : public QWidget, public ProgressCanvas {
    Q_OBJECT
public:
    static constexpr int kBorder = 2; // pixels on each side, the classic 3D border

    explicit PictureBox(QWidget* parent = nullptr);

    void setForeColor(std::uint32_t colour) override;
    void setBackColor(std::uint32_t colour) override;
    void setScaleToPixels() override {} // the only scale there is here
    double scaleWidth() const override;
    double scaleHeight() const override;
    int widthTwips() const override;
    void setWidthTwips(int twips) override;
    void clear() override;
    void fillRect(int x1, int y1, int x2, int y2) override;
    double twipsPerPixelX() const override;

    std::uint32_t foreColor() const { return fore_; }
    std::uint32_t backColor() const { return back_; }
    // A colour in the kit's encoding (0x00BBGGRR, or a system colour by index) as shown here.
    QColor toQColor(std::uint32_t colour) const;
    // The inner drawing area as painted so far.
    QImage image() {
        fitImage();
        return image_;
    }

Q_SIGNALS:
    // The size changed (the owner may lay its bar out again).
    void resized();
    // The drawing was lost and should be painted again (the owner calls its bar's refresh).
    void repaintNeeded();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void fitImage();
    std::uint32_t fore_ = 0;
    std::uint32_t back_ = CProgressBar::kDefaultBack;
    QImage image_;
};

} // namespace cw
