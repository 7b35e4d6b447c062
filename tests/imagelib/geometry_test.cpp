#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumeno {
namespace {

// A 24-bit row (or column) of greys.
void GreyLine(TPixelGraphic& g, const std::vector<int>& levels, bool vertical = false)
{
    const int n = static_cast<int>(levels.size());
    g.SetDimensions(vertical ? 1 : n, vertical ? n : 1, pf24Bit);
    for (int i = 0; i < n; ++i)
        g.SetPixelColor(vertical ? 0 : i, vertical ? i : 0, RGB(levels[i], levels[i], levels[i]));
}

std::vector<int> Reds(TPixelGraphic& g, bool vertical = false)
{
    std::vector<int> out;
    const int n = vertical ? g.GetHeight() : g.GetWidth();
    for (int i = 0; i < n; ++i)
        out.push_back(static_cast<int>(GetRValue(g.GetPixelColor(vertical ? 0 : i, vertical ? i : 0))));
    return out;
}

std::vector<int> Stretched(const std::vector<int>& levels, int length, TStretchMode mode, bool vertical = false)
{
    TPixelGraphic source, target;
    GreyLine(source, levels, vertical);
    target.SetDimensions(vertical ? 1 : length, vertical ? length : 1, pf24Bit);
    target.SetStretchMode(mode);
    target.StretchFrom(source);
    return Reds(target, vertical);
}

TEST(Stretch, HalvingInEachMode)
{
    TPixelGraphic source, target;
    source.SetDimensions(4, 1, pf24Bit);
    const TColor colors[4] = {clRed, clRed, clBlue, clBlue};
    for (int x = 0; x < 4; ++x)
        source.SetPixelColor(x, 0, colors[x]);
    target.SetDimensions(2, 1, pf24Bit);
    for (const TStretchMode mode : {smFast, smMedium, smPrecise}) {
        target.SetStretchMode(mode);
        target.StretchFrom(source);
        EXPECT_EQ(target.GetPixelColor(0, 0), clRed) << mode;
        EXPECT_EQ(target.GetPixelColor(1, 0), clBlue) << mode;
    }
    for (const bool vertical : {false, true}) {
        EXPECT_EQ(Stretched({0, 100, 200, 255}, 2, smFast, vertical), (std::vector<int>{0, 200}));
        EXPECT_EQ(Stretched({0, 100, 200, 255}, 2, smMedium, vertical), (std::vector<int>{50, 227}));
        EXPECT_EQ(Stretched({0, 100, 200, 255}, 2, smPrecise, vertical), (std::vector<int>{50, 227}));
        // A third: the area average sees every pixel, interpolation lands on one.
        EXPECT_EQ(Stretched({0, 0, 90, 0, 0, 90}, 2, smPrecise, vertical), (std::vector<int>{30, 30}));
        EXPECT_EQ(Stretched({0, 0, 90, 0, 0, 90}, 2, smMedium, vertical), (std::vector<int>{0, 0}));
    }
}

TEST(Stretch, DoublingInEachMode)
{
    for (const bool vertical : {false, true}) {
        EXPECT_EQ(Stretched({0, 255}, 4, smPrecise, vertical), (std::vector<int>{0, 63, 191, 255}));
        EXPECT_EQ(Stretched({0, 255}, 4, smMedium, vertical), (std::vector<int>{0, 0, 255, 255}));
        EXPECT_EQ(Stretched({0, 255}, 4, smFast, vertical), (std::vector<int>{0, 0, 255, 255}));
    }
    EXPECT_EQ(Stretched({0, 255}, 3, smMedium), (std::vector<int>{0, 127, 255}));
}

TEST(Stretch, BothAxesCombine)
{
    TPixelGraphic source, target;
    source.SetDimensions(2, 2, pf24Bit);
    source.SetPixelColor(1, 1, RGB(255, 255, 255));
    target.SetDimensions(4, 4, pf24Bit);
    target.StretchFrom(source);
    // Rows and columns both 0, 63, 191, 255 of the corner's weight.
    EXPECT_EQ(GetRValue(target.GetPixelColor(0, 0)), 0u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(1, 1)), 15u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(2, 2)), 143u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(3, 3)), 255u);
}

