#include "controls/media/dcavi_play.h"

#include "platform/qt/media/media_library.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QApplication>
#include <QSignalSpy>
#include <QThread>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace lumeno {
namespace {

using test::AviClip;

TEST(SpanFrames, TwoRepetitionsPlayTheSpanTwiceAndEndOnTheStopFrame)
{
    int current = 2, remaining = 2;
    std::vector<int> shown{current};
    TSpanStep step;
    while ((step = NextSpanFrame(current, 2, 4, remaining)) != TSpanStep::End)
        shown.push_back(current);
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 2, 3, 4}));
    EXPECT_EQ(current, 4);
}

TEST(SpanFrames, EndlessPlayingRewindsAndALoweredStopFrameEndsThere)
{
    int current = 4, remaining = 0;
    EXPECT_EQ(NextSpanFrame(current, 1, 4, remaining), TSpanStep::Rewind);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(NextSpanFrame(current, 1, 4, remaining), TSpanStep::Advance);
    EXPECT_EQ(current, 2);

    current = 9, remaining = 1;
    EXPECT_EQ(NextSpanFrame(current, 0, 5, remaining), TSpanStep::End);
    EXPECT_EQ(current, 5);
}

TEST(FramePeriod, RoundsToNearestAndRefusesStreamsWithoutARate)
{
    EXPECT_EQ(FramePeriod(1, 15), 67);
    EXPECT_EQ(FramePeriod(1001, 30000), 33);
    EXPECT_EQ(FramePeriod(1, 8), 125);
    EXPECT_EQ(FramePeriod(1, 0), 0);
    EXPECT_EQ(FramePeriod(0, 25), 0);
    EXPECT_EQ(FramePeriod(1, 5000), 1);
}

class DCAVIPlayTest : public ::testing::Test {
protected:
    std::string Clip(const std::string& name, const AviClip& clip)
    {
        const std::string path = dir.File(name);
        clip.Write(path);
        return path;
    }
    // A fast clip so that playing ends quickly.
    static AviClip Fast(std::uint32_t frames = 5)
    {
        AviClip clip;
        clip.Frames = frames;
        clip.Rate = 100;
        return clip;
    }

    test::TempDir dir;
    TDCAVIPlay player;
};

TEST_F(DCAVIPlayTest, OpeningTakesTheClipsFramesAndSize)
{
    QSignalSpy opened(&player, &TDCAVIPlay::OnOpen);
    AviClip clip;
    clip.Width = 9;
    clip.Height = 4;
    clip.Frames = 12;
    player.SetFileName(QString::fromStdString(Clip("a.avi", clip)));
    EXPECT_EQ(opened.count(), 1);
    EXPECT_TRUE(player.IsOpen());
    EXPECT_FALSE(player.Active());
    EXPECT_EQ(player.FrameCount(), 12);
    EXPECT_EQ(player.StartFrame(), 0);
    EXPECT_EQ(player.StopFrame(), 11);
    EXPECT_EQ(player.size(), QSize(9, 4)); // AutoSize

    player.SetStartFrame(-3);
    player.SetStopFrame(50);
    EXPECT_EQ(player.StartFrame(), 0);
    EXPECT_EQ(player.StopFrame(), 11);

    player.SetAutoSize(false);
    player.resize(30, 20);
    EXPECT_EQ(player.size(), QSize(30, 20));
}

TEST_F(DCAVIPlayTest, TheFramePeriodComesFromTheStreamRate)
{
    AviClip clip;
    player.SetFileName(QString::fromStdString(Clip("15.avi", clip)));
    player.SetActive(true);
    EXPECT_EQ(player.Period(), 67);
    clip.Scale = 1001;
    clip.Rate = 30000;
    player.SetFileName(QString::fromStdString(Clip("ntsc.avi", clip)));
    EXPECT_TRUE(player.Active()); // a playing control goes on with the new clip
    EXPECT_EQ(player.Period(), 33);
    player.Stop();
}

TEST_F(DCAVIPlayTest, AStreamWithoutARateOpensButDoesNotPlay)
{
    AviClip clip;
    clip.Rate = 0;
    player.SetFileName(QString::fromStdString(Clip("zero.avi", clip)));
    ASSERT_TRUE(player.IsOpen());
    QSignalSpy started(&player, &TDCAVIPlay::OnStart);
    player.SetActive(true);
    EXPECT_FALSE(player.Active());
    EXPECT_EQ(started.count(), 0);
}

