#include "app/effects/frames.h"
#include "app/effects/gdi_draw.h"
#include "effects_support.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_canvas_qt.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cstring>

namespace lumeno {
namespace {

using test::Grey;
using test::Paint;
using test::Red;

constexpr TColor Blue = RGB(40, 60, 200);

TEST(Frames, WhiteFrameShrinksThePictureIntoAWhiteMat)
{
    TPixelGraphic g;
    Paint(g, 200, 100, [](int, int) { return Blue; });
    AddWhiteFrame(g);
    ASSERT_EQ(g.GetWidth(), 200);
    ASSERT_EQ(g.GetHeight(), 100);
    // The picture covers (28, 28) .. (171, 71).
    EXPECT_EQ(g.GetPixelColor(100, 50), Blue);
    EXPECT_EQ(g.GetPixelColor(30, 30), Blue);
    EXPECT_EQ(g.GetPixelColor(169, 69), Blue);
    EXPECT_EQ(g.GetPixelColor(20, 50), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(100, 10), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(185, 85), RGB(255, 255, 255));
    // The outer band runs from white at the edge towards grey.
    EXPECT_GT(Red(g, 0, 50), 240);
    EXPECT_LT(Red(g, 6, 50), Red(g, 1, 50));
    EXPECT_LT(Red(g, 100, 6), 200);

    TPixelGraphic small;
    Paint(small, 56, 90, test::Pattern);
    AddWhiteFrame(small);
    EXPECT_EQ(small.GetPixelColor(0, 0), test::Pattern(0, 0));
}

// The white frame step by step through the library alone, on one thread.
void PlainWhiteFrame(TPixelGraphic& image)
{
    const int w = image.GetWidth(), h = image.GetHeight();
    TPixelGraphic frame;
    frame.SetFillColor(0);
    frame.SetDimensions(w, h, pf24Bit);
    frame.Clear();
    frame.FadeEdges(false, 20, frame, RGB(255, 255, 255));
    for (int y = 8; y <= h - 9; ++y)
        for (int x = 8; x <= w - 9; ++x)
            frame.SetPixelColor(x, y, RGB(255, 255, 255));
    frame.StretchRect(28, 28, w - 56, h - 56, 0, 0, w, h, image);
    TConvFilter sharpen;
    sharpen.SetSharpenKernel(dsTent, false, 0.75L, 70);
    image.ApplyFilter(sharpen, frame);
}

TEST(Frames, WhiteFrameIsTheLibrarysStepsOnAnyNumberOfThreads)
{
    for (const int threads : {1, 3, 0}) {
        SetParallelThreads(threads);
        TPixelGraphic ours, plain;
        Paint(ours, 173, 91, test::Pattern);
        Paint(plain, 173, 91, test::Pattern);
        AddWhiteFrame(ours);
        SetParallelThreads(0);
        PlainWhiteFrame(plain);
        for (int y = 0; y < 91; ++y)
            ASSERT_EQ(std::memcmp(ours.GetScanLine(y), plain.GetScanLine(y), 173 * 3), 0)
                << threads << " row " << y;
    }
}

TEST(Frames, DropShadowGrowsTheImage)
{
    TPixelGraphic g;
    Paint(g, 400, 300, [](int, int) { return Blue; });
    AddDropShadow(g);
    ASSERT_EQ(g.GetWidth(), 410);
    ASSERT_EQ(g.GetHeight(), 310);
    EXPECT_EQ(g.GetPixelColor(0, 0), Blue);
    EXPECT_EQ(g.GetPixelColor(399, 299), Blue);
    // Right of the picture, the shadow lightens outwards to white.
    EXPECT_LT(Red(g, 400, 150), Red(g, 404, 150));
    EXPECT_LT(Red(g, 404, 150), Red(g, 409, 150) + 1);
    EXPECT_LT(Red(g, 401, 150), 200);
    EXPECT_LT(Red(g, 200, 301), Red(g, 200, 306));
    // The shadow starts S / 2 from the top.
    EXPECT_GT(Red(g, 400, 0), Red(g, 400, 150));

    TPixelGraphic tiny;
    Paint(tiny, 39, 20, test::Pattern);
    AddDropShadow(tiny);
    EXPECT_EQ(tiny.GetWidth(), 39);
}

TEST(Frames, SoftShadowKeepsTheSize)
{
    TPixelGraphic g;
    Paint(g, 120, 90, [](int, int) { return Blue; });
    AddSoftShadow(g, 4, 10);
    ASSERT_EQ(g.GetWidth(), 120);
    ASSERT_EQ(g.GetHeight(), 90);
    EXPECT_EQ(g.GetPixelColor(50, 40), Blue);
    EXPECT_NE(g.GetPixelColor(112, 50), Blue);
    EXPECT_LT(Red(g, 111, 50), 250);
    EXPECT_GT(Red(g, 115, 2), Red(g, 111, 50));

    TPixelGraphic same;
    Paint(same, 10, 30, test::Pattern);
    AddSoftShadow(same, 4, 10);
    EXPECT_EQ(same.GetPixelColor(9, 29), test::Pattern(9, 29));
}

TEST(Frames, BevelLightensTopLeftAndDarkensBottomRight)
{
    TPixelGraphic g;
    Grey(g, 10, 10, 100);
    AddBevel(g, 1);
    EXPECT_EQ(Red(g, 5, 0), 155);
    EXPECT_EQ(Red(g, 9, 0), 155);
    EXPECT_EQ(Red(g, 0, 5), 130);
    EXPECT_EQ(Red(g, 5, 9), 70);
    EXPECT_EQ(Red(g, 9, 5), 80);
    EXPECT_EQ(Red(g, 9, 8), 100);
    EXPECT_EQ(Red(g, 5, 5), 100);

    TPixelGraphic white;
    Grey(white, 10, 10, 255);
    AddBevel(white, 2);
    EXPECT_EQ(Red(white, 5, 0), 255);
    EXPECT_EQ(Red(white, 0, 5), 255);
    EXPECT_EQ(Red(white, 5, 9), 178);
    EXPECT_EQ(Red(white, 9, 5), 204);
    // The second ring's top row reaches column W - 2.
    EXPECT_EQ(Red(white, 8, 8), 178);

    TPixelGraphic none;
    Grey(none, 10, 10, 100);
    AddBevel(none, 0);
    EXPECT_EQ(Red(none, 0, 0), 100);

    TPixelGraphic indexed;
    indexed.SetDimensions(8, 8, pf8Bit);
    AddBevel(indexed, 1);
    EXPECT_EQ(indexed.GetPixelFormat(), pf24Bit);
}

TEST(GdiDraw, RectanglesAndLinesLeaveOutTheirLastPixel)
{
    TPixelGraphic g;
    Grey(g, 20, 20, 0);
    QPainter& painter = g.GetCanvas()->Painter();
    GdiPrepare(painter);
    painter.setPen(GdiPen(RGB(255, 255, 255)));
    painter.setBrush(QColor(255, 0, 0));
    GdiRectangle(painter, 2, 2, 10, 10);
    GdiLine(painter, 0, 15, 10, 15);
    GdiLine(painter, 15, 0, 19, 4);
    g.Flush();
    EXPECT_EQ(g.GetPixelColor(2, 2), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(9, 9), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(g.GetPixelColor(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(g.GetPixelColor(10, 5), RGB(0, 0, 0));
    EXPECT_EQ(g.GetPixelColor(0, 15), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(9, 15), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(10, 15), RGB(0, 0, 0));
    EXPECT_EQ(g.GetPixelColor(18, 3), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(19, 4), RGB(0, 0, 0));
}

TEST(GdiDraw, WidePensHaveRoundEndsAndFontsUse96Dpi)
{
    TPixelGraphic g;
    Grey(g, 30, 30, 0);
    QPainter& painter = g.GetCanvas()->Painter();
    GdiPrepare(painter);
    painter.setPen(GdiPen(RGB(255, 255, 255), 7));
    GdiLine(painter, 10, 15, 20, 15);
    g.Flush();
    EXPECT_EQ(g.GetPixelColor(22, 15), RGB(255, 255, 255));
    EXPECT_EQ(g.GetPixelColor(22, 18), RGB(0, 0, 0));
    EXPECT_EQ(g.GetPixelColor(15, 18), RGB(255, 255, 255));

    EXPECT_EQ(GdiFont("DejaVu Sans", 9).pixelSize(), 12);
    EXPECT_EQ(GdiFont("DejaVu Sans", 12).pixelSize(), 16);
    const QFont font = GdiFont("DejaVu Sans", 12, true);
    EXPECT_GT(GdiTextWidth(font, "Wide text"), GdiTextWidth(font, "W"));
    EXPECT_GE(GdiTextHeight(font), 16);
}

} // namespace
} // namespace lumeno
