// SANE frames into packed DIBs: every layout a scanner may send, and the
// frames that must be refused.

#include "platform/qt/twain/sane_dib_builder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace lumeno {
namespace {

struct Dib {
    std::vector<std::uint8_t> Bytes;
    std::int32_t Width() const { return Get32(4); }
    std::int32_t Height() const { return Get32(8); }
    int Bits() const { return Bytes[14] | Bytes[15] << 8; }
    std::int32_t Get32(std::size_t at) const
    {
        std::int32_t v;
        std::memcpy(&v, Bytes.data() + at, 4);
        return v;
    }
};

Dib Take(HGLOBAL mem)
{
    Dib dib;
    if (!mem)
        return dib;
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(mem));
    dib.Bytes.assign(p, p + GlobalSize(mem));
    GlobalUnlock(mem);
    GlobalFree(mem);
    return dib;
}

SANE_Parameters Params(SANE_Frame format, int depth, int ppl, int bpl, int lines, bool last = true)
{
    return {format, last ? 1 : 0, bpl, ppl, lines, depth};
}

TEST(SaneDibBuilder, GreyRowsTurnBottomUpWithAGreyPalette)
{
    TSaneDibBuilder builder;
    builder.SetResolution(254);
    ASSERT_TRUE(builder.BeginFrame(Params(SANE_FRAME_GRAY, 8, 3, 3, 2)));
    const std::uint8_t data[] = {10, 20, 30, 40, 50, 60};
    builder.Append(data, sizeof(data));
    const Dib dib = Take(builder.Build());
    ASSERT_EQ(dib.Bytes.size(), 40u + 1024 + 2 * 4);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.Bits(), 8);
    EXPECT_EQ(dib.Get32(24), 10000); // 254 dpi in pixels per metre
    EXPECT_EQ(dib.Bytes[40 + 4 * 200], 200);
    const std::uint8_t* bits = dib.Bytes.data() + 40 + 1024;
    EXPECT_EQ(std::vector<std::uint8_t>(bits, bits + 3), (std::vector<std::uint8_t>{40, 50, 60}));
    EXPECT_EQ(std::vector<std::uint8_t>(bits + 4, bits + 7), (std::vector<std::uint8_t>{10, 20, 30}));
}

TEST(SaneDibBuilder, LineArtKeepsItsBitsWithBlackForOne)
{
    TSaneDibBuilder builder;
    ASSERT_TRUE(builder.BeginFrame(Params(SANE_FRAME_GRAY, 1, 10, 2, 1)));
    const std::uint8_t data[] = {0xA5, 0xC0};
    builder.Append(data, sizeof(data));
    const Dib dib = Take(builder.Build());
    ASSERT_EQ(dib.Bytes.size(), 40u + 8 + 4);
    EXPECT_EQ(dib.Bits(), 1);
    EXPECT_EQ(dib.Bytes[40], 255); // index 0 white
    EXPECT_EQ(dib.Bytes[44], 0);   // index 1 black
    EXPECT_EQ(dib.Bytes[48], 0xA5);
    EXPECT_EQ(dib.Bytes[49], 0xC0);
}

TEST(SaneDibBuilder, ColourInOneFrameOrThreeGivesTheSameBgrPixels)
{
    const std::uint16_t rgb16[] = {0x1100, 0x2200, 0x3300, 0x4400, 0x5500, 0x6600};
    TSaneDibBuilder one;
    ASSERT_TRUE(one.BeginFrame(Params(SANE_FRAME_RGB, 16, 2, 12, 1)));
    one.Append(reinterpret_cast<const SANE_Byte*>(rgb16), sizeof(rgb16));
    const Dib packed = Take(one.Build());

    TSaneDibBuilder three;
    const std::uint8_t red[] = {0x11, 0x44}, green[] = {0x22, 0x55}, blue[] = {0x33, 0x66};
    ASSERT_TRUE(three.BeginFrame(Params(SANE_FRAME_RED, 8, 2, 2, 1, false)));
    three.Append(red, 2);
    ASSERT_TRUE(three.BeginFrame(Params(SANE_FRAME_GREEN, 8, 2, 2, 1, false)));
    three.Append(green, 2);
    ASSERT_TRUE(three.BeginFrame(Params(SANE_FRAME_BLUE, 8, 2, 2, 1)));
    three.Append(blue, 2);
    const Dib separate = Take(three.Build());

    ASSERT_EQ(packed.Bytes.size(), 40u + 8);
    EXPECT_EQ(packed.Bits(), 24);
    const std::vector<std::uint8_t> bgr{0x33, 0x22, 0x11, 0x66, 0x55, 0x44};
    EXPECT_EQ(std::vector<std::uint8_t>(packed.Bytes.begin() + 40, packed.Bytes.begin() + 46), bgr);
    EXPECT_EQ(separate.Bytes, packed.Bytes);
}

TEST(SaneDibBuilder, UnknownHeightTakesTheWholeRowsThatCame)
{
    TSaneDibBuilder builder;
    ASSERT_TRUE(builder.BeginFrame(Params(SANE_FRAME_GRAY, 8, 2, 4, -1)));
    const std::uint8_t data[11] = {};
    builder.Append(data, sizeof(data)); // two rows and a partial third
    EXPECT_EQ(Take(builder.Build()).Height(), 2);
}

TEST(SaneDibBuilder, RefusesFramesThatCannotMakeAnImage)
{
    TSaneDibBuilder bad;
    EXPECT_FALSE(bad.BeginFrame(Params(SANE_FRAME_GRAY, 8, 4, 3, 1))) << "line too short";
    EXPECT_FALSE(bad.BeginFrame(Params(SANE_FRAME_RGB, 1, 4, 4, 1))) << "1-bit colour";
    EXPECT_FALSE(bad.BeginFrame(Params(SANE_FRAME_GRAY, 8, 0, 0, 1)));
    EXPECT_FALSE(bad.BeginFrame(Params(SANE_FRAME_GRAY, 8, 100000, 100000, 100000)));

    TSaneDibBuilder empty;
    ASSERT_TRUE(empty.BeginFrame(Params(SANE_FRAME_GRAY, 8, 4, 4, 3)));
    empty.Append(reinterpret_cast<const SANE_Byte*>("abc"), 3);
    EXPECT_EQ(empty.Build(), nullptr);
    EXPECT_FALSE(empty.ErrorText().empty());

    TSaneDibBuilder partial;
    ASSERT_TRUE(partial.BeginFrame(Params(SANE_FRAME_RED, 8, 2, 2, 1, false)));
    partial.Append(reinterpret_cast<const SANE_Byte*>("ab"), 2);
    EXPECT_FALSE(partial.BeginFrame(Params(SANE_FRAME_GREEN, 8, 3, 3, 1, false)));
    EXPECT_EQ(partial.Build(), nullptr) << "green and blue never came";
}

} // namespace
} // namespace lumeno
