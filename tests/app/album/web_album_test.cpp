#include "app/album/web_album.h"

#include "album_fixture.h"
#include "imagelib/pg_globals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumeno {
namespace {

std::vector<TAlbumEntry> Entries(int n)
{
    std::vector<TAlbumEntry> entries;
    for (int i = 0; i < n; ++i)
        entries.push_back({"/src/p" + std::to_string(i) + ".jpg", "", 0});
    return entries;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(WebAlbum, NamesAndCounts)
{
    EXPECT_EQ(PageCountText(6, 3, 2), "1 page");
    EXPECT_EQ(PageCountText(13, 3, 2), "3 pages");
    EXPECT_EQ(PageCountText(0, 3, 2), "0 pages");
    EXPECT_EQ(ColorHex(0x00FF8000), "0080FF");
    EXPECT_EQ(ColorHex(clRed), "FF0000");
    EXPECT_EQ(PageBaseName("myphotos.html"), "myphotos");
    EXPECT_EQ(PageBaseName("album"), "album");
    EXPECT_EQ(PageBaseName(".html"), "");
    EXPECT_EQ(PageBaseName("a/b.html"), "");
    EXPECT_EQ(WebPageFileName("album", 1, 1), "album.html");
    EXPECT_EQ(WebPageFileName("album", 1, 2), "album_1.html");
    EXPECT_EQ(WebCaptionText("C:\\trips\\Rome: Forum"), " Forum");
    EXPECT_EQ(HtmlEscaped("a & <b> \"c\""), "a &amp; &lt;b&gt; &quot;c&quot;");
    EXPECT_EQ(UrlEncoded("my photo#1&é.jpg"), "my%20photo%231%26%C3%A9.jpg");
}

// 10,000 names once made a question of 280,027 characters.
TEST(WebAlbum, TheReplaceQuestionNamesTheFirstTwentyAndCountsTheRest)
{
    EXPECT_EQ(WebReplaceQuestion({"a.jpg"}), "a.jpg already exists. Replace it?");
    std::vector<std::string> names;
    for (int i = 0; i < 10000; ++i)
        names.push_back("photo_" + std::to_string(i) + ".jpg");
    const std::string question = WebReplaceQuestion(names);
    EXPECT_TRUE(question.starts_with("photo_0.jpg, photo_1.jpg, ")) << question;
    EXPECT_TRUE(question.ends_with(", photo_19.jpg, and 9980 more already exist. Replace them?")) << question;
    EXPECT_LT(question.size(), 400u);
    names.resize(20);
    EXPECT_TRUE(WebReplaceQuestion(names).ends_with(", photo_19.jpg already exist. Replace them?"));
}

TEST(WebAlbum, OutputNamesNeverMeetASourceOrEachOther)
{
    const std::vector<TAlbumEntry> entries = {{"/a/holiday.photo.png", "", 0},
                                              {"/b/holiday.jpg", "", 0},
                                              {"/out/beach.jpg", "", 0},
                                              {"/out/sea.jpg", "", 1},
                                              {"/out/tm_x.jpg", "", 0},
                                              {"/c/x.jpg", "", 0},
                                              {"/d/noext", "", 0}};
    const std::vector<TWebOutput> out = PlanWebOutputs(entries, "/out/");
    EXPECT_EQ(out[0].Image, "holiday.jpg");
    EXPECT_EQ(out[0].Thumbnail, "tm_holiday.jpg");
    EXPECT_EQ(out[1].Image, "holiday_2.jpg");
    EXPECT_EQ(out[1].Thumbnail, "tm_holiday_2.jpg");
    EXPECT_EQ(out[2].Image, "beach.jpg");
    EXPECT_TRUE(out[2].KeepSource);
    EXPECT_EQ(out[3].Image, "sea_2.jpg");
    EXPECT_FALSE(out[3].KeepSource);
    EXPECT_EQ(out[4].Image, "tm_x.jpg");
    EXPECT_TRUE(out[4].KeepSource);
    EXPECT_EQ(out[5].Image, "x_2.jpg"); // tm_x.jpg is a source
    EXPECT_EQ(out[6].Image, "noext.jpg");
}

TEST(WebAlbum, NamesDifferingOnlyInCaseAreKeptApart)
{
    const std::vector<TAlbumEntry> entries = {{"/a/Photo.png", "", 0},
                                              {"/b/photo.png", "", 0},
                                              {"/out/IMG.JPG", "", 0},
                                              {"/c/img.png", "", 0},
                                              {"/d/TM_sun.png", "", 0},
                                              {"/e/sun.png", "", 0}};
    const std::vector<TWebOutput> out = PlanWebOutputs(entries, "/out/");
    EXPECT_EQ(out[0].Image, "Photo.jpg");
    EXPECT_EQ(out[1].Image, "photo_2.jpg");
    EXPECT_EQ(out[1].Thumbnail, "tm_photo_2.jpg");
    EXPECT_EQ(out[2].Image, "IMG_2.jpg"); // "IMG.jpg" is the source on a case-blind disk
    EXPECT_FALSE(out[2].KeepSource);
    EXPECT_EQ(out[3].Image, "img_3.jpg");
    EXPECT_EQ(out[4].Image, "TM_sun.jpg");
    EXPECT_EQ(out[5].Image, "sun_2.jpg"); // tm_sun.jpg was given to the entry before
}

TEST(WebAlbum, ScaledSizes)
{
    EXPECT_EQ(WebScaledSize(500, 500, 96), (TPoint{96, 96}));
    EXPECT_EQ(WebScaledSize(400, 300, 96), (TPoint{96, 72}));
    EXPECT_EQ(WebScaledSize(300, 400, 96), (TPoint{72, 96}));
    EXPECT_EQ(WebScaledSize(10000, 10, 96), (TPoint{96, 1}));
}

TEST(WebAlbum, PageLinesFollowTheLayout)
{
    TWebAlbumOptions o;
    o.PageName = "b.html";
    o.Title = "Trip";
    o.Header = "<i>Rome</i>";
    o.Footer = "2024";
    o.TextColor = clRed;
    const std::vector<TAlbumEntry> entries = Entries(13);
    const std::vector<TWebOutput> outputs = PlanWebOutputs(entries, "/out/");
    const std::vector<bool> written(13, true);
    const auto page2 = WebAlbumPageLines(2, entries, outputs, written, o);
    EXPECT_EQ(page2[11], "<p>Page <a href=\"b_1.html\">1</a> 2 <a href=\"b_3.html\">3</a></p>");
    EXPECT_EQ(page2[10], "<font color=\"#FF0000\">");
    EXPECT_EQ(page2[12], "<h1><i>Rome</i></h1>");
    const auto page3 = WebAlbumPageLines(3, entries, outputs, written, o);
    const std::vector<std::string> tail(page3.begin() + 13, page3.end());
    EXPECT_EQ(
        tail,
        (std::vector<std::string>{
            "<table border=\"0\" width=\"1\" height = \"1\" cellspacing=\"0\" cellpadding=\"12\">", "<tr>",
            "<td align=\"center\"><a href=\"p12.jpg\"><img border=\"1\" src=\"tm_p12.jpg\"></td>", "</tr>",
            "<tr>", "</tr>", "</table>", "<I>2024</I>", "</font>", "</center>", "</div>", "</body>",
            "</html>"}));
}

TEST(WebAlbum, TwoEntryPageLineByLine)
{
    TWebAlbumOptions o;
    o.Title = "T";
    o.Header = "H";
    o.Footer = "F";
    o.ShowFrames = true;
    o.Caption = wcCaption;
    o.BackgroundImage = "back ground.jpg";
    o.UseBackgroundImage = true;
    const std::vector<TAlbumEntry> entries = {{"/s/one.jpg", "C:\\x\\First <1>", 0}, {"/s/two.jpg", "", 0}};
    const auto lines = WebAlbumPageLines(1, entries, PlanWebOutputs(entries, "/o/"), {true, false}, o);
    const std::vector<std::string> expected = {
        "<html>",
        "<head>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">",
        "<meta name=\"GENERATOR\" content=\"Lumeno Internet Glimpset\">",
        "<meta name=\"ProgId\" content=\"Lumeno Document\">",
        "<title>T</title>",
        "</head>",
        "<body background=\"back%20ground.jpg\">",
        "<div align=\"center\">",
        "<center>",
        "<font color=\"#000000\">",
        "<h1>H</h1>",
        "<table border=\"3\" width=\"1\" height = \"1\" cellspacing=\"0\" cellpadding=\"12\">",
        "<tr>",
        "<td align=\"center\"><a href=\"one.jpg\"><img border=\"1\" src=\"tm_one.jpg\"><BR>First "
        "&lt;1&gt;</td>",
        "<td align=\"center\"></td>",
        "</tr>",
        "<tr>",
        "</tr>",
        "</table>",
        "<I>F</I>",
        "</font>",
        "</center>",
        "</div>",
        "</body>",
        "</html>"};
    EXPECT_EQ(lines, expected);
}

TEST(WebAlbum, PagesAreWrittenUnderTheirNames)
{
    test::TempDir dir;
    TWebAlbumOptions o;
    o.Folder = dir.File("");
    o.PageName = "album";
    auto entries = Entries(6);
    EXPECT_EQ(WriteWebAlbumPages(entries, PlanWebOutputs(entries, o.Folder), std::vector<bool>(6, true), o),
              "album.html");
    EXPECT_EQ(ReadLines(dir.File("album.html")).size(), 30u);
    entries = Entries(13);
    o.PageName = "base.htm";
    EXPECT_EQ(WriteWebAlbumPages(entries, PlanWebOutputs(entries, o.Folder), std::vector<bool>(13, true), o),
              "base_1.html");
    for (const char* name : {"base_1.html", "base_2.html", "base_3.html"})
        EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
}

class WebImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::StartImageLibraryOnce();
        std::filesystem::create_directory(dir.File("out"));
        options.Folder = dir.File("out") + "/";
        options.ThumbnailSize = 96;
        JPEGQuality = 75;
        JPEGProgressive = false;
    }
    // The picture's size.
    TPoint Load(const std::string& path)
    {
        TPixelGraphic g;
        g.LoadFromFile(path);
        return {g.GetWidth(), g.GetHeight()};
    }
    std::string Publish(const TAlbumEntry& entry)
    {
        const TWebOutput out = PlanWebOutputs({entry}, options.Folder).front();
        return WriteWebAlbumImages(entry, out, options);
    }
    test::TempDir dir;
    TWebAlbumOptions options;
};

