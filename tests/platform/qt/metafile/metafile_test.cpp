#include "platform/qt/metafile/metafile.h"
#include "platform/qt/metafile/metafile_dib.h"

#include "support/metafile_builder.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <random>

using namespace lumeno;
using namespace lumeno::test;

namespace {

// WMF functions.
constexpr std::uint16_t SETBKMODE = 0x0102, SETROP2 = 0x0104, SETTEXTCOLOR = 0x0209, SETTEXTALIGN = 0x012E,
                        SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C, LINETO = 0x0213, MOVETO = 0x0214,
                        EXCLUDECLIPRECT = 0x0415, INTERSECTCLIPRECT = 0x0416, ELLIPSE = 0x0418,
                        RECTANGLE = 0x041B, SAVEDC = 0x001E, RESTOREDC = 0x0127, TEXTOUT = 0x0521,
                        POLYGON = 0x0324, POLYPOLYGON = 0x0538, SELECTOBJECT = 0x012D, DELETEOBJECT = 0x01F0,
                        STRETCHDIB = 0x0F43, DIBBITBLT = 0x0940, PIE = 0x081A, ESCAPE = 0x0626,
                        CREATEPALETTE = 0x00F7, SETPIXEL = 0x041F, PATBLT = 0x061D, DIBSTRETCHBLT = 0x0B41,
                        CREATEPEN = 0x02FA, CREATEFONT = 0x02FB, CREATEBRUSH = 0x02FC;
// EMF records.
constexpr std::uint32_t EMR_POLYGON16 = 86, EMR_POLYLINE = 4, EMR_SETWINDOWEXTEX = 9,
                        EMR_SETVIEWPORTEXTEX = 11, EMR_SETMAPMODE = 17, EMR_SETTEXTCOLOR = 24,
                        EMR_MOVETOEX = 27, EMR_SAVEDC = 33, EMR_RESTOREDC = 34, EMR_SETWORLDTRANSFORM = 35,
                        EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37, EMR_CREATEBRUSHINDIRECT = 39,
                        EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_LINETO = 54, EMR_BEGINPATH = 59,
                        EMR_ENDPATH = 60, EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_EXTSELECTCLIPRGN = 75,
                        EMR_STRETCHDIBITS = 81, EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTW = 84,
                        EMR_UNKNOWN = 1000, EMR_POLYLINETO16 = 89, EMR_BITBLT = 76, EMR_EXTCREATEPEN = 95;
constexpr std::uint32_t StockNullPen = 0x80000008, StockBlackBrush = 0x80000004;

constexpr std::uint32_t Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000; // COLORREF

QImage Render(const TMetafile& metafile, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile.Play(painter, QRectF(0, 0, width, height));
    return image;
}

TMetafile Load(TBytes bytes)
{
    TMetafile metafile;
    metafile.LoadFromBytes(std::move(bytes));
    return metafile;
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += At(image, x, y) == colour;
    return n;
}

// A 100 × 100 pixel placeable WMF whose window is 0, 0, 100, 100.
TWMFBuilder Shapes100()
{
    TWMFBuilder b;
    b.Words(SETWINDOWORG, {0, 0}).Words(SETWINDOWEXT, {100, 100});
    return b;
}

TBytes Placeable100(const TWMFBuilder& b, int objects)
{
    TBytes bytes = PlaceableHeader(0, 0, 100, 100, 96);
    const TBytes body = b.Build(objects);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// Brush: style, colour (two words), hatch.
std::vector<int> Brush(int style, std::uint32_t colour, int hatch = 0)
{
    return {style, static_cast<int>(colour & 0xFFFF), static_cast<int>(colour >> 16), hatch};
}

std::vector<int> NullPen()
{
    return {5, 0, 0, 0, 0};
}

// Two 2 × 2 DIBs' worth of pixels: red, green over blue, yellow.
const std::vector<std::uint32_t> Quad = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};

TBytes StretchDIBParams(int x, int y, int w, int h, const TBytes& dib)
{
    TBytes p;
    Add32(p, 0x00CC0020);
    for (int v : {0, 2, 2, 0, 0, h, w, y, x})
        Add16(p, v);
    p.insert(p.end(), dib.begin(), dib.end());
    return p;
}

TBytes Ints(const std::vector<std::int32_t>& values)
{
    TBytes b;
    for (auto v : values)
        Add32(b, static_cast<std::uint32_t>(v));
    return b;
}

// A 100 × 100 pixel EMF (frame 2646 hundredths of a millimetre).
TEMFBuilder Emf100()
{
    return TEMFBuilder(2646, 2646);
}

} // namespace

TEST(MetafileWMF, SizeFromPlaceableBoxAndUnitsPerInch)
{
    TBytes bytes = PlaceableHeader(-720, 0, 720, 720, 1440);
    const TBytes body = TWMFBuilder().Build(0);
    bytes.insert(bytes.end(), body.begin(), body.end());
    const TMetafile m = Load(bytes);
    EXPECT_FALSE(m.GetEnhanced());
    EXPECT_EQ(m.GetWidth(), 96);
    EXPECT_EQ(m.GetHeight(), 48);
    EXPECT_EQ(m.GetInch(), 1440);
    EXPECT_EQ(m.GetBounds(), Rect(-720, 0, 720, 720));
}

