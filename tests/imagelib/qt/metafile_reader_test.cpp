#include "imagelib/codecs/metafile_reader_qt.h"

#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/metafile/metafile.h"
#include "platform/stream.h"
#include "support/metafile_builder.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <thread>

using namespace lumeno;
using namespace lumeno::test;

namespace {

constexpr std::uint16_t SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C, RECTANGLE = 0x041B,
                        SELECTOBJECT = 0x012D, POLYGON = 0x0324, CREATEPEN = 0x02FA, CREATEBRUSH = 0x02FC;
constexpr std::uint32_t EMR_SELECTOBJECT = 37, EMR_CREATEBRUSHINDIRECT = 39, EMR_RECTANGLE = 43;

// Red rectangle over the left half and blue over the bottom-right quarter
// of a window of w × h units, nothing elsewhere.
TBytes WMFBody(int w, int h, int type = 1)
{
    TWMFBuilder b;
    b.Words(SETWINDOWORG, {0, 0}).Words(SETWINDOWEXT, {h, w});
    b.Words(CREATEBRUSH, {0, 0x00FF, 0, 0}).Words(CREATEPEN, {5, 0, 0, 0, 0});
    b.Words(SELECTOBJECT, {0}).Words(SELECTOBJECT, {1});
    b.Words(RECTANGLE, {h, w / 2, 0, 0});
    b.Words(CREATEBRUSH, {0, 0, 0x00FF, 0}).Words(SELECTOBJECT, {2});
    b.Words(RECTANGLE, {h, w, h / 2, w * 3 / 4});
    return b.Build(3, type);
}

TBytes Placeable(int right, int bottom, int inch, const TBytes& body)
{
    TBytes bytes = PlaceableHeader(0, 0, right, bottom, inch);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// A picture of w × h pixels at 96 dpi filled red where the brush falls.
TBytes EMF(int w, int h, const std::vector<std::uint32_t>& palette = {})
{
    TEMFBuilder b(static_cast<int>(std::lround(w * 2540.0 / 96)),
                  static_cast<int>(std::lround(h * 2540.0 / 96)));
    b.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, 0x0000FF, 0}).Ints(EMR_SELECTOBJECT, {1});
    b.Ints(EMR_SELECTOBJECT, {static_cast<std::int32_t>(0x80000008)});
    b.Ints(EMR_RECTANGLE, {0, 0, w / 2, h});
    return b.Build(2, palette);
}

int ScreenInch()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? static_cast<int>(std::lround((s->logicalDotsPerInchX() + s->logicalDotsPerInchY()) / 2)) : 96;
}

class MetafileReader : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        PGMetaStartup();
    }
    void TearDown() override { PGStartup(); }

    static void Load(TPixelGraphic& g, const TBytes& bytes)
    {
        TMemoryStream stream(bytes);
        g.LoadFromStream(stream);
    }
    static TGraphicInfo Info(const TBytes& bytes)
    {
        TMemoryStream stream(bytes);
        TGraphicInfo info;
        EXPECT_TRUE(GetGraphicStreamInfo(stream, "", 0, info));
        return info;
    }
    static std::string InvalidMessage(const TBytes& bytes)
    {
        TPixelGraphic g;
        try {
            Load(g, bytes);
        } catch (const EPixelGraphic& e) {
            return e.what();
        }
        return "";
    }
};

} // namespace

