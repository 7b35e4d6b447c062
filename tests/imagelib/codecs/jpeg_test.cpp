// The JPEG codec: decoding against djpeg, the file's description, warnings
// and failures, aborts, and round trips through our writer.

#include "codec_test_support.h"
#include "imagelib/codecs/jpeg_reader.h"
#include "imagelib/codecs/jpeg_writer.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <stdexcept>

namespace lumeno {
namespace {

// A picture with smooth areas and edges, so that every DCT path matters.
void MakePicture(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = g.GetScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>((x / 8 + y / 8) % 2 ? 220 : 30);
            p[2] = static_cast<std::uint8_t>(y * 255 / h);
        }
    }
}

// Writes a JPEG with libjpeg directly, for what our writer does not make.
std::vector<std::uint8_t> LibJpeg(int w, int h, J_COLOR_SPACE space, int components, bool progressive = false,
                                  bool arithmetic = false, const std::vector<jpeg_scan_info>& scans = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(w);
    info.image_height = static_cast<JDIMENSION>(h);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    if (progressive)
        jpeg_simple_progression(&info);
    info.arith_code = arithmetic ? TRUE : FALSE;
    if (!scans.empty()) {
        info.scan_info = scans.data();
        info.num_scans = static_cast<int>(scans.size());
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w * components));
    while (info.next_scanline < info.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<JSAMPLE>((i * 7 + info.next_scanline * 3) & 0xFF);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

// The file with its frame header claiming Width x Height.
std::vector<std::uint8_t> Claiming(std::vector<std::uint8_t> bytes, int width, int height)
{
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF &&
            (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2 || bytes[i + 1] == 0xC9 || bytes[i + 1] == 0xCA)) {
            bytes[i + 5] = static_cast<std::uint8_t>(height >> 8);
            bytes[i + 6] = static_cast<std::uint8_t>(height);
            bytes[i + 7] = static_cast<std::uint8_t>(width >> 8);
            bytes[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    }
    return bytes;
}

std::vector<std::uint8_t> Encode(TPixelGraphic& g)
{
    TMemoryStream s;
    TJPGFileFormatWriter().Write(s, g);
    return s.Data();
}

void Decode(const std::vector<std::uint8_t>& bytes, TPixelGraphic& g)
{
    TMemoryStream s(bytes);
    TJPGFileFormatReader().Read(s, g, 0);
}

template <class F> std::string JpegError(F f)
{
    return test::ErrorText<EPGJPGFileFormatReaderWriter>(f);
}

using test::Description;
using test::TFullStream;

Description Describe(const std::vector<std::uint8_t>& bytes)
{
    return test::Describe<TJPGFileFormatReader>(bytes);
}

// The image's pixels as a binary PNM body (grey or RGB).
std::string PnmBody(TPixelGraphic& g)
{
    std::string body;
    for (int y = 0; y < g.GetHeight(); ++y) {
        const std::uint8_t* p = g.GetScanLine(y);
        for (int x = 0; x < g.GetWidth(); ++x) {
            if (g.GetPixelFormat() == pf8Bit) {
                body += static_cast<char>(p[x]);
            } else {
                body += static_cast<char>(p[3 * x + 2]);
                body += static_cast<char>(p[3 * x + 1]);
                body += static_cast<char>(p[3 * x]);
            }
        }
    }
    return body;
}

// A 24-bit image as a binary PPM file, for cjpeg.
void WritePpm(TPixelGraphic& g, const std::string& path)
{
    TFileStream out(path, TFileMode::fmCreate);
    const std::string head =
        "P6\n" + std::to_string(g.GetWidth()) + " " + std::to_string(g.GetHeight()) + "\n255\n";
    const std::string body = PnmBody(g);
    out.WriteBuffer(head.data(), static_cast<std::int64_t>(head.size()));
    out.WriteBuffer(body.data(), static_cast<std::int64_t>(body.size()));
}

// djpeg's PNM output without its three header lines.
std::string DjpegBody(const std::string& file, const std::string& options = "")
{
    std::string out = test::RunOutput("djpeg -pnm " + options + " '" + file + "'");
    std::size_t at = 0;
    for (int line = 0; line < 3 && at != std::string::npos; ++line)
        at = out.find('\n', at) + 1;
    return out.substr(at);
}

class Jpeg : public ::testing::Test {
protected:
    void SetUp() override { PGStartup(); }
    void TearDown() override { PGShutdown(); }
    test::TempDir dir_;
};

TEST_F(Jpeg, DecodesEveryKindAsDjpegDoes)
{
    if (!test::HaveTool("cjpeg") || !test::HaveTool("djpeg"))
        GTEST_SKIP() << "cjpeg/djpeg are not installed";
    TPixelGraphic source;
    MakePicture(source, 61, 37); // odd sizes: partial blocks and MCUs
    const std::string ppm = dir_.File("in.ppm");
    WritePpm(source, ppm);
    const struct {
        const char* Options;
        const char* SubFormat;
    } kinds[] = {{"", "JFIF, YCbCr"},
                 {"-sample 1x1", "JFIF, YCbCr"},
                 {"-progressive", "JFIF, YCbCr, Progressive"},
                 {"-grayscale", "JFIF, GrayScale"},
                 {"-rgb", "Adope, RGB"}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.Options);
        const std::string jpg = dir_.File("k.jpg");
        ASSERT_EQ(test::Run(std::string("cjpeg -quality 85 ") + kind.Options + " -outfile '" + jpg + "' '" +
                            ppm + "'"),
                  0);
        TPixelGraphic g;
        g.LoadFromFile(jpg);
        ASSERT_EQ(g.GetWidth(), 61);
        ASSERT_EQ(g.GetHeight(), 37);
        const bool gray = std::string(kind.Options) == "-grayscale";
        EXPECT_EQ(g.GetPixelFormat(), gray ? pf8Bit : pf24Bit);
        if (gray) {
            EXPECT_EQ(g.GetPaletteType(), pGray256);
        }
        EXPECT_TRUE(PnmBody(g) == DjpegBody(jpg)) << "pixels differ from djpeg";
        EXPECT_EQ(Describe(test::ReadFileBytes(jpg)).SubFormat, kind.SubFormat);
    }
}