TEST_F(DCAVIPlayTest, TwoRepetitionsPlayTwiceThenStopOnTheStopFrame)
{
    player.SetFileName(QString::fromStdString(Clip("f.avi", Fast())));
    player.SetRepetitions(2);
    player.show();
    QSignalSpy started(&player, &TDCAVIPlay::OnStart);
    QSignalSpy stopped(&player, &TDCAVIPlay::OnStop);
    bool stoppedOnGuiThread = false;
    QObject::connect(&player, &TDCAVIPlay::OnStop,
                     [&] { stoppedOnGuiThread = QThread::currentThread() == qApp->thread(); });
    QElapsedTimer clock;
    clock.start();
    player.SetActive(true);
    ASSERT_TRUE(stopped.wait(5000));
    // Two passes of five frames take nine periods at least; one pass, four.
    EXPECT_GE(clock.elapsed(), 9 * 10 - 2);
    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_TRUE(stoppedOnGuiThread);
    EXPECT_FALSE(player.Active());
    EXPECT_EQ(player.CurrentFrame(), 4);
    QTest::qWait(50);
    EXPECT_EQ(player.CurrentFrame(), 4); // nothing moves on after the stop
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(DCAVIPlayTest, ASpanPastSixteenBitFramesPlaysAndStopsWhereAsked)
{
    AviClip clip = Fast(70000);
    clip.Width = clip.Height = 1;
    clip.Pixel = [](std::uint32_t n, int, int) { return n & 0xFFFFFF; };
    player.SetFileName(QString::fromStdString(Clip("long.avi", clip)));
    player.SetTransparent(false);
    player.SetRepetitions(1);
    player.SetStartFrame(66000);
    player.SetStopFrame(66003);
    QSignalSpy stopped(&player, &TDCAVIPlay::OnStop);
    player.SetActive(true);
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_EQ(player.CurrentFrame(), 66003);
    EXPECT_EQ(player.grab().toImage().pixel(0, 0), 0xFF000000u | 66003u);
}

TEST_F(DCAVIPlayTest, ClearingTheFileNameWhilePlayingStopsAndClearsThePicture)
{
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::green);
    parent.setPalette(p);
    parent.resize(40, 40);
    auto* child = new TDCAVIPlay(&parent);
    child->SetFileName(QString::fromStdString(Clip("f.avi", Fast())));
    child->SetColor(Qt::black);
    parent.show();
    child->SetActive(true);
    QSignalSpy stopped(child, &TDCAVIPlay::OnStop);
    QSignalSpy closed(child, &TDCAVIPlay::OnClose);
    QTest::qWait(30);
    child->SetFileName(QString());
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(child->Active());
    EXPECT_FALSE(child->IsOpen());
    // Transparent: the parent shows where the picture was.
    EXPECT_EQ(parent.grab().toImage().pixel(child->geometry().center()), QColor(Qt::green).rgb());
    child->SetTransparent(false);
    EXPECT_EQ(parent.grab().toImage().pixel(child->geometry().center()), QColor(Qt::black).rgb());
    QTest::qWait(30);
    EXPECT_EQ(stopped.count(), 1);
}

TEST_F(DCAVIPlayTest, DrawsTheFrameCentredStretchedOrOverTheParent)
{
    AviClip clip;
    clip.Width = 4;
    clip.Height = 2;
    const QString path = QString::fromStdString(Clip("c.avi", clip));
    player.SetAutoSize(false);
    player.resize(10, 6);
    player.SetFileName(path);
    player.SetTransparent(false);
    player.SetColor(Qt::black);

    QImage shot = player.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), QColor(Qt::black).rgb());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(shot.pixel(3 + x, 2 + y), 0xFF000000 | clip.Pixel(0, x, y));

    player.SetStretch(true);
    shot = player.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), 0xFF000000 | clip.Pixel(0, 0, 0));
    EXPECT_EQ(shot.pixel(9, 5), 0xFF000000 | clip.Pixel(0, 3, 1));

    // Transparent: the bottom-left pixel's colour lets the parent through.
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette p = parent.palette();
    p.setColor(QPalette::Window, Qt::magenta);
    parent.setPalette(p);
    parent.resize(20, 20);
    auto* over = new TDCAVIPlay(&parent);
    over->SetFileName(path);
    over->move(5, 5);
    const QImage onParent = parent.grab().toImage();
    EXPECT_EQ(onParent.pixel(5, 6), QColor(Qt::magenta).rgb()); // frame pixel 0,1 is the key
    EXPECT_EQ(onParent.pixel(6, 6), 0xFF000000 | clip.Pixel(0, 1, 1));
    EXPECT_EQ(onParent.pixel(5, 5), 0xFF000000 | clip.Pixel(0, 0, 0));
}

