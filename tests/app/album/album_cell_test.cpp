#include "app/album/album_cell.h"

#include "album_fixture.h"
#include "app/album/album_frames.h"
#include "app/album/f_album.h"
#include "support/fifo_guard.h"
#include "support/metafile_builder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumeno {
namespace {

TAlbumCellJob CellJob(const std::string& path)
{
    TAlbumCellJob job;
    job.Path = path;
    job.Cell = {2550, 2300, 4800, 4300};
    return job;
}

TEST(AlbumCell, PictureIsFittedAndPreparedAtTheQualitysResolution)
{
    test::TempDir dir;
    const std::string wide = test::WritePicture(dir, "wide.jpg", 400, 300, clRed);
    const TAlbumCellPicture cell = PrepareAlbumCell(CellJob(wide));
    ASSERT_TRUE(cell.Error.empty()) << cell.Error;
    EXPECT_EQ(cell.ImageRect, (TRect{2650, 2531, 4700, 4069}));
    ASSERT_TRUE(cell.Picture);
    EXPECT_EQ(cell.Picture->GetWidth(), 683);
    EXPECT_EQ(cell.Picture->GetHeight(), 512);

    TAlbumCellJob turned = CellJob(wide);
    turned.Rotation = 1;
    const TAlbumCellPicture tall = PrepareAlbumCell(turned);
    EXPECT_EQ(tall.ImageRect.Width(), 1350);
    EXPECT_EQ(tall.ImageRect.Height(), 1800);
}

TEST(AlbumCell, EmbeddedCaptionDrawsItsBoxWhereAsked)
{
    test::TempDir dir;
    TAlbumCellJob job = CellJob(test::WritePicture(dir, "grey.png", 400, 300, RGB(100, 100, 100)));
    job.Options.CaptionPlacement = acpEmbedded;
    job.Options.EmbeddedPosition = aepTopLeft;
    job.Options.CaptionColor = clRed;
    job.Options.Caption = acCaption;
    job.Caption = "Summer";
    const TAlbumCellPicture cell = PrepareAlbumCell(job);
    ASSERT_TRUE(cell.Picture);
    // The box is lightened; the far corner is not.
    EXPECT_GT(GetRValue(cell.Picture->GetPixelColor(12, 12)), 100u);
    EXPECT_EQ(cell.Picture->GetPixelColor(600, 450), RGB(100, 100, 100));
}

TEST(AlbumCell, BorderEffectsGoThroughTheInstalledFrames)
{
    test::TempDir dir;
    TAlbumCellJob job = CellJob(test::WritePicture(dir, "a.png", 400, 300, clBlack));
    int bevel = -1;
    AlbumFrames().AddBevel = [&](TPixelGraphic&, int width) { bevel = width; };
    job.Options.BorderEffect = abeBevel;
    PrepareAlbumCell(job);
    AlbumFrames().AddBevel = nullptr;
    EXPECT_EQ(bevel, 683 * 3 / 100);

    job.Options.BorderEffect = abeSoftRectangle;
    const TAlbumCellPicture soft = PrepareAlbumCell(job);
    EXPECT_EQ(soft.Picture->GetPixelColor(0, 0), clWhite);
    EXPECT_EQ(soft.Picture->GetPixelColor(340, 256), clBlack);
}

TEST(AlbumCell, MetafilesAreKeptToPlayIntoTheirRectangle)
{
    test::TempDir dir;
    test::TBytes bytes = test::PlaceableHeader(0, 0, 1440, 720, 1440);
    const test::TBytes body = test::TWMFBuilder().Words(0x041B, {10, 10, 0, 0}).Build(0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    test::WriteFileBytes(dir.File("shape.wmf"), {bytes.begin(), bytes.end()});
    const TAlbumCellPicture cell = PrepareAlbumCell(CellJob(dir.File("shape.wmf")));
    ASSERT_TRUE(cell.Error.empty()) << cell.Error;
    ASSERT_TRUE(cell.Metafile);
    EXPECT_FALSE(cell.Picture);
    EXPECT_EQ(cell.ImageRect.Width(), 2050);
    EXPECT_EQ(cell.ImageRect.Height(), 1025);
}

TEST(AlbumCell, UnreadableFilesComeBackWithTheirError)
{
    test::TempDir dir;
    std::ofstream(dir.File("broken.jpg")) << "not a picture";
    const TAlbumCellPicture broken = PrepareAlbumCell(CellJob(dir.File("broken.jpg")));
    EXPECT_FALSE(broken.Error.empty());
    EXPECT_FALSE(broken.Picture);
    EXPECT_FALSE(PrepareAlbumCell(CellJob(dir.File("missing.png"))).Error.empty());
    for (const char* name : {"pipe.jpg", "pipe.wmf"}) {
        test::FifoGuard pipe(dir.File(name));
        EXPECT_FALSE(PrepareAlbumCell(CellJob(pipe.Path())).Error.empty());
        EXPECT_FALSE(pipe.Released()) << name << ": the worker waited in open()";
    }
}

TEST(AlbumCell, QuarterTurnsKeepTheSizeSwapped)
{
    test::TempDir dir;
    const std::string path = test::WritePicture(dir, "t.bmp", 40, 20, clBlue);
    for (const int angle : {90, 270}) {
        auto turned = TfAlbum::LoadRotatedImage(path, angle);
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->GetWidth(), 20);
        EXPECT_EQ(turned->GetHeight(), 40);
        EXPECT_EQ(turned->GetPixelColor(10, 20), clBlue);
    }
    // Clockwise: the left edge comes to the top.
    TPixelGraphic halves;
    halves.SetDimensions(40, 20, pf24Bit);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            halves.SetPixelColor(x, y, x < 20 ? clRed : clBlue);
    const auto clockwise = RotatedCopy(halves, 90);
    EXPECT_EQ(clockwise->GetPixelColor(10, 5), clRed);
    EXPECT_EQ(clockwise->GetPixelColor(10, 35), clBlue);
    EXPECT_EQ(TfAlbum::LoadRotatedImage(path, 180)->GetWidth(), 40);
    EXPECT_EQ(TfAlbum::LoadRotatedImage(path, 45), nullptr);
}

} // namespace
} // namespace lumeno
