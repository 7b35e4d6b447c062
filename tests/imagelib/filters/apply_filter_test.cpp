#include "filter_test_util.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/filters/point_filters.h"
#include "imagelib/pg_exceptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace lumeno {
namespace {

using test::Colors;
using test::MakeImage;

struct Events {
    std::vector<std::string> Log;
    void Hook(TPixelGraphic& g, int AbortAfterRow = -1)
    {
        g.SetOnProgressStart([this](TObject*) { Log.push_back("start"); });
        g.SetOnProgress([this, AbortAfterRow](TObject*, int Step, int Max, bool& Abort) {
            Log.push_back(std::to_string(Step) + "/" + std::to_string(Max));
            Abort = Step == AbortAfterRow;
        });
        g.SetOnProgressEnd([this](TObject*) { Log.push_back("end"); });
        g.SetOnChange([this](TObject*) { Log.push_back("change"); });
    }
};

TEST(ApplyFilter, InPlaceConvolutionIsRefusedAndChangesNothing)
{
    TPixelGraphic g;
    MakeImage(g, 2, {clRed, clBlue});
    TConvFilter conv;
    try {
        g.ApplyFilter(conv, g);
        FAIL();
    } catch (const EPGFilter& e) {
        EXPECT_STREQ(e.what(), "Cannot apply this filter to a source that is identical to the target");
    }
    EXPECT_EQ(Colors(g), (std::vector<TColor>{clRed, clBlue}));
    EXPECT_EQ(conv.GetSource(), nullptr);
}

TEST(ApplyFilter, EmptySourceSendsNothing)
{
    TPixelGraphic source, target;
    Events events;
    events.Hook(target);
    TNegativeFilter negative;
    target.ApplyFilter(negative, source);
    EXPECT_EQ(target.GetWidth(), 0);
    EXPECT_TRUE(events.Log.empty());
}

TEST(ApplyFilter, ProgressProtocolAndSizeFollowingSource)
{
    TPixelGraphic source, target;
    MakeImage(source, 2, {clRed, clBlue, clWhite, clBlack, RGB(10, 20, 30), RGB(1, 2, 3)});
    target.SetDimensions(7, 7, pf24Bit);
    Events events;
    events.Hook(target);
    TNegativeFilter negative;
    target.ApplyFilter(negative, source);
    EXPECT_EQ(Colors(target), (std::vector<TColor>{clAqua, clYellow, clBlack, clWhite, RGB(245, 235, 225),
                                                   RGB(254, 253, 252)}));
    // The resize notifies on its own; the run ends with one more change.
    ASSERT_GE(events.Log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(events.Log.end() - 6, events.Log.end()),
              (std::vector<std::string>{"start", "0/2", "1/2", "2/2", "end", "change"}));
    EXPECT_EQ(negative.GetSource(), nullptr);
}

TEST(ApplyFilter, AbortKeepsRowsDoneAndEndsTheRun)
{
    TPixelGraphic g;
    MakeImage(g, 1, {RGB(10, 10, 10), RGB(20, 20, 20), RGB(30, 30, 30)});
    Events events;
    events.Hook(g, 0);
    TNegativeFilter negative;
    g.ApplyFilter(negative, g);
    EXPECT_EQ(Colors(g), (std::vector<TColor>{RGB(245, 245, 245), RGB(20, 20, 20), RGB(30, 30, 30)}));
    EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "0/2", "end", "change"}));
    EXPECT_EQ(negative.GetSource(), nullptr);
}

TEST(ApplyFilter, ExceptionFromHandlerStillEndsTheRun)
{
    TPixelGraphic source, target;
    MakeImage(source, 1, {clRed, clBlue});
    MakeImage(target, 1, {clRed, clBlue});
    Events events;
    events.Hook(target);
    target.SetOnProgress([](TObject*, int, int, bool&) { throw std::runtime_error("stop"); });
    TConvFilter conv;
    EXPECT_THROW(target.ApplyFilter(conv, source), std::runtime_error);
    EXPECT_EQ(events.Log.back(), "change");
    EXPECT_EQ(events.Log[events.Log.size() - 2], "end");
    EXPECT_EQ(conv.GetSource(), nullptr);
    // The filter is free for the next run.
    target.SetOnProgress(nullptr);
    target.ApplyFilter(conv, source);
    EXPECT_EQ(Colors(target), (std::vector<TColor>{clRed, clBlue}));
}