TEST(Stretch, ClipsDestinationAndSkipsMissingSource)
{
    TPixelGraphic source, target;
    GreyLine(source, {10, 20, 30, 40});
    target.SetDimensions(4, 1, pf24Bit);
    target.SetFillColor(RGB(7, 7, 7));
    target.Clear();
    target.SetStretchMode(smFast);
    // Destination half outside on the left, the source rectangle reaching
    // two pixels beyond the right edge.
    target.StretchRect(-2, 0, 8, 1, 2, 0, 4, 1, source);
    EXPECT_EQ(Reds(target), (std::vector<int>{40, 40, 7, 7}));
    target.Clear();
    target.StretchRect(0, 0, 4, 1, 2, 0, 4, 1, source);
    EXPECT_EQ(Reds(target), (std::vector<int>{30, 40, 7, 7}));
    target.Clear();
    target.StretchRect(1, 0, 2, 1, 0, 0, 4, 1, source);
    EXPECT_EQ(Reds(target), (std::vector<int>{7, 10, 30, 7}));
}

TEST(Stretch, EqualSizeConvertsColoursOnly)
{
    TPixelGraphic source, target;
    GreyLine(source, {0, 100, 200, 255});
    target.SetDimensions(4, 1, pf8Bit);
    target.SetPaletteType(pGray256);
    target.SetDither(false);
    target.StretchFrom(source);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(target.GetPixel(x, 0), static_cast<std::uint32_t>(GetRValue(source.GetPixelColor(x, 0))));
}

TEST(Stretch, ReadsItsOwnPixelsFromACopy)
{
    TPixelGraphic g;
    GreyLine(g, {0, 100, 200, 255});
    g.StretchRect(0, 0, 2, 1, 0, 0, 4, 1, g);
    EXPECT_EQ(Reds(g), (std::vector<int>{50, 227, 200, 255}));
    g.CopyRect(1, 0, 3, 1, 0, 0, g);
    EXPECT_EQ(Reds(g), (std::vector<int>{50, 50, 227, 200}));
}

TEST(Stretch, PaletteSourceIsReadAsColours)
{
    TPixelGraphic source, target;
    source.SetDimensions(4, 1, pf4Bit);
    source.SetPaletteType(pSys16);
    source.SetPixel(0, 0, 9);
    source.SetPixel(1, 0, 9);
    source.SetPixel(2, 0, 12);
    source.SetPixel(3, 0, 12);
    target.SetDimensions(2, 1, pf24Bit);
    target.StretchFrom(source);
    EXPECT_EQ(target.GetPixelColor(0, 0), clRed);
    EXPECT_EQ(target.GetPixelColor(1, 0), clBlue);
}

// Events of one operation, in order.
struct TEventLog {
    std::vector<std::string> Events;
    void Attach(TPixelGraphic& g, int abortAtStep = -1)
    {
        g.SetOnProgressStart([this](TObject*) { Events.push_back("start"); });
        g.SetOnProgress([this, abortAtStep](TObject*, int Step, int Max, bool& Abort) {
            Events.push_back(std::to_string(Step) + "/" + std::to_string(Max));
            Abort = Step == abortAtStep;
        });
        g.SetOnProgressEnd([this](TObject*) { Events.push_back("end"); });
        g.SetOnChange([this](TObject*) { Events.push_back("changed"); });
    }
};

TEST(Stretch, ReportsRowsAndStopsOnAbort)
{
    TPixelGraphic source, target;
    source.SetDimensions(4, 8, pf24Bit);
    target.SetDimensions(2, 4, pf24Bit);
    source.SetPixelColor(0, 7, clWhite);
    TEventLog log;
    log.Attach(target, 1);
    target.StretchFrom(source);
    EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "0/3", "1/3", "end", "changed"}));
    target.SetOnChange(nullptr);
    // Rows after the abort keep what they held.
    TPixelGraphic white;
    white.SetDimensions(4, 8, pf24Bit);
    white.SetFillColor(clWhite);
    white.Clear();
    target.StretchFrom(white);
    EXPECT_EQ(target.GetPixelColor(0, 1), clWhite);
    EXPECT_EQ(target.GetPixelColor(0, 2), clBlack);
}