TEST_F(Jpeg, PreviewLoadsUseTheFastDct)
{
    TPixelGraphic source;
    MakePicture(source, 64, 64);
    const std::vector<std::uint8_t> bytes = Encode(source);
    TPixelGraphic slow, preview, fast;
    Decode(bytes, slow);
    preview.SetPreviewLoad(true);
    Decode(bytes, preview);
    JPEGReadDCTMethod = 1;
    Decode(bytes, fast);
    EXPECT_TRUE(PnmBody(preview) == PnmBody(fast));
    EXPECT_FALSE(PnmBody(preview) == PnmBody(slow));
}

TEST_F(Jpeg, DescribesHeaderOnly)
{
    const Description gray = Describe(LibJpeg(10, 7, JCS_GRAYSCALE, 1));
    EXPECT_EQ(gray.SubFormat, "JFIF, GrayScale");
    EXPECT_EQ(gray.Width, 10);
    EXPECT_EQ(gray.Height, 7);
    EXPECT_EQ(gray.BitCount, 8);
    EXPECT_EQ(gray.Colors, "256");
    EXPECT_EQ(gray.ImageCount, 1);
    const Description progressive = Describe(LibJpeg(10, 7, JCS_RGB, 3, true));
    EXPECT_EQ(progressive.SubFormat, "JFIF, YCbCr, Progressive");
    EXPECT_EQ(progressive.BitCount, 24);
    EXPECT_EQ(progressive.Colors, "16.7M");
    TMemoryStream s(LibJpeg(4, 4, JCS_RGB, 3));
    std::string a, b, c;
    int w, h, bits, count;
    EXPECT_EQ(JpegError([&] { TJPGFileFormatReader().GetInfo(s, 1, a, b, w, h, c, bits, count); }),
              "JPG: Invalid value for Index");
}

TEST_F(Jpeg, CmykIsDescribedButNotRead)
{
    const std::vector<std::uint8_t> cmyk = LibJpeg(8, 8, JCS_CMYK, 4);
    const Description d = Describe(cmyk);
    EXPECT_EQ(d.SubFormat, "Adope, CMYK");
    EXPECT_EQ(d.BitCount, 32);
    EXPECT_EQ(d.Colors, "4294.9M");
    TPixelGraphic g;
    EXPECT_EQ(JpegError([&] { Decode(cmyk, g); }), "JPG: Not supported subformat");
    TMemoryStream s(cmyk);
    EXPECT_EQ(JpegError([&] { TJPGFileFormatReader().Read(s, g, 1); }), "JPG: Index invalid");
}

