#include "app/thumbs/exif_form.h"
#include "app/thumbs/exif_reader.h"
#include "app/thumbs/file_prop_form.h"
#include "app/thumbs/file_properties.h"
#include "app/thumbs/glimpset_form.h"
#include "controls/shell/format_date_time.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/asking_window.h"
#include "screenshot.h"
#include "support/fifo_guard.h"
#include "support/test_env.h"
#include "thumb_files.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>

namespace lumeno {
namespace {

class PropertyWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }
    test::TempDir dir;
};

TEST_F(PropertyWindows, PropertiesOfAPictureAnUnknownFileAndAVanishedOne)
{
    const std::string picture = dir.File("pic.bmp");
    test::WriteSolidImage(picture, 200, 100, 0x808080);
    const TFileProperties props = ReadFileProperties(picture);
    EXPECT_TRUE(props.InfoRead);
    EXPECT_TRUE(props.Preview);
    EXPECT_EQ(props.Width, "200");
    EXPECT_EQ(props.Height, "100");
    EXPECT_EQ(props.BitsPerPixel, "24");
    EXPECT_EQ(props.FileSize, std::to_string(std::filesystem::file_size(picture) / 1024 + 1) + "K");
    const QDateTime modified = QFileInfo(QString::fromStdString(picture)).lastModified();
    EXPECT_EQ(props.Date, FormatDateTime("ddddd", modified) + FormatDateTime(" h:mm AM/PM", modified));

    const std::string unknown = dir.File("notes.xyz");
    test::WriteFileBytes(unknown, std::vector<unsigned char>(3000, 'x'));
    const TFileProperties none = ReadFileProperties(unknown);
    EXPECT_FALSE(none.InfoRead);
    EXPECT_FALSE(none.Preview);
    EXPECT_EQ(none.FileSize, "3K");
    EXPECT_EQ(none.Type, "");
    EXPECT_EQ(none.Width, "0");
    EXPECT_EQ(none.GraphicCount, "0");

    const TFileProperties gone = ReadFileProperties(dir.File("gone.bmp"));
    EXPECT_FALSE(gone.Exists);
    EXPECT_EQ(gone.Date, "");
    EXPECT_EQ(gone.FileSize, "");
}

TEST_F(PropertyWindows, LargeFilesGetNoPreview)
{
    const std::string big = dir.File("big.bmp");
    test::WriteSolidImage(big, 1600, 1500, 0x404040); // 7.2 MB
    ASSERT_GE(std::filesystem::file_size(big), 7000000u);
    const TFileProperties props = ReadFileProperties(big);
    EXPECT_TRUE(props.InfoRead);
    EXPECT_FALSE(props.Preview);
}

TEST_F(PropertyWindows, GradientRunsFromDarkRedToBlack)
{
    TPixelGraphic image;
    PaintPropertiesGradient(image, 280, 3);
    EXPECT_EQ(image.GetPixelColor(0, 0), 140u);
    EXPECT_EQ(image.GetPixelColor(140, 2), 70u);
    EXPECT_EQ(image.GetPixelColor(279, 1), 1u); // 140 - 140 * 279 div 280
    EXPECT_EQ(image.GetPixelColor(1, 1), 140u);
}

TEST_F(PropertyWindows, PropertiesWindowFillsItsLabels)
{
    const std::string picture = dir.File("photo.jpg");
    test::WriteGradientImage(picture, 320, 240);
    TfrmFileProp form;
    form.FileName = picture;
    form.show();
    EXPECT_EQ(form.Label17->text().toStdString(), picture);
    EXPECT_EQ(form.Label5->text(), "320");
    EXPECT_EQ(form.Label6->text(), "240");
    EXPECT_FALSE(form.PGImage2->isHidden());
    EXPECT_FALSE(form.PGImage2->GetEmpty());
    QTest::qWait(20);
    test::SaveScreenshot(&form, "image_properties");

    form.hide();
    form.FileName = dir.File("gone.jpg");
    form.show();
    EXPECT_EQ(form.Label5->text(), "0");
    EXPECT_EQ(form.Label1->text(), "");
    EXPECT_TRUE(form.PGImage2->isHidden());
}

