#include "controls/media/gif_image.h"

#include "gif_test_util.h"
#include "support/test_env.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace lumeno {
namespace {

using test::GifBytes;

const char* const kIM = "convert-im6.q16";

void LoadBytes(TGIFImage& gif, const std::vector<std::uint8_t>& bytes)
{
    TMemoryStream stream(bytes);
    gif.LoadFromStream(stream);
}

std::string MakeGif(const test::TempDir& dir, const std::string& name, const std::string& args)
{
    const std::string path = dir.File(name);
    EXPECT_EQ(test::Run(std::string(kIM) + " " + args + " '" + path + "'"), 0) << args;
    return path;
}

// Differences between our composed frame and ImageMagick's: transparent
// pixels must agree on being transparent, others on their colour.
int Differences(const QImage& ours, const QImage& theirs)
{
    if (ours.size() != theirs.size())
        return -1;
    int differences = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y);
            const QRgb b = theirs.pixel(x, y);
            if (qAlpha(b) == 0 ? qAlpha(a) != 0 : (a | 0xFF000000) != (b | 0xFF000000) || qAlpha(a) != 255)
                ++differences;
        }
    return differences;
}

void ExpectSameAsImageMagick(const std::string& file)
{
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromFile(file));
    const auto expected = test::CoalescedFrames(file, gif.PictureSize().width(), gif.PictureSize().height());
    ASSERT_EQ(static_cast<int>(expected.size()), gif.FrameCount()) << file;
    for (int n = 1; n <= gif.FrameCount(); ++n) {
        gif.SetCurrentFrame(n);
        EXPECT_EQ(Differences(gif.Composition(), expected[static_cast<std::size_t>(n - 1)]), 0)
            << file << " frame " << n;
    }
    // A jump backwards replays the frames before it.
    gif.SetCurrentFrame(gif.FrameCount() - 1);
    EXPECT_EQ(Differences(gif.Composition(), expected[static_cast<std::size_t>(gif.FrameCount() - 2)]), 0);
}

TEST(GIFImage, ComposedFramesMatchImageMagick)
{
    if (!test::HaveTool(kIM))
        GTEST_SKIP() << "ImageMagick missing";
    test::TempDir dir;
    // Disposal 1, 2, 3, a transparent frame, and local tables.
    ExpectSameAsImageMagick(
        MakeGif(dir, "disposal.gif",
                "-delay 10 -dispose none -size 20x16 xc:red "
                "-dispose background -page +3+2 \\( -size 8x6 xc:blue \\) "
                "-dispose previous -page +10+5 \\( -size 6x6 xc:yellow \\) "
                "-dispose none -page +1+1 \\( -size 10x10 xc:none -fill green -draw 'rectangle 2,2,5,5' \\) "
                "-page +12+0 \\( -size 4x4 xc:white \\) -loop 0"));
    // Transparent first frame, a cleared area showing through, partial frames.
    ExpectSameAsImageMagick(MakeGif(
        dir, "transparent.gif",
        "-delay 5 -dispose none \\( -size 24x18 xc:none -fill navy -draw 'circle 12,9 12,2' \\) "
        "-dispose background -page +4+4 \\( -size 10x8 xc:orange -fill none -draw 'point 3,3' \\) "
        "-dispose previous -page +0+0 \\( -size 24x18 xc:none -fill lime -draw 'rectangle 0,0,23,3' \\) "
        "-dispose none -page +18+10 \\( -size 6x8 plasma:fractal -colors 30 \\)"));
    // Interlaced frames with their own tables.
    ExpectSameAsImageMagick(
        MakeGif(dir, "interlaced.gif",
                "-interlace GIF -delay 20 \\( -size 37x29 gradient:red-blue -colors 60 \\) "
                "-page +5+3 \\( -size 19x23 gradient:yellow-black -colors 17 \\)"));
}