TEST_F(Jpeg, WritesWhatCjpegWrites)
{
    if (!test::HaveTool("cjpeg"))
        GTEST_SKIP() << "cjpeg is not installed";
    TPixelGraphic source;
    MakePicture(source, 61, 37);
    const std::string ppm = dir_.File("in.ppm");
    WritePpm(source, ppm);
    // The defaults: quality 80 and the floating-point DCT.
    const std::string jpg = dir_.File("c.jpg");
    ASSERT_EQ(test::Run("cjpeg -quality 80 -dct float -outfile '" + jpg + "' '" + ppm + "'"), 0);
    EXPECT_TRUE(Encode(source) == test::ReadFileBytes(jpg));
    // cjpeg's own defaults, as the benchmark command saves.
    JPEGQuality = 90;
    JPEGWriteDCTMethod = 0;
    ASSERT_EQ(test::Run("cjpeg -quality 90 -outfile '" + jpg + "' '" + ppm + "'"), 0);
    EXPECT_TRUE(Encode(source) == test::ReadFileBytes(jpg));
    JPEGProgressive = true;
    JPEGQuality = 60;
    ASSERT_EQ(test::Run("cjpeg -quality 60 -progressive -outfile '" + jpg + "' '" + ppm + "'"), 0);
    EXPECT_TRUE(Encode(source) == test::ReadFileBytes(jpg));
}

TEST_F(Jpeg, RoundTripsWithinJpegError)
{
    TPixelGraphic source;
    source.SetDimensions(80, 50, pf24Bit);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 80; ++x)
            source.SetPixelColor(x, y, RGB(x * 3, 255 - y * 4, (x + y) * 2));
    JPEGQuality = 95;
    TPixelGraphic back;
    Decode(Encode(source), back);
    ASSERT_EQ(back.GetPixelFormat(), pf24Bit);
    long total = 0;
    for (int y = 0; y < 50; ++y)
        for (int i = 0; i < 80 * 3; ++i)
            total += std::abs(source.GetScanLine(y)[i] - back.GetScanLine(y)[i]);
    EXPECT_LT(static_cast<double>(total) / (80 * 50 * 3), 4.0);

    // Grey images stay grey; progressive files say so.
    TPixelGraphic gray;
    gray.SetDimensions(33, 9, pf8Bit);
    gray.SetPaletteType(pGray256);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 33; ++x)
            gray.GetScanLine(y)[x] = static_cast<std::uint8_t>(x * 7);
    JPEGProgressive = true;
    const std::vector<std::uint8_t> grayBytes = Encode(gray);
    EXPECT_EQ(Describe(grayBytes).SubFormat, "JFIF, GrayScale, Progressive");
    Decode(grayBytes, back);
    ASSERT_EQ(back.GetPixelFormat(), pf8Bit);
    EXPECT_NEAR(back.GetScanLine(4)[20], 140, 3);
}

TEST_F(Jpeg, WritesOnlyGreyOrTrueColour)
{
    TPixelGraphic g;
    g.SetDimensions(4, 4, pf8Bit);
    g.SetPaletteType(pSpecial252);
    EXPECT_EQ(JpegError([&] { Encode(g); }), "JPG: Invalid value for BitCount");
    g.SetDimensions(4, 4, pf4Bit);
    EXPECT_EQ(JpegError([&] { Encode(g); }), "JPG: Invalid value for BitCount");
    // Through the registry a 16-colour image is converted first.
    g.SetPaletteType(pSys16);
    g.SetSaveColorResWarningAction(pgwaIgnore);
    g.SaveToFile(dir_.File("c.jpg"));
    TPixelGraphic back;
    back.LoadFromFile(dir_.File("c.jpg"));
    EXPECT_EQ(back.GetPixelFormat(), pf24Bit);
}

// Truncated after the first scan data: libjpeg's "premature end" warning.
std::vector<std::uint8_t> Truncated()
{
    TPixelGraphic source;
    MakePicture(source, 64, 64);
    std::vector<std::uint8_t> bytes = Encode(source);
    bytes.resize(bytes.size() / 2);
    return bytes;
}

