// The block progress bar's arithmetic against a canvas that records what it is asked to
// draw, and the Qt canvas that shows it.
#include "common/CProgressBar.h"
#include "common/PictureBox.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

using namespace cw;

namespace {

struct Op {
    char kind; // 'c' clear, 'r' rectangle
    std::uint32_t colour;
    int x1, y1, x2, y2;
};

// Inner size in pixels, 15 twips per pixel, a border of 60 twips.
class RecordingCanvas : public ProgressCanvas {
public:
    RecordingCanvas(double w, double h) : w_(w), h_(h) {}
    void setForeColor(std::uint32_t c) override { fore = c; }
    void setBackColor(std::uint32_t c) override { back = c; }
    void setScaleToPixels() override { pixels = true; }
    double scaleWidth() const override { return w_; }
    double scaleHeight() const override { return h_; }
    int widthTwips() const override { return static_cast<int>(w_ * 15 + 60); }
    void setWidthTwips(int twips) override {
        widthSets.push_back(twips);
        w_ = (twips - 60) / 15.0;
        if (onWidth)
            onWidth();
    }
    void clear() override { ops.push_back({'c', back, 0, 0, 0, 0}); }
    void fillRect(int x1, int y1, int x2, int y2) override {
        ops.push_back({'r', fore, x1, y1, x2, y2});
    }
    double twipsPerPixelX() const override { return 15.0; }

    int filled(std::uint32_t fillColour) const {
        int n = 0;
        for (const auto& o : ops)
            n += o.kind == 'r' && o.colour == fillColour ? 1 : 0;
        return n;
    }

    std::uint32_t fore = 0, back = 0;
    bool pixels = false;
    std::vector<Op> ops;
    std::vector<int> widthSets;
    std::function<void()> onWidth;

private:
    double w_, h_;
};

class NotAPictureBox : public CanvasObject {
public:
    bool isPictureBox() const override { return false; }
};

constexpr std::uint32_t kRed = 0x0000FFu, kBlue = 0xFF0000u;

} // namespace

TEST(CProgressBar, DefaultsAndNothingDrawnWithoutCanvas) {
    CProgressBar bar;
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 100);
    EXPECT_EQ(bar.foreColor(), 0x8000000Du);
    EXPECT_EQ(bar.backColor(), 0x8000000Fu);
    EXPECT_EQ(bar.canvas(), nullptr);
    EXPECT_EQ(bar.blockCount(), 0);
    EXPECT_EQ(bar.gap(), 0);
    EXPECT_EQ(bar.margin(), 0);
    bar.setValue(50);
    bar.setForeColor(kRed);
    bar.refresh(true);
    bar.resize();
    bar.resizeEx();
    EXPECT_EQ(bar.value(), 50);
    EXPECT_EQ(bar.foreColor(), kRed);
}

TEST(CProgressBar, WorkedExampleFitsTenBlocksAndWidensTheCanvas) {
    RecordingCanvas c(100, 14);
    CProgressBar bar;
    bar.setCanvas(&c);
    EXPECT_EQ(bar.canvas(), &c);
    EXPECT_TRUE(c.pixels);
    EXPECT_EQ(c.back, CProgressBar::kDefaultBack);
    EXPECT_EQ(bar.blockHeight(), 10);
    EXPECT_EQ(bar.blockWidth(), 7);
    EXPECT_EQ(bar.margin(), 2);
    EXPECT_EQ(bar.gap(), 3);
    EXPECT_EQ(bar.blockCount(), 10);
    ASSERT_EQ(c.widthSets.size(), 1u);
    EXPECT_EQ(c.widthSets[0], 103 * 15 + 60);
    EXPECT_DOUBLE_EQ(c.scaleWidth(), 103);
    EXPECT_FALSE(bar.resizing());

    // Laid out, cleared, then ten empty blocks from x = 2, 10 apart, rows 2..11.
    ASSERT_EQ(c.ops.size(), 11u);
    EXPECT_EQ(c.ops[0].kind, 'c');
    for (int i = 0; i < 10; ++i) {
        const Op& o = c.ops[1 + i];
        EXPECT_EQ(o.colour, CProgressBar::kDefaultBack);
        EXPECT_EQ(o.x1, 2 + 10 * i);
        EXPECT_EQ(o.x2, 9 + 10 * i);
        EXPECT_EQ(o.y1, 2);
        EXPECT_EQ(o.y2, 11);
    }

    // Laying out again at the new width is stable.
    bar.resizeEx();
    EXPECT_EQ(bar.blockCount(), 10);
    EXPECT_EQ(c.widthSets.back(), 103 * 15 + 60);
}