// Large enough for the rows to be shared out among threads.
TEST(Stretch, LargeQuarterIsTheMeanOfSixteen)
{
    TPixelGraphic source, target;
    source.SetDimensions(2000, 1200, pf24Bit);
    for (int y = 0; y < 1200; ++y) {
        std::uint8_t* row = source.GetScanLine(y);
        for (int i = 0; i < 6000; ++i)
            row[i] = static_cast<std::uint8_t>((i * 7 + y * 13 + (i * y) % 31) & 255);
    }
    target.SetDimensions(500, 300, pf24Bit);
    target.StretchFrom(source);
    int wrong = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 500; ++x)
            for (int c = 0; c < 3; ++c) {
                int rows = 0;
                for (int sy = 4 * y; sy < 4 * y + 4; ++sy) {
                    const std::uint8_t* p = source.GetScanLine(sy) + 12 * x + c;
                    rows += (p[0] + p[3] + p[6] + p[9]) / 4;
                }
                wrong += target.GetScanLine(y)[3 * x + c] != rows / 4;
            }
    EXPECT_EQ(wrong, 0);
}

TEST(Stretch, LargePictureStopsWhereAskedAndPassesErrorsOn)
{
    TPixelGraphic source, target;
    source.SetDimensions(2000, 1200, pf24Bit);
    source.SetFillColor(clWhite);
    source.Clear();
    target.SetDimensions(500, 300, pf24Bit);
    target.SetOnProgress([](TObject*, int Step, int, bool& Abort) { Abort = Step == 5; });
    target.StretchFrom(source);
    EXPECT_EQ(target.GetPixelColor(499, 5), clWhite);
    EXPECT_EQ(target.GetPixelColor(0, 6), clBlack);
    target.SetOnProgress([](TObject*, int Step, int, bool&) {
        if (Step == 100)
            throw std::runtime_error("stop");
    });
    EXPECT_THROW(target.StretchFrom(source), std::runtime_error);
    EXPECT_EQ(target.GetPixelColor(0, 100), clWhite);
}

TEST(CopyRect, CopiesTheOverlapOnly)
{
    TPixelGraphic source, target;
    GreyLine(source, {1, 2, 3, 4});
    target.SetDimensions(5, 2, pf24Bit);
    target.CopyRect(2, 1, 10, 10, 1, 0, source);
    EXPECT_EQ(GetRValue(target.GetPixelColor(2, 1)), 2u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(4, 1)), 4u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(1, 1)), 0u);
    EXPECT_EQ(target.GetPixelColor(2, 0), clBlack);
    TEventLog log;
    log.Attach(target);
    target.CopyRect(10, 0, 2, 2, 0, 0, source);
    EXPECT_EQ(log.Events, std::vector<std::string>{"changed"});
}

TEST(Flip, TwiceRestoresAndNarrowImagesStillReport)
{
    for (const std::uint8_t format : {pf1Bit, pf4Bit, pf8Bit, pf24Bit}) {
        TPixelGraphic g;
        g.SetDimensions(7, 3, format);
        if (format != pf24Bit)
            g.SetPaletteType(format == pf1Bit ? pBlackWhite : (format == pf4Bit ? pSys16 : pGray256));
        g.SetPixel(0, 0, 1);
        g.SetPixel(1, 2, 1);
        g.FlipHorizontal();
        EXPECT_EQ(g.GetPixel(6, 0), 1u) << int(format);
        EXPECT_EQ(g.GetPixel(0, 0), 0u) << int(format);
        g.FlipVertical();
        EXPECT_EQ(g.GetPixel(6, 2), 1u) << int(format);
        EXPECT_EQ(g.GetPixel(5, 0), 1u) << int(format);
        g.FlipVertical();
        g.FlipHorizontal();
        EXPECT_EQ(g.GetPixel(0, 0), 1u) << int(format);
        EXPECT_EQ(g.GetPixel(1, 2), 1u) << int(format);
    }
    TPixelGraphic narrow;
    narrow.SetDimensions(1, 2, pf24Bit);
    TEventLog log;
    log.Attach(narrow);
    narrow.FlipHorizontal();
    EXPECT_EQ(log.Events, (std::vector<std::string>{"start", "0/1", "1/1", "end", "changed"}));
    TPixelGraphic empty;
    log.Events.clear();
    log.Attach(empty);
    empty.FlipVertical();
    EXPECT_TRUE(log.Events.empty());
}