// The properties window is shared by the converter, the file mover, the album
// and the main window: it opens over the one that asks and leaves it on close.
TEST_F(PropertyWindows, ImagePropertiesOpenOverTheWindowThatAsks)
{
    const std::string picture = dir.File("photo.jpg");
    test::WriteGradientImage(picture, 32, 24);
    QWidget asker;
    asker.show();
    {
        const TAskingWindow asking(&asker);
        ShowImageProperties(picture);
    }
    ASSERT_NE(frmFileProp(), nullptr);
    EXPECT_TRUE(frmFileProp()->isVisible());
    EXPECT_EQ(frmFileProp()->parentWidget(), &asker);
    EXPECT_TRUE(frmFileProp()->isWindow());
    EXPECT_EQ(frmFileProp()->windowModality(), Qt::WindowModal);
    frmFileProp()->reject();
    EXPECT_EQ(frmFileProp()->parentWidget(), nullptr);
}

TEST_F(PropertyWindows, ASixteenBitTiffIsDescribedThoughNotPreviewed)
{
    if (!test::HaveTool("convert-im6.q16"))
        GTEST_SKIP() << "ImageMagick is not installed";
    const std::string deep = dir.File("deep.tif");
    ASSERT_EQ(test::Run("convert-im6.q16 -size 30x20 gradient:red-blue -depth 16 " + deep), 0);
    TfrmFileProp form;
    form.FileName = deep;
    form.show();
    EXPECT_EQ(form.Label2->text(), "Tagged Image File Format");
    EXPECT_EQ(form.Label5->text(), "30");
    EXPECT_EQ(form.Label6->text(), "20");
    EXPECT_EQ(form.Label8->text(), "48");
    EXPECT_TRUE(form.PGImage2->isHidden());
}

TEST(GlimpsetSize, PictureOrViewButNeverPastTheScreen)
{
    const QSize screen(1024, 768);
    EXPECT_EQ(GlimpsetClientSize({200, 100}, kGlimpsetViewSize, screen), QSize(204, 104));
    EXPECT_EQ(GlimpsetClientSize({2000, 3000}, kGlimpsetViewSize, screen), QSize(644, 484));
    EXPECT_EQ(GlimpsetClientSize({1022, 700}, kGlimpsetViewSize, screen), QSize(1024, 704));
    EXPECT_EQ(GlimpsetClientSize({2000, 3000}, {1200, 900}, screen), screen);
}

TEST_F(PropertyWindows, FullImageWindowShowsTheFileAndFreesItself)
{
    const std::string picture = dir.File("view.png");
    test::WriteGradientImage(picture, 200, 100);
    QPointer<TfrmGlimpset> window = ShowGlimpset(picture, nullptr, false);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "view.png");
    EXPECT_EQ(window->size(), QSize(204, 104));
    QTest::qWait(20);
    test::SaveScreenshot(window, "full_image");
    window->close();
    QTest::qWait(20);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(ShowGlimpset(dir.File("missing.png"), nullptr, false), nullptr);
}

