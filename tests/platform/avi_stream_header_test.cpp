#include "platform/avi_stream_header.h"

#include "platform/exception.h"
#include "support/avi_clip.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::AviClip;

TEST(AviStreamHeader, ReadsEveryStreamInOrder)
{
    test::TempDir dir;
    AviClip clip;
    clip.Width = 6;
    clip.Height = 3;
    clip.Frames = 7;
    clip.Scale = 1001;
    clip.Rate = 30000;
    clip.SampleRate = 8000;
    clip.Channels = 2;
    clip.Write(dir.File("a.avi"));

    const auto h = ReadAviStreamHeaders(dir.File("a.avi"));
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].Type, "vids");
    EXPECT_EQ(h[0].Scale, 1001u);
    EXPECT_EQ(h[0].Rate, 30000u);
    EXPECT_EQ(h[0].Length, 7u);
    EXPECT_EQ(h[0].Frame, Rect(0, 0, 6, 3));
    EXPECT_EQ(h[1].Type, "auds");
    EXPECT_EQ(h[1].SampleSize, 4u);
    EXPECT_EQ(h[1].Rate, 32000u);
    EXPECT_EQ(h[1].Length, 7u * clip.SamplesPerFrame());
}

TEST(AviStreamHeader, OtherFilesGiveNothingAndBrokenHeadersRaise)
{
    test::TempDir dir;
    test::WriteFileBytes(dir.File("x.bin"), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
    EXPECT_TRUE(ReadAviStreamHeaders(dir.File("x.bin")).empty());

    const auto bytes = AviClip().Bytes();
    // Every cut inside the header list either raises or gives what was whole.
    for (std::size_t cut = 12; cut < 300; cut += 7) {
        test::WriteFileBytes(dir.File("cut.avi"),
                             std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
        try {
            for (const auto& h : ReadAviStreamHeaders(dir.File("cut.avi")))
                EXPECT_EQ(h.Type, "vids");
        } catch (const EReadError&) {
        }
    }
    // A stream header that claims to be larger than its list.
    auto lying = bytes;
    for (std::size_t i = 0; i + 8 < lying.size(); ++i)
        if (std::string(lying.begin() + i, lying.begin() + i + 4) == "strh") {
            lying[i + 6] = 0x7F;
            break;
        }
    test::WriteFileBytes(dir.File("lying.avi"), lying);
    EXPECT_THROW(ReadAviStreamHeaders(dir.File("lying.avi")), EReadError);
}

} // namespace
} // namespace lumeno