TEST_F(Jpeg, PrematureEndFollowsTheWarningAction)
{
    test::RecordingDialogs dialogs;
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    Decode(Truncated(), g);
    EXPECT_EQ(g.GetHeight(), 64);
    EXPECT_TRUE(dialogs.Shown().empty());

    g.SetReadWarningAction(pgwaOKBox);
    Decode(Truncated(), g);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Caption, "JPG Warning");
    EXPECT_EQ(dialogs.Shown()[0].Text, "Premature end of JPEG file");
    EXPECT_EQ(dialogs.Shown()[0].Buttons, mbOK);

    g.SetReadWarningAction(pgwaOKCancelBox);
    dialogs.Answer(mrCancel);
    EXPECT_EQ(JpegError([&] { Decode(Truncated(), g); }), "JPG: Operation aborted on user request");

    g.SetReadWarningAction(pgwaRaise);
    EXPECT_EQ(JpegError([&] { Decode(Truncated(), g); }), "JPG: Premature end of JPEG file");
}

TEST_F(Jpeg, ExtraneousBytesWarnOnceOrNotAtAll)
{
    std::vector<std::uint8_t> bytes = LibJpeg(16, 16, JCS_RGB, 3);
    // Garbage between the JFIF segment and the next marker.
    const std::size_t at = 2 + 2 + (bytes[4] << 8 | bytes[5]);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), {1, 2, 3});
    test::RecordingDialogs dialogs;
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    Decode(bytes, g);
    EXPECT_TRUE(dialogs.Shown().empty());
    g.SetReadWarningAction(pgwaOKCancelBox);
    Decode(bytes, g);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_NE(dialogs.Shown()[0].Text.find("3 extraneous bytes"), std::string::npos);
    EXPECT_EQ(g.GetWidth(), 16);
    // Describing always raises on warnings.
    EXPECT_NE(JpegError([&] { Describe(bytes); }).find("JPG: Corrupt JPEG data"), std::string::npos);
}

TEST_F(Jpeg, BrokenFilesFailCleanly)
{
    const std::vector<std::uint8_t> good = LibJpeg(32, 32, JCS_RGB, 3);
    TPixelGraphic g;
    for (std::size_t size : {std::size_t{2}, std::size_t{11}, std::size_t{100}, std::size_t{200}}) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(JpegError([&] { Decode(cut, g); }).rfind("JPG: ", 0), 0u) << size;
    }
    g.SetReadWarningAction(pgwaIgnore);
    EXPECT_EQ(JpegError([&] { Decode({0xFF, 0xD8}, g); }), "JPG: JPEG datastream contains no image");
    // A header claiming an image beyond the size cap is refused before any
    // pixel memory is taken.
    const std::vector<std::uint8_t> huge = Claiming(good, 65000, 65000);
    EXPECT_EQ(JpegError([&] { Decode(huge, g); }), "JPG: Invalid size of image");
    EXPECT_EQ(Describe(huge).Width, 65000);
}

// Too little data for the picture the header claims is refused before the
// picture is allocated, while flat pictures, the most compressible real
// files, load whole and scaled.
TEST_F(Jpeg, SizesTheDataCannotFillAreRefused)
{
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    for (const bool progressive : {false, true})
        for (const int components : {1, 3}) {
            const auto small =
                LibJpeg(16, 16, components == 1 ? JCS_GRAYSCALE : JCS_RGB, components, progressive);
            EXPECT_EQ(JpegError([&] { Decode(Claiming(small, 8000, 8000), g); }),
                      "JPG: Unexpected end of file")
                << progressive << components;
            EXPECT_EQ(JpegError([&] { Decode(Claiming(small, 49411, 16895 / components), g); }),
                      "JPG: Unexpected end of file");
            EXPECT_EQ(Describe(Claiming(small, 8000, 8000)).Width, 8000);
        }
    if (!test::HaveTool("cjpeg"))
        GTEST_SKIP() << "cjpeg is not installed";
    TPixelGraphic white;
    white.SetFillColor(clWhite);
    white.SetDimensions(4000, 3000, pf24Bit);
    white.Clear();
    const std::string ppm = dir_.File("white.ppm"), jpg = dir_.File("white.jpg");
    WritePpm(white, ppm);
    for (const char* options : {"", "-optimize", "-progressive", "-grayscale -optimize",
                                "-optimize -restart 1", "-arithmetic", "-arithmetic -progressive"}) {
        SCOPED_TRACE(options);
        ASSERT_EQ(test::Run(std::string("cjpeg ") + options + " -outfile '" + jpg + "' '" + ppm + "'"), 0);
        TPixelGraphic full, scaled;
        full.LoadFromFile(jpg);
        EXPECT_EQ(full.GetWidth(), 4000);
        EXPECT_EQ(full.GetPixelColor(3999, 2999), clWhite);
        scaled.LoadFromFileAtLeast(jpg, 500, 375);
        EXPECT_EQ(scaled.GetWidth(), 500);
    }
}

