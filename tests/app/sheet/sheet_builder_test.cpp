#include "app/effects/gdi_draw.h"
#include "app/sheet/sheet_builder.h"
#include "controls/media/gif_writer.h"
#include "imagelib/codecs/gif_reader.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/qt_dialogs.h"
#include "support/format_pictures.h"
#include "support/test_env.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace lumeno {
namespace {

TColor PixelAt(TPixelGraphic& image, int x, int y)
{
    const std::uint8_t* p = image.GetScanLine(y) + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

// A picture filled with one colour, saved under name.
std::string Picture(const test::TempDir& dir, const std::string& name, int w, int h, TColor colour)
{
    TPixelGraphic image;
    image.SetFillColor(colour);
    image.SetDimensions(w, h, pf24Bit);
    image.Clear();
    const std::string path = dir.File(name);
    image.SaveToFile(path);
    return path;
}

class SheetBuilderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    void SetUp() override
    {
        options.AutoSharpen = false;
        options.DropShadow = false;
        options.AddBorder = false;
        options.IncFileNames = false;
        builder.OnError = [this](const std::string& message) { errors.push_back(message); };
        builder.OnProcessing = [this](int done, int count) {
            processing.push_back("Processing " + std::to_string(done) + " of " + std::to_string(count));
        };
    }
    test::TempDir dir;
    TSheetOptions options;
    TSheetBuilder builder;
    std::vector<std::string> errors;
    std::vector<std::string> processing;
};

TEST_F(SheetBuilderTest, SevenFilesMakeTheDesignedSheet)
{
    std::vector<std::string> files;
    for (int i = 0; i < 7; ++i)
        files.push_back(Picture(dir, "p" + std::to_string(i) + ".bmp", i == 0 ? 200 : 100, i == 0 ? 100 : 200, clBlue));
    int width = 0, height = 0;
    builder.OnSize = [&](int w, int h) { width = w, height = h; };
    auto sheet = builder.Build(options, files);
    EXPECT_EQ(width, 716);
    EXPECT_EQ(height, 282);
    ASSERT_EQ(sheet->GetWidth(), 716);
    ASSERT_EQ(sheet->GetHeight(), 282);
    ASSERT_EQ(processing.size(), 7u);
    EXPECT_EQ(processing[2], "Processing 3 of 7");
    EXPECT_TRUE(errors.empty());
    // 96 x 48 at (20, 68); 48 x 96 at (44, 20) in the second cell's shift.
    EXPECT_EQ(PixelAt(*sheet, 20, 68), clBlue);
    EXPECT_EQ(PixelAt(*sheet, 115, 115), clBlue);
    EXPECT_EQ(PixelAt(*sheet, 20, 67), clWhite);
    EXPECT_EQ(PixelAt(*sheet, 136 + 24, 20), clBlue);
    EXPECT_EQ(PixelAt(*sheet, 136 + 23, 20), clWhite);
    EXPECT_EQ(PixelAt(*sheet, 20 + 24, 146), clBlue); // item 6
}

TEST_F(SheetBuilderTest, BorderShadowAndNames)
{
    options.AddBorder = true;
    options.BorderColor = clRed;
    options.DropShadow = true;
    options.BGColor = RGB(240, 120, 60);
    auto sheet = builder.Build(options, {Picture(dir, "wide.bmp", 200, 100, clLime)});
    // The border on the picture's outer pixels at (20, 68) .. (115, 115).
    for (const auto& [x, y] : {std::pair{20, 68}, std::pair{115, 68}, std::pair{20, 115}, std::pair{115, 115}, std::pair{60, 68}})
        EXPECT_EQ(PixelAt(*sheet, x, y), clRed) << x << "," << y;
    EXPECT_EQ(PixelAt(*sheet, 21, 69), clLime);
    // Ring i lies at y = 116 + i (from x = 26) and x = 116 + i (from y = 74).
    for (int i = 0; i <= 5; ++i) {
        const TColor expected = RGB(ShadowValue(240, i), ShadowValue(120, i), ShadowValue(60, i));
        EXPECT_EQ(PixelAt(*sheet, 50, 116 + i), expected) << i;
        EXPECT_EQ(PixelAt(*sheet, 116 + i, 90), expected) << i;
    }
    EXPECT_EQ(PixelAt(*sheet, 25, 117), options.BGColor);
    EXPECT_EQ(PixelAt(*sheet, 117, 73), options.BGColor);

    options.IncFileNames = true;
    options.FontColor = clBlack;
    auto named = builder.Build(options, {Picture(dir, "wide.bmp", 200, 100, clLime)});
    bool ink = false;
    for (int y = 120; y < 140; ++y)
        for (int x = 10; x < 126; ++x)
            ink |= GetRValue(PixelAt(*named, x, y)) < 100; // the background's red is 240
    EXPECT_TRUE(ink);
}

TEST_F(SheetBuilderTest, UnreadableFilesAndBackgroundsAreReportedAndLeftEmpty)
{
    const std::string bad = dir.File("bad.jpg");
    test::WriteFileBytes(bad, {'n', 'o', 't'});
    options.UseBGImage = true;
    options.BGImage = dir.File("missing.bmp");
    auto sheet = builder.Build(options, {bad, Picture(dir, "ok.bmp", 96, 96, clBlue)});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Error loading file " + options.BGImage);
    EXPECT_EQ(errors[1], "Error loading file " + bad);
    EXPECT_EQ(PixelAt(*sheet, 50, 50), clWhite);
    EXPECT_EQ(PixelAt(*sheet, 136 + 50, 50), clBlue);
}

TEST_F(SheetBuilderTest, BackgroundTilesFromTheCorner)
{
    TPixelGraphic tile;
    tile.SetDimensions(10, 10, pf24Bit);
    tile.Clear();
    tile.SetPixelColor(0, 0, clRed);
    options.UseBGImage = true;
    options.BGImage = dir.File("tile.bmp");
    tile.SaveToFile(options.BGImage);
    auto sheet = builder.Build(options, {Picture(dir, "a.bmp", 10, 10, clBlue)});
    EXPECT_EQ(PixelAt(*sheet, 0, 0), clRed);
    EXPECT_EQ(PixelAt(*sheet, 10, 0), clRed);
    EXPECT_EQ(PixelAt(*sheet, 700, 150), clRed);
    EXPECT_EQ(PixelAt(*sheet, 1, 0), clBlack);
}

TEST_F(SheetBuilderTest, BandsComeFromTheFontsAndLongTitlesAreReplaced)
{
    options.Title = true;
    options.Footer = true;
    options.FooterText = "Footer";
    const int tH = TextBandHeight(GdiTextHeight(GdiFont("Arial", 24)));
    const int fH = TextBandHeight(GdiTextHeight(GdiFont("Arial", 8)));
    EXPECT_EQ(TitleBand(options), tH);
    EXPECT_EQ(FooterBand(options), fH);
    auto sheet = builder.Build(options, {Picture(dir, "a.bmp", 96, 96, clBlue)});
    EXPECT_EQ(sheet->GetHeight(), 96 + 60 + tH + fH);
    EXPECT_EQ(PixelAt(*sheet, 20, tH + 20), clBlue); // the cells move down by tH

    options.TitleText = std::string(200, 'W');
    options.Footer = false;
    auto tooLong = builder.Build(options, {Picture(dir, "a.bmp", 96, 96, clBlue)});
    bool leftInk = false;
    for (int y = 20; y < 20 + tH; ++y)
        for (int x = 0; x < 8; ++x)
            leftInk |= PixelAt(*tooLong, x, y) == clRed;
    EXPECT_TRUE(leftInk); // "Text Too Long" starts at x 0
}

TEST_F(SheetBuilderTest, ScaledJpegsAreFittedByTheFilesFullSize)
{
    // 333 / 1000 x 96 = 31.97; a half-size decode (500 x 167) would give 32.
    const std::string jpeg = Picture(dir, "wide.jpg", 1000, 333, clBlue);
    TPixelGraphic scaled;
    scaled.LoadFromFileAtLeast(jpeg, 96, 96);
    const auto thumb = MakeThumbnail(jpeg, options);
    EXPECT_EQ(thumb->GetWidth(), 96);
    EXPECT_EQ(thumb->GetHeight(), 31);
    EXPECT_LT(scaled.GetWidth(), 1000); // it was decoded scaled
}

// Palette and grey files load as 1- and 8-bit pictures; the thumbnails
// and the sheet built from them stay 24-bit with the default effects on.
TEST_F(SheetBuilderTest, PaletteAndGreyFilesMakeTwentyFourBitThumbnails)
{
    PGGifStartup();
    TPixelGraphic grey, mono;
    test::FormatPicture(grey, 150, 90, pf8Bit);
    test::FormatPicture(mono, 90, 150, pf1Bit);
    const std::string gif = dir.File("palette.gif"), bmp = dir.File("grey.bmp"), png = dir.File("mono.png"),
                      jpg = dir.File("grey.jpg");
    ASSERT_TRUE(SaveBitmapAsGIF(gif, grey, false, 0, false));
    grey.SaveToFile(bmp);
    mono.SaveToFile(png);
    grey.SaveToFile(jpg);
    for (const auto& [file, format] : {std::pair{gif, pf8Bit}, std::pair{bmp, pf8Bit}, std::pair{png, pf1Bit},
                                       std::pair{jpg, pf8Bit}}) {
        TPixelGraphic loaded;
        loaded.LoadFromFile(file);
        ASSERT_EQ(loaded.GetPixelFormat(), format) << file;
    }
    options = TSheetOptions();
    options.BorderColor = clRed;
    for (const std::string& file : {gif, bmp, png, jpg}) {
        const auto thumb = MakeThumbnail(file, options);
        ASSERT_EQ(thumb->GetPixelFormat(), pf24Bit) << file;
        EXPECT_EQ(PixelAt(*thumb, 0, 0), clRed) << file;
    }
    auto sheet = builder.Build(options, {gif, bmp, png, jpg});
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(sheet->GetPixelFormat(), pf24Bit);
    EXPECT_EQ(PixelAt(*sheet, 20, 20 + 96 - 57), clRed); // the GIF's 96 x 57 picture
}

// The sheet's helpers take a picture of any format without writing past
// its rows.
TEST_F(SheetBuilderTest, BorderAndShadowTakeEveryPixelFormat)
{
    for (const std::uint8_t format : test::AllPixelFormats) {
        TPixelGraphic image, sheet;
        test::FormatPicture(image, 17, 11, format);
        BorderImage(image, clRed);
        ASSERT_EQ(image.GetPixelFormat(), pf24Bit) << int(format);
        EXPECT_EQ(PixelAt(image, 16, 10), clRed);
        test::FormatPicture(sheet, 40, 30, format);
        DropShadowImage(sheet, 5, 5, 20, 15);
        EXPECT_EQ(sheet.GetPixelFormat(), pf24Bit) << int(format);
    }
}

bool SamePixels(TPixelGraphic& a, TPixelGraphic& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(a.GetScanLine(y), b.GetScanLine(y), 3 * static_cast<size_t>(a.GetWidth())) != 0)
            return false;
    return true;
}