TEST(MetafileWMF, RejectsABadPlaceableHeaderAndKeepsItsContent)
{
    const TBytes body = Shapes100().Build(0);
    auto withHeader = [&](TBytes header) {
        header.insert(header.end(), body.begin(), body.end());
        return header;
    };
    TMetafile m = Load(withHeader(PlaceableHeader(0, 0, 100, 50, 96)));
    TBytes badSum = withHeader(PlaceableHeader(0, 0, 100, 100, 96));
    badSum[20] ^= 1;
    EXPECT_THROW(m.LoadFromBytes(badSum), EMetafileError);
    EXPECT_THROW(m.LoadFromBytes(withHeader(PlaceableHeader(0, 0, 100, 100, 0))), EMetafileError);
    EXPECT_THROW(m.LoadFromBytes(withHeader(PlaceableHeader(100, 0, 100, 100, 96))), EMetafileError);
    EXPECT_EQ(m.GetHeight(), 50);
}

TEST(MetafileWMF, BareAndDiskMetafilesTakeTheirWindowAsSize)
{
    TWMFBuilder b;
    b.Words(SETWINDOWORG, {5, 10}).Words(SETWINDOWEXT, {80, 120});
    for (int type : {1, 2}) {
        const TMetafile m = Load(b.Build(0, type));
        EXPECT_EQ(m.GetWidth(), 120);
        EXPECT_EQ(m.GetHeight(), 80);
        EXPECT_EQ(m.GetBounds().Left, 10);
    }
    EXPECT_THROW(Load(TWMFBuilder().Build(0)), EMetafileError);
}

