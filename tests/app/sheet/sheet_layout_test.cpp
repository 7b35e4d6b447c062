#include "app/sheet/sheet_layout.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

constexpr TSheetGrid kGrid{6, 96, 20, 30, 0, 0};

TEST(SheetLayout, SizeFollowsRowsColumnsSpacingAndBands)
{
    EXPECT_EQ(SheetRows(7, 6), 2);
    EXPECT_EQ(SheetRows(6, 6), 1);
    EXPECT_EQ(SheetSize(kGrid, 7), (TSheetSize{716, 282}));
    EXPECT_EQ(SheetSize(kGrid, 6), (TSheetSize{716, 156}));
    TSheetGrid banded = kGrid;
    banded.TitleHeight = 33;
    banded.FooterHeight = 15;
    EXPECT_EQ(SheetSize(banded, 7).Height, 282 + 48);
    EXPECT_FALSE(SheetTooLarge(SheetSize(kGrid, 700)));
    const TSheetGrid huge{20, 900, 100, 100, 0, 0};
    EXPECT_TRUE(SheetTooLarge(SheetSize(huge, 2000)));
}

TEST(SheetLayout, CellsAndPicturesSitOnTheCellBottom)
{
    EXPECT_EQ(CellOrigin(kGrid, 0), (TPoint{20, 20}));
    EXPECT_EQ(CellOrigin(kGrid, 6), (TPoint{20, 146}));
    EXPECT_EQ(CellOrigin(kGrid, 1), (TPoint{136, 20}));

    EXPECT_EQ(FittedSize(200, 100, 96), (TSheetSize{96, 48}));
    EXPECT_EQ(FittedSize(100, 200, 96), (TSheetSize{48, 96}));
    EXPECT_EQ(FittedSize(300, 300, 96), (TSheetSize{96, 96}));
    EXPECT_EQ(FittedSize(1000, 1, 96), (TSheetSize{96, 1})); // never 0 pixels
    EXPECT_EQ(FittedSize(4000, 3000, 96), (TSheetSize{96, 72}));
    EXPECT_EQ(FittedSize(3000, 4000, 97), (TSheetSize{72, 97})); // Trunc(72.75)

    EXPECT_EQ(PicturePlace(kGrid, CellOrigin(kGrid, 0), 96, 48), (TPoint{20, 68}));
    EXPECT_EQ(PicturePlace(kGrid, CellOrigin(kGrid, 0), 48, 96), (TPoint{44, 20}));
}

TEST(SheetLayout, NamesCentreWhenTheyFitAndAreClippedToTheSpacing)
{
    const TNamePlace narrow = NamePlace(kGrid, 7, 40);
    EXPECT_EQ(narrow.Y, 20 + 126 + 96 + 4);
    EXPECT_EQ(narrow.X, 136 + 48 - 20);
    EXPECT_EQ(narrow.Clip, Rect(126, narrow.Y, 242, narrow.Y + 20));
    const TNamePlace wide = NamePlace(kGrid, 7, 116);
    EXPECT_EQ(wide.X, 126);
    EXPECT_EQ(NamePlace(kGrid, 7, 115).X, 136 + 48 - 57);
}

TEST(SheetLayout, BandsTitleAndShadow)
{
    EXPECT_EQ(TextBandHeight(24), 33);
    EXPECT_EQ(TextBandHeight(10), 14);
    EXPECT_EQ(TitleLeft(716, 116), 300);
    EXPECT_EQ(TitleLeft(716, 717), -1);
    EXPECT_EQ(FooterTop(282, 14), 258);
    EXPECT_EQ(ShadowValue(255, 0), 127);
    EXPECT_EQ(ShadowValue(255, 5), (21 * 5 + 127) % 256);
    EXPECT_EQ(ShadowValue(240, 5), (100 + 120) % 256);
    EXPECT_EQ(ShadowValue(0, 3), 0);
}

} // namespace
} // namespace lumeno