TEST(GIFImage, HeaderVersionTablesAndInterlaceFlagAreRead)
{
    if (!test::HaveTool(kIM))
        GTEST_SKIP() << "ImageMagick missing";
    test::TempDir dir;
    const std::string file =
        MakeGif(dir, "i.gif",
                "-interlace GIF -delay 0 -size 13x11 gradient:white-black -colors 20 "
                "-delay 1 -page +2+1 \\( -size 5x5 xc:red \\) -delay 10 \\( -size 5x5 xc:blue \\) -loop 2");
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromFile(file));
    EXPECT_EQ(gif.Version(), TGIFVersion::gvGIF89a);
    ASSERT_EQ(gif.FrameCount(), 3);
    EXPECT_TRUE(gif.Frame(1).Interlaced);
    EXPECT_EQ(gif.LoopCount(), 1); // ImageMagick stores -loop N as N - 1 repeats
    EXPECT_EQ(gif.Frame(1).Delay, 0);
    EXPECT_EQ(gif.Frame(2).Delay, 10);
    EXPECT_EQ(gif.Frame(3).Delay, 100);
    EXPECT_EQ(gif.Frame(2).Left, 2);
    EXPECT_EQ(gif.Frame(2).Top, 1);
    EXPECT_EQ(gif.PictureSize(), QSize(13, 11));
}

TEST(GIFImage, FrameIntervalsFollowDelaySpeedAndDrawingTime)
{
    EXPECT_EQ(GIFFrameInterval(0, 100), 50u);
    EXPECT_EQ(GIFFrameInterval(10, 100), 50u);
    EXPECT_EQ(GIFFrameInterval(100, 100), 100u);
    EXPECT_EQ(GIFFrameInterval(100, 200), 50u);
    EXPECT_EQ(GIFFrameInterval(100, 200, 20), 30u);
    EXPECT_EQ(GIFFrameInterval(100, 200, 500), 1u);
    TGIFImage gif;
    gif.SetSpeed(0); // would divide by zero
    EXPECT_EQ(gif.Speed(), 1);
    gif.SetSpeed(-5);
    EXPECT_EQ(GIFFrameInterval(100, gif.Speed()), 10000u);
}

// Three 2x2 frames of one colour each, 10 ms apart.
std::vector<std::uint8_t> ThreeFrames(int loops, bool netscape = true)
{
    GifBytes gif(2, 2);
    if (netscape)
        gif.Netscape(loops);
    for (std::uint8_t colour : {1, 2, 3})
        gif.Control(1, 1).Image(0, 0, 2, 2, {colour, colour, colour, colour});
    return gif.Bytes();
}

QRgb TopLeft(const TGIFImage& gif)
{
    return gif.Composition().pixel(0, 0) & 0xFFFFFF;
}

TEST(GIFImage, LoopCountPlaysThatManyPassesAndStopsOnTheLastFrame)
{
    TGIFImage gif;
    LoadBytes(gif, ThreeFrames(2));
    EXPECT_EQ(gif.LoopCount(), 2);
    QSignalSpy changes(&gif, &TGIFImage::OnChange);
    QSignalSpy wraps(&gif, &TGIFImage::OnWrapAnimation);
    gif.SetSpeed(1000); // 5 ms a frame
    gif.SetAnimate(true);
    ASSERT_NE(gif.AnimationTimer(), nullptr);
    for (int i = 0; i < 400 && gif.AnimationTimer()->Enabled(); ++i)
        QTest::qWait(5);
    EXPECT_FALSE(gif.AnimationTimer()->Enabled());
    EXPECT_EQ(changes.count(), 6); // two passes of three frames
    EXPECT_EQ(wraps.count(), 0);
    EXPECT_EQ(gif.CurrentFrame(), 4);
    EXPECT_EQ(TopLeft(gif), 0x00FF00u); // the last frame stays

    // Loop switched on afterwards starts again from the first frame.
    gif.SetLoop(true);
    EXPECT_TRUE(gif.AnimationTimer()->Enabled());
    ASSERT_TRUE(QSignalSpy(&gif, &TGIFImage::OnWrapAnimation).wait(2000));
    gif.SetAnimate(false);
    EXPECT_EQ(gif.CurrentFrame(), 1);
    EXPECT_EQ(TopLeft(gif), 0xFFFFFFu);
}

