#include "imagelib/format_registry.h"
#include "imagelib/pg_startup.h"
#include "platform/stream.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

// Recognises files that start with its magic text, when it may probe.
class TFakeReader : public TFileFormatReader {
public:
    TFakeReader(std::string ext, std::string magic, bool probe, std::string description = "Fake")
        : TFileFormatReader(std::move(ext), std::move(description)), magic_(std::move(magic))
    {
        ProbeContent = probe;
    }
    bool CanRead(TFileHeader Header) const override
    {
        return std::equal(magic_.begin(), magic_.end(), Header.begin(),
                          [](char m, std::uint8_t h) { return static_cast<std::uint8_t>(m) == h; });
    }
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override
    {
        TFileFormatReader::GetInfo(Stream, Index, SubFormat, Remarks, Width, Height, Colors, BitCount,
                                   ImageCount);
        std::uint8_t skip[3];
        Stream.ReadBuffer(skip, 3); // moves the stream; the registry must move it back
        Width = 4;
        SubFormat = magic_;
    }

private:
    std::string magic_;
};

class TFakeWriter : public TFileFormatWriter {
public:
    explicit TFakeWriter(std::string ext) : TFileFormatWriter(std::move(ext), "Fake") {}
};

TMemoryStream StreamOf(const std::string& text)
{
    return TMemoryStream(text.data(), static_cast<std::int64_t>(text.size()));
}

class Registry : public ::testing::Test {
protected:
    Registry()
    {
        registry_.AddReader(std::make_unique<TFakeReader>("png", "\x89PNG", true, "PNG"));
        registry_.AddReader(std::make_unique<TFakeReader>("BMP", "BM", true, "Bitmap"));
        registry_.AddReader(std::make_unique<TFakeReader>("tga", "", false, "Targa"));
    }
    TFormatRegistry registry_;
};

TEST_F(Registry, ListsStaySortedByLowerCaseExtension)
{
    registry_.AddReader(std::make_unique<TFakeReader>("bmp", "XX", true, "Second bitmap"));
    std::vector<std::string> order;
    for (const auto& r : registry_.Readers())
        order.push_back(r->Extension + ":" + r->Description);
    EXPECT_EQ(order, (std::vector<std::string>{"bmp:Bitmap", "bmp:Second bitmap", "png:PNG", "tga:Targa"}));
}

TEST_F(Registry, ContentWinsOverExtension)
{
    TMemoryStream png = StreamOf("\x89PNG\r\n\x1a\n");
    const TFileFormatReader* r = registry_.FindReader(png, "bmp");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Description, "PNG");
    EXPECT_EQ(png.GetPosition(), 0);
}

TEST_F(Registry, ReadersThatCannotProbeAreFoundByExtensionOnly)
{
    TMemoryStream tga = StreamOf(std::string(30, '\0'));
    for (const char* ext : {"tga", "TGA", ".tga", ".TgA"}) {
        const TFileFormatReader* r = registry_.FindReader(tga, ext);
        ASSERT_NE(r, nullptr) << ext;
        EXPECT_EQ(r->Description, "Targa");
    }
    EXPECT_EQ(registry_.FindReader(tga, ""), nullptr);
    EXPECT_EQ(registry_.FindReader(tga, "png"), nullptr); // a probing reader is never picked by name
    // A file that probes as BMP is read as BMP even when named .tga.
    TMemoryStream bmp = StreamOf("BM");
    EXPECT_EQ(registry_.FindReader(bmp, "tga")->Description, "Bitmap");
}

TEST_F(Registry, ShortStreamsAreProbedWithWhatThereIs)
{
    TMemoryStream tiny = StreamOf("B");
    EXPECT_EQ(registry_.FindReader(tiny, ""), nullptr);
    TMemoryStream two = StreamOf("BM");
    two.SetPosition(0);
    EXPECT_NE(registry_.FindReader(two, ""), nullptr);
    TMemoryStream empty;
    EXPECT_EQ(registry_.FindReader(empty, ""), nullptr);
    EXPECT_EQ(TFormatRegistry().FindReader(two, "bmp"), nullptr);
}

TEST_F(Registry, FindsWritersByExtensionInAnyCase)
{
    registry_.AddWriter(std::make_unique<TFakeWriter>("tif"));
    registry_.AddWriter(std::make_unique<TFakeWriter>("bmp"));
    EXPECT_EQ(registry_.FindWriter(".TIF")->Extension, "tif");
    EXPECT_EQ(registry_.FindWriter("Bmp")->Extension, "bmp");
    EXPECT_EQ(registry_.FindWriter("tiff"), nullptr);
    EXPECT_EQ(registry_.Writers().front()->Extension, "bmp");
}

TEST_F(Registry, StreamInfoNamesTheFormatAndKeepsThePosition)
{
    TMemoryStream s = StreamOf("xxBM-rest-of-file");
    s.SetPosition(2);
    TGraphicInfo info;
    info.Remarks = "stale";
    ASSERT_TRUE(registry_.GetStreamInfo(s, "", 0, info));
    EXPECT_EQ(info.FormatName, "Bitmap");
    EXPECT_EQ(info.SubFormat, "BM");
    EXPECT_EQ(info.Remarks, "");
    EXPECT_EQ(info.Width, 4);
    EXPECT_EQ(info.ImageCount, 1);
    EXPECT_EQ(s.GetPosition(), 2);

    TMemoryStream unknown = StreamOf("??");
    EXPECT_FALSE(registry_.GetStreamInfo(unknown, "", 0, info));
    EXPECT_EQ(info.FormatName, "");
    EXPECT_EQ(info.ImageCount, 0);
}

TEST(GraphicFileInfo, MissingOrUnreadableFilesGiveFalse)
{
    PGStartup();
    test::TempDir dir;
    TGraphicInfo info;
    EXPECT_FALSE(GetGraphicFileInfo(dir.File("missing.bmp"), 0, info));
    EXPECT_FALSE(GetGraphicFileInfo("", 0, info));
    EXPECT_FALSE(GetGraphicFileInfo(dir.Path().string(), 0, info));
    test::WriteFileBytes(dir.File("short.bmp"), {'B', 'M', 40});
    EXPECT_FALSE(GetGraphicFileInfo(dir.File("short.bmp"), 0, info));
    EXPECT_EQ(info.FormatName, "");
    PGShutdown();
}

TEST(FormatExtension, LowerCaseWithoutTheDot)
{
    EXPECT_EQ(ExtractFormatExtension("/a/b/Photo.JPG"), "jpg");
    EXPECT_EQ(ExtractFormatExtension("/a.dir/noext"), "");
    EXPECT_EQ(ExtractFormatExtension("x.tar.GZ"), "gz");
    EXPECT_EQ(ExtractFormatExtension("trailing."), "");
}

} // namespace
} // namespace lumeno