// Wide pictures flip a band of columns at a time; an abort keeps exactly the
// columns reported.
TEST(Flip, VerticalBandsAndAbortKeepColumnsExact)
{
    for (const std::uint8_t format : {pf1Bit, pf4Bit, pf8Bit, pf24Bit}) {
        const std::uint32_t values = format == pf1Bit ? 2 : format == pf4Bit ? 16 : 256;
        const auto value = [&](int x, int y) { return static_cast<std::uint32_t>(x * 7 + y * 3) % values; };
        for (const int stopAt : {-1, 300}) {
            TPixelGraphic g;
            g.SetDimensions(601, 5, format);
            if (format != pf24Bit)
                g.SetPaletteType(format == pf1Bit ? pBlackWhite : (format == pf4Bit ? pSys16 : pGray256));
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 601; ++x)
                    g.SetPixel(x, y, value(x, y));
            int lastStep = -1;
            g.SetOnProgress([&](TObject*, int Step, int Max, bool& Abort) {
                EXPECT_EQ(Step, lastStep + 1);
                EXPECT_EQ(Max, 600);
                lastStep = Step;
                Abort = Step == stopAt;
            });
            g.FlipVertical();
            EXPECT_EQ(lastStep, stopAt < 0 ? 600 : stopAt);
            int wrong = 0;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 601; ++x) {
                    const bool flipped = stopAt < 0 || x <= stopAt;
                    wrong += g.GetPixel(x, y) != value(x, flipped ? 4 - y : y);
                }
            EXPECT_EQ(wrong, 0) << int(format) << " stop " << stopAt;
        }
    }
}

// Every pixel a colour of its own.
void Numbered(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g.SetPixelColor(x, y, RGB(x + 1, y + 1, 200));
}

struct TSize {
    int W, H;
    friend bool operator==(const TSize&, const TSize&) = default;
};

TSize FitSize(int w, int h, Extended angle)
{
    TPixelGraphic source, target;
    Numbered(source, w, h);
    target.Rotate(true, source, angle);
    return {target.GetWidth(), target.GetHeight()};
}

TEST(Rotate, FitSizes)
{
    EXPECT_EQ(FitSize(40, 30, 0), (TSize{40, 30}));
    EXPECT_EQ(FitSize(40, 30, 45), (TSize{51, 50}));
    EXPECT_EQ(FitSize(40, 30, 90), (TSize{31, 41}));
    EXPECT_EQ(FitSize(40, 30, 180), (TSize{41, 31}));
    EXPECT_EQ(FitSize(40, 30, 270), (TSize{31, 41}));
    EXPECT_EQ(FitSize(40, 30, 360), (TSize{41, 31}));
    // Angles outside 0..360 are brought into it first.
    EXPECT_EQ(FitSize(40, 30, -90), (TSize{31, 41}));
    EXPECT_EQ(FitSize(40, 30, 450), (TSize{31, 41}));
    EXPECT_EQ(FitSize(40, 30, 720), (TSize{40, 30}));
    EXPECT_EQ(FitSize(40, 30, -315), (TSize{51, 50}));
}

