#include "common/CProgressBar.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cw {

namespace {

constexpr std::int16_t kMargin = 2;
constexpr std::int16_t kGap = 3;

[[noreturn]] void overflow(const char* where) {
    throw CProgressBarError(kErrOverflow, std::string("CProgressBar.") + where, "Overflow");
}

// The layout works in 16-bit integers; anything outside that range is an overflow.
std::int16_t to16(double v, const char* where) {
    if (!std::isfinite(v) || v < std::numeric_limits<std::int16_t>::min() ||
        v > std::numeric_limits<std::int16_t>::max())
        overflow(where);
    return static_cast<std::int16_t>(v);
}

// Round half to even (the default rounding mode), into 16 bits.
std::int16_t round16(double v, const char* where) {
    if (!std::isfinite(v))
        overflow(where);
    return to16(std::nearbyint(v), where);
}

} // namespace

void CProgressBar::setCanvas(CanvasObject* obj) {
    auto* canvas = dynamic_cast<ProgressCanvas*>(obj);
    if (!canvas || !canvas->isPictureBox())
        throw CProgressBarError(kErrCanvasType, "CProgressBar.Canvas",
                                "Canvas property must be of type PictureBox.");
    canvas_ = canvas;
    canvas_->setForeColor(fore_);
    canvas_->setBackColor(back_);
    canvas_->setScaleToPixels();
    resizeEx();
}

void CProgressBar::setValue(std::int32_t v) {
    value_ = v > max_ ? max_ : (v < min_ ? min_ : v);
    refresh(false);
}

void CProgressBar::setMin(std::int32_t v) {
    if (v >= max_)
        throw CProgressBarError(kErrMinNotLess, "CProgressBar.Min",
                                "Min property must be less than Max.");
    min_ = v;
    refresh(false);
}

void CProgressBar::setMax(std::int32_t v) {
    if (v <= min_)
        throw CProgressBarError(kErrMaxNotGreater, "CProgressBar.Max",
                                "Max property must be greater than Min.");
    max_ = v;
    refresh(false);
}

void CProgressBar::setForeColor(std::uint32_t c) {
    fore_ = c;
    if (canvas_) {
        canvas_->setForeColor(c);
        refresh(false);
    }
}

void CProgressBar::setBackColor(std::uint32_t c) {
    back_ = c;
    if (canvas_) {
        canvas_->setBackColor(c);
        refresh(false);
    }
}

void CProgressBar::refresh(bool clearFirst) {
    if (!canvas_)
        return;
    if (clearFirst)
        canvas_->clear();
    drawBlocks();
}

void CProgressBar::resize() {
    if (!canvas_)
        return;
    calcBlocks();
    refresh(true);
}

void CProgressBar::resizeEx() {
    if (resizing_ || !canvas_)
        return;
    calcBlocks();
    const std::int32_t step = blockWidth_ + gap_;
    std::int16_t count = blockCount_;
    std::int16_t wanted = to16(gap_ + double(count) * step, "ResizeEx");
    const std::int16_t sw = round16(canvas_->scaleWidth(), "ResizeEx");
    // One block fewer when that row is nearer the present width; a tie goes to fewer.
    if (sw - (wanted - step) <= wanted - sw) {
        count = to16(count - 1.0, "ResizeEx");
        wanted = to16(gap_ + double(count) * step, "ResizeEx");
    }
    const double tpp = canvas_->twipsPerPixelX();
    const std::int16_t border = round16(canvas_->widthTwips() - sw * tpp, "ResizeEx");
    const double width = std::nearbyint(wanted * tpp + border);
    if (!std::isfinite(width) || width > std::numeric_limits<int>::max() ||
        width < std::numeric_limits<int>::min())
        overflow("ResizeEx");

    blockCount_ = count;
    // The width change may come back here through the canvas's resize notification.
    resizing_ = true;
    try {
        canvas_->setWidthTwips(static_cast<int>(width));
    } catch (...) {
        resizing_ = false;
        throw;
    }
    resizing_ = false;
    refresh(true);
}

void CProgressBar::calcBlocks() {
    // Worked out in locals so an overflow leaves the previous layout in place.
    const std::int16_t height = round16(canvas_->scaleHeight() - 2.0 * kMargin, "CalcBlocks");
    const std::int16_t width = round16((2.0 / 3.0) * height, "CalcBlocks");
    const std::int16_t sw = round16(canvas_->scaleWidth(), "CalcBlocks");
    // A canvas too small for any block would divide by zero: it shows no blocks instead.
    const std::int32_t step = kGap + width;
    const std::int16_t count = step > 0 ? to16(sw / step + 1.0, "CalcBlocks") : 0;
    margin_ = kMargin;
    gap_ = kGap;
    blockHeight_ = height;
    blockWidth_ = width;
    blockCount_ = count;
}

void CProgressBar::drawBlocks() {
    const double fraction = (double(value_) - double(min_)) / (double(max_) - double(min_));
    // Anything past either end draws the same as the end itself; clamping keeps the count in
    // 32 bits when the value lies far outside a range that was changed after it was set.
    const double scaled = std::clamp(fraction * blockCount_, -1.0, blockCount_ + 1.0);
    const std::int32_t n = static_cast<std::int32_t>(std::nearbyint(scaled));

    int x = margin_;
    const int top = margin_;
    const int bottom = margin_ + blockHeight_ - 1;
    canvas_->setForeColor(fore_);
    const std::int32_t filled = std::clamp<std::int32_t>(n, 0, blockCount_);
    for (std::int32_t i = 0; i < filled; ++i) {
        canvas_->fillRect(x, top, x + blockWidth_, bottom);
        x += blockWidth_ + gap_;
    }
    if (n < blockCount_) {
        canvas_->setForeColor(back_);
        for (std::int32_t i = filled; i < blockCount_; ++i) {
            canvas_->fillRect(x, top, x + blockWidth_, bottom);
            x += blockWidth_ + gap_;
        }
    }
}

} // namespace cw
