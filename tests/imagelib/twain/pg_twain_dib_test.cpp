// The acquired DIB written as a BMP file: its offsets from the real header,
// top-down DIBs, blocks too small for what they claim, the name dialog and
// the old file kept on failure. ImageMagick reads the results back.

#include "imagelib/twain/pg_twain.h"
#include "support/fake_twain_qt.h"

#include <QFileDialog>
#include <QLineEdit>

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t Get32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

// A DIB with a header of headerSize bytes, bitCount bits and a palette of
// used colours (0: the full one for its depth).
std::vector<std::uint8_t> MakeDib(std::uint32_t headerSize, int width, int height, int bitCount,
                                  std::uint32_t used = 0)
{
    const std::uint32_t colours = used ? used : (bitCount <= 8 ? 1u << bitCount : 0);
    const std::size_t stride = (std::size_t(width) * bitCount + 31) / 32 * 4;
    std::vector<std::uint8_t> dib(headerSize + 4 * colours + stride * std::size_t(std::abs(height)));
    Put32(dib, 0, headerSize);
    Put32(dib, 4, static_cast<std::uint32_t>(width));
    Put32(dib, 8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(bitCount);
    Put32(dib, 32, used);
    for (std::size_t i = headerSize; i < dib.size(); ++i)
        dib[i] = static_cast<std::uint8_t>(i * 13);
    return dib;
}

HGLOBAL Handle(const std::vector<std::uint8_t>& bytes)
{
    HGLOBAL mem = GlobalAlloc(GHND, bytes.size());
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    return mem;
}

std::string Identify(const std::string& file)
{
    return test::RunOutput("convert-im6.q16 '" + file + "' -format '%w %h %z' info: 2>/dev/null");
}

class SaveDib : public ::testing::Test {
protected:
    int Save(const std::vector<std::uint8_t>& dib, const std::string& name)
    {
        HGLOBAL mem = Handle(dib);
        const int result = TPGTwain::TWAIN_SaveDibToFile(mem, name);
        TPGTwain::TWAIN_FreeDib(mem);
        return result;
    }
    test::TempDir dir;
};

TEST_F(SaveDib, WritesFileHeaderAndTheWholeDib)
{
    const auto dib = MakeDib(40, 3, 2, 24);
    const std::string file = dir.File("scan.bmp");
    ASSERT_EQ(Save(dib, file), 0);
    const auto bytes = test::ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 14 + dib.size());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Get32(bytes, 2), bytes.size());
    EXPECT_EQ(Get32(bytes, 10), 54u);
    EXPECT_EQ(Get32(bytes, 14 + 20), 2u * 12) << "the image size is filled in";
    EXPECT_TRUE(std::equal(dib.begin() + 40, dib.end(), bytes.begin() + 54));
    if (test::HaveTool("convert-im6.q16")) {
        EXPECT_EQ(Identify(file), "3 2 8");
    }
}

TEST_F(SaveDib, OffsetsComeFromTheRealHeaderAndHeightIsAbsolute)
{
    // A 124-byte header, 8 bits, 5 used colours, rows stored top-down.
    const auto dib = MakeDib(124, 5, -3, 8, 5);
    const std::string file = dir.File("v5.bmp");
    ASSERT_EQ(Save(dib, file), 0);
    const auto bytes = test::ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 14 + dib.size());
    EXPECT_EQ(Get32(bytes, 10), 14u + 124 + 5 * 4);
    EXPECT_EQ(Get32(bytes, 14 + 20), 3u * 8);
    if (test::HaveTool("convert-im6.q16")) {
        EXPECT_EQ(Identify(file).substr(0, 4), "5 3 ");
    }
}

TEST_F(SaveDib, BadDibsAreRefusedWithoutTouchingTheFile)
{
    const std::string file = dir.File("kept.bmp");
    test::WriteFileBytes(file, {'o', 'l', 'd'});

    auto truncated = MakeDib(40, 4, 4, 24);
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(Save(truncated, file), -3) << "the block ends before the pixels do";
    auto compressed = MakeDib(40, 4, 4, 8);
    Put32(compressed, 16, 1); // RLE8 with no size given
    EXPECT_EQ(Save(compressed, file), -3);
    auto lying = MakeDib(40, 2, 2, 8);
    Put32(lying, 32, 100000); // more colours than the block holds
    EXPECT_EQ(Save(lying, file), -3);
    auto header = MakeDib(40, 2, 2, 24);
    Put32(header, 0, 4000);
    EXPECT_EQ(Save(header, file), -3);
    EXPECT_EQ(TPGTwain::TWAIN_SaveDibToFile(nullptr, file), -3);

    EXPECT_EQ(test::ReadFileBytes(file), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
        1)
        << "no temporary file is left behind";
    EXPECT_EQ(Save(MakeDib(40, 2, 2, 24), dir.File("no/such/folder/x.bmp")), -2);
}

TEST_F(SaveDib, AskedNameWithoutExtensionGetsBmp)
{
    const std::string typed = dir.File("typed");
    test::WhenShown("TwainSaveDialog", [typed](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        dialog->findChild<QLineEdit*>()->setText(QString::fromStdString(typed));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(Save(test::FakeDib(), ""), 0);
    EXPECT_TRUE(std::filesystem::exists(typed + ".bmp"));

    test::WhenShown("TwainSaveDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(Save(test::FakeDib(), ""), -1);
}

TEST(DibLayout, PaletteSizeAndPixelStart)
{
    const auto eight = MakeDib(40, 2, 2, 8);
    EXPECT_EQ(TPGTwain::TWAIN_DibNumColors(eight.data()), 256);
    EXPECT_EQ(TPGTwain::TWAIN_DibBits(eight.data()), eight.data() + 40 + 1024);
    const auto used = MakeDib(40, 2, 2, 4, 3);
    EXPECT_EQ(TPGTwain::TWAIN_DibNumColors(used.data()), 3);
    const auto colour = MakeDib(40, 2, 2, 24);
    EXPECT_EQ(TPGTwain::TWAIN_DibNumColors(colour.data()), 0);
    EXPECT_EQ(TPGTwain::TWAIN_DibBits(colour.data()), colour.data() + 40);

    std::vector<std::uint8_t> core(12 + 2 * 3 + 4, 0);
    Put32(core, 0, 12);
    core[10] = 1; // 1 bit: two RGB triples
    EXPECT_EQ(TPGTwain::TWAIN_DibNumColors(core.data()), 2);
    EXPECT_EQ(TPGTwain::TWAIN_DibBits(core.data()), core.data() + 12 + 6);
}

} // namespace
} // namespace lumeno
