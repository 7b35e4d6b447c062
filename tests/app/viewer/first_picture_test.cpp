#include "app/viewer/first_picture.h"

#include "imagelib/pg_startup_qt.h"
#include "imagelib/pixel_graphic.h"
#include "support/test_env.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// The start file's picture decoded ahead on a worker, at a scale that
// covers the panel, handed over only for the file and size it fits.
class FirstPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartupAllFormats(); }

    std::string Picture(const std::string& Name, int W, int H)
    {
        QImage image(W, H, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        EXPECT_TRUE(image.save(QString::fromStdString(dir_.File(Name))));
        return dir_.File(Name);
    }

    test::TempDir dir_;
};

TEST_F(FirstPicture, ALargeJpegIsDecodedScaledToCoverThePanel)
{
    const std::string path = Picture("big.jpg", 1600, 1200);
    TFirstPicture first(path, QSize(400, 300));
    std::unique_ptr<TPixelGraphic> image = first.Take(path, QSize(392, 294));
    ASSERT_NE(image, nullptr);
    EXPECT_GE(image->GetWidth(), 392);
    EXPECT_GE(image->GetHeight(), 294);
    EXPECT_LT(image->GetWidth(), 800) << "decoded at a reduced scale";
    // It is handed over once.
    EXPECT_EQ(first.Take(path, QSize(392, 294)), nullptr);
}

TEST_F(FirstPicture, NothingIsHandedOverForAnotherFileOrALargerPanel)
{
    const std::string path = Picture("big.jpg", 1600, 1200);
    const std::string other = Picture("other.jpg", 1600, 1200);
    EXPECT_EQ(TFirstPicture(path, QSize(400, 300)).Take(other, QSize(392, 294)), nullptr);
    // The window came out larger than the settings promised.
    EXPECT_EQ(TFirstPicture(path, QSize(400, 300)).Take(path, QSize(792, 594)), nullptr);
}

TEST_F(FirstPicture, NothingIsDecodedAheadThatTheViewerReadsWhole)
{
    // Shown at more than half its size: the viewer reads it whole.
    const std::string small = Picture("small.jpg", 500, 400);
    EXPECT_EQ(TFirstPicture(small, QSize(400, 300)).Take(small, QSize(367, 294)), nullptr);
    const std::string png = Picture("big.png", 1600, 1200);
    EXPECT_EQ(TFirstPicture(png, QSize(400, 300)).Take(png, QSize(392, 294)), nullptr);
    const std::string missing = dir_.File("missing.jpg");
    EXPECT_EQ(TFirstPicture(missing, QSize(400, 300)).Take(missing, QSize(392, 294)), nullptr);
}

TEST_F(FirstPicture, AFileChangedSinceTheDecodeIsReadAgain)
{
    const std::string path = Picture("big.jpg", 1600, 1200);
    TFirstPicture first(path, QSize(400, 300));
    first.WaitForDecode();
    Picture("big.jpg", 1600, 1201);
    EXPECT_EQ(first.Take(path, QSize(392, 294)), nullptr);
}

} // namespace
} // namespace lumeno