TEST(ApplyFilter, FilterServesOneRunAtATime)
{
    TPixelGraphic source, target, other;
    MakeImage(source, 1, {clRed, clBlue});
    MakeImage(other, 1, {clGreen, clGreen});
    TConvFilter conv;
    bool refused = false;
    target.SetOnProgress([&](TObject*, int, int, bool&) {
        TPixelGraphic inner;
        try {
            inner.ApplyFilter(conv, other);
        } catch (const EPGFilter&) {
            refused = true;
        }
    });
    target.ApplyFilter(conv, source);
    EXPECT_TRUE(refused);
    EXPECT_EQ(Colors(target), (std::vector<TColor>{clRed, clBlue}));
}

// An 8-bit palette image of four pixels over a palette of four entries.
void Palette8(TPixelGraphic& g)
{
    g.SetDimensions(4, 1, pf8Bit);
    g.SetPaletteSize(4);
    const TColor entries[4] = {clRed, clLime, RGB(0, 0, 255), RGB(100, 100, 100)};
    for (int i = 0; i < 4; ++i) {
        g.SetPaletteEntry(i, entries[i]);
        g.SetPixel(i, 0, static_cast<std::uint32_t>(3 - i));
    }
}

TEST(ApplyFilter, PointFilterOnPaletteImageChangesOnlyThePalette)
{
    TPixelGraphic source, target;
    Palette8(source);
    target.SetDimensions(1, 1, pf8Bit);
    Events events;
    events.Hook(target);
    TNegativeFilter negative;
    target.ApplyFilter(negative, source);
    EXPECT_EQ(target.GetPixelFormat(), pf8Bit);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(target.GetPixel(x, 0), static_cast<std::uint32_t>(3 - x));
    EXPECT_EQ(target.GetPaletteEntry(0), clAqua);
    EXPECT_EQ(target.GetPaletteEntry(3), RGB(155, 155, 155));
    EXPECT_EQ(std::count(events.Log.begin(), events.Log.end(), "start"), 0);
    // In place as well, on the same palette.
    source.ApplyFilter(negative, source);
    EXPECT_EQ(source.GetPaletteEntry(2), RGB(255, 255, 0));
}

TEST(ApplyFilter, PaletteSourcesOnThePixelPath)
{
    TPixelGraphic source, target;
    Palette8(source);
    // A pixel value beyond the palette reads as black.
    source.SetPaletteSize(3);
    TGrayScaleFilter grey;
    target.SetDimensions(1, 1, pf24Bit);
    target.ApplyFilter(grey, source);
    EXPECT_EQ(Colors(target),
              (std::vector<TColor>{RGB(0, 0, 0), RGB(29, 29, 29), RGB(149, 149, 149), RGB(76, 76, 76)}));
    // A 4-bit target takes the pixel path and the nearest of its entries.
    TPixelGraphic four;
    four.SetDimensions(1, 1, pf4Bit);
    four.SetPaletteSize(2);
    four.SetPaletteEntry(0, clBlack);
    four.SetPaletteEntry(1, clWhite);
    four.SetDither(false);
    TNegativeFilter negative;
    four.ApplyFilter(negative, source);
    EXPECT_EQ(four.GetPixelFormat(), pf4Bit);
    EXPECT_EQ(Colors(four), (std::vector<TColor>{clWhite, clWhite, clWhite, clWhite}));
}

TEST(ApplyFilter, DitheredPaletteTargetSpreadsTheError)
{
    TPixelGraphic source, target;
    MakeImage(source, 4, std::vector<TColor>(16, RGB(128, 128, 128)));
    target.SetDimensions(1, 1, pf1Bit);
    target.SetPaletteSize(2);
    target.SetPaletteEntry(0, clBlack);
    target.SetPaletteEntry(1, clWhite);
    target.SetDither(true);
    TConvFilter identity;
    target.ApplyFilter(identity, source);
    int white = 0;
    for (const TColor c : Colors(target))
        white += c == clWhite;
    EXPECT_GT(white, 4);
    EXPECT_LT(white, 12);
}

// A filter that only answers FilterPixel: the position as a colour.
class TPositionFilter : public TPGFilter {
public:
    TColor FilterPixel(int X, int Y) override { return RGB(X, Y, GetRValue(Source->GetPixelColor(X, Y))); }
};

TEST(ApplyFilter, FilterAnsweringPixelByPixel)
{
    TPixelGraphic source, target;
    MakeImage(source, 3, {RGB(9, 0, 0), clBlack, clBlack, clBlack, clBlack, RGB(7, 0, 0)});
    TPositionFilter f;
    target.ApplyFilter(f, source);
    EXPECT_EQ(Colors(target), (std::vector<TColor>{RGB(0, 0, 9), RGB(1, 0, 0), RGB(2, 0, 0), RGB(0, 1, 0),
                                                   RGB(1, 1, 0), RGB(2, 1, 7)}));
}

} // namespace
} // namespace lumeno
