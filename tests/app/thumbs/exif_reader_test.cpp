#include "app/thumbs/exif_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace lumeno {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A TIFF block in either byte order: directories are placed where the test
// says, values longer than four bytes in a data area it appends to.
class TiffBlock {
public:
    explicit TiffBlock(bool motorola) : motorola_(motorola)
    {
        bytes_ = motorola ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
        Word(42);
        Long(8);
    }
    void Word(std::uint32_t v, std::size_t at = npos) { Put(v, 2, at); }
    void Long(std::uint32_t v, std::size_t at = npos) { Put(v, 4, at); }
    // A directory at the end: the entries (tag, type, count, value) and the
    // next-directory offset.
    std::size_t Directory(const std::vector<std::array<std::uint32_t, 4>>& entries, std::uint32_t next = 0)
    {
        const std::size_t at = bytes_.size();
        Word(static_cast<std::uint32_t>(entries.size()));
        for (const auto& e : entries) {
            Word(e[0]);
            Word(e[1]);
            Long(e[2]);
            if ((e[1] == 3 || e[1] == 8) && e[2] == 1) {
                Word(e[3]);
                Word(0);
            } else if ((e[1] == 1 || e[1] == 7) && e[2] <= 4) {
                Put(e[3], 4, npos, true);
            } else {
                Long(e[3]);
            }
        }
        Long(next);
        return at;
    }
    std::size_t Data(const Bytes& data)
    {
        const std::size_t at = bytes_.size();
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return at;
    }
    std::size_t Size() const { return bytes_.size(); }
    const Bytes& Get() const { return bytes_; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    // rawOrder: the value's bytes in memory order (inline bytes of type 7).
    void Put(std::uint32_t v, int size, std::size_t at, bool rawOrder = false)
    {
        Bytes b(size);
        for (int i = 0; i < size; ++i) {
            const int shift = (rawOrder || !motorola_) ? 8 * i : 8 * (size - 1 - i);
            b[i] = static_cast<std::uint8_t>(v >> shift);
        }
        if (at == npos)
            bytes_.insert(bytes_.end(), b.begin(), b.end());
        else
            std::memcpy(bytes_.data() + at, b.data(), b.size());
    }
    bool motorola_;
    Bytes bytes_;
};

std::string ValueOf(const TExifData& data, const std::string& name)
{
    for (const auto& e : data.Entries)
        if (e.Name == name)
            return e.Value;
    return "<missing>";
}

TEST(ExifReader, WordsLongsAndPatterns)
{
    const Bytes b = {0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(ExifReadWord(b, eboIntel, 0), 0x3412);
    EXPECT_EQ(ExifReadWord(b, eboMotorola, 0), 0x1234);
    EXPECT_EQ(ExifReadWord(b, eboNone, 0), 0);
    EXPECT_EQ(ExifReadLong(b, eboIntel, 0), 0x78563412u);
    EXPECT_EQ(ExifReadLong(b, eboMotorola, 0), 0x12345678u);
    EXPECT_EQ(ExifReadLong(b, eboIntel, 1), 0u) << "past the end reads nothing";
    const std::uint8_t pattern[] = {0x56, 0x78};
    EXPECT_EQ(FindBytes(b, 2, 1, pattern), 2);
    EXPECT_EQ(FindBytes(b, 1, 1, pattern), -1);
    EXPECT_EQ(ExifFieldTypeName(7), "Undefined");
    EXPECT_EQ(ExifFieldTypeName(13), "No Field Type of 13");
    EXPECT_EQ(ExifTagName(40000), "Undefined (40000)");
    EXPECT_EQ(ExifTagName(306), "DateTime");
}

// A camera JPEG: SOI, APP1 marker and length, "Exif\0\0", then the TIFF
// block with its mark at file offset 12.
TEST(ExifReader, JpegMarkAtTwelveAndSubDirectory)
{
    TiffBlock t(false);
    const std::size_t text = 8 + 2 + 12 * 4 + 4 + 2 + 12 * 3 + 4;
    t.Directory({{271, 2, 6, static_cast<std::uint32_t>(text)},
                 {282, 5, 1, static_cast<std::uint32_t>(text + 6)},
                 {34665, 4, 1, 8 + 2 + 12 * 4 + 4},
                 {40000, 3, 1, 7}});
    t.Directory({{36864, 7, 4, 0x30313230}, {37380, 10, 1, static_cast<std::uint32_t>(text + 14)},
                 {254, 1, 1, 0xAB}});
    t.Data({'C', 'a', 'n', 'o', 'n', 0});
    t.Data({72, 0, 0, 0, 1, 0, 0, 0});
    t.Data({0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0});
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE1, 0x10, 0x00, 'E', 'x', 'i', 'f', 0, 0};
    jpeg.insert(jpeg.end(), t.Get().begin(), t.Get().end());

    const TExifData data = ReadExifData(jpeg);
    EXPECT_EQ(data.ByteOrder, eboIntel);
    EXPECT_EQ(data.Base, 12u);
    ASSERT_EQ(data.Entries.size(), 7u);
    EXPECT_EQ(data.Entries[0].Name, "Make");
    EXPECT_EQ(data.Entries[0].Value, "Canon");
    EXPECT_EQ(ValueOf(data, "XResolution"), "72/1");
    EXPECT_EQ(ValueOf(data, "Undefined (40000)"), "7");
    EXPECT_EQ(ValueOf(data, "Exif Version"), "48,50,49,48");
    EXPECT_EQ(ValueOf(data, "Exposure Bias Value"), "-2/3");
    EXPECT_EQ(ValueOf(data, "NewSubFile Type"), "171");
}

TEST(ExifReader, MotorolaTiffWithBigEndianValues)
{
    TiffBlock t(true);
    const std::uint32_t dateAt = 8 + 2 + 12 * 4 + 4;
    t.Directory({{256, 3, 1, 640}, {257, 4, 1, 70000}, {306, 2, 20, dateAt}, {277, 1, 1, 3}});
    t.Data({'2', '0', '0', '4', ':', '0', '1', ':', '0', '2', ' ', '0', '3', ':', '0', '4', ':', '0', '5', 0});
    const TExifData data = ReadExifData(t.Get());
    EXPECT_EQ(data.ByteOrder, eboMotorola);
    EXPECT_EQ(ValueOf(data, "ImageWidth"), "640");
    EXPECT_EQ(ValueOf(data, "ImageLength"), "70000");
    EXPECT_EQ(ValueOf(data, "SamplesPerPixel"), "3") << "a Byte is one byte in either order";
    EXPECT_EQ(ExifDateTime(data).value_or(""), "2004:01:02 03:04:05");
}

TEST(ExifReader, FloatsAndDoublesReadBackEqual)
{
    for (bool motorola : {false, true}) {
        TiffBlock t(motorola);
        const std::uint32_t doubleAt = 8 + 2 + 12 * 2 + 4;
        t.Directory({{37377, 11, 1, std::bit_cast<std::uint32_t>(0.1f)}, {37378, 12, 1, doubleAt}});
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(-2.5e-300);
        Bytes d(8);
        for (int i = 0; i < 8; ++i)
            d[i] = static_cast<std::uint8_t>(bits >> (motorola ? 8 * (7 - i) : 8 * i));
        t.Data(d);
        const TExifData data = ReadExifData(t.Get());
        EXPECT_EQ(ValueOf(data, "Shutter Speed Value"), "0.1");
        EXPECT_EQ(ValueOf(data, "Aperture Value"), "-2.5e-300");
    }
}

TEST(ExifReader, NoMarkOrBadHeaderListsNothing)
{
    Bytes plain(200, 'x');
    EXPECT_TRUE(ReadExifData(plain).Entries.empty());
    EXPECT_EQ(ReadExifData(plain).ByteOrder, eboNone);
    // "II" that fails the 42 test, then a good "MM" header further on.
    TiffBlock t(true);
    t.Directory({{256, 3, 1, 9}});
    Bytes mixed = {'I', 'I', 0, 0};
    mixed.insert(mixed.end(), t.Get().begin(), t.Get().end());
    const TExifData data = ReadExifData(mixed);
    EXPECT_EQ(data.ByteOrder, eboMotorola);
    EXPECT_EQ(data.Base, 4u);
    EXPECT_EQ(ValueOf(data, "ImageWidth"), "9");
}

TEST(ExifReader, LoopingChainEndsAndFarOffsetsAreNotMasked)
{
    TiffBlock t(false);
    t.Directory({{256, 3, 1, 1}}, 8); // points back at itself
    EXPECT_EQ(ReadExifData(t.Get()).Entries.size(), 1u);

    // A second directory past 64 KB.
    TiffBlock far(false);
    far.Directory({{256, 3, 1, 1}}, 0x10010);
    far.Data(Bytes(0x10010 - far.Size(), 0));
    far.Directory({{257, 3, 1, 2}});
    const TExifData data = ReadExifData(far.Get());
    ASSERT_EQ(data.Entries.size(), 2u);
    EXPECT_EQ(data.Entries[1].Name, "ImageLength");
}

TEST(ExifReader, TruncatedAndLyingDataListWhatCanBeRead)
{
    TiffBlock t(false);
    t.Directory({{271, 2, 30, 5000}, {282, 5, 1, 0xFFFFFFF0u}, {256, 3, 1, 4}, {257, 3, 1, 5}});
    Bytes cut = t.Get();
    cut.resize(cut.size() - 4 - 12 + 5); // the last entry is cut short
    const TExifData data = ReadExifData(cut);
    ASSERT_EQ(data.Entries.size(), 3u);
    EXPECT_EQ(data.Entries[0].Value, "") << "text past the end reads nothing";
    EXPECT_EQ(data.Entries[1].Value, "");
    EXPECT_EQ(data.Entries[2].Value, "4");

    TiffBlock huge(false);
    huge.Word(0xFFFF); // claims 65535 entries that are not there
    EXPECT_TRUE(ReadExifData(huge.Get()).Entries.empty());
}

// A 66 KB camera file made one value of 214,153 characters, and an 850 KB
// TIFF of 65,535 rows sharing one block about 60 MB of text.
TEST(ExifReader, ValuesAndRowsAreCutAtTheReader)
{
    const std::string cut = [] {
        std::string ones;
        for (std::size_t i = 0; i < kExifMaxValueChars / 2; ++i)
            ones += "1,";
        return ones + "\u2026";
    }();
    TiffBlock one(false);
    const std::uint32_t block = 8 + 2 + 2 * 12 + 4;
    one.Directory({{37500, 7, 0xFFFF, block}, {37377, 11, 0xFFFF, block}});
    one.Data(Bytes(0xFFFF * 4, 1));
    const TExifData single = ReadExifData(one.Get());
    ASSERT_EQ(single.Entries.size(), 2u);
    EXPECT_EQ(single.Entries[0].Value, cut);
    EXPECT_EQ(ExifCutValue(single.Entries[1].Value), single.Entries[1].Value);
    EXPECT_TRUE(single.Entries[1].Value.ends_with("\u2026"));

    TiffBlock t(false);
    const std::vector<std::array<std::uint32_t, 4>> rows(0xFFFF, {37500, 7, 0xFFFF, 8 + 2 + 0xFFFF * 12 + 4});
    t.Directory(rows);
    t.Data(Bytes(0xFFFF, 1));
    const TExifData data = ReadExifData(t.Get());
    ASSERT_EQ(data.Entries.size(), kExifMaxRows);
    EXPECT_EQ(data.Entries.back().Value, cut) << "every row reads its own value";

    EXPECT_EQ(ExifCutValue("short"), "short");
    EXPECT_EQ(ExifCutValue(std::string(kExifMaxValueChars, 'a')), std::string(kExifMaxValueChars, 'a'));
    // Characters, not bytes, are counted, and none is split.
    const std::string emoji = "\xF0\x9F\x98\x80";
    std::string wide;
    for (std::size_t i = 0; i <= kExifMaxValueChars; ++i)
        wide += emoji;
    EXPECT_EQ(ExifCutValue(wide), wide.substr(0, kExifMaxValueChars * emoji.size()) + "\u2026");
}

TEST(ExifReader, FilesAndMissingFiles)
{
    TiffBlock t(false);
    t.Directory({{305, 2, 4, 0x00434241}});
    const std::string path = testing::TempDir() + "exif_reader_test.tif";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(t.Get().data()), static_cast<std::streamsize>(t.Size()));
    }
    const TExifData data = ReadExifFile(path);
    EXPECT_EQ(ValueOf(data, "Software"), "ABC");
    EXPECT_FALSE(ExifDateTime(data).has_value());
    EXPECT_TRUE(ReadExifFile(path + ".missing").Entries.empty());
    std::remove(path.c_str());
}

} // namespace
} // namespace lumeno