TEST(GIFImage, WithoutNetscapeBlockPlaysOnceAndZeroLoopsForever)
{
    TGIFImage once;
    LoadBytes(once, ThreeFrames(0, false));
    EXPECT_EQ(once.LoopCount(), 1);
    QSignalSpy changes(&once, &TGIFImage::OnChange);
    once.SetSpeed(1000);
    once.SetAnimate(true);
    for (int i = 0; i < 400 && once.AnimationTimer()->Enabled(); ++i)
        QTest::qWait(5);
    EXPECT_EQ(changes.count(), 3);

    TGIFImage endless;
    LoadBytes(endless, ThreeFrames(0));
    EXPECT_EQ(endless.LoopCount(), 0);
    endless.SetSpeed(1000);
    endless.SetAnimate(true);
    QSignalSpy wraps(&endless, &TGIFImage::OnWrapAnimation);
    ASSERT_TRUE(wraps.wait(2000));
    ASSERT_TRUE(wraps.wait(2000));
    EXPECT_TRUE(endless.AnimationTimer()->Enabled());
}

TEST(GIFImage, ThreadedAnimationStepsOnTheMainThread)
{
    TGIFImage gif;
    gif.SetThreaded(true);
    LoadBytes(gif, ThreeFrames(0));
    std::vector<std::thread::id> threads;
    QObject::connect(&gif, &TGIFImage::OnChange,
                     [&](TObject*) { threads.push_back(std::this_thread::get_id()); });
    gif.SetSpeed(1000);
    gif.SetAnimate(true);
    EXPECT_TRUE(gif.AnimationTimer()->Threaded());
    for (int i = 0; i < 400 && threads.size() < 5; ++i)
        QTest::qWait(5);
    ASSERT_GE(threads.size(), 5u);
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(GIFImage, StatusValuesAndProgressAbort)
{
    test::TempDir dir;
    TGIFImage gif;
    EXPECT_FALSE(gif.LoadFromFile(dir.File("missing.gif")));
    EXPECT_EQ(gif.Status(), gsFileNotFound);
    EXPECT_EQ(gif.GetBitmap(), nullptr);

    LoadBytes(gif, ThreeFrames(0));
    EXPECT_EQ(gif.Status(), gsOk);
    gif.SetCurrentFrame(4);
    EXPECT_EQ(gif.Status(), gsFrameOutOfRange);
    EXPECT_EQ(gif.CurrentFrame(), 1);

    std::vector<int> percents;
    QObject::connect(&gif, &TGIFImage::OnProgress, [&](TObject*, qint64, qint64, int percent, bool& keep) {
        percents.push_back(percent);
        keep = percents.size() < 3;
    });
    const auto bytes = ThreeFrames(0);
    EXPECT_THROW(LoadBytes(gif, bytes), EGIFAbort);
    EXPECT_EQ(gif.Status(), gsAborted);
    EXPECT_TRUE(gif.Empty());
    ASSERT_EQ(percents.size(), 3u);
    // first report after the screen descriptor and the 4-colour table
    const int size = static_cast<int>(bytes.size());
    EXPECT_EQ(percents[0], (2500 + size / 2) / size);
}

TEST(GIFImage, LargeFramesReportProgressWhileDecoding)
{
    auto reports = [](int width, int height) {
        TGIFImage gif;
        int count = 0;
        QObject::connect(&gif, &TGIFImage::OnProgress,
                         [&](TObject*, qint64, qint64, int, bool&) { ++count; });
        LoadBytes(gif,
                  GifBytes(width, height)
                      .Image(0, 0, width, height, std::vector<std::uint8_t>(std::size_t(width) * height, 1))
                      .Bytes());
        return count;
    };
    EXPECT_EQ(reports(300, 200), reports(3, 2) + 0); // 60000 pixels: none while decoding
    EXPECT_GT(reports(400, 400), reports(3, 2));     // 160000 pixels
}

TEST(GIFImage, GetBitmapIsTheFirstFrameAndFollowsAReload)
{
    TGIFImage gif;
    LoadBytes(gif, ThreeFrames(0));
    gif.SetCurrentFrame(3);
    const QImage* first = gif.GetBitmap();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);

    LoadBytes(gif, GifBytes(3, 1).Image(0, 0, 3, 1, {2, 2, 2}).Bytes());
    const QImage* second = gif.GetBitmap();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->size(), QSize(3, 1));
    EXPECT_EQ(second->pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    QImage copy;
    gif.AssignTo(copy);
    EXPECT_EQ(copy, *second);
}