TEST(MetafileWMF, ShapesFillTheirPlacesAtAnySize)
{
    TWMFBuilder b = Shapes100();
    b.Words(CREATEBRUSH, Brush(0, Red))
        .Words(CREATEPEN, NullPen())
        .Words(SELECTOBJECT, {0})
        .Words(SELECTOBJECT, {1});
    b.Words(RECTANGLE, {40, 40, 10, 10});
    b.Words(DELETEOBJECT, {0}).Words(CREATEBRUSH, Brush(0, Blue)).Words(SELECTOBJECT, {0});
    b.Words(ELLIPSE, {90, 90, 50, 50});
    b.Words(CREATEBRUSH, Brush(0, Green)).Words(SELECTOBJECT, {2});
    b.Words(POLYGON, {3, 60, 10, 90, 10, 90, 40});
    b.Words(PIE, {50, 25, 90, 25, 90, 40, 50, 10}); // right half of a disc at 10..40 × 50..90
    const TMetafile m = Load(Placeable100(b, 3));
    EXPECT_EQ(m.GetObjectCount(), 3);

    const QImage image = Render(m, 100, 100);
    EXPECT_EQ(At(image, 25, 25), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_EQ(At(image, 70, 70), qRgb(0, 0, 255) & 0xFFFFFF);
    EXPECT_EQ(At(image, 52, 52), 0xFFFFFFu);
    EXPECT_EQ(At(image, 85, 15), 0x00FF00u);
    EXPECT_EQ(At(image, 65, 35), 0xFFFFFFu);
    EXPECT_EQ(At(image, 35, 70), 0x00FF00u); // pie: right half drawn
    EXPECT_EQ(At(image, 15, 70), 0xFFFFFFu); // left half not

    const QImage large = Render(m, 300, 200);
    EXPECT_EQ(At(large, 75, 50), 0xFF0000u);
    EXPECT_EQ(At(large, 210, 140), 0x0000FFu);
    EXPECT_EQ(At(large, 25, 10), 0xFFFFFFu);
}

TEST(MetafileWMF, PolyPolygonAlternatesAndLinesUsePen)
{
    TWMFBuilder b = Shapes100();
    b.Words(CREATEBRUSH, Brush(0, Red)).Words(SELECTOBJECT, {0});
    // An outer square with a hole: alternate filling leaves the hole empty.
    b.Words(POLYPOLYGON, {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 40, 40, 60, 40, 60, 60, 40, 60});
    b.Words(CREATEPEN, {0, 5, 0, static_cast<int>(Blue & 0xFFFF), static_cast<int>(Blue >> 16)})
        .Words(SELECTOBJECT, {1});
    b.Words(MOVETO, {95, 0}).Words(LINETO, {95, 100});
    const QImage image = Render(Load(Placeable100(b, 2)), 100, 100);
    EXPECT_EQ(At(image, 20, 20), 0xFF0000u);
    EXPECT_EQ(At(image, 50, 50), 0xFFFFFFu);
    EXPECT_EQ(At(image, 50, 95), 0x0000FFu);
}

TEST(MetafileWMF, WindowMappingClipAndSavedStates)
{
    TWMFBuilder b;
    b.Words(SETWINDOWORG, {0, 0}).Words(SETWINDOWEXT, {200, 200});
    b.Words(CREATEBRUSH, Brush(0, Red))
        .Words(CREATEPEN, NullPen())
        .Words(SELECTOBJECT, {0})
        .Words(SELECTOBJECT, {1});
    b.Words(SAVEDC, {});
    b.Words(INTERSECTCLIPRECT, {200, 100, 0, 0}); // left half only
    b.Words(EXCLUDECLIPRECT, {40, 40, 20, 20});
    b.Words(RECTANGLE, {100, 200, 0, 0}); // top half, clipped to its left quarter
    b.Words(RESTOREDC, {-1});
    b.Words(RECTANGLE, {200, 200, 100, 100}); // bottom-right quarter, unclipped
    const QImage image = Render(Load(Placeable100(b, 2)), 100, 100);
    EXPECT_EQ(At(image, 25, 25), 0xFF0000u);
    EXPECT_EQ(At(image, 15, 15), 0xFFFFFFu); // excluded
    EXPECT_EQ(At(image, 75, 25), 0xFFFFFFu); // clipped
    EXPECT_EQ(At(image, 75, 75), 0xFF0000u); // clip restored
    EXPECT_EQ(At(image, 25, 75), 0xFFFFFFu);
}

TEST(MetafileWMF, BitmapsStretchIntoTheirRectangles)
{
    TWMFBuilder b = Shapes100();
    b.Raw(STRETCHDIB, StretchDIBParams(0, 0, 100, 50, PackedDIB24(2, 2, Quad)));
    TBytes blt;
    Add32(blt, 0x00CC0020);
    for (int v : {0, 0, 2, 2, 80, 10}) // ySrc, xSrc, height, width, yDest, xDest
        Add16(blt, v);
    const TBytes dib = PackedDIB24(2, 2, Quad);
    blt.insert(blt.end(), dib.begin(), dib.end());
    b.Raw(DIBBITBLT, blt);
    const QImage image = Render(Load(Placeable100(b, 0)), 100, 100);
    EXPECT_EQ(At(image, 25, 12), 0xFF0000u);
    EXPECT_EQ(At(image, 75, 12), 0x00FF00u);
    EXPECT_EQ(At(image, 25, 37), 0x0000FFu);
    EXPECT_EQ(At(image, 75, 37), 0xFFFF00u);
    EXPECT_EQ(At(image, 10, 80), 0xFF0000u);
    EXPECT_EQ(At(image, 11, 81), 0xFFFF00u);
    EXPECT_EQ(At(image, 50, 70), 0xFFFFFFu);
}

// A fuzzed file: a 2 x 2 bitmap stretched into less than a device pixel
// under a mapping whose y axis points up once made the raster engine write
// outside the image.
TEST(MetafileWMF, TinyBitmapUnderAnUpwardAxisStaysInsideTheImage)
{
    const std::vector<unsigned char> file = ReadFileBytes(DataFile("metafile/tiny-bitmap-upward-axis.wmf"));
    const TMetafile metafile = Load(TBytes(file.begin(), file.end()));
    const QImage image = Render(metafile, 100, 100);
    EXPECT_EQ(image.size(), QSize(100, 100));
}

TEST(MetafileWMF, HatchesXorAndText)
{
    TWMFBuilder b = Shapes100();
    b.Words(CREATEBRUSH, Brush(2, Blue, 4))
        .Words(CREATEPEN, NullPen())
        .Words(SELECTOBJECT, {0})
        .Words(SELECTOBJECT, {1});
    b.Words(SETBKMODE, {1}).Words(RECTANGLE, {40, 40, 0, 0});
    b.Words(CREATEBRUSH, Brush(0, 0xFFFFFF)).Words(SELECTOBJECT, {2});
    b.Words(SETROP2, {7}).Words(RECTANGLE, {100, 100, 60, 60}).Words(SETROP2, {13});
    TBytes font;
    for (int v : {-30, 0, 0, 0, 700})
        Add16(font, v);
    font.resize(font.size() + 8);
    for (char c : std::string("DejaVu Sans"))
        font.push_back(static_cast<std::uint8_t>(c));
    font.push_back(0);
    b.Raw(CREATEFONT, font).Words(SELECTOBJECT, {3});
    b.Words(SETTEXTCOLOR, {static_cast<int>(Red), 0}).Words(SETTEXTALIGN, {0});
    b.Raw(ESCAPE, {1, 0, 0, 0});
    TBytes text;
    Add16(text, 2);
    text.push_back('H');
    text.push_back('H');
    Add16(text, 50); // y
    Add16(text, 5);  // x
    b.Raw(TEXTOUT, text);
    const QImage image = Render(Load(Placeable100(b, 4)), 100, 100);
    const int hatch = CountColour(image, QRect(0, 0, 40, 40), 0x0000FF);
    EXPECT_GT(hatch, 100);
    EXPECT_LT(hatch, 1200);
    EXPECT_EQ(At(image, 80, 80), 0x000000u); // white XOR white
    const int ink = CountColour(image, QRect(0, 45, 60, 40), 0xFF0000);
    EXPECT_GT(ink, 30);
    EXPECT_EQ(CountColour(image, QRect(0, 0, 100, 45), 0xFF0000), 0); // top-aligned: below y = 50
}

TEST(MetafileWMF, PixelsPatternBlitsAndStretchBlits)
{
    TWMFBuilder b = Shapes100();
    b.Words(SETPIXEL, {static_cast<int>(Red), 0, 5, 5});
    b.Words(CREATEBRUSH, Brush(0, Blue)).Words(SELECTOBJECT, {0});
    b.Words(PATBLT, {0x0021, 0x00F0, 20, 20, 50, 50}); // PATCOPY
    b.Words(PATBLT, {0x0009, 0x0055, 10, 10, 80, 0});  // DSTINVERT
    TBytes blt;
    Add32(blt, 0x00CC0020);
    for (int v : {2, 2, 0, 0, 20, 20, 20, 20}) // source h, w, y, x; destination h, w, y, x
        Add16(blt, v);
    const TBytes dib = PackedDIB24(2, 2, Quad);
    blt.insert(blt.end(), dib.begin(), dib.end());
    b.Raw(DIBSTRETCHBLT, blt);
    const QImage image = Render(Load(Placeable100(b, 1)), 100, 100);
    EXPECT_EQ(At(image, 5, 5), 0xFF0000u);
    EXPECT_EQ(At(image, 6, 5), 0xFFFFFFu);
    EXPECT_EQ(At(image, 60, 60), 0x0000FFu);
    EXPECT_EQ(At(image, 5, 85), 0x000000u);
    EXPECT_EQ(At(image, 25, 25), 0xFF0000u);
    EXPECT_EQ(At(image, 35, 35), 0xFFFF00u);
}

TEST(MetafileWMF, PaletteFromItsFirstPaletteRecord)
{
    TWMFBuilder b = Shapes100();
    b.Words(CREATEPALETTE, {0x300, 2, 0x00FF, 0, 0, 0x00FF});
    const TMetafile m = Load(Placeable100(b, 1));
    ASSERT_EQ(m.GetPalette().size(), 2u);
    EXPECT_EQ(m.GetPalette()[0], RGB(255, 0, 0));
    EXPECT_EQ(m.GetPalette()[1], RGB(0, 0, 255));
}

TEST(MetafileEMF, SizeFromFrameAndHeaderOfEitherLength)
{
    for (int header : {88, 108}) {
        const TMetafile m = Load(TEMFBuilder(26458, 13229).Build(1, {}, header));
        EXPECT_TRUE(m.GetEnhanced());
        EXPECT_EQ(m.GetWidth(), 1000);
        EXPECT_EQ(m.GetHeight(), 500);
    }
    TBytes noSignature = Emf100().Build(1);
    noSignature[40] = 'X';
    EXPECT_THROW(Load(noSignature), EMetafileError);
}

TEST(MetafileEMF, ShapesWithObjectsStockObjectsAndPalette)
{
    TEMFBuilder b = Emf100();
    b.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<int>(Red), 0}).Ints(EMR_SELECTOBJECT, {1});
    b.Ints(EMR_SELECTOBJECT, {static_cast<std::int32_t>(StockNullPen)});
    b.Ints(EMR_RECTANGLE, {10, 10, 40, 40});
    b.Ints(EMR_SELECTOBJECT, {static_cast<std::int32_t>(StockBlackBrush)});
    TBytes poly = Ints({0, 0, 0, 0, 3});
    for (int v : {60, 10, 90, 10, 90, 40})
        Add16(poly, v);
    b.Record(EMR_POLYGON16, poly);
    b.Ints(EMR_CREATEBRUSHINDIRECT, {2, 0, static_cast<int>(Blue), 0}).Ints(EMR_SELECTOBJECT, {2});
    b.Ints(EMR_ELLIPSE, {50, 50, 90, 90});
    b.Ints(EMR_UNKNOWN, {1, 2, 3});
    const TMetafile m = Load(b.Build(3, {0x0000FF, 0x00FF00, 0xFF0000}));
    ASSERT_EQ(m.GetPalette().size(), 3u);
    EXPECT_EQ(m.GetPalette()[2], RGB(0, 0, 255));
    const QImage image = Render(m, 100, 100);
    EXPECT_EQ(At(image, 25, 25), 0xFF0000u);
    EXPECT_EQ(At(image, 85, 15), 0x000000u);
    EXPECT_EQ(At(image, 70, 70), 0x0000FFu);
    EXPECT_EQ(At(image, 5, 5), 0xFFFFFFu);
}