TEST_F(MetafileReader, RegisteredInOrderAndFoundByContent)
{
    std::vector<std::string> found;
    for (const auto& r : FileFormatReaders())
        if (r->Extension == "wmf" || r->Extension == "emf")
            found.push_back(r->Extension + " " + r->Description + (r->ProbeContent ? " probe" : ""));
    EXPECT_EQ(found, (std::vector<std::string>{"emf Enhanced Metafile probe", "wmf Windows Metafile probe"}));

    auto readerOf = [](const TBytes& bytes) {
        TMemoryStream stream(bytes);
        const TFileFormatReader* r = FindFileFormatReader(stream, "bmp");
        return r ? r->Extension : std::string("none");
    };
    EXPECT_EQ(readerOf(Placeable(100, 100, 96, WMFBody(100, 100))), "wmf");
    EXPECT_EQ(readerOf(WMFBody(100, 100, 1)), "wmf");
    EXPECT_EQ(readerOf(WMFBody(100, 100, 2)), "wmf"); // disk metafile
    EXPECT_EQ(readerOf(EMF(10, 10)), "emf");          // 108-byte header
    EXPECT_EQ(readerOf(TEMFBuilder(100, 100).Build(1, {}, 88)), "emf");

    TBytes noObjects = WMFBody(100, 100);
    noObjects[10] = 0;
    EXPECT_EQ(readerOf(noObjects), "none");
    TBytes shortRecord = EMF(10, 10);
    shortRecord[4] = 80;
    EXPECT_EQ(readerOf(shortRecord), "none");
}

TEST_F(MetafileReader, DrawsAtTheMetafileSizeOnWhite)
{
    TPixelGraphic g;
    Load(g, Placeable(2000, 1000, 192, WMFBody(200, 100)));
    ASSERT_EQ(g.GetWidth(), 1000);
    ASSERT_EQ(g.GetHeight(), 500);
    EXPECT_EQ(g.GetPixelFormat(), pf24Bit);
    EXPECT_EQ(g.GetPixelColor(100, 250), clRed);
    EXPECT_EQ(g.GetPixelColor(900, 400), clBlue);
    EXPECT_EQ(g.GetPixelColor(700, 100), clWhite); // not drawn
    EXPECT_EQ(g.GetPixelColor(999, 0), clWhite);
}

// Pictures above four megapixels are drawn a band of rows at a time: shapes
// crossing a band's edge continue seamlessly.
TEST_F(MetafileReader, TallPicturesDrawAcrossBands)
{
    TPixelGraphic g;
    Load(g, Placeable(3000, 2000, 96, WMFBody(3000, 2000)));
    ASSERT_EQ(g.GetHeight(), 2000);
    for (int y : {1000, 1397, 1398, 1999})
        EXPECT_EQ(g.GetPixelColor(2900, y), clBlue) << y;
    EXPECT_EQ(g.GetPixelColor(2900, 998), clWhite);
    EXPECT_EQ(g.GetPixelColor(10, 1999), clRed);
}

// A few header bytes once asked for half a gigapixel and seconds of drawing.
TEST_F(MetafileReader, HugePicturesAreDrawnScaledDownTo64Megapixels)
{
    const TBytes bytes = EMF(40000, 20000);
    TPixelGraphic g;
    Load(g, bytes);
    EXPECT_LE(std::int64_t{g.GetWidth()} * g.GetHeight(), 64'000'000);
    EXPECT_GT(std::int64_t{g.GetWidth()} * g.GetHeight(), 63'000'000);
    EXPECT_NEAR(static_cast<double>(g.GetWidth()) / g.GetHeight(), 2.0, 0.001);
    EXPECT_EQ(g.GetPixelColor(10, g.GetHeight() - 1), clRed);
    EXPECT_EQ(g.GetPixelColor(g.GetWidth() - 10, g.GetHeight() - 1), clWhite);

    const TGraphicInfo info = Info(bytes);
    EXPECT_EQ(info.Width, 40000);
    EXPECT_EQ(info.Remarks,
              "Drawn at " + std::to_string(g.GetWidth()) + " x " + std::to_string(g.GetHeight()) + " pixels");
}

TEST_F(MetafileReader, PreviewFitsTheLongerSideInto130)
{
    for (const TBytes& bytes : {Placeable(1000, 500, 96, WMFBody(1000, 500)), EMF(1000, 500)}) {
        TPixelGraphic g;
        g.SetPreviewLoad(true);
        Load(g, bytes);
        EXPECT_EQ(g.GetWidth(), 130);
        EXPECT_EQ(g.GetHeight(), 65);
        EXPECT_EQ(g.GetPixelColor(20, 30), clRed);
        EXPECT_EQ(g.GetPixelColor(100, 10), clWhite);
    }
    TPixelGraphic small;
    small.SetPreviewLoad(true);
    Load(small, EMF(100, 40));
    EXPECT_EQ(small.GetWidth(), 100);
}