// Arithmetic coding spends next to nothing on a flat picture, so its data
// cannot bound a picture's size; a size whose decode would cost more than a
// small file may needs the data a Huffman picture would, for whole and
// scaled loads alike.
TEST_F(Jpeg, ArithmeticCodedSizesTheDataCannotFillAreRefused)
{
    const std::string path = dir_.File("arithmetic.jpg");
    for (const bool progressive : {false, true})
        for (const int components : {1, 3}) {
            SCOPED_TRACE(testing::Message() << progressive << components);
            const auto small =
                LibJpeg(16, 16, components == 1 ? JCS_GRAYSCALE : JCS_RGB, components, progressive, true);
            test::WriteFileBytes(path, Claiming(small, 9000, 8000));
            TPixelGraphic whole, scaled;
            whole.SetReadWarningAction(pgwaIgnore);
            scaled.SetReadWarningAction(pgwaIgnore);
            EXPECT_EQ(JpegError([&] { whole.LoadFromFile(path); }), "JPG: Unexpected end of file");
            EXPECT_EQ(JpegError([&] { scaled.LoadFromFileAtLeast(path, 256, 192); }),
                      "JPG: Unexpected end of file");
            // Up to a moderate size such a file is a flat picture.
            test::WriteFileBytes(path, Claiming(small, 1600, 1200));
            scaled.LoadFromFileAtLeast(path, 256, 192);
            EXPECT_EQ(scaled.GetWidth(), 400);
        }
    // Every scan visits the blocks again: one coefficient a scan makes a
    // kilobyte that would take seconds.
    std::vector<jpeg_scan_info> scans(64);
    for (int k = 0; k < 64; ++k)
        scans[std::size_t(k)] = {1, {0, 0, 0, 0}, k, k, 0, 0};
    const auto manyScans = LibJpeg(16, 16, JCS_GRAYSCALE, 1, true, true, scans);
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    EXPECT_EQ(JpegError([&] { Decode(Claiming(manyScans, 8192, 8192), g); }), "JPG: Unexpected end of file");
    Decode(Claiming(manyScans, 1024, 1024), g);
    EXPECT_EQ(g.GetWidth(), 1024);
    // A scan of one component visits that component's blocks only.
    const std::vector<jpeg_scan_info> scanPerComponent = {
        {1, {0, 0, 0, 0}, 0, 63, 0, 0}, {1, {1, 0, 0, 0}, 0, 63, 0, 0}, {1, {2, 0, 0, 0}, 0, 63, 0, 0}};
    test::WriteFileBytes(path,
                         Claiming(LibJpeg(16, 16, JCS_RGB, 3, false, true, scanPerComponent), 8000, 5000));
    TPixelGraphic whole, scaled;
    whole.SetReadWarningAction(pgwaIgnore);
    scaled.SetReadWarningAction(pgwaIgnore);
    whole.LoadFromFile(path);
    EXPECT_EQ(whole.GetWidth(), 8000);
    scaled.LoadFromFileAtLeast(path, 1000, 625);
    EXPECT_EQ(scaled.GetWidth(), 1000);
}

// Successive approximation of one coefficient at a time: eleven scans each.
std::vector<jpeg_scan_info> ManyProgressiveScans(std::size_t count)
{
    std::vector<jpeg_scan_info> scans = {{1, {0, 0, 0, 0}, 0, 0, 0, 0}};
    for (int k = 1; k < 64; ++k) {
        scans.push_back({1, {0, 0, 0, 0}, k, k, 0, 10});
        for (int al = 9; al >= 0; --al)
            scans.push_back({1, {0, 0, 0, 0}, k, k, al + 1, al});
    }
    scans.resize(count);
    return scans;
}

