#include "app/effects/fast_fx.h"
#include "effects_support.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_exceptions.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstring>
#include <limits>
#include <numbers>

namespace lumeno {
namespace {

using test::At;
using test::Fast;
using test::Pattern;

bool SamePixels(const TFastBMP& a, const TFastBMP& b)
{
    return a.Size == b.Size && std::memcmp(a.Bits, b.Bits, static_cast<std::size_t>(a.Size)) == 0;
}

TEST(FastBMP, RowsArePaddedToFourBytesAndCopiedTopFirst)
{
    auto b = Fast(5, 3, Pattern);
    EXPECT_EQ(b->Gap, 1);
    EXPECT_EQ(b->RowInc, 16);
    EXPECT_EQ(b->Size, 48);
    EXPECT_EQ(b->Pixels[2], b->Bits + 32);
    EXPECT_EQ(At(*b, 4, 0), Pattern(4, 0));
    EXPECT_EQ(At(*b, 1, 2), Pattern(1, 2));

    TPixelGraphic back;
    b->Draw(back);
    EXPECT_EQ(back.GetPixelColor(3, 2), Pattern(3, 2));

    QImage shown(7, 5, QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    b->Draw(painter, 2, 1);
    painter.end();
    EXPECT_EQ(shown.pixel(2 + 4, 1 + 2) & 0xFFFFFFu,
              static_cast<unsigned>(
                  qRgb(GetRValue(Pattern(4, 2)), GetGValue(Pattern(4, 2)), GetBValue(Pattern(4, 2)))) &
                  0xFFFFFFu);

    TPixelGraphic eight;
    eight.SetDimensions(4, 4, pf8Bit);
    EXPECT_THROW(TFastBMP::CreateFromBitmap(eight), EPixelGraphic);
}

TEST(FastFX, NoiseAndSprayOfAmountZeroOrOneChangeNothing)
{
    auto src = Fast(9, 7, Pattern);
    for (const int amount : {0, 1}) {
        auto b = Fast(9, 7, Pattern);
        ColorNoise(*b, amount, 5);
        MonoNoise(*b, amount, 5);
        EXPECT_TRUE(SamePixels(*b, *src)) << amount;
    }
    TFastBMP dst(9, 7);
    SprayPaint(*src, dst, 0, 5);
    EXPECT_TRUE(SamePixels(dst, *src));
}

TEST(FastFX, NoiseStaysWithinItsAmount)
{
    auto grey = [](int, int) { return RGB(128, 128, 128); };
    auto b = Fast(64, 64, grey);
    ColorNoise(*b, 100, 11);
    auto m = Fast(64, 64, grey);
    MonoNoise(*m, 100, 11);
    int low = 255, high = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const TColor c = At(*b, x, y), n = At(*m, x, y);
            for (const int v : {GetRValue(c), GetGValue(c), GetBValue(c)}) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
            EXPECT_TRUE(GetRValue(n) == GetGValue(n) && GetGValue(n) == GetBValue(n));
        }
    EXPECT_EQ(low, 128 - 50);
    EXPECT_EQ(high, 128 + 49);
}

TEST(FastFX, OneSeedGivesOnePictureOnOneThreadAndOnAll)
{
    auto run = [](int threads) {
        SetParallelThreads(threads);
        auto src = Fast(640, 437, Pattern);
        auto b = Fast(640, 437, Pattern);
        ColorNoise(*b, 60, 42);
        MonoNoise(*b, 30, 43);
        TFastBMP dst(640, 437);
        SprayPaint(*b, dst, 9, 44);
        Emboss(dst);
        SetParallelThreads(0);
        return std::vector<std::uint8_t>(dst.Bits, dst.Bits + dst.Size);
    };
    const auto one = run(1);
    EXPECT_EQ(one, run(0));
    EXPECT_EQ(one, run(3));
}

TEST(FastFX, SprayTakesPixelsFromNearby)
{
    auto src = Fast(40, 30, Pattern);
    TFastBMP dst(40, 30);
    SprayPaint(*src, dst, 4, 7);
    int moved = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            bool found = false;
            for (int dy = -4; dy <= 4 && !found; ++dy)
                for (int dx = -4; dx <= 4 && !found; ++dx)
                    found = At(dst, x, y) == Pattern(std::clamp(x + dx, 0, 39), std::clamp(y + dy, 0, 29));
            EXPECT_TRUE(found) << x << "," << y;
            moved += At(dst, x, y) != Pattern(x, y);
        }
    EXPECT_GT(moved, 40 * 30 / 2);
}

TEST(FastFX, EmbossMixesWithTheInvertedPixelBelowRight)
{
    auto grey = Fast(6, 5, [](int, int) { return RGB(128, 128, 128); });
    Emboss(*grey);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(At(*grey, x, y), RGB(127, 127, 127));

    auto b = Fast(6, 5, Pattern);
    Emboss(*b);
    auto expect = [](int own, int other) { return ((255 - other) + own) >> 1; };
    // Ordinary rows: the pixel below and to the right (the last column its own).
    EXPECT_EQ(GetRValue(At(*b, 2, 1)), expect(GetRValue(Pattern(2, 1)), GetRValue(Pattern(3, 2))));
    EXPECT_EQ(GetGValue(At(*b, 5, 2)), expect(GetGValue(Pattern(5, 2)), GetGValue(Pattern(5, 3))));
    // The last two rows: pixel (1, H - 1) for every pixel.
    for (const int y : {3, 4})
        for (const int x : {0, 4})
            EXPECT_EQ(GetBValue(At(*b, x, y)), expect(GetBValue(Pattern(x, y)), GetBValue(Pattern(1, 4))));

    auto narrow = Fast(1, 3, Pattern);
    Emboss(*narrow);
    EXPECT_EQ(GetRValue(At(*narrow, 0, 2)), expect(GetRValue(Pattern(0, 2)), GetRValue(Pattern(0, 2))));
}

TEST(FastFX, MosaicBlocksTakeThePixelPastTheirMiddle)
{
    auto b = Fast(10, 10, Pattern);
    Mosaic(*b, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(*b, x, y), Pattern(2, 2));
    EXPECT_EQ(At(*b, 4, 7), Pattern(5, 8));
    EXPECT_EQ(At(*b, 9, 9), Pattern(9, 9));
    EXPECT_EQ(At(*b, 9, 0), Pattern(9, 2));

    // Amount 1 takes the next pixel's original colour.
    auto one = Fast(5, 4, Pattern);
    Mosaic(*one, 1, 1);
    EXPECT_EQ(At(*one, 0, 0), Pattern(1, 1));
    EXPECT_EQ(At(*one, 4, 3), Pattern(4, 3));

    auto same = Fast(5, 4, Pattern);
    Mosaic(*same, 0, 3);
    EXPECT_EQ(At(*same, 1, 1), Pattern(1, 1));
}

TEST(FastFX, SwirlWithAHugeAmountIsAQuarterTurn)
{
    const int n = 21;
    auto src = Fast(n, n, Pattern);
    TFastBMP dst(n, n);
    Swirl(*src, dst, 1000000000);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const TColor got = At(dst, x, y), want = Pattern(n - 1 - y, x);
            ASSERT_LE(std::abs(static_cast<int>(GetRValue(got)) - static_cast<int>(GetRValue(want))), 1)
                << x << "," << y;
            ASSERT_LE(std::abs(static_cast<int>(GetBValue(got)) - static_cast<int>(GetBValue(want))), 1);
        }
}