TEST_F(WebImages, SmallJpegIsCopiedAndReencodedWhenTurned)
{
    const std::string src = test::WritePicture(dir, "photo.jpg", 800, 600, clGreen);
    std::filesystem::permissions(src, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    ASSERT_EQ(Publish({src, "", 0}), "");
    EXPECT_EQ(test::ReadFileBytes(options.Folder + "photo.jpg"), test::ReadFileBytes(src));
    EXPECT_TRUE((std::filesystem::status(options.Folder + "photo.jpg").permissions() &
                 std::filesystem::perms::owner_write) != std::filesystem::perms::none);
    EXPECT_EQ(Load(options.Folder + "tm_photo.jpg"), (TPoint{96, 72}));

    ASSERT_EQ(Publish({src, "", 1}), "");
    EXPECT_NE(test::ReadFileBytes(options.Folder + "photo.jpg"), test::ReadFileBytes(src));
    EXPECT_EQ(Load(options.Folder + "photo.jpg"), (TPoint{600, 800}));
    EXPECT_EQ(Load(options.Folder + "tm_photo.jpg"), (TPoint{72, 96}));
}

TEST_F(WebImages, LargeAndOtherPicturesAreScaledIntoJpegs)
{
    options.MaxSize = 200;
    const std::string png = test::WritePicture(dir, "holiday.photo.png", 300, 400, clBlue);
    ASSERT_EQ(Publish({png, "", 0}), "");
    EXPECT_EQ(Load(options.Folder + "holiday.jpg"), (TPoint{150, 200}));
    EXPECT_EQ(Load(options.Folder + "tm_holiday.jpg"), (TPoint{72, 96}));
    const std::string square = test::WritePicture(dir, "sq.bmp", 50, 50, clBlue);
    ASSERT_EQ(Publish({square, "", 0}), "");
    EXPECT_EQ(Load(options.Folder + "sq.jpg"), (TPoint{50, 50}));
    EXPECT_EQ(Load(options.Folder + "tm_sq.jpg"), (TPoint{96, 96}));
}

// The first value of the file's first quantisation table.
int FirstQuantiser(const std::vector<unsigned char>& jpeg)
{
    for (std::size_t i = 0; i + 5 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB)
            return jpeg[i + 5];
    return -1;
}

bool Progressive(const std::vector<unsigned char>& jpeg)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC2)
            return true;
    return false;
}