TEST(MetafileEMF, WorldTransformsAndMapModes)
{
    TEMFBuilder b = Emf100();
    b.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<int>(Red), 0}).Ints(EMR_SELECTOBJECT, {1});
    b.Ints(EMR_SELECTOBJECT, {static_cast<std::int32_t>(StockNullPen)});
    b.Ints(EMR_SAVEDC, {});
    TBytes xform;
    for (float v : {2.f, 0.f, 0.f, 2.f, 0.f, 0.f})
        AddF32(xform, v);
    b.Record(EMR_SETWORLDTRANSFORM, xform);
    b.Ints(EMR_RECTANGLE, {5, 5, 20, 20}); // 10..40
    TBytes identity = xform;
    Add32(identity, 1);
    b.Record(EMR_MODIFYWORLDTRANSFORM, identity);
    b.Ints(EMR_SETMAPMODE, {8}).Ints(EMR_SETWINDOWEXTEX, {200, 200}).Ints(EMR_SETVIEWPORTEXTEX, {100, 100});
    b.Ints(EMR_RECTANGLE, {120, 120, 180, 180}); // 60..90
    b.Ints(EMR_RESTOREDC, {-1});
    b.Ints(EMR_RECTANGLE, {0, 90, 10, 100}); // back to 1:1
    const QImage image = Render(Load(b.Build(2)), 100, 100);
    EXPECT_EQ(At(image, 30, 30), 0xFF0000u);
    EXPECT_EQ(At(image, 45, 45), 0xFFFFFFu);
    EXPECT_EQ(At(image, 75, 75), 0xFF0000u);
    EXPECT_EQ(At(image, 5, 95), 0xFF0000u);
}

