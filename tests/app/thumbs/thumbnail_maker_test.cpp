#include "app/thumbs/thumbnail_loader.h"
#include "app/thumbs/thumbnail_maker.h"
#include "imagelib/pg_startup.h"
#include "support/test_env.h"
#include "thumb_files.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

namespace lumeno {
namespace {

constexpr TColor kFill = 0xE6FFFE;
constexpr TColor kRed = 0x0000FF;

class ThumbnailMaker : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    test::TempDir dir;
};

TEST(ThumbCellPlacement, KeepsSmallPicturesAndFitsLargeOnes)
{
    const TThumbPlacement small = ThumbCellPlacement(50, 30, 64);
    EXPECT_EQ(small.X, 7);
    EXPECT_EQ(small.Y, 0);
    EXPECT_EQ(small.Width, 50);
    EXPECT_EQ(small.Height, 30);
    const TThumbPlacement wide = ThumbCellPlacement(1000, 500, 96);
    EXPECT_EQ(wide.Width, 96);
    EXPECT_EQ(wide.Height, 48);
    EXPECT_EQ(wide.X, 0);
    const TThumbPlacement tall = ThumbCellPlacement(500, 1000, 96);
    EXPECT_EQ(tall.Width, 48);
    EXPECT_EQ(tall.Height, 96);
    EXPECT_EQ(tall.X, 24);
    const TThumbPlacement line = ThumbCellPlacement(1000, 1, 64);
    EXPECT_EQ(line.Height, 1) << "a side never shrinks to nothing";
    EXPECT_EQ(ThumbCellPlacement(64, 10, 64).Width, 64) << "a side equal to the size counts as large";
}

TEST_F(ThumbnailMaker, CellIsTopAlignedAndCentredOnTheListColour)
{
    const std::string path = dir.File("small.bmp");
    test::WriteSolidImage(path, 50, 30, kRed);
    TThumbWork work;
    ASSERT_TRUE(MakeThumbnailCell(path, 64, kFill, work));
    EXPECT_EQ(work.Cell.GetWidth(), 64);
    EXPECT_EQ(work.Cell.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(work.Cell.GetPixelColor(7, 0), kRed);
    EXPECT_EQ(work.Cell.GetPixelColor(56, 29), kRed);
    EXPECT_EQ(work.Cell.GetPixelColor(6, 0), kFill);
    EXPECT_EQ(work.Cell.GetPixelColor(57, 0), kFill);
    EXPECT_EQ(work.Cell.GetPixelColor(7, 30), kFill);

    const QImage image = ThumbnailImage(work.Cell);
    EXPECT_EQ(image.pixel(7, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 63), qRgb(0xFE, 0xFF, 0xE6));
}

TEST_F(ThumbnailMaker, UnreadableFilesGetTheQuestionMark)
{
    const std::string bad = dir.File("bad.jpg");
    test::WriteFileBytes(bad, {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'});
    TThumbWork work;
    EXPECT_FALSE(MakeThumbnailCell(bad, 96, kFill, work));
    EXPECT_FALSE(MakeThumbnailCell(dir.File("gone.png"), 96, kFill, work));
    TPixelGraphic mark;
    LoadQuestionMark(mark);
    const TThumbPlacement place = ThumbCellPlacement(mark.GetWidth(), mark.GetHeight(), 96);
    for (int y = 0; y < mark.GetHeight(); y += 5)
        for (int x = 0; x < mark.GetWidth(); x += 5)
            ASSERT_EQ(work.Cell.GetPixelColor(place.X + x, y), mark.GetPixelColor(x, y));
}

TEST_F(ThumbnailMaker, ScaledJpegLoadMatchesTheFullDecode)
{
    const std::string path = dir.File("big.jpg");
    test::WriteGradientImage(path, 1600, 1200);
    TThumbWork fast;
    ASSERT_TRUE(MakeThumbnailCell(path, 128, kFill, fast));
    TThumbWork full;
    full.Source.LoadFromFile(path);
    ComposeThumbnail(full, 128, kFill);
    double squares = 0;
    for (int y = 0; y < 128; ++y) {
        const std::uint8_t* a = fast.Cell.GetScanLine(y);
        const std::uint8_t* b = full.Cell.GetScanLine(y);
        for (int i = 0; i < 128 * 3; ++i)
            squares += (a[i] - b[i]) * (a[i] - b[i]);
    }
    const double mse = squares / (128.0 * 128 * 3);
    const double psnr = mse == 0 ? 99 : 10 * std::log10(255.0 * 255 / mse);
    EXPECT_GE(psnr, 35.0);
}

TEST_F(ThumbnailMaker, LoaderHandsCellsOverInListOrder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(dir.File("p" + std::to_string(i) + ".bmp"));
        test::WriteSolidImage(paths.back(), 20 + i, 10, kRed);
    }
    paths[5] = dir.File("missing.bmp");
    TThumbnailLoader loader(4);
    std::vector<int> order;
    std::vector<bool> loaded;
    bool done = false;
    loader.Start({paths, 64, kFill},
                 [&](int index, const QImage& cell, bool ok) {
                     EXPECT_EQ(cell.width(), 64);
                     order.push_back(index);
                     loaded.push_back(ok);
                 },
                 [&] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    ASSERT_EQ(order.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(loaded[5]);
    EXPECT_TRUE(loaded[6]);
    EXPECT_FALSE(loader.Running());
}

TEST_F(ThumbnailMaker, StopKeepsWhatWasHandedOverAndDropsTheRest)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(dir.File("s" + std::to_string(i) + ".jpg"));
        test::WriteGradientImage(paths.back(), 400, 300);
    }
    TThumbnailLoader loader(2);
    int cells = 0;
    bool done = false;
    loader.Start({paths, 64, kFill}, [&](int, const QImage&, bool) {
        if (++cells == 3)
            loader.Stop();
    }, [&] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return cells >= 3; }, 10000));
    QTest::qWait(200);
    EXPECT_EQ(cells, 3);
    EXPECT_FALSE(done);
    EXPECT_FALSE(loader.Running());

    // A new load after a stop runs to the end.
    loader.Start({{paths[0]}, 64, kFill}, nullptr, [&] { done = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
}

} // namespace
} // namespace lumeno
