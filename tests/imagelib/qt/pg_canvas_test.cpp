#include "imagelib/filters/point_filters.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_canvas_qt.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

void FillRect(TPixelGraphic& g, int x, int y, int w, int h, QColor c)
{
    g.GetCanvas()->Painter().fillRect(x, y, w, h, c);
}

TEST(PGCanvas, PaintingReachesThePixelsAtEveryDepth)
{
    const struct {
        std::uint8_t format;
        TPaletteIdent palette;
    } cases[] = {{pf1Bit, pBlackWhite}, {pf4Bit, pSys16}, {pf8Bit, pSpecial216}, {pf24Bit, pTrueColor}};
    for (const auto& c : cases) {
        TPixelGraphic g;
        g.SetDimensions(10, 6, c.format);
        g.SetPaletteType(c.palette);
        FillRect(g, 2, 1, 3, 2, QColor(255, 255, 255));
        const std::uint32_t white = g.ColorToIndex(clWhite);
        EXPECT_EQ(g.GetPixel(2, 1), white) << int(c.format);
        EXPECT_EQ(g.GetPixel(4, 2), white) << int(c.format);
        EXPECT_EQ(g.GetPixel(5, 2), 0u) << int(c.format);
        EXPECT_EQ(g.GetPixel(2, 3), 0u) << int(c.format);
        EXPECT_EQ(g.GetPixel(2, 4), 0u) << int(c.format);
    }
}

TEST(PGCanvas, UnpaintedPixelsKeepTheirIndex)
{
    TPixelGraphic g;
    g.SetDimensions(4, 1, pf8Bit);
    g.SetPaletteSize(8);
    g.SetPaletteEntry(0, clRed);
    g.SetPaletteEntry(5, clRed);
    g.SetPaletteEntry(6, clBlue);
    g.SetPixel(0, 0, 5);
    g.SetPixel(3, 0, 7); // beyond what the palette was given: shown as entry 0
    FillRect(g, 1, 0, 1, 1, QColor(0, 0, 250));
    EXPECT_EQ(g.GetPixel(0, 0), 5u);
    EXPECT_EQ(g.GetPixel(1, 0), 6u);
    EXPECT_EQ(g.GetPixel(3, 0), 7u);
}

TEST(PGCanvas, DirectWritesSurviveLaterPainting)
{
    TPixelGraphic g;
    g.SetDimensions(4, 4, pf24Bit);
    QPainter& p = g.GetCanvas()->Painter();
    p.setPen(QColor(1, 2, 3));
    p.drawPoint(3, 3);
    g.SetPixel(0, 0, RGB(9, 9, 9)); // flushes
    EXPECT_EQ(g.GetPixel(3, 3), RGB(1, 2, 3));
    QPainter& again = g.GetCanvas()->Painter();
    EXPECT_EQ(again.pen().color(), QColor(1, 2, 3));
    again.drawPoint(1, 1);
    EXPECT_EQ(g.GetPixel(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(g.GetPixel(1, 1), RGB(1, 2, 3));
}

TEST(PGCanvas, ReallocationDropsPendingShadow)
{
    TPixelGraphic g;
    g.SetDimensions(4, 4, pf24Bit);
    FillRect(g, 0, 0, 4, 4, Qt::white);
    g.SetDimensions(8, 2, pf24Bit);
    EXPECT_EQ(g.GetPixel(7, 1), clBlack);
    FillRect(g, 6, 0, 2, 2, Qt::white);
    EXPECT_EQ(g.GetPixel(7, 1), clWhite);
}

TEST(PGCanvas, HandingOutThePainterNotifiesTheOwner)
{
    TPixelGraphic g;
    g.SetDimensions(2, 2, pf24Bit);
    int changes = 0;
    g.SetOnChange([&](TObject*) { ++changes; });
    g.GetCanvas()->Painter().drawPoint(0, 0);
    EXPECT_EQ(changes, 1);
    g.BeginUpdate();
    g.GetCanvas()->Painter().drawPoint(1, 1);
    EXPECT_EQ(changes, 1);
}

// Large enough that the filter's rows are made on several threads, which
// must all see the painting.
TEST(PGCanvas, PaintingReachesAFilterRunOnSeveralThreads)
{
    SetParallelThreads(4);
    TPixelGraphic source, target;
    source.SetDimensions(1024, 1024, pf24Bit);
    target.SetDimensions(1, 1, pf24Bit);
    FillRect(source, 0, 0, 1024, 1024, QColor(10, 20, 30));
    TBCGFilter unchanged;
    unchanged.SetBrightness(0);
    target.ApplyFilter(unchanged, source);
    SetParallelThreads(0);
    for (const int y : {0, 511, 1023})
        EXPECT_EQ(target.GetPixelColor(700, y), RGB(10, 20, 30)) << y;
}

} // namespace
} // namespace lumeno