TEST(MetafileEMF, PathsClipRegionsBitmapsAndText)
{
    TEMFBuilder b = Emf100();
    b.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<int>(Green), 0}).Ints(EMR_SELECTOBJECT, {1});
    b.Ints(EMR_BEGINPATH, {})
        .Ints(EMR_MOVETOEX, {10, 10})
        .Ints(EMR_LINETO, {40, 10})
        .Ints(EMR_LINETO, {40, 40});
    b.Ints(EMR_CLOSEFIGURE, {}).Ints(EMR_ENDPATH, {}).Ints(EMR_FILLPATH, {0, 0, 0, 0});
    // Clip to 50..100 × 50..75, then stretch the 2 × 2 bitmap over 50..100 × 50..100.
    TBytes region = Ints({48, 5, 32, 1, 1, 16, 50, 50, 100, 75, 50, 50, 100, 75});
    b.Record(EMR_EXTSELECTCLIPRGN, region);
    const TBytes dib = PackedDIB24(2, 2, Quad);
    const std::int32_t bmiOffset = 80, bitsOffset = 80 + 40;
    TBytes stretch = Ints({0, 0, 0, 0, 50, 50, 0, 0, 2, 2, bmiOffset, 40, bitsOffset,
                           static_cast<std::int32_t>(dib.size() - 40), 0, 0x00CC0020, 50, 50});
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    b.Record(EMR_STRETCHDIBITS, stretch);
    b.Ints(EMR_EXTSELECTCLIPRGN, {0, 5});
    TBytes font = Ints({1, -30, 0, 0, 0, 400, 0, 0});
    for (char16_t c : std::u16string(u"DejaVu Sans"))
        Add16(font, c);
    font.resize(12 + 92 - 8);
    b.Record(EMR_EXTCREATEFONTINDIRECTW, font).Ints(EMR_SELECTOBJECT, {2});
    b.Ints(EMR_SETTEXTCOLOR, {static_cast<int>(Blue)});
    TBytes text = Ints({0, 0, 0, 0, 1, 0, 0, 5, 80, 2, 76, 0, 0, 0, 0, 0, 0});
    Add16(text, 'H');
    Add16(text, 'H');
    b.Record(EMR_EXTTEXTOUTW, text);
    const QImage image = Render(Load(b.Build(3)), 100, 100);
    EXPECT_EQ(At(image, 35, 20), 0x00FF00u);
    EXPECT_EQ(At(image, 15, 35), 0xFFFFFFu); // outside the triangle
    EXPECT_EQ(At(image, 60, 60), 0xFF0000u);
    EXPECT_EQ(At(image, 90, 60), 0x00FF00u);
    EXPECT_EQ(At(image, 60, 90), 0xFFFFFFu); // clipped away
    EXPECT_GT(CountColour(image, QRect(0, 80, 50, 20), 0x0000FF), 30);
}

