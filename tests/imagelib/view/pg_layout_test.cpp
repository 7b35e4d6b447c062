#include "imagelib/view/pg_layout.h"
#include "imagelib/view/pg_selection.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TPGLayoutResult Lay(TStretch s, TPGSize src, TPGSize avail, Extended zoom = 1.0L)
{
    TPGLayoutInput in;
    in.Source = src;
    in.Available = avail;
    in.Stretch = s;
    in.ZoomFactor = zoom;
    in.HScrollHeight = 16;
    in.VScrollWidth = 16;
    return PGLayoutPicture(in);
}

TEST(PGLayout, StretchRules)
{
    EXPECT_EQ(Lay(sNeverKAR, {400, 300}, {200, 200}).Picture, (TPGSize{400, 300}));
    const auto fit = Lay(sAlwaysKAR, {400, 300}, {200, 200});
    EXPECT_EQ(fit.Picture, (TPGSize{200, 150}));
    EXPECT_DOUBLE_EQ(static_cast<double>(fit.Zoom), 0.5);
    const auto always = Lay(sAlways, {400, 300}, {200, 100});
    EXPECT_EQ(always.Picture, (TPGSize{200, 100}));
    EXPECT_EQ(always.Zoom, -1);
    const auto shrink = Lay(sShrink, {400, 50}, {200, 100});
    EXPECT_EQ(shrink.Picture, (TPGSize{200, 50}));
    EXPECT_EQ(shrink.Zoom, -1);
    EXPECT_EQ(Lay(sShrinkKAR, {100, 50}, {200, 200}).Picture, (TPGSize{100, 50}));
    EXPECT_EQ(Lay(sEnlargeKAR, {100, 50}, {200, 200}).Picture, (TPGSize{200, 100}));
    EXPECT_EQ(Lay(sEnlargeKAR, {300, 50}, {200, 200}).Picture, (TPGSize{300, 50}));
    // Longer edge: a tall picture fills the width less the vertical bar and scrolls down.
    EXPECT_EQ(Lay(sAlwaysLongerEdgeKAR, {100, 400}, {200, 200}).Picture, (TPGSize{184, 736}));
    EXPECT_EQ(Lay(sShrinkLongerEdgeKAR, {100, 400}, {200, 200}).Picture, (TPGSize{100, 400}));
}

TEST(PGLayout, ZoomBelowOrAtZeroShowsFullSize)
{
    for (const Extended z : {0.0L, -2.0L}) {
        const auto r = Lay(sZoomKAR, {40, 30}, {200, 200}, z);
        EXPECT_EQ(r.Picture, (TPGSize{40, 30}));
        EXPECT_EQ(r.Zoom, 1);
    }
    EXPECT_EQ(Lay(sZoomKAR, {40, 30}, {200, 200}, 2.5L).Picture, (TPGSize{100, 75}));
    // Zoom is ignored by the other rules.
    EXPECT_EQ(Lay(sNeverKAR, {40, 30}, {200, 200}, 3).Picture, (TPGSize{40, 30}));
}

TEST(PGLayout, FittingNeverGivesAnEmptyPicture)
{
    EXPECT_EQ(Lay(sAlwaysKAR, {100000, 1}, {200, 200}).Picture, (TPGSize{200, 1}));
    EXPECT_EQ(Lay(sAlwaysKAR, {1, 100000}, {200, 200}).Picture, (TPGSize{1, 200}));
    EXPECT_EQ(Lay(sZoomKAR, {10, 10}, {200, 200}, 0.001L).Picture, (TPGSize{1, 1}));
    EXPECT_EQ(Lay(sAlwaysKAR, {0, 0}, {200, 200}).Picture, (TPGSize{0, 0}));
}

TEST(PGLayout, BarsAndCentring)
{
    const TPGBars none = PGNeededBars({100, 100}, {200, 200}, 16, 16);
    EXPECT_FALSE(none.Horizontal || none.Vertical);
    // A horizontal bar takes height, which then needs the vertical one.
    const TPGBars both = PGNeededBars({300, 190}, {200, 200}, 16, 16);
    EXPECT_TRUE(both.Horizontal && both.Vertical);
    EXPECT_EQ(PGCenterOffset({100, 50}, {200, 200}, 16, 16), (TPGSize{50, 75}));
    EXPECT_EQ(PGCenterOffset({300, 50}, {200, 200}, 16, 16), (TPGSize{0, 67}));
}

TEST(PGLayout, MappingUses64Bits)
{
    EXPECT_EQ(PGScale(30000, 100000, 4000), 750000);
    EXPECT_EQ(PGScale(100000, 400000, 100000), 400000);
    EXPECT_EQ(PGScale(5, 7, 0), 0);
}

TEST(PGLayout, TileRangeCoversTheClientArea)
{
    EXPECT_EQ(PGTileRange(50, 100, 500).First, -1);
    EXPECT_EQ(PGTileRange(50, 100, 500).Last, 4);
    EXPECT_EQ(PGTileRange(150, 100, 200).First, -2);
    EXPECT_EQ(PGTileRange(0, 100, 100).Last, 0);
}

TEST(PGSelection, HandlesAndResizing)
{
    const TRect frame = Rect(20, 20, 60, 40);
    EXPECT_EQ(PGHandleAt(frame, 12, 12), hTopLeft);
    EXPECT_EQ(PGHandleAt(frame, 17, 17), -1); // right/bottom edge excluded
    EXPECT_EQ(PGHandleAt(frame, 40, 14), hTopMiddle);
    EXPECT_EQ(PGHandleAt(frame, 64, 44), hBottomRight);
    EXPECT_EQ(PGHandleAt(frame, 30, 30), -1);

    // Top-left dragged past the bottom-right stops at the old last pixel.
    const TPGSelectionRect sel{10, 10, 20, 10};
    const TPoint grab = PGHandleGrab(hTopLeft, sel, 10, 10);
    EXPECT_EQ(PGResizeSelection(sel, hTopLeft, 100, 100, grab), (TPGSelectionRect{29, 19, 1, 1}));
    const TPoint grabBR = PGHandleGrab(hBottomRight, sel, 30, 20);
    EXPECT_EQ(PGResizeSelection(sel, hBottomRight, 0, 0, grabBR), (TPGSelectionRect{10, 10, 1, 1}));
    EXPECT_EQ(PGResizeSelection(sel, hMiddleRight, 40, 99, grabBR), (TPGSelectionRect{10, 10, 30, 10}));
}

TEST(PGSelection, MovingKeepsOneRowAndColumnOverTheImage)
{
    const TPGSelectionRect sel{10, 10, 20, 10};
    EXPECT_EQ(PGMoveSelection(sel, -500, -500, {0, 0}, 100, 80), (TPGSelectionRect{-19, -9, 20, 10}));
    EXPECT_EQ(PGMoveSelection(sel, 500, 500, {0, 0}, 100, 80), (TPGSelectionRect{99, 79, 20, 10}));
    EXPECT_EQ(PGCreateSelection({10, 10}, 5, 20), (TPGSelectionRect{5, 10, 6, 11}));
}

TEST(PGSelection, PatternBandsMoveWithThePhase)
{
    const QImage p0 = PGSelectionPattern(clWhite, clRed, 0);
    const QImage p1 = PGSelectionPattern(clWhite, clRed, 1);
    EXPECT_EQ(p0.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(p0.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(p1.pixel(5, 0), p0.pixel(4, 0));
    EXPECT_EQ(p1.pixel(4, 0), qRgb(255, 255, 255));
}

} // namespace
} // namespace lumeno