TEST_F(DCAVIPlayTest, AClipWithoutSoundOrWithoutADevicePlaysSilently)
{
    QSignalSpy stopped(&player, &TDCAVIPlay::OnStop);
    player.SetRepetitions(1);
    player.SetFileName(QString::fromStdString(Clip("mute.avi", Fast())));
    player.SetActive(true);
    EXPECT_FALSE(player.HasSound());
    ASSERT_TRUE(stopped.wait(5000));

    AviClip withSound = Fast();
    withSound.SampleRate = 8000;
    player.SetFileName(QString::fromStdString(Clip("sound.avi", withSound)));
    player.SetActive(true);
    EXPECT_TRUE(player.Active());
    player.SetPlaySound(false);
    EXPECT_FALSE(player.HasSound());
    player.SetPlaySound(true);
    EXPECT_EQ(player.HasSound(), !QMediaDevices::defaultAudioOutput().isNull());
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_FALSE(player.HasSound());
    EXPECT_EQ(stopped.count(), 2);
}

TEST_F(DCAVIPlayTest, ABrokenClipLeavesTheControlClosedAndQuiet)
{
    QSignalSpy opened(&player, &TDCAVIPlay::OnOpen);
    auto bytes = Fast().Bytes();
    for (std::size_t cut : {std::size_t(0), std::size_t(40), std::size_t(200)}) {
        test::WriteFileBytes(dir.File("broken.avi"),
                             std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
        player.SetFileName(QString::fromStdString(dir.File("broken.avi")));
        player.SetActive(true);
        EXPECT_FALSE(player.IsOpen()) << cut;
        EXPECT_FALSE(player.Active()) << cut;
    }
    EXPECT_EQ(opened.count(), 0);
    // Frames missing from the end of the data: opens, plays what is there.
    for (std::size_t cut : {bytes.size() / 2, bytes.size() - 30}) {
        test::WriteFileBytes(dir.File("broken.avi"),
                             std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
        player.SetFileName(QString::fromStdString(dir.File("broken.avi")));
        player.SetActive(true);
        player.grab();
        QTest::qWait(20);
        player.Stop();
    }
    player.SetFileName(QString::fromStdString(dir.File("missing.avi")));
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.Active());
}

// The video libraries come with a module loaded on first use; without it a
// clip fails as an unreadable one does.
TEST_F(DCAVIPlayTest, WithoutTheMediaModuleAClipStaysClosed)
{
    const std::string clip = Clip("a.avi", Fast());
    SetMediaModulePath(dir.File("missing/liblumeno_media.so"));
    EXPECT_EQ(MediaLibrary(), nullptr);
    player.SetFileName(QString::fromStdString(clip));
    player.SetActive(true);
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.Active());
    player.grab();

    SetMediaModulePath(LUMENO_MEDIA_MODULE);
    ASSERT_NE(MediaLibrary(), nullptr);
    player.Reopen();
    EXPECT_TRUE(player.IsOpen());
}

TEST_F(DCAVIPlayTest, ReopeningAndDestroyingWhilePlayingAreSafe)
{
    const QString path = QString::fromStdString(Clip("f.avi", Fast(50)));
    player.SetFileName(path);
    QSignalSpy opened(&player, &TDCAVIPlay::OnOpen);
    QSignalSpy closed(&player, &TDCAVIPlay::OnClose);
    player.Reopen();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(opened.count(), 1);

    for (int i = 0; i < 5; ++i) {
        auto doomed = std::make_unique<TDCAVIPlay>();
        doomed->SetFileName(path);
        doomed->show();
        doomed->SetActive(true);
        QTest::qWait(15);
    }
    QTest::qWait(20); // events posted to the freed controls must go nowhere
}

} // namespace
} // namespace lumeno