// Every scan, however few bytes it takes, visits the blocks again: a file of
// more scans than any encoder writes is refused, and the scans, all read
// before the first row, hear the user's abort.
TEST_F(Jpeg, ScansAreBoundedAndAbortable)
{
    TPixelGraphic g;
    Decode(LibJpeg(64, 64, JCS_GRAYSCALE, 1, true, false, ManyProgressiveScans(500)), g);
    EXPECT_EQ(g.GetWidth(), 64);
    const auto hostile = LibJpeg(64, 64, JCS_GRAYSCALE, 1, true, false, ManyProgressiveScans(501));
    EXPECT_EQ(JpegError([&] { Decode(hostile, g); }), "JPG: Unexpected end of file");

    test::RecordingDialogs dialogs;
    TPixelGraphic aborted;
    int calls = 0, ends = 0;
    aborted.SetOnProgress([&](TObject*, int step, int, bool& abort) {
        EXPECT_EQ(step, 0);
        abort = ++calls == 3;
    });
    aborted.SetOnProgressEnd([&](TObject*) { ++ends; });
    Decode(LibJpeg(400, 300, JCS_RGB, 3, true), aborted);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(aborted.GetWidth(), 0);
    EXPECT_TRUE(dialogs.Shown().empty());
    // A handler's own failure comes back through libjpeg unharmed.
    aborted.SetOnProgress([](TObject*, int, int, bool&) { throw std::runtime_error("stopped"); });
    EXPECT_THROW(Decode(LibJpeg(400, 300, JCS_RGB, 3, true), aborted), std::runtime_error);
}

// Only the scan data before the end marker can code blocks: bytes after it,
// or comments between it and the scan, let no larger picture through.
TEST_F(Jpeg, OnlyScanDataBeforeTheEndCounts)
{
    const auto small = Claiming(LibJpeg(16, 16, JCS_GRAYSCALE, 1), 16384, 16384);
    auto trailer = small;
    trailer.resize(trailer.size() + (1 << 20), 0);
    auto comments = small;
    for (int i = 0; i < 16; ++i) {
        std::vector<std::uint8_t> segment(65535, 0);
        segment[0] = 0xFF;
        segment[1] = 0xFE;
        segment[2] = 0xFF;
        segment[3] = 0xFD;
        comments.insert(comments.end() - 2, segment.begin(), segment.end());
    }
    TPixelGraphic g;
    g.SetReadWarningAction(pgwaIgnore);
    EXPECT_EQ(JpegError([&] { Decode(trailer, g); }), "JPG: Unexpected end of file");
    EXPECT_EQ(JpegError([&] { Decode(comments, g); }), "JPG: Unexpected end of file");
    EXPECT_EQ(g.GetWidth(), 0);
}

TEST_F(Jpeg, UserAbortKeepsTheRowsReadAndStaysSilent)
{
    TPixelGraphic source;
    MakePicture(source, 40, 64);
    const std::vector<std::uint8_t> bytes = Encode(source);
    test::RecordingDialogs dialogs;
    TPixelGraphic g;
    int lastStep = -1, max = 0, ends = 0;
    g.SetOnProgress([&](TObject*, int step, int m, bool& abort) {
        lastStep = step;
        max = m;
        abort = step == 9;
    });
    g.SetOnProgressEnd([&](TObject*) { ++ends; });
    Decode(bytes, g);
    EXPECT_EQ(lastStep, 9);
    EXPECT_EQ(max, 64);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_NEAR(g.GetScanLine(5)[0], source.GetScanLine(5)[0], 8);
    EXPECT_EQ(g.GetScanLine(63)[30], 0);
}

TEST_F(Jpeg, AFailingStreamRaisesItsOwnError)
{
    TPixelGraphic source;
    MakePicture(source, 300, 300);
    TFullStream out(1000);
    EXPECT_THROW(TJPGFileFormatWriter().Write(out, source), EWriteError);
}

// --- scaled decoding ---------------------------------------------------------