TEST(MetafileEMF, ExtendedPensLinesFromThePositionAndBitBlt)
{
    TEMFBuilder b = Emf100();
    b.Ints(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, 0x10000, 6, 0, static_cast<int>(Blue), 0, 0})
        .Ints(EMR_SELECTOBJECT, {1});
    b.Ints(EMR_MOVETOEX, {10, 50});
    TBytes to = Ints({0, 0, 0, 0, 1});
    Add16(to, 90);
    Add16(to, 50);
    b.Record(EMR_POLYLINETO16, to);
    const TBytes dib = PackedDIB24(2, 2, Quad);
    // Destination 10, 70, 2 × 2; source 0, 0 with a zero transform, no background, RGB colours;
    // the bitmap's header and bits follow the 100-byte record.
    TBytes blt = Ints({0,
                       0,
                       0,
                       0,
                       10,
                       70,
                       2,
                       2,
                       0x00CC0020,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       0,
                       100,
                       40,
                       140,
                       static_cast<std::int32_t>(dib.size() - 40)});
    blt.insert(blt.end(), dib.begin(), dib.end());
    b.Record(EMR_BITBLT, blt);
    const QImage image = Render(Load(b.Build(2)), 100, 100);
    EXPECT_EQ(At(image, 50, 52), 0x0000FFu);
    EXPECT_EQ(At(image, 50, 56), 0xFFFFFFu);
    EXPECT_EQ(At(image, 10, 70), 0xFF0000u);
    EXPECT_EQ(At(image, 11, 71), 0xFFFF00u);
}

TEST(MetafileRobustness, TruncatedFilesFailCleanly)
{
    TWMFBuilder w = Shapes100();
    w.Words(CREATEBRUSH, Brush(0, Red)).Words(SELECTOBJECT, {0}).Words(POLYGON, {3, 60, 10, 90, 10, 90, 40});
    w.Raw(STRETCHDIB, StretchDIBParams(0, 0, 100, 50, PackedDIB24(2, 2, Quad)));
    TEMFBuilder e = Emf100();
    e.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<int>(Red), 0}).Ints(EMR_SELECTOBJECT, {1});
    e.Ints(EMR_RECTANGLE, {10, 10, 40, 40});
    for (const TBytes& whole : {Placeable100(w, 1), e.Build(2)}) {
        for (std::size_t n = 0; n < whole.size(); ++n) {
            TMetafile m;
            try {
                m.LoadFromBytes(TBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)));
                Render(m, 20, 20);
            } catch (const EMetafileError&) {
            }
        }
    }
}

TEST(MetafileRobustness, LyingSizesCountsAndIndicesRaise)
{
    auto plays = [](TBytes bytes) { Render(Load(std::move(bytes)), 20, 20); };
    TWMFBuilder polygon = Shapes100();
    polygon.Words(POLYGON, {1000, 1, 2, 3, 4});
    EXPECT_THROW(plays(Placeable100(polygon, 0)), EMetafileError);
    TWMFBuilder deleted = Shapes100();
    deleted.Words(CREATEBRUSH, Brush(0, Red)).Words(DELETEOBJECT, {0}).Words(SELECTOBJECT, {0});
    EXPECT_NO_THROW(plays(Placeable100(deleted, 1)));
    TWMFBuilder select = Shapes100();
    select.Words(SELECTOBJECT, {7});
    EXPECT_THROW(plays(Placeable100(select, 1)), EMetafileError);
    TWMFBuilder full = Shapes100();
    full.Words(CREATEBRUSH, Brush(0, Red)).Words(CREATEBRUSH, Brush(0, Red));
    EXPECT_THROW(plays(Placeable100(full, 1)), EMetafileError);

    TWMFBuilder saves = Shapes100();
    for (int i = 0; i < 5000; ++i)
        saves.Words(SAVEDC, {});
    EXPECT_THROW(plays(Placeable100(saves, 0)), EMetafileError);

    TBytes zeroSize = Placeable100(Shapes100(), 0);
    zeroSize[PlaceableHeaderSize + 18] = 0; // first record's size
    EXPECT_THROW(Load(zeroSize), EMetafileError);
    TBytes huge = Placeable100(Shapes100(), 0);
    huge[PlaceableHeaderSize + 21] = 0x7F;
    EXPECT_THROW(Load(huge), EMetafileError);

    TEMFBuilder emfPoly = Emf100();
    emfPoly.Ints(EMR_POLYLINE, {0, 0, 0, 0, 0x10000000, 1, 2});
    EXPECT_THROW(plays(emfPoly.Build(1)), EMetafileError);
    TEMFBuilder emfSelect = Emf100();
    emfSelect.Ints(EMR_SELECTOBJECT, {99});
    EXPECT_THROW(plays(emfSelect.Build(2)), EMetafileError);
    TBytes odd = Emf100().Build(1);
    odd[4] = 90; // header size not a multiple of 4
    EXPECT_THROW(Load(odd), EMetafileError);
}