constexpr int kWaitMs = 30000;

TEST_F(SheetBuilderTest, ABuildThroughTheEventLoopGivesTheSameSheetAndMessages)
{
    options.AutoSharpen = options.AddBorder = options.DropShadow = options.Bevel = true;
    options.IncFileNames = options.Title = true;
    options.Cols = 4;
    std::vector<std::string> files;
    for (int i = 0; i < 13; ++i)
        files.push_back(Picture(dir, "p" + std::to_string(i) + ".bmp", 60 + 23 * i, 200 - 11 * i,
                                RGB(19 * i, 255 - 19 * i, 7 * i)));
    files[5] = dir.File("missing.png");
    auto blocking = builder.Build(options, files);
    const std::vector<std::string> blockingErrors = std::exchange(errors, {});
    const std::vector<std::string> blockingProcessing = std::exchange(processing, {});

    // A message box runs its own loop: later thumbnails arrive meanwhile.
    builder.OnError = [this](const std::string& message) {
        errors.push_back(message);
        QTest::qWait(50);
    };
    std::unique_ptr<TPixelGraphic> sheet;
    int done = 0;
    builder.Start(options, files, [&](std::unique_ptr<TPixelGraphic> built) {
        sheet = std::move(built);
        ++done;
    });
    EXPECT_TRUE(builder.Running());
    EXPECT_TRUE(processing.empty()) << "Start waited for the workers";
    ASSERT_TRUE(QTest::qWaitFor([&] { return done > 0; }, kWaitMs));
    QTest::qWait(50);
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(builder.Running());
    EXPECT_EQ(processing, blockingProcessing);
    EXPECT_EQ(errors, blockingErrors);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(SamePixels(*sheet, *blocking));
}