TEST(GIFImage, DataStreamAndAssignCarryTheFileBytes)
{
    const auto bytes = ThreeFrames(3);
    TGIFImage source;
    LoadBytes(source, bytes);
    TMemoryStream stored;
    source.WriteData(stored);
    ASSERT_EQ(stored.GetSize(), static_cast<std::int64_t>(bytes.size() + 4));
    EXPECT_EQ(stored.Data()[0], bytes.size());
    stored.SetPosition(0);
    TGIFImage restored;
    restored.ReadData(stored);
    EXPECT_EQ(restored.FrameCount(), 3);
    EXPECT_EQ(restored.LoopCount(), 3);

    TMemoryStream lying;
    const std::uint8_t header[] = {200, 0, 0, 0, 'G', 'I', 'F'};
    lying.WriteBuffer(header, sizeof header);
    lying.SetPosition(0);
    EXPECT_THROW(restored.ReadData(lying), EReadError);

    TGIFImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.FrameCount(), 3);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
}

TEST(GIFImage, OddStructuresAreReadSoundly)
{
    TGIFImage gif;
    // An unknown extension whose sub-blocks hold bytes that look like blocks.
    LoadBytes(gif, GifBytes(2, 1)
                       .Raw({0x21, 0x99, 5, 0x2C, 0x3B, 0x21, 0xF9, 0x00, 3, 1, 2, 3, 0})
                       .Comment("hello")
                       .Image(0, 0, 2, 1, {2, 3})
                       .Bytes());
    ASSERT_EQ(gif.FrameCount(), 1);
    EXPECT_EQ(gif.Frame(1).Comment, "hello");
    EXPECT_EQ(gif.Composition().pixel(1, 0) & 0xFFFFFF, 0x00FF00u);

    // Minimum code size 12 would overrun the string table: refused.
    EXPECT_THROW(LoadBytes(gif, GifBytes(2, 1).Image(0, 0, 2, 1, {1, 1}, 12).Bytes()), EGIFImage);
    EXPECT_TRUE(gif.Empty());
    // ... and after a good frame it only ends the reading.
    LoadBytes(gif, GifBytes(2, 1).Image(0, 0, 2, 1, {1, 1}).Image(0, 0, 2, 1, {1, 1}, 12).Bytes());
    EXPECT_EQ(gif.FrameCount(), 1);

    // A frame reaching past the screen is clipped; the rest of the screen
    // starts transparent. Disposal 5 acts as 2.
    LoadBytes(gif, GifBytes(4, 2)
                       .Control(5, 0)
                       .Image(2, 1, 5, 3, std::vector<std::uint8_t>(15, 2))
                       .Image(0, 0, 1, 1, {1})
                       .Bytes());
    EXPECT_EQ(gif.Frame(1).Disposal, 2);
    EXPECT_EQ(gif.Composition().size(), QSize(4, 2));
    EXPECT_EQ(qAlpha(gif.Composition().pixel(0, 0)), 0);
    EXPECT_EQ(gif.Composition().pixel(3, 1), 0xFFFF0000u);
    gif.SetCurrentFrame(2);
    EXPECT_EQ(qAlpha(gif.Composition().pixel(3, 1)), 0);
    EXPECT_EQ(gif.Composition().pixel(0, 0), 0xFFFFFFFFu);

    // Not a GIF, and a GIF with no image.
    EXPECT_THROW(LoadBytes(gif, {'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), EGIFImage);
    EXPECT_THROW(LoadBytes(gif, GifBytes(2, 2).Bytes()), EGIFImage);
    EXPECT_THROW(LoadBytes(gif, GifBytes(2, 2).Image(0, 0, 20000, 1, {}).Bytes()), EGIFImage);
    EXPECT_THROW(LoadBytes(gif, GifBytes(16000, 16000).Image(0, 0, 1, 1, {1}).Bytes()), EGIFImage);
    EXPECT_TRUE(gif.Empty());
}

TEST(GIFImage, DamagedFilesNeverCrash)
{
    if (!test::HaveTool(kIM))
        GTEST_SKIP() << "ImageMagick missing";
    test::TempDir dir;
    const auto bytes = test::ReadFileBytes(MakeGif(
        dir, "d.gif",
        "-delay 10 -size 16x12 gradient:red-blue -colors 40 -interlace GIF -page +2+2 \\( -size 9x7 xc:none "
        "-fill green -draw 'circle 4,3 4,0' \\) -loop 3"));
    std::mt19937 random(7);
    auto attempt = [](const std::vector<std::uint8_t>& data) {
        TGIFImage gif;
        try {
            LoadBytes(gif, data);
            for (int n = 1; n <= gif.FrameCount(); ++n)
                gif.SetCurrentFrame(n);
        } catch (const EGIFImage&) {
        }
    };
    for (std::size_t length = 0; length < bytes.size(); ++length)
        attempt(
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)));
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> damaged(bytes.begin(), bytes.end());
        for (int k = 0; k < 3; ++k)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        attempt(damaged);
    }
}