// A fuzzed file: a bitmap header claiming 15,925,250 × 2 pixels over 16
// bytes of bits became a 127 MB picture, mirrored again for every band.
TEST(MetafileRobustness, BitmapsNeedTheBitsOfTheirRows)
{
    const TBytes dib = PackedDIB24(2, 2, Quad); // rows of 8 bytes, the last 2 padding
    auto decode = [&](std::uint32_t width, std::size_t bits) {
        TBytes d(dib.begin(), dib.begin() + 40 + static_cast<std::ptrdiff_t>(bits));
        for (int i = 0; i < 4; ++i)
            d[4 + i] = static_cast<std::uint8_t>(width >> 8 * i);
        return DecodePackedDIB(TMetafileBytes(d.data(), d.size()), 0, {});
    };
    EXPECT_EQ(decode(2, 16).size(), QSize(2, 2));
    EXPECT_EQ(decode(2, 14).size(), QSize(2, 2)); // the last row's padding may be missing
    EXPECT_TRUE(decode(2, 13).isNull());
    EXPECT_TRUE(decode(2, 8).isNull());
    EXPECT_TRUE(decode(15925250, 16).isNull());
    EXPECT_TRUE(decode(0x7FFFFFFF, 16).isNull());
}

TEST(MetafileRobustness, DamagedRecordsOnlyRaiseMetafileErrors)
{
    // Every kind of record the players know, then a few bytes changed at random.
    TWMFBuilder w = Shapes100();
    w.Words(CREATEBRUSH, Brush(2, Blue, 4))
        .Words(CREATEPEN, {1, 3, 0, 0, 0})
        .Words(SELECTOBJECT, {0})
        .Words(SELECTOBJECT, {1});
    w.Words(SETBKMODE, {2})
        .Words(RECTANGLE, {40, 40, 0, 0})
        .Words(SAVEDC, {})
        .Words(INTERSECTCLIPRECT, {50, 50, 5, 5});
    w.Words(PIE, {50, 25, 90, 25, 90, 40, 50, 10})
        .Words(RESTOREDC, {-1})
        .Words(EXCLUDECLIPRECT, {20, 20, 10, 10});
    TBytes font;
    for (int v : {-30, 0, 450, 0, 700})
        Add16(font, v);
    font.resize(font.size() + 8);
    for (char c : std::string("DejaVu Sans"))
        font.push_back(static_cast<std::uint8_t>(c));
    font.push_back(0);
    w.Raw(CREATEFONT, font).Words(SELECTOBJECT, {2}).Words(SETTEXTALIGN, {6});
    TBytes text;
    Add16(text, 50);
    Add16(text, 5);
    Add16(text, 3);
    Add16(text, 6);
    for (int v : {0, 0, 50, 50})
        Add16(text, v);
    text.push_back('H');
    text.push_back('i');
    text.push_back('!');
    text.push_back(0);
    for (int v : {10, 10, 10})
        Add16(text, v);
    w.Raw(0x0A32, text);
    w.Raw(STRETCHDIB, StretchDIBParams(0, 0, 100, 50, PackedDIB24(2, 2, Quad)));
    w.Words(POLYPOLYGON, {2, 3, 3, 10, 60, 40, 60, 10, 90, 60, 90, 90, 90, 90, 60});
    const TBytes wmf = Placeable100(w, 4);
    TEMFBuilder e = Emf100();
    e.Ints(EMR_CREATEBRUSHINDIRECT, {1, 0, static_cast<int>(Green), 0}).Ints(EMR_SELECTOBJECT, {1});
    e.Ints(EMR_BEGINPATH, {})
        .Ints(EMR_MOVETOEX, {10, 10})
        .Ints(EMR_LINETO, {40, 10})
        .Ints(EMR_LINETO, {40, 40});
    e.Ints(EMR_CLOSEFIGURE, {}).Ints(EMR_ENDPATH, {}).Ints(EMR_FILLPATH, {0, 0, 0, 0});
    TBytes xform;
    for (float v : {2.f, 0.5f, 0.f, 2.f, 3.f, 0.f})
        AddF32(xform, v);
    e.Record(EMR_SETWORLDTRANSFORM, xform);
    e.Record(EMR_EXTSELECTCLIPRGN, Ints({48, 1, 32, 1, 1, 16, 50, 50, 100, 75, 50, 50, 100, 75}));
    const TBytes dib = PackedDIB24(2, 2, Quad);
    TBytes stretch = Ints({0, 0, 0, 0, 50, 50, 0, 0, 2, 2, 80, 40, 120,
                           static_cast<std::int32_t>(dib.size() - 40), 0, 0x00CC0020, 50, 50});
    stretch.insert(stretch.end(), dib.begin(), dib.end());
    e.Record(EMR_STRETCHDIBITS, stretch);
    TBytes efont = Ints({2, -30, 0, 0, 0, 400, 0, 0});
    for (char16_t c : std::u16string(u"DejaVu Sans"))
        Add16(efont, c);
    efont.resize(12 + 92 - 8);
    e.Record(EMR_EXTCREATEFONTINDIRECTW, efont).Ints(EMR_SELECTOBJECT, {2});
    TBytes t = Ints({0, 0, 0, 0, 1, 0, 0, 5, 80, 2, 76, 6, 0, 0, 40, 40, 80});
    Add16(t, 'H');
    Add16(t, 'H');
    Add32(t, 7);
    Add32(t, 9);
    e.Record(EMR_EXTTEXTOUTW, t);
    e.Ints(EMR_EXTCREATEPEN, {3, 0, 0, 0, 0, 0x10000 | 1, 6, 0, static_cast<int>(Blue), 0, 0})
        .Ints(EMR_SELECTOBJECT, {3});
    e.Ints(45, {10, 10, 90, 90, 10, 50, 90, 50}).Ints(55, {10, 10, 90, 90, 10, 50, 90, 50});
    const TBytes emf = e.Build(4);
    std::mt19937 random(7);
    int played = 0;
    for (int i = 0; i < 4000; ++i) {
        TBytes bytes = i % 2 ? wmf : emf;
        // Records only: damaged headers are refused before playing.
        const std::size_t start = i % 2 ? 40 : 108;
        const int n = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < n; ++k) {
            const std::size_t at = start + random() % (bytes.size() - start);
            const int kind = static_cast<int>(random() % 4);
            bytes[at] = kind == 0   ? 0xFF
                        : kind == 1 ? 0x80
                        : kind == 2 ? 0x7F
                                    : static_cast<std::uint8_t>(random());
        }
        try {
            TMetafile m;
            m.LoadFromBytes(bytes);
            Render(m, 60, 60);
            ++played;
        } catch (const EMetafileError&) {
        }
    }
    EXPECT_GT(played, 1000); // most damage still plays, so the players are exercised
}

