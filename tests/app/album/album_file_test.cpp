#include "app/album/album_file.h"

#include "support/fifo_guard.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lumeno {
namespace {

TAlbumFileSettings ExampleSettings()
{
    TAlbumFileSettings s;
    s.Rows = 2;
    s.Cols = 3;
    s.Border = 100;
    s.CaptionChoice = acFilename;
    return s;
}

std::string Header(const TAlbumFileSettings& s = ExampleSettings(), const std::string& version = "7.80")
{
    return EncodeAlbumSettings(s) + version + std::string(1000 - version.size(), ' ');
}

TEST(AlbumFile, SettingsLineIsByteExact)
{
    const std::string expected = "  2  3100"
                                 "01" +
                                 std::string(35, ' ') + "Arial" + " 8" + std::string(11, ' ') + "0" + "00";
    EXPECT_EQ(EncodeAlbumSettings(ExampleSettings()), expected);
    EXPECT_EQ(expected.size(), 67u);

    TAlbumFileSettings s = ExampleSettings();
    s.Rows = 6;
    s.Border = 500;
    s.FontColor = clRed;
    s.Bold = true;
    const std::string line = EncodeAlbumSettings(s);
    EXPECT_EQ(line.substr(0, 3), "  6");
    EXPECT_EQ(line.substr(6, 3), "500");
    EXPECT_EQ(line.substr(53, 12), std::string(9, ' ') + "255");
    EXPECT_EQ(line.substr(65, 2), "10");
}

TEST(AlbumFile, FieldsThatWouldShiftTheLineAreHeldToTheirWidth)
{
    TAlbumFileSettings s = ExampleSettings();
    s.Rows = 10; // only a spin box's limit keeps this from happening
    EXPECT_EQ(EncodeAlbumSettings(s).substr(0, 3), "  6");
    s.FontSize = 72;
    s.FontName = std::string(39, 'a') + "\xC3\xA9" + "tail"; // é straddles byte 40
    const std::string line = EncodeAlbumSettings(s);
    ASSERT_EQ(line.size(), 67u);
    EXPECT_EQ(line.substr(11, 40), " " + std::string(39, 'a'));
    EXPECT_EQ(line.substr(51, 2), "24");
}

TEST(AlbumFile, EntriesCarryRawRotationBytes)
{
    const std::vector<TAlbumEntry> entries = {{"/p/a.jpg", "Beach", 1}, {"/p/b.png", "", 0}};
    const std::string bytes = EncodeAlbumFile(entries, ExampleSettings());
    ASSERT_EQ(bytes.substr(0, 1067), Header());
    EXPECT_EQ(bytes.substr(1067),
              std::string("\x01/p/a.jpg\tBeach\r\n", 17) + std::string("\0/p/b.png\t\r\n", 12));

    const TAlbumFile back = DecodeAlbumFile(bytes);
    EXPECT_EQ(back.Entries, entries);
    EXPECT_EQ(back.Settings, ExampleSettings());
    EXPECT_FALSE(back.CutShort);
}

TEST(AlbumFile, CaptionsLoseLineBreaksAndPathsWithThemAreRefused)
{
    const std::string bytes = EncodeAlbumFile({{"/a.jpg", "two\tpart\r\nline", 0}}, ExampleSettings());
    EXPECT_EQ(DecodeAlbumFile(bytes).Entries.at(0).Caption, "two part  line");
    EXPECT_FALSE(StorablePath("/x\n.jpg"));
    EXPECT_THROW(EncodeAlbumFile({{"/x\t.jpg", "", 0}}, ExampleSettings()), EAlbumFile);
}

TEST(AlbumFile, OldFilesHaveNoRotationBytes)
{
    const std::string bytes = Header(ExampleSettings(), "") + "C:\\a.jpg\tOld\r\nC:\\b.bmp\t\r\n";
    const TAlbumFile album = DecodeAlbumFile(bytes);
    ASSERT_EQ(album.Entries.size(), 2u);
    EXPECT_EQ(album.Entries[0], (TAlbumEntry{"C:\\a.jpg", "Old", 0}));
    EXPECT_EQ(album.Entries[1], (TAlbumEntry{"C:\\b.bmp", "", 0}));
}

TEST(AlbumFile, EightBitTextReadsAsLatin1)
{
    const std::string bytes = Header() + std::string("\0/f\xE9te.jpg\tF\xEAte\r\n", 16) +
                              std::string("\0/caf\xC3\xA9.jpg\t\r\n", 14);
    const TAlbumFile album = DecodeAlbumFile(bytes);
    EXPECT_EQ(album.Entries.at(0).Path, "/f\xC3\xA9te.jpg");
    EXPECT_EQ(album.Entries.at(0).Caption, "F\xC3\xAAte");
    EXPECT_EQ(album.Entries.at(1).Path, "/caf\xC3\xA9.jpg");
}

TEST(AlbumFile, DamagedFilesAreRefusedWithTheirReason)
{
    const auto refuses = [](const std::string& bytes, const std::string& reason) {
        try {
            DecodeAlbumFile(bytes);
            ADD_FAILURE() << "accepted: " << reason;
        } catch (const EAlbumFile& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    };
    std::string h = Header();
    refuses(h.substr(0, 1066), "too short");
    refuses(Header(ExampleSettings(), "8.00"), "newer version (8.00)");
    refuses("  7" + h.substr(3), "row count is outside 1..6");
    refuses(h.substr(0, 3) + "  0" + h.substr(6), "column count is outside");
    refuses(h.substr(0, 6) + "  9" + h.substr(9), "border is outside");
    refuses(h.substr(0, 10) + "7" + h.substr(11), "caption choice is outside");
    refuses(h.substr(0, 51) + " x" + h.substr(53), "font size is not a number");
    refuses(h.substr(0, 53) + "      12red " + h.substr(65), "font colour is not a number");
    refuses(h + std::string("\0/a.jpg\t\r\n", 10) + "\x04/b.jpg\t\r\n", "rotation 4");
}

TEST(AlbumFile, FileCutInsideItsLastEntryKeepsTheCompleteOnes)
{
    const std::string bytes = Header() + std::string("\0/a.jpg\tA\r\n\x02/b.jpg\tB\r\n\x01/c.j", 28);
    const TAlbumFile album = DecodeAlbumFile(bytes);
    EXPECT_TRUE(album.CutShort);
    ASSERT_EQ(album.Entries.size(), 2u);
    EXPECT_EQ(album.Entries[1], (TAlbumEntry{"/b.jpg", "B", 2}));
    EXPECT_TRUE(DecodeAlbumFile(Header() + std::string("\0/a.jpg\tno end", 14)).CutShort);
}

TEST(AlbumFile, LineEndsOfLfAloneAndLinesWithoutTabs)
{
    const TAlbumFile lf = DecodeAlbumFile(Header() + std::string("\0/a.jpg\tA\n\x01/b.jpg\t\r\n", 20));
    EXPECT_FALSE(lf.CutShort);
    EXPECT_EQ(lf.Entries, (std::vector<TAlbumEntry>{{"/a.jpg", "A", 0}, {"/b.jpg", "", 1}}));

    // The line without a TAB is left out rather than merged with the next.
    const TAlbumFile damaged =
        DecodeAlbumFile(Header() + std::string("\0/a.jpg\r\n\x02/b.jpg\tB\r\n\0/c.jpg\n", 28));
    EXPECT_EQ(damaged.Damaged, 2);
    EXPECT_EQ(damaged.Entries, (std::vector<TAlbumEntry>{{"/b.jpg", "B", 2}}));
    EXPECT_NO_THROW(EncodeAlbumFile(damaged.Entries, damaged.Settings)) << "what opens can be saved";
}

TEST(AlbumFile, BigFilesAreRefusedAndOnlyAfterTheirHeadIsChecked)
{
    test::TempDir dir;
    const auto refusal = [](const std::string& name) {
        try {
            ReadAlbumFileFrom(name);
        } catch (const EAlbumFile& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const std::string big = dir.File("big.alb");
    test::WriteFileBytes(big, {});
    std::filesystem::resize_file(big, AlbumMaxFileSize + 1);
    EXPECT_NE(refusal(big).find("row count is not a number"), std::string::npos) << refusal(big);

    const std::string head = Header() + std::string("\0/a.jpg\tA\r\n", 11);
    test::WriteFileBytes(big, std::vector<unsigned char>(head.begin(), head.end()));
    std::filesystem::resize_file(big, AlbumMaxFileSize + 1);
    EXPECT_NE(refusal(big).find("larger than 16 MB"), std::string::npos) << refusal(big);
    std::filesystem::resize_file(big, head.size());
    EXPECT_EQ(ReadAlbumFileFrom(big).Entries.size(), 1u);

    test::FifoGuard pipe(dir.File("pipe.alb"));
    EXPECT_NE(refusal(pipe.Path()).find("Cannot read the album"), std::string::npos);
    EXPECT_FALSE(pipe.Released()) << "open() waited for a writer";
}

TEST(AlbumFile, FilesAreWrittenWholeAndReadBack)
{
    test::TempDir dir;
    const std::string name = dir.File("holiday.alb");
    const std::vector<TAlbumEntry> entries = {{"/p/a.jpg", "x", 3}};
    WriteAlbumFileTo(name, entries, ExampleSettings());
    std::ifstream in(name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, EncodeAlbumFile(entries, ExampleSettings()));
    EXPECT_EQ(ReadAlbumFileFrom(name).Entries, entries);
    try {
        ReadAlbumFileFrom(dir.File("none.alb"));
        ADD_FAILURE();
    } catch (const EAlbumFile& e) {
        EXPECT_NE(std::string(e.what()).find("none.alb"), std::string::npos);
    }
}

} // namespace
} // namespace lumeno