TEST(FastFX, FishEyeCentreAndBeyondItsRadius)
{
    auto src = Fast(4, 40, Pattern);
    TFastBMP dst(4, 40);
    FishEye(*src, dst, 1.0);
    EXPECT_EQ(At(dst, 2, 20), Pattern(2, 20));
    // maxR is the width (4): pixels farther from the centre keep their own colour.
    EXPECT_EQ(At(dst, 0, 0), Pattern(0, 0));
    EXPECT_EQ(At(dst, 3, 39), Pattern(3, 39));

    TFastBMP none(4, 40);
    FishEye(*src, none, 0.0);
    EXPECT_EQ(At(none, 3, 7), Pattern(3, 7));
}

TEST(FastFX, SampleWrapsAndWeighsAsDefined)
{
    auto src = Fast(4, 3, Pattern);
    std::uint8_t p[3];
    ASSERT_TRUE(SampleWrapped(*src, 1, 2, p));
    EXPECT_EQ(RGB(p[2], p[1], p[0]), Pattern(1, 2));
    ASSERT_TRUE(SampleWrapped(*src, 5, 3, p)); // wraps to (1, 0)
    EXPECT_EQ(RGB(p[2], p[1], p[0]), Pattern(1, 0));
    // Left of zero the weight goes to the corner after the wrapped one.
    ASSERT_TRUE(SampleWrapped(*src, -1, 0, p));
    EXPECT_EQ(RGB(p[2], p[1], p[0]), Pattern(3, 0));
    // Just left of zero: mostly column 0, a little of the last column.
    ASSERT_TRUE(SampleWrapped(*src, -0.25, 0, p));
    EXPECT_EQ(p[2], static_cast<std::uint8_t>(
                        std::nearbyint(0.75 * GetRValue(Pattern(0, 0)) + 0.25 * GetRValue(Pattern(3, 0)))));
    EXPECT_TRUE(SampleWrapped(*src, 1e300, -1e300, p));
    EXPECT_FALSE(SampleWrapped(*src, std::numeric_limits<double>::infinity(), 0, p));
    EXPECT_FALSE(SampleWrapped(*src, 0, std::numeric_limits<double>::quiet_NaN(), p));
}

TEST(FastFX, ArcTangent2CoversBothHalfPlanes)
{
    EXPECT_FLOAT_EQ(ArcTangent2(0, 1), std::numbers::pi_v<float> / 2);
    EXPECT_FLOAT_EQ(ArcTangent2(0, 0), -std::numbers::pi_v<float> / 2);
    EXPECT_FLOAT_EQ(ArcTangent2(-1, 0), std::numbers::pi_v<float>);
    EXPECT_FLOAT_EQ(ArcTangent2(-1, -1), std::numbers::pi_v<float> * 1.25f);
    EXPECT_EQ(ClampByte(300), 255);
    EXPECT_EQ(ClampByte(-3), 0);
    EXPECT_EQ(ClampInt(5, 0, 4), 4);
}

} // namespace
} // namespace lumeno
