#include "platform/qt/media/module/video_file.h"

#include "support/avi_clip.h"
#include "support/test_env.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::AviClip;

QRgb Expected(const AviClip& clip, std::uint32_t n, int x, int y)
{
    return 0xFF000000 | clip.Pixel(n, x, y);
}

TEST(VideoFile, TakesTheStreamInformationFromTheClip)
{
    test::TempDir dir;
    AviClip clip;
    clip.Width = 5;
    clip.Height = 3;
    clip.Frames = 9;
    clip.Scale = 1001;
    clip.Rate = 30000;
    clip.Write(dir.File("a.avi"));

    TVideoFile file(dir.File("a.avi"));
    EXPECT_EQ(file.Info().Length, 9);
    EXPECT_EQ(file.Info().Start, 0);
    EXPECT_EQ(file.Info().Scale, 1001u);
    EXPECT_EQ(file.Info().Rate, 30000u);
    EXPECT_EQ(file.Info().Width, 5);
    EXPECT_EQ(file.Info().Height, 3);
    EXPECT_FALSE(file.HasAudio());
    EXPECT_EQ(file.FrameToTime(30), 1001000);
}

TEST(VideoFile, GivesFrameNWhateverTheOrderOfAsking)
{
    test::TempDir dir;
    AviClip clip;
    clip.Width = 7; // rows padded to four bytes
    clip.Height = 3;
    clip.Frames = 6;
    clip.Write(dir.File("a.avi"));
    TVideoFile file(dir.File("a.avi"));

    for (std::uint32_t n : {0u, 1u, 2u, 5u, 3u, 3u, 0u, 4u}) {
        const QImage image = file.GetFrame(n);
        ASSERT_EQ(image.size(), QSize(7, 3)) << n;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(image.pixel(x, y), Expected(clip, n, x, y)) << n << " " << x << "," << y;
    }
    // Past the end gives the last frame.
    EXPECT_EQ(file.GetFrame(100).pixel(0, 0), Expected(clip, 5, 0, 0));
}

TEST(VideoFile, CountsFramesPastSixteenBits)
{
    test::TempDir dir;
    AviClip clip;
    clip.Width = 1;
    clip.Height = 1;
    clip.Frames = 70000;
    clip.Pixel = [](std::uint32_t n, int, int) { return n & 0xFFFFFF; };
    clip.Write(dir.File("long.avi"));

    TVideoFile file(dir.File("long.avi"));
    EXPECT_EQ(file.Info().Length, 70000);
    EXPECT_EQ(file.GetFrame(66000).pixel(0, 0), 0xFF000000u | 66000u);
    EXPECT_EQ(file.GetFrame(66001).pixel(0, 0), 0xFF000000u | 66001u);
    EXPECT_EQ(file.GetFrame(464).pixel(0, 0), 0xFF000000u | 464u);
}

TEST(VideoFile, RefusesFilesWithoutPictureAndSurvivesBrokenOnes)
{
    test::TempDir dir;
    EXPECT_THROW(TVideoFile(dir.File("missing.avi")), EVideoFile);
    test::WriteFileBytes(dir.File("text.avi"), std::vector<unsigned char>(100, 'x'));
    EXPECT_THROW(TVideoFile(dir.File("text.avi")), EVideoFile);

    AviClip clip;
    clip.SampleRate = 8000;
    const auto bytes = clip.Bytes();
    int opened = 0;
    for (std::size_t cut = 0; cut < bytes.size(); cut += 23) {
        auto broken = std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut);
        if (cut % 2) // garbage instead of the rest
            broken.resize(bytes.size(), 0xA5);
        test::WriteFileBytes(dir.File("b.avi"), broken);
        try {
            TVideoFile file(dir.File("b.avi"));
            ++opened;
            for (int n : {0, 4, 2})
                file.GetFrame(n);
        } catch (const EVideoFile&) {
        }
    }
    EXPECT_GT(opened, 0);
}

// A clip made by a program no one here wrote, with a real codec whose frames
// depend on earlier ones.
TEST(VideoFile, AgreesWithFfmpegOnItsOwnClip)
{
    if (!test::HaveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg not installed";
    test::TempDir dir;
    const std::string avi = dir.File("t.avi");
    ASSERT_EQ(test::Run("ffmpeg -v error -f lavfi -i testsrc=size=32x24:rate=30000/1001 "
                        "-frames:v 12 -c:v mpeg4 -g 5 -bf 0 -q:v 2 -y '" +
                        avi + "'"),
              0);
    ASSERT_EQ(test::Run("ffmpeg -v error -i '" + avi +
                        "' -vf select='eq(n\\,7)' -frames:v 1 "
                        "-pix_fmt rgb24 -y '" +
                        dir.File("f7.ppm") + "'"),
              0);
    QImage reference(QString::fromStdString(dir.File("f7.ppm")));
    ASSERT_FALSE(reference.isNull());

    TVideoFile file(avi);
    EXPECT_EQ(file.Info().Length, 12);
    EXPECT_EQ(file.Info().Scale, 1001u);
    EXPECT_EQ(file.Info().Rate, 30000u);
    file.GetFrame(11);
    const QImage frame = file.GetFrame(7); // back across a key frame
    ASSERT_EQ(frame.size(), reference.size());
    long diff = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb a = frame.pixel(x, y), b = reference.pixel(x, y);
            diff +=
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(diff / (frame.width() * frame.height() * 3), 6);
}

} // namespace
} // namespace lumeno