TEST_F(WebImages, QualityAndProgressiveReachTheFile)
{
    const std::string png = test::WritePicture(dir, "q.png", 120, 90, clRed);
    JPEGQuality = 95;
    JPEGProgressive = true;
    ASSERT_EQ(Publish({png, "", 0}), "");
    const auto fine = test::ReadFileBytes(options.Folder + "q.jpg");
    EXPECT_TRUE(Progressive(fine));
    JPEGQuality = 10;
    JPEGProgressive = false;
    ASSERT_EQ(Publish({png, "", 0}), "");
    const auto coarse = test::ReadFileBytes(options.Folder + "q.jpg");
    EXPECT_FALSE(Progressive(coarse));
    EXPECT_GT(FirstQuantiser(coarse), FirstQuantiser(fine));
}

TEST_F(WebImages, PublishingIntoTheSourceFolderKeepsEverySource)
{
    options.Folder = dir.File("");
    options.MaxSize = 100;
    const std::string a = test::WritePicture(dir, "a.jpg", 300, 200, clRed);
    const std::string b = test::WritePicture(dir, "a.png", 300, 200, clBlue);
    const auto before = std::make_pair(test::ReadFileBytes(a), test::ReadFileBytes(b));
    const std::vector<TAlbumEntry> entries = {{a, "", 0}, {b, "", 0}, {a, "", 1}};
    const auto outputs = PlanWebOutputs(entries, options.Folder);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(WriteWebAlbumImages(entries[i], outputs[i], options), "");
    EXPECT_EQ(std::make_pair(test::ReadFileBytes(a), test::ReadFileBytes(b)), before);
    EXPECT_EQ(outputs[1].Image, "a_2.jpg");
    EXPECT_EQ(outputs[2].Image, "a_3.jpg");
    EXPECT_EQ(Load(dir.File("a_3.jpg")), (TPoint{66, 100}));
}