TEST_F(SheetBuilderTest, StoppingEndsTheBuildAfterTheCellInWorkAndHandsOutNoSheet)
{
    const std::vector<std::string> files(40, Picture(dir, "a.bmp", 400, 300, clBlue));
    builder.OnProcessing = [this](int number, int) {
        processing.push_back(std::to_string(number));
        if (number == 2)
            builder.Stop();
    };
    int done = 0;
    builder.Start(options, files, [&](std::unique_ptr<TPixelGraphic>) { ++done; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !builder.Running(); }, kWaitMs));
    QTest::qWait(100);
    EXPECT_EQ(processing, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(done, 0);

    // The next build starts afresh.
    builder.OnProcessing = {};
    std::unique_ptr<TPixelGraphic> sheet;
    builder.Start(options, files, [&](std::unique_ptr<TPixelGraphic> built) { sheet = std::move(built); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet != nullptr; }, kWaitMs));
    EXPECT_EQ(PixelAt(*sheet, 20 + 48, 20 + 95), clBlue);
    EXPECT_EQ(sheet->GetHeight(), SheetSize(SheetGrid(options), 40).Height);
}

TEST_F(SheetBuilderTest, AnEmptyListEndsThroughTheEventLoopWithABlankSheet)
{
    std::unique_ptr<TPixelGraphic> sheet;
    builder.Start(options, {}, [&](std::unique_ptr<TPixelGraphic> built) { sheet = std::move(built); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet != nullptr; }, kWaitMs));
    EXPECT_FALSE(builder.Running());
    EXPECT_EQ(sheet->GetWidth(), SheetSize(SheetGrid(options), 0).Width);
}

TEST_F(SheetBuilderTest, CellsWaitWhileAMessageBoxIsOpen)
{
    const std::vector<std::string> files(6, Picture(dir, "a.bmp", 40, 30, clBlue));
    TQtDialogs boxes;
    std::size_t placedUnderTheBox = 99;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(400, [&] {
            placedUnderTheBox = processing.size();
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        boxes.Show({"", "Another window's box", TMsgDlgType::mtWarning, mbOK, mrOk});
    });
    bool done = false;
    builder.Start(options, files, [&](std::unique_ptr<TPixelGraphic>) { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_EQ(placedUnderTheBox, 0u);
    EXPECT_EQ(processing.size(), 6u);
}

TEST_F(SheetBuilderTest, TooLargeSheetsAreRefusedBeforeAnyFileIsRead)
{
    options.Size = 900;
    options.Cols = 20;
    std::vector<std::string> files(2000, dir.File("never-read.bmp"));
    EXPECT_THROW(builder.Build(options, files), ESheetError);
    EXPECT_TRUE(processing.empty());
    EXPECT_TRUE(errors.empty());
}

} // namespace
} // namespace lumeno
