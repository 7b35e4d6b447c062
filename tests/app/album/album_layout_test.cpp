#include "app/album/album_layout.h"

#include "app/album/album_file.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// US Letter at 600 dpi with half-inch margins.
TAlbumPage Letter600()
{
    return {5100, 6600, 300, 300, 300, 300};
}

TEST(AlbumLayout, CellsFillTheUsableAreaRowByRow)
{
    const TAlbumCells cells = AlbumCellLayout(Letter600(), 3, 2);
    EXPECT_EQ(cells.CellWidth, 2250);
    EXPECT_EQ(cells.CellHeight, 2000);
    ASSERT_EQ(cells.Cells.size(), 6u);
    EXPECT_EQ(cells.Cells[0], (TRect{300, 300, 2550, 2300}));
    EXPECT_EQ(cells.Cells[3], (TRect{2550, 2300, 4800, 4300}));
    EXPECT_EQ(cells.Cells[5].Bottom, 6300);
    EXPECT_EQ(AlbumCellLayout(Letter600(), 6, 6).Cells.size(), 36u);
}

TEST(AlbumLayout, PicturesFitByWidthOrByHeight)
{
    const TRect cell{2550, 2300, 4800, 4300};
    EXPECT_EQ(FitInCell(cell, 3.0 / 4.0, 100), (TRect{2650, 2531, 4700, 4069}));
    const TRect tall = FitInCell(cell, 4.0 / 3.0, 100);
    EXPECT_EQ(tall.Width(), 1350);
    EXPECT_EQ(tall.Height(), 1800);
    EXPECT_EQ(tall.Left, 2550 + (2250 - 1350) / 2);
    // A border wider than the cell still leaves a picture to draw.
    const TRect squeezed = FitInCell({0, 0, 150, 150}, 1.0, 100);
    EXPECT_GE(squeezed.Width(), 1);
    EXPECT_GE(squeezed.Height(), 1);
}

TEST(AlbumLayout, WorkPictureFollowsTheQuality)
{
    EXPECT_EQ(WorkPictureSize(2050, 1538, 600, 600, aqBetter), (TPoint{683, 512}));
    EXPECT_EQ(WorkPictureSize(2050, 1538, 600, 600, aqGood), (TPoint{546, 410}));
    EXPECT_EQ(WorkPictureSize(1, 1, 600, 600, aqGood), (TPoint{1, 1}));
    EXPECT_EQ(EmbeddedFontSize(aqGood), 13);
    EXPECT_EQ(EmbeddedFontSize(aqBetter), 17);
    EXPECT_EQ(EmbeddedFontSize(aqBest), 20);
    EXPECT_EQ(QualityStretchMode(aqBetter), smPrecise);
    EXPECT_EQ(QualityViewStretchMode(aqBetter), smMedium);
}

TEST(AlbumLayout, CaptionTextByChoice)
{
    const std::string path = "/photos/beach.jpg";
    EXPECT_EQ(AlbumCaptionText(acNone, path, "C", "D", "U"), "");
    EXPECT_EQ(AlbumCaptionText(acFilename, path, "C", "D", "U"), "beach.jpg");
    EXPECT_EQ(AlbumCaptionText(acCaption, path, "C", "D", "U"), "C");
    EXPECT_EQ(AlbumCaptionText(acDateTime, path, "C", "2024:01:02 10:11:12", "U"), "2024:01:02 10:11:12");
    EXPECT_EQ(AlbumCaptionText(acFilenameDateTime, path, "C", "D", "U"), "beach.jpg  D");
    EXPECT_EQ(AlbumCaptionText(acCustom, path, "C", "D", "U"), "U");
}

TEST(AlbumLayout, CaptionPlaces)
{
    EXPECT_EQ(UnderImageCaptionOrigin({300, 300, 2550, 2300}, 400, 50), (TPoint{1225, 2225}));
    EXPECT_EQ(EmbeddedCaptionBox(683, 512, 100, 20, aepTopLeft), (TRect{10, 10, 120, 40}));
    EXPECT_EQ(EmbeddedCaptionBox(683, 512, 100, 20, aepBottomCenter), (TRect{286, 472, 396, 502}));
    EXPECT_EQ(EmbeddedCaptionBox(683, 512, 100, 20, aepBottomRight), (TRect{563, 472, 673, 502}));
}

TEST(AlbumLayout, EntriesRunOverPages)
{
    EXPECT_EQ(AlbumPageCount(7, 6), 2);
    EXPECT_EQ(AlbumPageOf(6, 6), 1);
    EXPECT_EQ(AlbumCellOf(6, 6), 0);
    EXPECT_EQ(AlbumPageCount(0, 6), 0);
    EXPECT_EQ(AlbumCountText(3, 12), "3/12    ");
}

} // namespace
} // namespace lumeno