TEST(Rotate, QuarterTurnsMoveEveryPixelExactly)
{
    for (const int angle : {90, 180, 270, 360, -90}) {
        TPixelGraphic source, target;
        Numbered(source, 5, 3);
        target.Rotate(true, source, angle);
        std::map<TColor, int> seen;
        int zero = 0;
        for (int y = 0; y < target.GetHeight(); ++y)
            for (int x = 0; x < target.GetWidth(); ++x) {
                const TColor c = target.GetPixelColor(x, y);
                c == clBlack ? ++zero : ++seen[c];
            }
        EXPECT_EQ(seen.size(), 15u) << angle;
        for (const auto& [color, count] : seen)
            EXPECT_EQ(count, 1) << angle;
        EXPECT_EQ(zero, target.GetWidth() * target.GetHeight() - 15) << angle;
    }
    // Clockwise: the top-left pixel ends at the top right, the top row on the right.
    TPixelGraphic source, target;
    Numbered(source, 4, 3);
    target.Rotate(true, source, 90);
    EXPECT_EQ(target.GetPixelColor(3, 0), source.GetPixelColor(0, 0));
    EXPECT_EQ(target.GetPixelColor(3, 3), source.GetPixelColor(3, 0));
    EXPECT_EQ(target.GetPixelColor(1, 0), source.GetPixelColor(0, 2));
    EXPECT_EQ(target.GetPixelColor(0, 0), clBlack);
}

TEST(Rotate, QuarterTurnsNeverInterpolate)
{
    TPixelGraphic source, target;
    Numbered(source, 6, 4);
    target.SetRotateInterpolation(true);
    target.Rotate(false, source, 180);
    EXPECT_TRUE(target.GetRotateInterpolation());
    EXPECT_EQ(target.GetWidth(), 0);
    target.SetDimensions(6, 4, pf24Bit);
    target.Rotate(false, source, 180);
    // Even sizes turn about the pixel right of and below the middle.
    EXPECT_EQ(target.GetPixelColor(1, 1), source.GetPixelColor(5, 3));
    EXPECT_EQ(target.GetPixelColor(5, 3), source.GetPixelColor(1, 1));
    EXPECT_EQ(target.GetPixelColor(0, 0), clBlack);
}

TEST(Rotate, InterpolationBlendsNeighbours)
{
    TPixelGraphic source, target;
    source.SetDimensions(21, 21, pf24Bit);
    source.SetFillColor(RGB(100, 150, 200));
    source.Clear();
    target.Rotate(true, source, 33);
    EXPECT_EQ(target.GetPixelColor(target.GetWidth() / 2, target.GetHeight() / 2), RGB(100, 150, 200));
    EXPECT_EQ(target.GetPixelColor(0, 0), clBlack);
    // A neighbour outside the source reads as the fill colour, so the
    // border of a uniform picture stays uniform.
    int blended = 0;
    for (int y = 0; y < target.GetHeight(); ++y)
        for (int x = 0; x < target.GetWidth(); ++x) {
            const TColor c = target.GetPixelColor(x, y);
            if (c != clBlack && c != RGB(100, 150, 200))
                ++blended;
        }
    EXPECT_EQ(blended, 0);
}