TEST_F(MetafileReader, HeaderlessFileGetsTheSynthesisedBox)
{
    TPixelGraphic g;
    Load(g, WMFBody(1000, 500, 2));
    EXPECT_EQ(g.GetWidth(), 99 * 96 / ScreenInch());
    EXPECT_EQ(g.GetPixelColor(10, 20), clRed);
    const TGraphicInfo info = Info(WMFBody(1000, 500));
    EXPECT_EQ(info.FormatName, "Windows Metafile");
    EXPECT_EQ(info.SubFormat, "No header");
    EXPECT_EQ(info.Width, g.GetWidth());
}

TEST_F(MetafileReader, SynthesisedHeadersAreValidAndChecksummed)
{
    const auto fresh = SynthesizePlaceableHeader(nullptr);
    EXPECT_EQ(fresh[0] | fresh[1] << 8 | fresh[2] << 16 | static_cast<std::uint32_t>(fresh[3]) << 24,
              PlaceableKey);
    EXPECT_EQ(TBytes(fresh.begin() + 6, fresh.begin() + 14), (TBytes{0, 0, 0, 0, 99, 0, 49, 0}));
    EXPECT_EQ(fresh[14] | fresh[15] << 8, ScreenInch());
    EXPECT_EQ(fresh[20] | fresh[21] << 8, PlaceableChecksum(fresh.data()));

    TBytes own = PlaceableHeader(10, 20, 300, 200, 1440);
    own[4] = 7;  // handle
    own[16] = 9; // reserved
    const auto kept = SynthesizePlaceableHeader(own.data());
    EXPECT_EQ(TBytes(kept.begin(), kept.begin() + 4), TBytes(own.begin(), own.begin() + 4));
    EXPECT_EQ(kept[4], 0);
    EXPECT_EQ(TBytes(kept.begin() + 6, kept.begin() + 16), TBytes(own.begin() + 6, own.begin() + 16));
    EXPECT_EQ(kept[16], 0);

    for (const TBytes& bad : {PlaceableHeader(10, 0, 10, 50, 96), PlaceableHeader(0, 0, 32767, 50, 96),
                              PlaceableHeader(0, 60, 100, 50, 96)}) {
        const auto fixed = SynthesizePlaceableHeader(bad.data());
        EXPECT_EQ(fixed[10] | fixed[11] << 8, 99);
        EXPECT_EQ(fixed[12] | fixed[13] << 8, 49);
    }
}

TEST_F(MetafileReader, OwnHeaderUsedUnlessItFailsThenRetried)
{
    const TBytes good = Placeable(300, 150, 96, WMFBody(300, 150));
    EXPECT_EQ(Info(good).SubFormat, "Placeable, Aldus header");

    TBytes badSum = good;
    badSum[20] ^= 0x55;
    TPixelGraphic g;
    Load(g, badSum);
    EXPECT_EQ(g.GetWidth(), 300); // the file's own box survives the retry
    EXPECT_EQ(g.GetPixelColor(50, 50), clRed);
    EXPECT_EQ(Info(badSum).SubFormat, "No header");

    TPixelGraphic noInch;
    Load(noInch, Placeable(192, 96, 0, WMFBody(300, 150)));
    EXPECT_EQ(noInch.GetWidth(), 192 * 96 / ScreenInch());
}

TEST_F(MetafileReader, PaletteChoosesThePixelFormat)
{
    const struct {
        std::size_t entries;
        std::uint8_t format;
        const char* colors;
        int bits;
    } cases[] = {{2, pf1Bit, "2", 1},
                 {16, pf4Bit, "16", 4},
                 {17, pf8Bit, "256", 8},
                 {257, pf24Bit, "16.7M", 24},
                 {0, pf24Bit, "16.7M", 24}};
    for (const auto& c : cases) {
        std::vector<std::uint32_t> palette(c.entries, 0x0000FF);
        if (!palette.empty())
            palette[0] = 0xFFFFFF;
        TPixelGraphic g;
        Load(g, EMF(40, 20, palette));
        EXPECT_EQ(g.GetPixelFormat(), c.format) << c.entries;
        EXPECT_EQ(g.GetPixelColor(5, 5), clRed) << c.entries;
        EXPECT_EQ(g.GetPixelColor(35, 5), clWhite) << c.entries;
        if (c.format != pf24Bit) {
            EXPECT_EQ(g.GetPaletteSize(), static_cast<int>(c.entries));
        }
        const TGraphicInfo info = Info(EMF(40, 20, palette));
        EXPECT_EQ(info.Colors, c.colors);
        EXPECT_EQ(info.BitCount, c.bits);
    }
}