TEST(GIFImage, AScreenFarBeyondItsFramesIsRefused)
{
    // Some 40 bytes declaring an 8192 x 8192 screen with one pixel in it.
    const std::vector<std::uint8_t> bytes = GifBytes(8192, 8192).Image(0, 0, 1, 1, {1}).Bytes();
    ASSERT_LT(bytes.size(), 150u);
    TGIFImage gif;
    EXPECT_THROW(LoadBytes(gif, bytes), EGIFImage);
    EXPECT_TRUE(gif.Empty());
    // A large screen with a small frame in it keeps its size.
    LoadBytes(gif, GifBytes(1900, 1200).Image(5, 5, 1, 1, {1}).Bytes());
    EXPECT_EQ(gif.Composition().size(), QSize(1900, 1200));
    EXPECT_EQ(gif.Composition().pixel(5, 5), 0xFFFFFFFFu);
}

TEST(GIFImage, AFrameFarLargerThanItsDataIsRefusedBeforeAnyMemoryIsTaken)
{
    // 42 bytes: a 16384 x 16384 frame with three bytes of image data.
    std::vector<std::uint8_t> bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0x40, 0, 0x40, 0x80, 0, 0,
                                    0, 0, 0, 255, 255, 255, ',', 0, 0, 0, 0, 0, 0x40, 0, 0x40, 0,
                                    2, 3, 0x44, 0x01, 0x00, 0, ';'};
    bytes.resize(42, 0);
    TGIFImage gif;
    EXPECT_THROW(LoadBytes(gif, bytes), EGIFImage);
    EXPECT_EQ(gif.GetBitmap(), nullptr);
    // The same frame small enough for its data loads.
    bytes[7] = bytes[9] = bytes[25] = bytes[27] = 0;
    bytes[6] = bytes[8] = bytes[24] = bytes[26] = 2;
    LoadBytes(gif, bytes);
    ASSERT_NE(gif.GetBitmap(), nullptr);
    EXPECT_EQ(gif.GetBitmap()->size(), QSize(2, 2));
}

TEST(GIFImage, DrawingRectangleAndTransparentHitTest)
{
    const QSize picture(40, 20);
    TGIFLayout layout;
    EXPECT_EQ(GIFDrawRect(layout, {100, 50}, picture), QRect(0, 0, 40, 20));
    layout.Center = true;
    EXPECT_EQ(GIFDrawRect(layout, {100, 50}, picture), QRect(30, 15, 40, 20));
    layout.StretchRatio = true;
    EXPECT_EQ(GIFDrawRect(layout, {100, 100}, picture), QRect(0, 25, 100, 50));
    layout.StretchBigOnly = true; // a larger client keeps the picture's size
    EXPECT_EQ(GIFDrawRect(layout, {100, 100}, picture), QRect(30, 40, 40, 20));
    EXPECT_EQ(GIFDrawRect(layout, {20, 20}, picture), QRect(0, 5, 20, 10));
    layout = {};
    layout.Stretch = true;
    EXPECT_EQ(GIFDrawRect(layout, {70, 30}, picture), QRect(0, 0, 70, 30));
    layout = {};
    layout.Tile = true;
    EXPECT_EQ(GIFDrawRect(layout, {70, 30}, picture), QRect(0, 0, 70, 30));

    TGIFImage gif;
    gif.resize(10, 5);
    gif.SetCenter(true);
    LoadBytes(gif, GifBytes(4, 1).Control(0, 0, true, 0).Image(0, 0, 4, 1, {0, 1, 0, 1}).Bytes());
    EXPECT_TRUE(gif.IsTransparentPoint(3, 2));  // index 0 at picture x 0
    EXPECT_FALSE(gif.IsTransparentPoint(4, 2)); // white
    EXPECT_TRUE(gif.IsTransparentPoint(0, 0));  // outside the picture
    gif.SetStretch(true);
    EXPECT_FALSE(gif.IsTransparentPoint(0, 0)); // not decided when stretched
}

} // namespace
} // namespace lumeno
