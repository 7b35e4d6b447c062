#include "app/common/view_fit.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(ViewFit, FitsByTheRelativeShapeOfPanelAndPicture)
{
    EXPECT_EQ(FitToPanelSize({400, 300}, {2000, 1000}), QSize(392, 196));
    EXPECT_EQ(FitToPanelSize({400, 300}, {1000, 2000}), QSize(146, 292));
    // Equal shapes take the width road.
    EXPECT_EQ(FitToPanelSize({408, 308}, {400, 300}), QSize(400, 300));
}

TEST(ViewFit, PicturesWithoutAreaAreNotFittedAndTinyPanelsKeepAVisibleViewer)
{
    EXPECT_FALSE(FitToPanelSize({400, 300}, {0, 100}).isValid());
    EXPECT_FALSE(FitToPanelSize({400, 300}, {100, 0}).isValid());
    EXPECT_EQ(FitToPanelSize({6, 5}, {100, 100}), QSize(1, 1));
}

TEST(ViewFit, AviShrinksIntoA145PixelBoxRoundingHalfToEven)
{
    EXPECT_EQ(ShrinkAviSize({320, 240}), QSize(145, 109));
    EXPECT_EQ(ShrinkAviSize({240, 320}), QSize(109, 145));
    EXPECT_EQ(ShrinkAviSize({290, 1}), QSize(145, 1));
    // 145 * 0.5 = 72.5 goes to the even 72.
    EXPECT_EQ(ShrinkAviSize({200, 100}), QSize(145, 72));
}

TEST(ViewFit, StatusTexts)
{
    EXPECT_EQ(SizeText(1), "1K");
    EXPECT_EQ(SizeText(0), "1K");
    EXPECT_EQ(SizeText(1023), "1K");
    EXPECT_EQ(SizeText(1024), "2K");
    EXPECT_EQ(SizeText(-1), "1K");
    EXPECT_EQ(PictureText("photo.jpg", 640, 480), " photo.jpg  (640 x 480)");
    EXPECT_EQ(ShowExt("/a/x.jpeg"), "JPE");
    EXPECT_EQ(ShowExt("/a.b/x.Gif"), "GIF");
    EXPECT_EQ(ShowExt("/a.b/noext"), "");
}

} // namespace
} // namespace lumeno