TEST_F(MetafileReader, InfoOfAnEnhancedMetafile)
{
    const TGraphicInfo info = Info(EMF(1000, 500));
    EXPECT_EQ(info.FormatName, "Enhanced Metafile");
    EXPECT_EQ(info.SubFormat, "");
    EXPECT_EQ(info.Width, 1000);
    EXPECT_EQ(info.Height, 500);
    EXPECT_EQ(info.ImageCount, 1);
}

TEST_F(MetafileReader, ProgressRunsToTheEndAndAbortKeepsTheImage)
{
    TPixelGraphic g;
    int starts = 0, ends = 0, steps = 0, lastStep = 0;
    g.SetOnProgressStart([&](TObject*) { ++starts; });
    g.SetOnProgressEnd([&](TObject*) { ++ends; });
    g.SetOnProgress([&](TObject*, int step, int max, bool&) {
        ++steps;
        EXPECT_EQ(max, 100);
        EXPECT_GT(step, lastStep);
        lastStep = step;
    });
    Load(g, Placeable(100, 100, 96, WMFBody(100, 100)));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_GT(steps, 3);
    EXPECT_EQ(lastStep, 100);

    TPixelGraphic stopped;
    stopped.SetOnProgress([&](TObject*, int, int, bool& abort) { abort = true; });
    Load(stopped, Placeable(100, 100, 96, WMFBody(100, 100)));
    EXPECT_EQ(stopped.GetWidth(), 100);
    EXPECT_EQ(stopped.GetPixelColor(75, 75), clWhite); // the blue rectangle came later
}

TEST_F(MetafileReader, BadFilesRaiseInvalidMetafile)
{
    for (const TBytes& whole : {Placeable(100, 100, 96, WMFBody(100, 100)), EMF(20, 20)}) {
        for (std::size_t n = 17; n + 1 < whole.size(); n += 3) {
            const TBytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
            const std::string message = InvalidMessage(cut);
            EXPECT_TRUE(message == "Invalid Metafile" || message == "Unknown file format" || message.empty())
                << n << ": " << message;
        }
    }
    TWMFBuilder polygon;
    polygon.Words(SETWINDOWEXT, {100, 100}).Words(POLYGON, {5000, 1, 1});
    const TBytes body = polygon.Build(1);
    TBytes lyingPolygon = Placeable(100, 100, 96, body);
    EXPECT_EQ(InvalidMessage(lyingPolygon), "Invalid Metafile");

    TBytes badEmf = EMF(20, 20);
    badEmf[40] = 'X'; // no signature
    EXPECT_EQ(InvalidMessage(badEmf), "Invalid Metafile");
    TMemoryStream stream(badEmf);
    tEMFFileFormatReader reader;
    std::string sub, remarks, colors;
    int w, h, bits, count;
    EXPECT_THROW(reader.GetInfo(stream, 0, sub, remarks, w, h, colors, bits, count), EPixelGraphic);
    TMemoryStream again(EMF(20, 20));
    EXPECT_THROW(reader.GetInfo(again, 1, sub, remarks, w, h, colors, bits, count), EPixelGraphic);
}

TEST_F(MetafileReader, ReadsInWorkerThreads)
{
    const TBytes bytes = Placeable(200, 100, 96, WMFBody(200, 100));
    std::vector<TColor> seen(4);
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < seen.size(); ++i)
        workers.emplace_back([&, i] {
            TPixelGraphic g;
            Load(g, bytes);
            seen[i] = g.GetPixelColor(180, 90);
        });
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(seen, std::vector<TColor>(4, clBlue));
}