TEST(CProgressBar, ResizeExKeepsTheCountWhenThatIsNearer) {
    RecordingCanvas c(106, 14); // 11 blocks want 113, 10 want 103: 113 is 7 away, 103 is 3
    CProgressBar bar;
    bar.setCanvas(&c);
    EXPECT_EQ(bar.blockCount(), 10);
    RecordingCanvas d(109, 14); // 113 is 4 away, 103 is 6: keep 11
    bar.setCanvas(&d);
    EXPECT_EQ(bar.blockCount(), 11);
    EXPECT_DOUBLE_EQ(d.scaleWidth(), 113);
    RecordingCanvas e(108, 14); // a tie goes to fewer blocks
    bar.setCanvas(&e);
    EXPECT_EQ(bar.blockCount(), 10);
}

TEST(CProgressBar, RoundingIsHalfToEven) {
    // Inner height 8.5 - 4 = 4.5 rounds to 4 (even); 2/3 of 4 is 2.67: 3 wide.
    RecordingCanvas c(50, 8.5);
    CProgressBar bar;
    bar.setCanvas(&c);
    EXPECT_EQ(bar.blockHeight(), 4);
    EXPECT_EQ(bar.blockWidth(), 3);
    // 5.5 rounds to 6; width 4 (2/3 of 6).
    RecordingCanvas d(50, 9.5);
    bar.setCanvas(&d);
    EXPECT_EQ(bar.blockHeight(), 6);
    EXPECT_EQ(bar.blockWidth(), 4);
    // Height 3, width 2, a row of 8 blocks; with max 16 each unit is half a block.
    RecordingCanvas e(40, 7);
    bar.setCanvas(&e);
    ASSERT_EQ(bar.blockCount(), 8);
    bar.setMax(16);
    for (auto [value, filled] : {std::pair{1, 0}, {3, 2}, {5, 2}, {7, 4}}) {
        e.ops.clear();
        bar.setValue(value); // 0.5, 1.5, 2.5, 3.5 blocks
        EXPECT_EQ(e.filled(CProgressBar::kDefaultFore), filled) << value;
    }
}

TEST(CProgressBar, ValueIsLimitedAndFillsItsShareOfBlocks) {
    RecordingCanvas c(103, 14);
    CProgressBar bar;
    bar.setCanvas(&c);
    bar.setMin(0);
    bar.setMax(10);
    for (auto [value, filled] : {std::pair{5, 5}, {0, 0}, {10, 10}, {-7, 0}, {99, 10}}) {
        c.ops.clear();
        bar.setValue(value);
        EXPECT_EQ(c.filled(CProgressBar::kDefaultFore), filled) << value;
        EXPECT_EQ(c.filled(CProgressBar::kDefaultBack), 10 - filled) << value;
        EXPECT_EQ(c.ops.front().kind, 'r') << "a value change repaints only the blocks";
    }
    bar.setValue(99);
    EXPECT_EQ(bar.value(), 10);
    bar.setValue(-7);
    EXPECT_EQ(bar.value(), 0);
}