// Large enough for threads; every pixel is checked against the inverse map.
TEST(Rotate, NearestPixelsFollowTheInverseMap)
{
    TPixelGraphic source, target;
    Numbered(source, 1600, 1000);
    target.SetRotateInterpolation(false);
    target.Rotate(true, source, 33);
    const Extended a = 33 * std::numbers::pi_v<Extended> / 180, c = std::cos(a), s = std::sin(a);
    const int tcx = target.GetWidth() / 2, tcy = target.GetHeight() / 2;
    int wrong = 0, written = 0;
    for (int y = 0; y < target.GetHeight(); ++y)
        for (int x = 0; x < target.GetWidth(); ++x) {
            const auto sx = Round(800 + (x - tcx) * c + (y - tcy) * s);
            const auto sy = Round(500 - (x - tcx) * s + (y - tcy) * c);
            const bool inside = sx >= 0 && sy >= 0 && sx < 1600 && sy < 1000;
            const TColor expected = inside ? source.GetPixelColor(static_cast<int>(sx), static_cast<int>(sy)) : clBlack;
            wrong += target.GetPixelColor(x, y) != expected;
            written += inside;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_NEAR(written, 1600 * 1000, 1600);
}

TEST(Rotate, NearlyLevelAnglesAndNonsense)
{
    TPixelGraphic source, target;
    Numbered(source, 40, 30);
    target.SetDimensions(40, 30, pf24Bit);
    target.SetRotateInterpolation(false);
    for (const Extended angle : {1e-12L, 360 - 1e-12L, 90 + 1e-15L}) {
        target.Rotate(false, source, angle);
        EXPECT_EQ(target.GetPixelColor(20, 15), source.GetPixelColor(20, 15)) << static_cast<double>(angle);
    }
    target.Rotate(false, source, 1e-12L);
    EXPECT_EQ(target.GetPixelColor(0, 0), source.GetPixelColor(0, 0));
    EXPECT_EQ(target.GetPixelColor(39, 29), source.GetPixelColor(39, 29));
    target.Rotate(true, source, std::numeric_limits<Extended>::quiet_NaN());
    EXPECT_EQ(target.GetWidth(), 40);
    EXPECT_EQ(target.GetPixelColor(39, 29), source.GetPixelColor(39, 29));
}

TEST(Rotate, IntoItselfAndWithEvents)
{
    TPixelGraphic g;
    Numbered(g, 4, 2);
    const TColor corner = g.GetPixelColor(0, 0);
    TEventLog log;
    log.Attach(g);
    g.Rotate(true, g, 180);
    EXPECT_EQ(g.GetWidth(), 5);
    EXPECT_EQ(g.GetHeight(), 3);
    EXPECT_EQ(log.Events.back(), "changed");
    EXPECT_EQ(std::count(log.Events.begin(), log.Events.end(), "changed"), 1);
    int found = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            found += g.GetPixelColor(x, y) == corner;
    EXPECT_EQ(found, 1);
}

// Large quarter turns share bands of rows among threads, yet report every
// row once and in order on the calling thread; an abort leaves each row
// either turned or as it was, and on one thread stops at the band's end.
TEST(Rotate, LargeQuarterTurnsReportInOrderAndStopAtABand)
{
    TPixelGraphic source;
    source.SetDimensions(1201, 901, pf24Bit);
    for (int y = 0; y < 901; ++y) {
        std::uint8_t* p = source.GetScanLine(y);
        for (int x = 0; x < 1201 * 3; ++x) // never 0: untouched rows stay 0
            p[x] = static_cast<std::uint8_t>(1 + (x * 5 + y * 11) % 255);
    }
    const auto isStep = [](const std::string& Event) {
        return std::isdigit(static_cast<unsigned char>(Event[0])) != 0;
    };
    for (const int threads : {1, 4}) {
        SetParallelThreads(threads);
        TPixelGraphic whole, stopped;
        TEventLog all, some;
        all.Attach(whole);
        whole.Rotate(true, source, 90);
        const int bytes = whole.GetWidth() * 3;
        const auto blank = [&](TPixelGraphic& g, int y) {
            return std::all_of(g.GetScanLine(y), g.GetScanLine(y) + bytes,
                               [](std::uint8_t b) { return b == 0; });
        };
        const auto steps = static_cast<int>(std::count_if(all.Events.begin(), all.Events.end(), isStep));
        std::vector<std::string> want{"start"};
        for (int k = 0; k < steps; ++k)
            want.push_back(std::to_string(k) + "/" + std::to_string(steps - 1));
        want.push_back("end");
        EXPECT_NE(std::search(all.Events.begin(), all.Events.end(), want.begin(), want.end()),
                  all.Events.end())
            << threads;
        int y0 = 0; // the row of the first step
        while (blank(whole, y0))
            ++y0;

        some.Attach(stopped, 200);
        stopped.Rotate(true, source, 90);
        std::erase_if(all.Events, [&](const std::string& e) { return isStep(e) && std::stoi(e) > 200; });
        EXPECT_EQ(some.Events, all.Events) << threads;
        for (int y = 0; y < whole.GetHeight(); ++y) {
            const bool turned = std::memcmp(stopped.GetScanLine(y), whole.GetScanLine(y),
                                            static_cast<std::size_t>(bytes)) == 0;
            const bool untouched = blank(stopped, y);
            ASSERT_TRUE(y - y0 <= 200 ? turned : turned || untouched) << threads << " threads, row " << y;
            if (threads == 1) {
                ASSERT_TRUE(y - y0 < 256 ? turned : untouched) << "row " << y;
            }
        }
    }
    SetParallelThreads(0);
}

// A uniform picture to fade.
void Plain(TPixelGraphic& g, int w, int h, TColor c)
{
    g.SetDimensions(w, h, pf24Bit);
    g.SetFillColor(c);
    g.Clear();
}

TEST(FadeEdges, StraightEdgesReachTheColour)
{
    TPixelGraphic source, target;
    Plain(source, 20, 12, clWhite);
    target.FadeEdges(false, 4, source, clBlack);
    EXPECT_EQ(target.GetWidth(), 20);
    EXPECT_EQ(target.GetPixelColor(0, 5), clBlack);
    EXPECT_EQ(target.GetPixelColor(19, 5), clBlack);
    EXPECT_EQ(target.GetPixelColor(10, 11), clBlack);
    // One pixel in: weight 682 of 1024 towards black.
    EXPECT_EQ(GetRValue(target.GetPixelColor(1, 6)), 85u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(6, 1)), 85u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(18, 6)), 85u);
    EXPECT_EQ(GetRValue(target.GetPixelColor(6, 10)), 85u);
    for (int y = 3; y <= 8; ++y)
        for (int x = 3; x <= 16; ++x)
            EXPECT_EQ(target.GetPixelColor(x, y), clWhite) << x << "," << y;
}