TEST(MetafilePlay, ReportsProgressAndStopsWhenAsked)
{
    TWMFBuilder b = Shapes100();
    for (int i = 0; i < 300; ++i)
        b.Words(RECTANGLE, {40, 40, 10, 10});
    const TMetafile m = Load(Placeable100(b, 0));
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    int calls = 0, last = 0;
    EXPECT_TRUE(m.Play(painter, QRectF(0, 0, 10, 10), [&](int done, int total) {
        ++calls;
        EXPECT_GT(done, last);
        EXPECT_EQ(total, m.GetRecordCount());
        last = done;
        return false;
    }));
    EXPECT_EQ(calls, 100);
    EXPECT_EQ(last, m.GetRecordCount());
    calls = 0;
    EXPECT_FALSE(m.Play(painter, QRectF(0, 0, 10, 10), [&](int, int) { return ++calls == 3; }));
    EXPECT_EQ(calls, 3);
}

TEST(MetafileOracle, ShapesAgreeWithWmf2gd)
{
    if (!HaveTool("wmf2gd"))
        GTEST_SKIP() << "wmf2gd (libwmf-bin) not installed";
    // wmf2gd sizes its picture to what is drawn and fills no ellipses: a
    // white background and straight-edged shapes only.
    TWMFBuilder b = Shapes100();
    b.Words(CREATEBRUSH, Brush(0, 0xFFFFFF))
        .Words(CREATEPEN, NullPen())
        .Words(SELECTOBJECT, {0})
        .Words(SELECTOBJECT, {1});
    b.Words(RECTANGLE, {100, 100, 0, 0});
    b.Words(CREATEBRUSH, Brush(0, Red)).Words(SELECTOBJECT, {2});
    b.Words(RECTANGLE, {40, 40, 10, 10});
    b.Words(CREATEBRUSH, Brush(0, Blue)).Words(SELECTOBJECT, {3});
    b.Words(POLYPOLYGON, {2, 3, 3, 10, 60, 40, 60, 10, 90, 60, 90, 90, 90, 90, 60});
    b.Words(CREATEBRUSH, Brush(0, Green)).Words(SELECTOBJECT, {4});
    b.Words(POLYGON, {3, 60, 10, 90, 10, 90, 40});
    const TBytes bytes = Placeable100(b, 5);
    TempDir dir;
    WriteFileBytes(dir.File("a.wmf"), bytes);
    // It needs the URW base fonts even for a picture without text.
    if (lumeno::test::Run("wmf2gd -o " + dir.File("a.png") + " " + dir.File("a.wmf") + " >/dev/null 2>&1") !=
        0)
        GTEST_SKIP() << "wmf2gd cannot convert here (fonts-urw-base35 missing?)";
    const QImage theirs(QString::fromStdString(dir.File("a.png")));
    ASSERT_FALSE(theirs.isNull());
    const QImage ours = Render(Load(bytes), theirs.width(), theirs.height());
    for (const QPointF& f :
         {QPointF(0.25, 0.25), QPointF(0.15, 0.8), QPointF(0.85, 0.85), QPointF(0.85, 0.15),
          QPointF(0.05, 0.5), QPointF(0.5, 0.5), QPointF(0.3, 0.85), QPointF(0.65, 0.35)}) {
        const QPoint p(static_cast<int>(f.x() * theirs.width()), static_cast<int>(f.y() * theirs.height()));
        const QColor a(theirs.pixel(p)), o(ours.pixel(p));
        EXPECT_LE(
            std::abs(a.red() - o.red()) + std::abs(a.green() - o.green()) + std::abs(a.blue() - o.blue()), 24)
            << "at " << f.x() << "," << f.y();
    }
}