TEST(CProgressBar, RangeErrorsKeepTheOldRange) {
    CProgressBar bar;
    try {
        bar.setMin(100);
        ADD_FAILURE() << "min equal to max accepted";
    } catch (const CProgressBarError& e) {
        EXPECT_EQ(e.number(), -2147221502);
        EXPECT_EQ(e.source(), "CProgressBar.Min");
        EXPECT_EQ(e.description(), "Min property must be less than Max.");
    }
    try {
        bar.setMax(0);
        ADD_FAILURE() << "max equal to min accepted";
    } catch (const CProgressBarError& e) {
        EXPECT_EQ(e.number(), -2147221501);
        EXPECT_EQ(e.source(), "CProgressBar.Max");
        EXPECT_EQ(e.description(), "Max property must be greater than Min.");
    }
    EXPECT_EQ(bar.min(), 0);
    EXPECT_EQ(bar.max(), 100);

    NotAPictureBox other;
    RecordingCanvas c(103, 14);
    bar.setCanvas(&c);
    for (CanvasObject* bad :
         {static_cast<CanvasObject*>(&other), static_cast<CanvasObject*>(nullptr)}) {
        try {
            bar.setCanvas(bad);
            ADD_FAILURE() << "a canvas that is no picture box accepted";
        } catch (const CProgressBarError& e) {
            EXPECT_EQ(e.number(), -2147221503);
            EXPECT_EQ(e.source(), "CProgressBar.Canvas");
            EXPECT_EQ(e.description(), "Canvas property must be of type PictureBox.");
        }
        EXPECT_EQ(bar.canvas(), &c);
    }
}

TEST(CProgressBar, LoweringMaxBelowTheValueShowsAFullBar) {
    RecordingCanvas c(103, 14);
    CProgressBar bar;
    bar.setCanvas(&c);
    bar.setValue(80);
    c.ops.clear();
    bar.setMax(50);
    EXPECT_EQ(bar.value(), 80); // not re-limited
    EXPECT_EQ(c.filled(CProgressBar::kDefaultFore), 10);
    EXPECT_EQ(c.filled(CProgressBar::kDefaultBack), 0);
    c.ops.clear();
    bar.setMin(49);
    bar.setMin(-2147483647 - 1);
    bar.setMax(-2147483647); // value now lies far above: still just a full bar
    EXPECT_EQ(c.filled(CProgressBar::kDefaultFore), 30);
}

TEST(CProgressBar, ColoursAndRefresh) {
    RecordingCanvas c(103, 14);
    CProgressBar bar;
    bar.setCanvas(&c);
    bar.setValue(30);
    c.ops.clear();
    bar.setForeColor(kRed);
    bar.setBackColor(kBlue);
    EXPECT_EQ(c.back, kBlue);
    EXPECT_EQ(c.filled(kRed), 6); // two repaints of 3 filled blocks
    EXPECT_EQ(c.filled(kBlue), 7);
    c.ops.clear();
    bar.refresh();
    EXPECT_EQ(c.ops.size(), 10u);
    c.ops.clear();
    bar.refresh(true);
    ASSERT_EQ(c.ops.size(), 11u);
    EXPECT_EQ(c.ops[0].kind, 'c');
    EXPECT_EQ(c.ops[0].colour, kBlue);
}

TEST(CProgressBar, ResizeLaysOutWithoutTouchingTheWidth) {
    RecordingCanvas c(103, 14);
    CProgressBar bar;
    bar.setCanvas(&c);
    c.widthSets.clear();
    RecordingCanvas& same = c;
    same.setWidthTwips(200 * 15 + 60);
    c.widthSets.clear();
    bar.resize();
    EXPECT_TRUE(c.widthSets.empty());
    EXPECT_EQ(bar.blockCount(), 21); // 200 / 10 + 1
}

TEST(CProgressBar, ResizeNotificationDoesNotReenter) {
    RecordingCanvas c(100, 14);
    CProgressBar bar;
    int inside = 0;
    c.onWidth = [&] {
        EXPECT_TRUE(bar.resizing());
        ++inside;
        bar.resizeEx(); // what an owner passing the resize event back would do
    };
    bar.setCanvas(&c);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(c.widthSets.size(), 1u);
    EXPECT_FALSE(bar.resizing());
}

