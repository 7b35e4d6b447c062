#include "controls/media/audio_play.h"

#include "platform/qt/media/module/audio_stream.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::AviClip;

TEST(AudioPlay, HandsOutTheSpanInBuffersOfAtLeast2048Bytes)
{
    test::TempDir dir;
    AviClip clip;
    clip.Frames = 6;
    clip.SampleRate = 8000; // 533 mono samples a frame
    clip.Write(dir.File("s.avi"));
    TAudioStream stream(dir.File("s.avi"));

    TAudioPlay play;
    play.Play(&stream, -1, -1); // no sound device is needed for the span
    EXPECT_EQ(play.FirstSample(), 0);
    EXPECT_EQ(play.EndSample(), stream.Length());
    EXPECT_EQ(play.BufferSize(), 2048);

    play.Play(&stream, 3000, 700);
    std::vector<std::int16_t> all;
    for (QByteArray b; !(b = play.ReadBuffer()).isEmpty();) {
        EXPECT_LE(b.size(), 2048);
        const auto* s = reinterpret_cast<const std::int16_t*>(b.constData());
        all.insert(all.end(), s, s + b.size() / 2);
    }
    ASSERT_EQ(all.size(), 2300u);
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(all[i], AviClip::SampleValue(700 + i, 0)) << i;

    EXPECT_FALSE(play.Play(&stream, 500, 500));
    EXPECT_TRUE(play.ReadBuffer().isEmpty());
}

TEST(AudioPlay, AShortReadEndsTheSpanAfterWhatItGave)
{
    test::TempDir dir;
    AviClip clip;
    clip.Frames = 4;
    clip.SampleRate = 8000;
    auto bytes = clip.Bytes();
    // The sound header claims ten times the samples there are.
    for (std::size_t i = 0; i + 40 < bytes.size(); ++i)
        if (std::string(bytes.begin() + i, bytes.begin() + i + 4) == "auds") {
            bytes[i + 32 + 1] = 0x50; // length, second byte
            break;
        }
    test::WriteFileBytes(dir.File("short.avi"), bytes);
    TAudioStream stream(dir.File("short.avi"));
    ASSERT_GT(stream.Length(), 4 * clip.SamplesPerFrame());

    TAudioPlay play;
    play.Play(&stream, -1, 0);
    std::size_t total = 0;
    for (QByteArray b; !(b = play.ReadBuffer()).isEmpty();)
        total += b.size() / 2;
    EXPECT_EQ(total, std::size_t(4 * clip.SamplesPerFrame()));
    EXPECT_EQ(play.EndSample(), play.NextSample());
}

} // namespace
} // namespace lumeno

namespace lumeno {
namespace {

TEST(AudioPlay, TheDevicePullsTheSpanWhenThereIsOne)
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        GTEST_SKIP() << "no sound device";
    test::TempDir dir;
    AviClip clip;
    clip.Frames = 10;
    clip.SampleRate = 22050;
    clip.Write(dir.File("s.avi"));
    TAudioStream stream(dir.File("s.avi"));

    TAudioPlay play;
    ASSERT_TRUE(play.Play(&stream, -1, -1));
    EXPECT_TRUE(play.Playing());
    QTest::qWait(300);
    EXPECT_GT(play.NextSample(), play.FirstSample());
    play.Stop();
    EXPECT_FALSE(play.Playing());
}

} // namespace
} // namespace lumeno
