#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

namespace lumeno {
namespace {

std::vector<std::string> Extensions(const auto& list)
{
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e->Extension);
    return out;
}

TEST(Startup, RegistersEveryBuiltCodecSorted)
{
    PGStartup();
    PGStartup(); // a second start-up starts afresh instead of registering twice
    EXPECT_EQ(Extensions(FileFormatReaders()),
              (std::vector<std::string>{"bmp", "dib", "jif", "jpeg", "jpg", "pbm", "pcx", "pgm", "png", "ppm", "rle",
                                        "tga", "tif", "tiff"}));
    EXPECT_EQ(Extensions(FileFormatWriters()),
              (std::vector<std::string>{"bmp", "dib", "jif", "jpeg", "jpg", "pbm", "pgm", "png", "ppm", "tga", "tif",
                                        "tiff"}));
    for (const auto& r : FileFormatReaders()) {
        // Targa files carry no signature.
        EXPECT_EQ(r->ProbeContent, r->Extension != "tga");
        EXPECT_TRUE(r->ShowInFilter);
    }
    EXPECT_EQ(FileFormatReaders()[2]->Description, "JPEG (JFIF compliant)");
    EXPECT_EQ(FileFormatReaders()[8]->Description, "Portable Network Graphics");
    EXPECT_EQ(FileFormatReaders()[10]->Description, "Bitmap");
    EXPECT_EQ(FileFormatReaders()[12]->Description, "Tagged Image File Format");
    // Writers under a format's second name stay out of the dialogs' filter.
    const std::vector<bool> shown{true, false, false, false, true, true, true, true, true, true, true, false};
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(FileFormatWriters()[i]->ShowInFilter, shown[i]) << FileFormatWriters()[i]->Extension;
    EXPECT_TRUE(FileFormatWriters()[1]->CanWriteResolutions.all());
    EXPECT_EQ(FileFormatWriters()[4]->CanWriteResolutions.to_ulong(), 0b10100000u); // 256 greys, true colour
    EXPECT_TRUE(FileFormatWriters()[7]->CanWriteResolutions.all());
    // Black and white, 256 greys, true colour; 256 colours and true colour.
    EXPECT_EQ(FileFormatWriters()[5]->CanWriteResolutions.to_ulong(), 0b1u);
    EXPECT_EQ(FileFormatWriters()[6]->CanWriteResolutions.to_ulong(), 0b100000u);
    EXPECT_EQ(FileFormatWriters()[8]->CanWriteResolutions.to_ulong(), 0b10000000u);
    EXPECT_EQ(FileFormatWriters()[9]->CanWriteResolutions.to_ulong(), 0b11000000u);
    EXPECT_EQ(FileFormatWriters()[10]->CanWriteResolutions.to_ulong(), 0b11111101u); // all but 2 colours
    PGShutdown();
    EXPECT_TRUE(FileFormatReaders().empty());
    EXPECT_TRUE(FileFormatWriters().empty());
}

TEST(Startup, SetsCodecDefaultsAndTheClampTable)
{
    JPEGQuality = 5;
    DefaultGamma = 2.5L;
    GammaCorrectOnLoad = false;
    TIFFXResolution = {72, 2};
    PGLanguage = 3;
    PGStartup();
    EXPECT_EQ(JPEGQuality, 80);
    EXPECT_EQ(JPEGWriteDCTMethod, 2);
    EXPECT_EQ(JPEGReadDCTMethod, 0);
    EXPECT_EQ(DefaultGamma, 1.8L);
    EXPECT_TRUE(GammaCorrectOnLoad);
    EXPECT_TRUE(BMPExpand16Bit);
    EXPECT_EQ(TIFFMaxDirectories, 1000);
    EXPECT_EQ(TIFFXResolution.Numerator, 300);
    EXPECT_EQ(TIFFXResolution.Denominator, 1);
    EXPECT_EQ(PGLanguage, 0);
    EXPECT_EQ(ClampByTable(-510), 0);
    EXPECT_EQ(ClampByTable(-1), 0);
    EXPECT_EQ(ClampByTable(17), 17);
    EXPECT_EQ(ClampByTable(256), 255);
    EXPECT_EQ(ClampByTable(510), 255);
    PGShutdown();
}

TEST(Startup, MessageTableOrderIsChecked)
{
    auto entries = PGLangStrEntries;
    EXPECT_NO_THROW(CheckPGLangStrEntries(entries));
    entries[5].Id = 6;
    try {
        CheckPGLangStrEntries(entries);
        ADD_FAILURE() << "accepted";
    } catch (const EPixelGraphic& e) {
        EXPECT_STREQ(e.what(), "PGLangStrEntries order wrong 5 and 6 are not identical");
    }
}

TEST(Startup, ImageLibraryVersionsAreChecked)
{
    EXPECT_NO_THROW(CheckImageLibraryVersions(JPEG_LIB_VERSION, png_access_version_number(), PNG_LIBPNG_VER));
    EXPECT_NO_THROW(CheckImageLibraryVersions(62, 10640, 10639)); // a newer patch level is compatible
    try {
        CheckImageLibraryVersions(61, 10639, 10639);
        ADD_FAILURE() << "old libjpeg accepted";
    } catch (const EPixelGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("libjpeg"), std::string::npos) << e.what();
    }
    try {
        CheckImageLibraryVersions(80, 10520, 10639);
        ADD_FAILURE() << "other libpng accepted";
    } catch (const EPixelGraphic& e) {
        EXPECT_STREQ(e.what(), "libpng: the library's version 1.5.20 differs from the headers' version 1.6.39");
    }
}

} // namespace
} // namespace lumeno
