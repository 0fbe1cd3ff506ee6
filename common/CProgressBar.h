#pragma once
// The block progress bar: a row of equal, separate blocks drawn into a canvas the owner
// hands over, filling from the left as the value grows. The arithmetic lives here, without
// QtWidgets; PictureBox (PictureBox.h) is the Qt canvas.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace cw {

// The error raised for invalid settings: number, source and description.
class CProgressBarError : public std::runtime_error {
public:
    CProgressBarError(std::int32_t number, std::string source, const std::string& description)
        : std::runtime_error(description), number_(number), source_(std::move(source)) {}
    std::int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    std::string description() const { return what(); }

private:
    std::int32_t number_;
    std::string source_;
};

inline constexpr std::int32_t kErrCanvasType = static_cast<std::int32_t>(0x80040001u);
inline constexpr std::int32_t kErrMinNotLess = static_cast<std::int32_t>(0x80040002u);
inline constexpr std::int32_t kErrMaxNotGreater = static_cast<std::int32_t>(0x80040003u);
// Raised when the 16-bit layout arithmetic overflows.
inline constexpr std::int32_t kErrOverflow = 6;

// What the bar needs of any object handed to it as a canvas.
class CanvasObject {
public:
    virtual ~CanvasObject() = default;
    // Only picture boxes can be canvases.
    virtual bool isPictureBox() const = 0;
};

// A drawing surface ("picture box"). Colours are 0x00BBGGRR, or a system colour with the
// top bit set and its index in the low bits.
class ProgressCanvas : public CanvasObject {
public:
    bool isPictureBox() const override { return true; }
    virtual void setForeColor(std::uint32_t colour) = 0;
    virtual void setBackColor(std::uint32_t colour) = 0;
    virtual void setScaleToPixels() = 0;
    virtual double scaleWidth() const = 0;  // inner width, pixels
    virtual double scaleHeight() const = 0; // inner height, pixels
    virtual int widthTwips() const = 0;     // outer width incl. border, twips
    virtual void setWidthTwips(int twips) = 0;
    virtual void clear() = 0; // fill with the back colour
    // Filled rectangle between two corners (inclusive) in the current fore colour.
    virtual void fillRect(int x1, int y1, int x2, int y2) = 0;
    virtual double twipsPerPixelX() const = 0;
};

class CProgressBar {
public:
    static constexpr std::uint32_t kDefaultFore = 0x8000000Du; // selection highlight
    static constexpr std::uint32_t kDefaultBack = 0x8000000Fu; // button face

    // Throws CProgressBarError(kErrCanvasType) when obj is not a picture box.
    void setCanvas(CanvasObject* obj);
    ProgressCanvas* canvas() const { return canvas_; }
    void setValue(std::int32_t v);
    std::int32_t value() const { return value_; }
    void setMin(std::int32_t v); // throws kErrMinNotLess
    std::int32_t min() const { return min_; }
    void setMax(std::int32_t v); // throws kErrMaxNotGreater
    std::int32_t max() const { return max_; }
    void setForeColor(std::uint32_t c);
    std::uint32_t foreColor() const { return fore_; }
    void setBackColor(std::uint32_t c);
    std::uint32_t backColor() const { return back_; }
    void refresh(bool clearFirst = false);
    void resize();
    void resizeEx(); // throws CProgressBarError(kErrOverflow) on 16-bit overflow

    // Layout, for tests and the owner.
    std::int16_t blockWidth() const { return blockWidth_; }
    std::int16_t blockHeight() const { return blockHeight_; }
    std::int16_t gap() const { return gap_; }
    std::int16_t margin() const { return margin_; }
    std::int16_t blockCount() const { return blockCount_; }
    bool resizing() const { return resizing_; }

private:
    void calcBlocks();
    void drawBlocks();

    ProgressCanvas* canvas_ = nullptr;
    std::int32_t value_ = 0, min_ = 0, max_ = 100;
    std::uint32_t fore_ = kDefaultFore, back_ = kDefaultBack;
    std::int16_t blockWidth_ = 0, blockHeight_ = 0, gap_ = 0, margin_ = 0, blockCount_ = 0;
    bool resizing_ = false;
};

} // namespace cw