TEST_F(PropertyWindows, ExifWindowListsTagsAndFallsBackToTheFileTime)
{
    // "II*", one directory: Make "Nikon", DateTime.
    std::vector<unsigned char> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    const auto entry = [&](int tag, int type, int count, int value) {
        for (int v : {tag & 0xFF, tag >> 8, type, 0, count, 0, 0, 0, value & 0xFF, value >> 8, 0, 0})
            tiff.push_back(static_cast<unsigned char>(v));
    };
    entry(271, 2, 6, 38);
    entry(306, 2, 20, 44);
    for (int v : {0, 0, 0, 0})
        tiff.push_back(static_cast<unsigned char>(v));
    for (char c : std::string("Nikon\0", 6) + std::string("2001:02:03 04:05:06\0", 20))
        tiff.push_back(static_cast<unsigned char>(c));
    const std::string path = dir.File("camera.tif");
    test::WriteFileBytes(path, tiff);

    TfrmEXIF form;
    EXPECT_EQ(form.size(), QSize(339, 600));
    form.ShowExifData(path);
    ASSERT_EQ(form.LV1->topLevelItemCount(), 2);
    EXPECT_EQ(form.LV1->topLevelItem(0)->text(0), "Make");
    EXPECT_EQ(form.LV1->topLevelItem(0)->text(1), "Nikon");
    EXPECT_EQ(TfrmEXIF::GetExifDateTime(path), "2001:02:03 04:05:06");
    form.show();
    QTest::qWait(20);
    test::SaveScreenshot(&form, "exif");

    const std::string plain = dir.File("plain.bmp");
    test::WriteSolidImage(plain, 4, 4, 0);
    EXPECT_EQ(TfrmEXIF::GetExifDateTime(plain),
              FormatDateTime("c", QFileInfo(QString::fromStdString(plain)).lastModified()));
    form.ShowExifData(plain);
    EXPECT_EQ(form.LV1->topLevelItemCount(), 0);
}

// "II*", one directory of Rows entries, each an Undefined value of Count
// bytes at the same block: a small file with very long value texts.
std::vector<unsigned char> LongValueTiff(int Rows, int Count)
{
    std::vector<unsigned char> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0};
    const auto put = [&](std::initializer_list<int> bytes) {
        for (int b : bytes)
            tiff.push_back(static_cast<unsigned char>(b));
    };
    put({Rows & 0xFF, Rows >> 8});
    const int block = 8 + 2 + 12 * Rows + 4;
    for (int i = 0; i < Rows; ++i)
        put({0x7C, 0x92, 7, 0, Count & 0xFF, (Count >> 8) & 0xFF, 0, 0, block & 0xFF, (block >> 8) & 0xFF,
             (block >> 16) & 0xFF, 0});
    put({0, 0, 0, 0});
    tiff.resize(tiff.size() + std::size_t(Count), 7);
    return tiff;
}

TEST_F(PropertyWindows, ExifValuesAreShownCutAndBrowsingRefreshesOnceWhenVisible)
{
    const std::string huge = dir.File("huge.tif");
    test::WriteFileBytes(huge, LongValueTiff(3, 65535));
    const std::string camera = dir.File("camera.tif");
    test::WriteFileBytes(camera, LongValueTiff(1, 5));

    TfrmEXIF form;
    form.ShowExifData(huge);
    ASSERT_EQ(form.LV1->topLevelItemCount(), 3);
    const QString shown = form.LV1->topLevelItem(0)->text(1);
    EXPECT_EQ(shown.size(), qsizetype(kExifMaxValueChars + 1));
    EXPECT_TRUE(shown.startsWith("7,7,7,"));
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));

    {
        test::FifoGuard pipe(dir.File("pipe.jpg"));
        form.ShowExifData(pipe.Path());
        EXPECT_EQ(form.LV1->topLevelItemCount(), 0);
        EXPECT_FALSE(pipe.Released()) << "open() waited for a writer";
        form.ShowExifData(huge);
    }

    form.RefreshExifData(camera); // hidden: nothing is read
    QTest::qWait(250);
    EXPECT_EQ(form.LV1->topLevelItemCount(), 3);

    form.show();
    form.RefreshExifData(huge);
    form.RefreshExifData(camera);
    EXPECT_EQ(form.LV1->topLevelItemCount(), 3) << "browsing waits for the selection to rest";
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.LV1->topLevelItemCount() == 1; }, 2000));
    ASSERT_EQ(form.LV1->topLevelItemCount(), 1);
    EXPECT_EQ(form.LV1->topLevelItem(0)->text(1), "7,7,7,7,7");
}

} // namespace
} // namespace lumeno