TEST(CProgressBar, SixteenBitOverflowIsAnError) {
    RecordingCanvas tall(100, 40000);
    CProgressBar bar;
    try {
        bar.setCanvas(&tall);
        ADD_FAILURE() << "no overflow";
    } catch (const CProgressBarError& e) {
        EXPECT_EQ(e.number(), kErrOverflow);
    }
    // 2731 blocks of 9 + 3 want 3 + 2731 * 12 = 32775 > 32767: the fitted width overflows.
    RecordingCanvas wide(32760, 18);
    CProgressBar other;
    EXPECT_THROW(other.setCanvas(&wide), CProgressBarError);
    EXPECT_FALSE(other.resizing());
}

TEST(CProgressBar, TinyCanvasDrawsNoBlocksInsteadOfDividingByZero) {
    RecordingCanvas c(50, 0); // height 0: blocks -4 high, -3 wide: no room for any
    CProgressBar bar;
    EXPECT_NO_THROW(bar.setCanvas(&c));
    EXPECT_EQ(bar.blockCount(), 0);
    bar.setValue(50);
}

TEST(PictureBox, MapsColoursAndPaintsIntoItsImage) {
    PictureBox pic;
    pic.resize(100 + 2 * PictureBox::kBorder, 14 + 2 * PictureBox::kBorder);
    EXPECT_DOUBLE_EQ(pic.scaleWidth(), 100);
    EXPECT_DOUBLE_EQ(pic.scaleHeight(), 14);
    EXPECT_EQ(pic.toQColor(0x8000000Du), pic.palette().color(QPalette::Highlight));
    EXPECT_EQ(pic.toQColor(0x8000000Fu), pic.palette().color(QPalette::Button));
    EXPECT_EQ(pic.toQColor(0x00336699u), QColor(0x99, 0x66, 0x33));

    CProgressBar bar;
    QSignalSpy resized(&pic, &PictureBox::resized);
    bar.setCanvas(&pic);
    EXPECT_EQ(bar.blockCount(), 10);
    EXPECT_EQ(pic.width(), 103 + 2 * PictureBox::kBorder); // widened, border kept
    EXPECT_DOUBLE_EQ(pic.scaleWidth(), 103);
    bar.setForeColor(kRed);
    bar.setBackColor(kBlue);
    bar.refresh(true);
    bar.setValue(50);
    const QImage img = pic.image();
    ASSERT_EQ(img.width(), 103);
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::red));   // first block filled
    EXPECT_EQ(img.pixelColor(1, 2), QColor(Qt::blue));  // margin in the back colour
    EXPECT_EQ(img.pixelColor(52, 5), QColor(Qt::blue)); // sixth block empty
    EXPECT_EQ(img.pixelColor(42, 11), QColor(Qt::red)); // fifth block, bottom row
    EXPECT_EQ(img.pixelColor(42, 12), QColor(Qt::blue));
    EXPECT_EQ(pic.widthTwips(), static_cast<int>(std::lround(pic.width() * pic.twipsPerPixelX())));
}

TEST(PictureBox, OwnerWiringSurvivesTheWidthChangeItCauses) {
    // As cwb and cwr wire it: the box's resize goes back to ResizeEx, its repaint to Refresh.
    QWidget window;
    auto* pic = new PictureBox(&window);
    pic->setGeometry(10, 10, 100 + 2 * PictureBox::kBorder, 14 + 2 * PictureBox::kBorder);
    CProgressBar bar;
    int resizes = 0;
    QObject::connect(pic, &PictureBox::resized, [&] {
        ++resizes;
        bar.resizeEx();
    });
    QObject::connect(pic, &PictureBox::repaintNeeded, [&] { bar.refresh(); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bar.setCanvas(pic);
    EXPECT_GE(resizes, 1);
    EXPECT_EQ(bar.blockCount(), 10);
    EXPECT_EQ(pic->scaleWidth(), 103);
    bar.setValue(100);
    EXPECT_EQ(pic->image().pixelColor(95, 5), pic->toQColor(CProgressBar::kDefaultFore));

    // The window shrinks the box: the owner's ResizeEx fits a new row.
    pic->resize(60 + 2 * PictureBox::kBorder, pic->height());
    EXPECT_EQ(bar.blockCount(), 6);
    EXPECT_EQ(pic->scaleWidth(), 63);
}
