#include "platform/qt/media/module/audio_stream.h"

#include "platform/qt/media/module/video_file.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::AviClip;

std::vector<std::int16_t> ReadSamples(TAudioStream& s, std::int64_t first, std::int64_t count)
{
    std::vector<std::int16_t> out(count * s.Channels());
    out.resize(s.Read(first, count, reinterpret_cast<char*>(out.data())) * s.Channels());
    return out;
}

TEST(AudioStream, ReadsTheSamplesAskedForAtAnyPosition)
{
    test::TempDir dir;
    AviClip clip;
    clip.Frames = 10;
    clip.SampleRate = 11025;
    clip.Channels = 2;
    clip.Write(dir.File("s.avi"));

    TAudioStream s(dir.File("s.avi"));
    EXPECT_EQ(s.SampleRate(), 11025);
    EXPECT_EQ(s.Channels(), 2);
    EXPECT_EQ(s.SampleSize(), 4);
    EXPECT_EQ(s.Length(), 10 * clip.SamplesPerFrame());
    EXPECT_EQ(s.TimeToSample(1000000), 11025);

    for (std::int64_t first :
         {std::int64_t(0), std::int64_t(100), clip.SamplesPerFrame() * 3 + 5, std::int64_t(2)}) {
        const auto got = ReadSamples(s, first, 1500);
        ASSERT_EQ(got.size(), 3000u) << first;
        for (std::int64_t i = 0; i < 1500; ++i)
            for (int c = 0; c < 2; ++c)
                ASSERT_EQ(got[i * 2 + c], AviClip::SampleValue(first + i, c)) << first << " " << i;
    }
    // The end of the data gives a short read.
    EXPECT_EQ(ReadSamples(s, s.Length() - 10, 100).size(), 20u);
    EXPECT_TRUE(ReadSamples(s, s.Length() + 5, 100).empty());
}

TEST(AudioStream, IsMissingFromAClipWithoutSound)
{
    test::TempDir dir;
    AviClip().Write(dir.File("v.avi"));
    EXPECT_FALSE(TVideoFile(dir.File("v.avi")).HasAudio());
    EXPECT_THROW(TAudioStream(dir.File("v.avi")), EVideoFile);
}

} // namespace
} // namespace lumeno
