#include "app/effects/fast_bmp.h"
#include "app/effects/frames.h"
#include "app/effects/gaussian_blur.h"
#include "app/effects/quarter_turn.h"
#include "imagelib/pg_exceptions.h"
#include "support/format_pictures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lumeno {
namespace {

using test::AllPixelFormats;
using test::FormatPicture;

// Every frame effect takes a picture of any format and leaves a 24-bit one;
// run under the sanitizers, a three-byte write into a palette row shows.
TEST(EffectPixelFormats, FramesMakeEveryFormatTwentyFourBit)
{
    const std::function<void(TPixelGraphic&)> effects[] = {
        [](TPixelGraphic& g) { AddWhiteFrame(g); },
        [](TPixelGraphic& g) { AddSoftShadow(g, 3, 8); },
        [](TPixelGraphic& g) { AddBevel(g, 6); },
        [](TPixelGraphic& g) { AddDropShadow(g); },
    };
    for (const std::uint8_t format : AllPixelFormats)
        for (const auto& effect : effects) {
            TPixelGraphic g;
            FormatPicture(g, 61, 59, format);
            effect(g);
            EXPECT_EQ(g.GetPixelFormat(), pf24Bit) << int(format);
            EXPECT_GE(g.GetWidth(), 61);
        }
}

TEST(EffectPixelFormats, TwentyFourBitOnlyRoutinesRefuseOtherFormats)
{
    for (const std::uint8_t format : AllPixelFormats) {
        TPixelGraphic g;
        FormatPicture(g, 21, 13, format);
        if (format == pf24Bit) {
            EXPECT_NO_THROW(GaussianBlur24(g, 2.0));
            EXPECT_EQ(TFastBMP::CreateFromBitmap(g)->Width, 21);
            continue;
        }
        const std::uint8_t before = g.GetScanLine(6)[0];
        try {
            GaussianBlur24(g, 2.0);
            ADD_FAILURE() << "blurred format " << int(format);
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), GaussianBlur24Message);
        }
        EXPECT_EQ(g.GetScanLine(6)[0], before);
        EXPECT_THROW(TFastBMP::CreateFromBitmap(g), EPixelGraphic) << int(format);
    }
}

TEST(EffectPixelFormats, QuarterTurnsKeepTheFormatAndEveryPixel)
{
    for (const std::uint8_t format : AllPixelFormats) {
        TPixelGraphic g, turned, back;
        FormatPicture(g, 13, 7, format);
        TurnQuarters(turned, g, 1);
        EXPECT_EQ(turned.GetPixelFormat(), format);
        TurnQuarters(back, turned, 3);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(back.GetPixel(x, y), g.GetPixel(x, y)) << int(format) << " at " << x << "," << y;
    }
}

} // namespace
} // namespace lumeno