TEST_F(WebImages, NoOutputReachesASourceThroughALink)
{
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("src"));
    const std::string photo = test::WritePicture(dir, "src/photo.jpg", 300, 200, clRed);
    const std::string shot = test::WritePicture(dir, "src/shot.png", 300, 200, clBlue);
    fs::create_directory_symlink(dir.File("src"), dir.File("link"));
    fs::create_symlink(photo, dir.File("out/shot.jpg"));
    const auto before = std::make_pair(test::ReadFileBytes(photo), test::ReadFileBytes(shot));
    const std::vector<TAlbumEntry> entries = {{photo, "", 0}, {photo, "", 1}, {shot, "", 0}};

    options.Folder = dir.File("link") + "/";
    const auto linked = PlanWebOutputs(entries, options.Folder);
    EXPECT_EQ(linked[0].Image, "photo.jpg");
    EXPECT_TRUE(linked[0].KeepSource);
    EXPECT_EQ(linked[1].Image, "photo_2.jpg");
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(WriteWebAlbumImages(entries[i], linked[i], options), "");

    options.Folder = dir.File("out") + "/";
    const auto outputs = PlanWebOutputs(entries, options.Folder);
    EXPECT_EQ(outputs[2].Image, "shot_2.jpg"); // out/shot.jpg leads to photo.jpg
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(WriteWebAlbumImages(entries[i], outputs[i], options), "");
    EXPECT_EQ(std::make_pair(test::ReadFileBytes(photo), test::ReadFileBytes(shot)), before);
}

TEST_F(WebImages, FailuresNameTheFile)
{
    std::ofstream(dir.File("bad.jpg")) << "junk";
    EXPECT_EQ(Publish({dir.File("bad.jpg"), "", 0}), "Can't load graphic file " + dir.File("bad.jpg"));
    const std::string src = test::WritePicture(dir, "ok.png", 20, 20, clRed);
    options.Folder = dir.File("missing") + "/";
    EXPECT_EQ(Publish({src, "", 0}), "Error writing file: " + options.Folder + "tm_ok.jpg");
}

} // namespace
} // namespace lumeno