// Smooth shading with some fine texture, like a photograph.
void MakePhoto(TPixelGraphic& g, int w, int h)
{
    g.SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = g.GetScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const unsigned grain =
                (static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u) >> 28;
            p[0] = static_cast<std::uint8_t>(120 + 60 * std::sin(x / 37.0) + grain);
            p[1] = static_cast<std::uint8_t>(128 + 50 * std::cos(y / 23.0 + x / 91.0) + grain);
            p[2] = static_cast<std::uint8_t>(100 + 40 * std::sin((x + y) / 57.0) + grain);
        }
    }
}

double Psnr(TPixelGraphic& a, TPixelGraphic& b)
{
    double sum = 0;
    const std::string pa = PnmBody(a), pb = PnmBody(b);
    for (std::size_t i = 0; i < pa.size(); ++i) {
        const double d = static_cast<std::uint8_t>(pa[i]) - static_cast<std::uint8_t>(pb[i]);
        sum += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(pa.size())));
}

void Thumbnail(TPixelGraphic& source, TPixelGraphic& thumb, int w, int h)
{
    thumb.SetDimensions(w, h, pf24Bit);
    thumb.SetStretchMode(smPrecise);
    thumb.StretchFrom(source);
}

TEST_F(Jpeg, LoadsAtTheSmallestEighthCoveringTheRequest)
{
    const std::string jpg = dir_.File("scaled.jpg");
    const struct {
        const char* Kind;
        std::vector<std::uint8_t> Bytes;
    } files[] = {{"colour", LibJpeg(400, 300, JCS_RGB, 3)},
                 {"grey", LibJpeg(400, 300, JCS_GRAYSCALE, 1)},
                 {"progressive", LibJpeg(400, 300, JCS_RGB, 3, true)}};
    const struct {
        int MinWidth, MinHeight, Width, Height, Eighths;
    } requests[] = {{200, 150, 200, 150, 4}, {100, 75, 100, 75, 2},   {50, 38, 50, 38, 1},
                    {1, 1, 50, 38, 1},       {101, 10, 150, 113, 3},  {10, 226, 350, 263, 7},
                    {0, 0, 400, 300, 8},     {800, 600, 400, 300, 8}, {0, 80, 150, 113, 3}};
    const bool oracle = test::HaveTool("djpeg");
    for (const auto& file : files) {
        test::WriteFileBytes(jpg, file.Bytes);
        for (const auto& r : requests) {
            SCOPED_TRACE(testing::Message() << file.Kind << " " << r.MinWidth << "x" << r.MinHeight);
            TPixelGraphic g;
            g.LoadFromFileAtLeast(jpg, r.MinWidth, r.MinHeight);
            EXPECT_EQ(g.GetWidth(), r.Width);
            EXPECT_EQ(g.GetHeight(), r.Height);
            if (oracle) {
                EXPECT_TRUE(PnmBody(g) == DjpegBody(jpg, "-scale " + std::to_string(r.Eighths) + "/8"));
            }
        }
        TGraphicInfo info;
        ASSERT_TRUE(GetGraphicFileInfo(jpg, 0, info));
        EXPECT_EQ(info.Width, 400);
        TPixelGraphic again;
        again.LoadFromFileAtLeast(jpg, 50, 38);
        again.LoadFromFile(jpg);
        EXPECT_EQ(again.GetWidth(), 400) << "a later plain load is full size";
    }
    // Other formats load in full.
    TPixelGraphic picture;
    MakePicture(picture, 64, 48);
    const std::string bmp = dir_.File("full.bmp");
    picture.SaveToFile(bmp);
    TPixelGraphic g;
    g.LoadFromFileAtLeast(bmp, 8, 6);
    EXPECT_EQ(g.GetWidth(), 64);
}

TEST_F(Jpeg, ThumbnailsFromTheScaledDecodeMatchThoseFromTheFullOne)
{
    TPixelGraphic photo;
    MakePhoto(photo, 2000, 1500);
    const std::string jpg = dir_.File("photo.jpg");
    test::WriteFileBytes(jpg, Encode(photo));
    TPixelGraphic full, scaled, fromFull, fromScaled;
    full.LoadFromFile(jpg);
    scaled.LoadFromFileAtLeast(jpg, 256, 192);
    EXPECT_EQ(scaled.GetWidth(), 500);
    Thumbnail(full, fromFull, 256, 192);
    Thumbnail(scaled, fromScaled, 256, 192);
    EXPECT_GE(Psnr(fromFull, fromScaled), 35.0);
}

} // namespace
} // namespace lumeno
