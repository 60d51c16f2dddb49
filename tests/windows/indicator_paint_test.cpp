// The shared indicator drawing, painted into a 32-bit memory bitmap and read
// back pixel by pixel.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "common/color.h"
#include "indicator/indicator_paint.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<const std::uint32_t*>(bits);
        selected_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { SelectObject(dc_.get(), selected_); }

    HDC dc() const { return dc_.get(); }
    RECT rect() const { return RECT{0, 0, width_, height_}; }
    // As a COLORREF (the DIB stores blue in the low byte).
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t p = bits_[y * width_ + x];
        return MakeColor(static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                         static_cast<std::uint8_t>(p));
    }
    void Clear(COLORREF color) {
        const win32::unique_hbrush brush(CreateSolidBrush(color));
        const RECT r = rect();
        FillRect(dc_.get(), &r, brush.get());
    }

private:
    int width_, height_;
    win32::unique_hdc dc_;
    win32::unique_hbitmap bitmap_;
    const std::uint32_t* bits_ = nullptr;
    HGDIOBJ selected_ = nullptr;
};

constexpr COLORREF kTop = MakeColor(128, 255, 0);
constexpr COLORREF kBottom = MakeColor(0, 255, 255);

TEST(IndicatorPaintTest, GradientRowsMatchTheBandsOfTheWorkedExamples) {
    const std::vector<COLORREF> bands16 = {MakeColor(128, 255, 0), MakeColor(110, 255, 36), MakeColor(91, 255, 73),
                                           MakeColor(73, 255, 109), MakeColor(55, 255, 146), MakeColor(37, 255, 182),
                                           MakeColor(18, 255, 219), MakeColor(0, 255, 255)};
    Canvas canvas(40, 16);
    FillVerticalGradient(canvas.dc(), canvas.rect(), kTop, kBottom);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(canvas.At(0, y), bands16[y / 2]) << "row " << y;
        EXPECT_EQ(canvas.At(39, y), bands16[y / 2]) << "row " << y;
    }

    Canvas odd(40, 15);
    FillVerticalGradient(odd.dc(), odd.rect(), kTop, kBottom);
    EXPECT_EQ(odd.At(5, 12), MakeColor(10, 255, 235));
    EXPECT_EQ(odd.At(5, 14), kBottom) << "the last row of an odd height keeps the solid fill";

    Canvas low(10, 1);
    FillVerticalGradient(low.dc(), low.rect(), kTop, kBottom);
    EXPECT_EQ(low.At(3, 0), kBottom);
}

// Bounding box of the pixels of one colour.
RECT InkBox(const Canvas& canvas, int width, int height, COLORREF ink) {
    RECT box{width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (canvas.At(x, y) != ink) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box;
}

TEST(IndicatorPaintTest, TextIsCentredOverTheGradientAndTheMuteLineCrossesIt) {
    constexpr int kWidth = 120, kHeight = 20;
    constexpr COLORREF kText = MakeColor(0, 0, 0);
    constexpr COLORREF kMute = MakeColor(255, 0, 0);
    const IndicatorColors colors{kTop, kTop, kText, kMute};  // a flat background isolates the ink
    Canvas canvas(kWidth, kHeight);
    for (const bool use_gui_font : {true, false}) {
        canvas.Clear(MakeColor(1, 2, 3));
        wchar_t text[32];
        FormatLevelText(100, text, 32);
        EXPECT_STREQ(text, L"Volume: 100 %");
        DrawIndicatorFace(canvas.dc(), canvas.rect(), colors, use_gui_font, text);
        const RECT ink = InkBox(canvas, kWidth, kHeight, kText);
        ASSERT_LT(ink.left, ink.right) << "no text drawn";
        EXPECT_NEAR((ink.left + ink.right) / 2.0, kWidth / 2.0, 2.0);
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, kHeight / 2.0, 3.0);
        EXPECT_EQ(canvas.At(0, 0), kTop);  // the background is the gradient, not a text box
        EXPECT_EQ(InkBox(canvas, kWidth, kHeight, kMute).right, -1) << "no mute line unless asked";

        DrawMuteLine(canvas.dc(), canvas.rect(), kMute);
        // From (left, bottom) to (right, top): the whole box, corner to corner.
        EXPECT_EQ(canvas.At(kWidth / 2, kHeight / 2), kMute);
        const RECT line = InkBox(canvas, kWidth, kHeight, kMute);
        EXPECT_LE(line.left, kWidth / kHeight);
        EXPECT_EQ(line.right, kWidth);
        EXPECT_EQ(line.top, 0);
        EXPECT_EQ(line.bottom, kHeight);
    }
}

TEST(IndicatorPaintTest, LevelTextHasNoPaddingOrSign) {
    wchar_t text[32];
    FormatLevelText(0, text, 32);
    EXPECT_STREQ(text, L"Volume: 0 %");
    FormatLevelText(35, text, 32);
    EXPECT_STREQ(text, L"Volume: 35 %");
}

}  // namespace
}  // namespace sonarel