TEST(FadeEdges, SmallExtentsTouchOnlyTheRing)
{
    TPixelGraphic source, target;
    Plain(source, 6, 5, clWhite);
    target.FadeEdges(false, 1, source, clRed);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool ring = x == 0 || y == 0 || x == 5 || y == 4;
            EXPECT_EQ(target.GetPixelColor(x, y), ring ? clRed : clWhite) << x << "," << y;
        }
    for (const int extent : {0, -3}) {
        target.FadeEdges(false, extent, source, clRed);
        target.FadeEdges(true, extent, source, clRed);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(target.GetPixelColor(x, y), clWhite) << extent;
    }
}

TEST(FadeEdges, TinyPicturesAreFilled)
{
    TPixelGraphic source, target;
    Plain(source, 2, 9, clWhite);
    target.FadeEdges(false, 5, source, clBlue);
    for (int y = 0; y < 9; ++y)
        EXPECT_EQ(target.GetPixelColor(1, y), clBlue);
}

TEST(FadeEdges, OvalLeavesTheCentreAndColoursTheCorners)
{
    TPixelGraphic source, target;
    Plain(source, 41, 31, clWhite);
    target.FadeEdges(true, 6, source, clBlack);
    EXPECT_EQ(target.GetPixelColor(0, 0), clBlack);
    EXPECT_EQ(target.GetPixelColor(40, 30), clBlack);
    EXPECT_EQ(target.GetPixelColor(20, 15), clWhite);
    // On the ellipse itself the fade is complete; a few pixels in it is partial.
    EXPECT_EQ(target.GetPixelColor(0, 15), clBlack);
    const unsigned partial = GetRValue(target.GetPixelColor(2, 15));
    EXPECT_GT(partial, 0u);
    EXPECT_LT(partial, 255u);
}

TEST(FadeEdges, WorksInPlace)
{
    TPixelGraphic g;
    Plain(g, 10, 10, clWhite);
    g.SetPixelColor(5, 5, clRed);
    g.FadeEdges(false, 3, g, clBlack);
    EXPECT_EQ(g.GetPixelColor(5, 5), clRed);
    EXPECT_EQ(g.GetPixelColor(0, 5), clBlack);
    EXPECT_EQ(g.GetPixelColor(4, 4), clWhite);
}

} // namespace
} // namespace lumeno
