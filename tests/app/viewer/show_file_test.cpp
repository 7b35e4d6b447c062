#include "app/common/list_drag.h"
#include "app/desktop/dde_handler.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/picture_box.h"
#include "controls/media/aled.h"
#include "controls/media/dcavi_play.h"
#include "controls/media/gif_image.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/format_date_time.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "main_window_fixture.h"
#include "support/avi_clip.h"
#include "support/fifo_guard.h"
#include "support/metafile_builder.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QToolButton>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

namespace lumeno::test {
namespace {

class ShowFileTest : public MainWindowTest {
protected:
    std::string Status(int panel) { return Form1()->SB1->Panels()[panel].Text(); }
    void Show(const std::string& name)
    {
        Form1()->ShowFile(pics_.File(name));
        Drain();
    }
    void SetPanel(int w, int h)
    {
        Form1()->RightMain->setFixedSize(w, h);
        Drain();
    }
};

TEST_F(ShowFileTest, AJpegIsShownInTheViewControlWithItsSizes)
{
    Picture("photo.jpg", 640, 480, "JPEG");
    TForm1& form = Open();
    SetPanel(800, 600);
    Show("photo.jpg");
    EXPECT_TRUE(form.PGImage1->isVisible());
    EXPECT_FALSE(form.GIFImage1->isVisible());
    EXPECT_EQ(Status(3), " photo.jpg  (640 x 480)");
    EXPECT_EQ(form.PGImage1->size(), QSize(640, 480));
    EXPECT_FALSE(form.ALed1->Value());
    // Larger than the panel: fitted.
    SetPanel(400, 300);
    Show("photo.jpg");
    EXPECT_EQ(form.PGImage1->size(), QSize(392, 294));
    // A long extension is named by its first three letters.
    std::filesystem::copy_file(pics_.File("photo.jpg"), pics_.File("x.jpeg"));
    Show("x.jpeg");
    EXPECT_EQ(form.CurrentExt(), "JPE");
    EXPECT_TRUE(form.PGImage1->isVisible());
    EXPECT_TRUE(Texts().empty());
}

// A large JPEG shown fitted comes first from a decode at the panel's size;
// the full picture follows from a worker and takes its place, and whatever
// uses the picture itself (a copy to the clipboard) gets the full one.
TEST_F(ShowFileTest, AFittedLargeJpegIsShownFromASmallDecodeUntilTheFullPictureArrives)
{
    // Grain makes the full decode take long enough to be caught before it ends.
    QImage photo(4000, 3200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            row[x] = qRgb((x * 13 + y * 7) & 0xFF, (x * y) & 0xFF, (x ^ y) & 0xFF);
    }
    ASSERT_TRUE(photo.save(QString::fromStdString(pics_.File("big.jpg")), "JPEG"));
    TForm1& form = Open();
    SetPanel(408, 328);
    form.ShowFile(pics_.File("big.jpg"));
    // Only the load: the full picture's arrival must not be handled yet.
    QCoreApplication::sendPostedEvents(&form, QEvent::MetaCall);
    EXPECT_TRUE(form.FullPicturePending());
    EXPECT_LT(form.PGImage1->GetPixelGraphicWidth(), 2000);
    EXPECT_GE(form.PGImage1->GetPixelGraphicWidth(), 400);
    EXPECT_EQ(Status(3), " big.jpg  (4000 x 3200)");
    EXPECT_EQ(form.PGImage1->size(), QSize(400, 320));
    MainCopyToClipboard(form);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(4000, 3200));
    EXPECT_FALSE(form.FullPicturePending());

    Show("big.jpg");
    QElapsedTimer waited;
    waited.start();
    while (form.FullPicturePending() && waited.elapsed() < 20000)
        QCoreApplication::processEvents();
    EXPECT_EQ(form.PGImage1->GetPixelGraphicWidth(), 4000);
    EXPECT_EQ(form.PGImage1->GetPixelGraphicHeight(), 3200);
    EXPECT_EQ(form.PGImage1->size(), QSize(400, 320));
    // Zooming keeps the picture's own proportions.
    SetPanel(208, 328);
    form.FitImageToPanel();
    EXPECT_EQ(form.PGImage1->size(), QSize(200, 160));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ShowFileTest, SizesAreShownInWholeKilobytesPlusOne)
{
    TForm1& form = Open();
    for (auto [bytes, text] : {std::pair<int, const char*>{1, "1K"}, {1024, "2K"}}) {
        std::ofstream(pics_.File("n.dat"), std::ios::binary) << std::string(std::size_t(bytes), 'x');
        Show("n.dat");
        EXPECT_EQ(Status(2), text);
    }
    // Neither is a picture.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Error reading image file", "Error reading image file"}));
    EXPECT_FALSE(form.ALed1->Value());
}

TEST_F(ShowFileTest, ACorruptFileSaysSoAndShowsNothing)
{
    std::ofstream(pics_.File("bad.png"), std::ios::binary) << "\x89PNG\r\n\x1a\n garbage";
    TForm1& form = Open();
    Show("bad.png");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading image file"});
    EXPECT_FALSE(form.PGImage1->isVisible());
    EXPECT_FALSE(form.ALed1->Value());
}

TEST_F(ShowFileTest, PipesAreRefusedByEveryViewerWithoutWaiting)
{
    FifoGuard start(pics_.File("start.jpg"));
    TForm1& form = Open(start.Path());
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error reading image file"});
    EXPECT_FALSE(start.Released());
    for (const char* name : {"p.png", "p.gif", "p.ico", "p.wmf", "p.avi"}) {
        FifoGuard pipe(pics_.File(name));
        Show(name);
        EXPECT_FALSE(pipe.Released()) << name << " waited in open()";
    }
    EXPECT_EQ(Texts().size(), 6u);
    EXPECT_FALSE(form.ALed1->Value());
}

TEST_F(ShowFileTest, QuickRequestsCollapseIntoOneLoadOfTheLast)
{
    Picture("a.png", 10, 10);
    Picture("b.png", 20, 10);
    Picture("c.png", 30, 10);
    TForm1& form = Open();
    const int before = form.Loader().LoadCount();
    form.ShowFile(pics_.File("a.png"));
    form.ShowFile(pics_.File("b.png"));
    form.ShowFile(pics_.File("c.png"));
    Drain();
    EXPECT_EQ(form.Loader().LoadCount(), before + 1);
    EXPECT_EQ(Status(3), " c.png  (30 x 10)");
}

TEST_F(ShowFileTest, CopyingAMetafileOrAnIconTakesThePictureNotTheViewer)
{
    TBytes wmf = PlaceableHeader(0, 0, 1440, 720, 1440);
    const TBytes body = TWMFBuilder().Build(0);
    wmf.insert(wmf.end(), body.begin(), body.end());
    WriteFileBytes(pics_.File("shape.wmf"), {wmf.begin(), wmf.end()});
    Picture("icon.ico", 48, 48, "ICO");
    TForm1& form = Open();
    SetPanel(40, 40);

    Show("shape.wmf");
    ASSERT_EQ(form.Image1->size(), QSize(32, 16));
    form.Command("Copy1")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(96, 48));

    Show("icon.ico");
    ASSERT_EQ(form.Image1->size(), QSize(32, 32));
    form.Command("Copy1")->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(48, 48));
    EXPECT_EQ(copied.pixelColor(24, 24), QColor(Qt::darkCyan));
}

TEST_F(ShowFileTest, MetafilesGifsAndClipsUseTheirOwnViewers)
{
    TBytes wmf = PlaceableHeader(0, 0, 1440, 720, 1440);
    const TBytes body = TWMFBuilder().Build(0);
    wmf.insert(wmf.end(), body.begin(), body.end());
    WriteFileBytes(pics_.File("shape.wmf"), {wmf.begin(), wmf.end()});
    AviClip clip;
    clip.Width = 320;
    clip.Height = 240;
    clip.Write(pics_.File("clip.avi"));
    TForm1& form = Open();
    SetPanel(100, 100);

    Show("shape.wmf");
    EXPECT_TRUE(form.Image1->isVisible());
    EXPECT_EQ(Status(3), " shape.wmf  (96 x 48)");
    EXPECT_EQ(form.Image1->size(), QSize(92, 46));

    Picture("icon.ico", 16, 16, "ICO");
    Show("icon.ico");
    EXPECT_TRUE(form.Image1->isVisible());
    EXPECT_EQ(Status(3), " icon.ico  (16 x 16)");

    Show("clip.avi");
    EXPECT_TRUE(form.AVIPlay1->isVisible());
    EXPECT_FALSE(form.Image1->isVisible());
    EXPECT_EQ(form.AVIPlay1->size(), QSize(145, 109));
    EXPECT_EQ(Status(3), " clip.avi  (320 x 240)");
    EXPECT_FALSE(form.Command("Convert1")->isEnabled());

    if (HaveTool("convert")) {
        ASSERT_EQ(test::Run("convert -size 8x6 xc:red xc:blue -loop 0 " + pics_.File("anim.gif")), 0);
        Show("anim.gif");
        EXPECT_TRUE(form.GIFImage1->isVisible());
        EXPECT_TRUE(form.GIFImage1->Animate());
        EXPECT_FALSE(form.AVIPlay1->isVisible());
        EXPECT_EQ(Status(3), " anim.gif  (8 x 6)");
    }
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ShowFileTest, AutoZoomFitsAndReleasingItShowsTheNaturalSize)
{
    Picture("a.png", 50, 25);
    TForm1& form = Open();
    SetPanel(208, 208);
    Select({"a.png"});
    Drain();
    EXPECT_EQ(form.PGImage1->size(), QSize(50, 25));
    form.AutoZoom->click();
    EXPECT_EQ(form.PGImage1->size(), QSize(200, 100));
    form.AutoZoom->click();
    Drain();
    EXPECT_EQ(form.PGImage1->size(), QSize(50, 25));
    // Nothing selected: releasing does nothing.
    form.SLV1->clearSelection();
    form.ZoomOut1Click();
    EXPECT_FALSE(form.Loader().Pending());
}

TEST_F(ShowFileTest, ListsTheFolderByMaskAndSortsByEachColumn)
{
    Store("FileTypes", "111111");
    Picture("b.png");
    Picture("c.bmp", 300, 300, "BMP");
    Picture("a.jpg", 10, 10, "JPEG");
    std::ofstream(pics_.File(".hidden.jpg")) << "x";
    std::ofstream(pics_.File("notes")) << "x";
    TForm1& form = Open();
    EXPECT_EQ(Captions(), (QStringList{"a.jpg", "c.bmp"}));
    EXPECT_EQ(Status(1), "2 files");
    EXPECT_EQ(form.SLV1->topLevelItem(1)->text(2), "BMP");
    EXPECT_EQ(form.SLV1->topLevelItem(1)->text(3).toStdString(),
              FormatDateTime("c", QFileInfo(QString::fromStdString(pics_.File("c.bmp"))).lastModified()));

    form.Command("ViewAllFiles1")->trigger();
    EXPECT_EQ(form.SLV1->headerItem()->text(0), "Name (All)");
    EXPECT_EQ(Captions(), (QStringList{"a.jpg", "b.png", "c.bmp", "notes"}));
    // Size: the 300 x 300 bitmap is the largest.
    form.SLV1ColumnClick(1);
    EXPECT_EQ(Captions().last(), "c.bmp");
    form.SLV1ColumnClick(1);
    EXPECT_FALSE(form.SortAscending());
    EXPECT_EQ(Captions().first(), "c.bmp");
    form.SLV1ColumnClick(2);
    EXPECT_EQ(Captions(), (QStringList{"c.bmp", "a.jpg", "notes", "b.png"}));
    form.Update1Click();
    EXPECT_EQ(form.SortColumn(), 0);

    Store("FileTypes", "0000000000");
    form.Command("ViewAllFiles1")->trigger();
    form.BuildFileMask();
    form.Update1Click();
    EXPECT_TRUE(Captions().isEmpty());
    EXPECT_EQ(Status(1), "0 files");
}

TEST_F(ShowFileTest, SelectingShowsOnceAndTheSameNameInAnotherFolderAgain)
{
    Picture("a.png", 10, 10);
    Picture("b.png", 12, 10);
    TForm1& form = Open();
    Select({"a.png"});
    const int loads = form.Loader().LoadCount();
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(form.Command("Copy1")->isVisible());
    Select({});
    EXPECT_FALSE(form.Command("Copy1")->isVisible());
    Select({"a.png"});
    EXPECT_EQ(form.Loader().LoadCount(), loads);

    TempDir other;
    QImage(40, 10, QImage::Format_RGB32).save(QString::fromStdString(other.File("a.png")));
    form.FillFileList(form.SLV1, other.Path().string(), form.SB1, form.FileMask());
    form.BookmarkClick(other.Path().string());
    Drain();
    Select({"a.png"});
    EXPECT_EQ(form.Loader().LoadCount(), loads + 1);
    EXPECT_EQ(Status(3), " a.png  (40 x 10)");
}

// At start nothing is selected: the file after the one shown is read ahead,
// and a click on the shown file's row reads nothing and keeps that read-ahead
// until the file itself changes, even when a copy keeps its size and time.
TEST_F(ShowFileTest, TheFileAfterTheStartFileIsReadAheadAndItsRowShowsWithoutARead)
{
    Picture("a.bmp", 10, 10, "BMP");
    Picture("b.bmp", 12, 10, "BMP");
    Picture("c.bmp", 14, 10, "BMP");
    const std::string shown = pics_.File("b.bmp");
    TForm1& form = Open(shown);
    ASSERT_EQ(form.CurrentFile(), shown);
    EXPECT_EQ(form.PreRead().Path(), pics_.File("c.bmp"));

    // A mark in the picture shown tells whether it was read again.
    form.PGImage1->GetPixelGraphic()->GetScanLine(0)[0] = 0x5A;
    Select({"b.bmp"});
    EXPECT_EQ(form.PGImage1->GetPixelGraphic()->GetScanLine(0)[0], 0x5A);
    EXPECT_EQ(form.PreRead().Path(), pics_.File("c.bmp"));
    EXPECT_EQ(Status(3), " b.bmp  (12 x 10)");
    EXPECT_TRUE(form.SB1->updatesEnabled());

    struct stat before {};
    ASSERT_EQ(::stat(shown.c_str(), &before), 0);
    QImage other(12, 10, QImage::Format_RGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(QString::fromStdString(shown), "BMP"));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, shown.c_str(), times, 0), 0);
    ASSERT_EQ(std::filesystem::file_size(shown), std::uintmax_t(before.st_size));
    form.ShowFile(shown);
    Drain();
    EXPECT_NE(form.PGImage1->GetPixelGraphic()->GetScanLine(0)[0], 0x5A);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ShowFileTest, ItemsAreTakenFromTheListedFolderWhileTheTreeMovesOn)
{
    Store("Confirm Deletions", "0");
    Picture("a.png", 10, 10);
    TempDir other;
    QImage(40, 10, QImage::Format_RGB32).save(QString::fromStdString(other.File("a.png")));
    TForm1& form = Open();
    // The tree reports its new folder only after a delay; the list shows the old one meanwhile.
    form.FillFileList(form.SLV1, other.Path().string(), form.SB1, form.FileMask());
    ASSERT_EQ(form.Folder(), pics_.Path().string());
    Select({"a.png"});
    EXPECT_EQ(Status(3), " a.png  (40 x 10)");
    form.DeleteFile1Click();
    EXPECT_FALSE(std::filesystem::exists(other.File("a.png")));
    EXPECT_TRUE(std::filesystem::exists(pics_.File("a.png")));
}

TEST_F(ShowFileTest, ADragCarriesFolderCaptionsAndTheListsTag)
{
    Picture("a.png");
    Picture("b.png");
    TForm1& form = Open();
    std::unique_ptr<QMimeData> data(
        form.SLV1->model()->mimeData({form.SLV1->model()->index(1, 0), form.SLV1->model()->index(0, 0)}));
    const auto drag = DecodeListDrag(data.get());
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->Folder.toStdString(), pics_.Path().string());
    EXPECT_EQ(drag->Captions, (QStringList{"a.png", "b.png"}));
    EXPECT_EQ(drag->Tag, 1);
}

TEST_F(ShowFileTest, OpenRequestsShowTheLastFile)
{
    Picture("a.png", 10, 10);
    Picture("b.png", 10, 10);
    TForm1& form = Open();
    form.LumenoDdeServerExecuteMacro({OpenMacro(pics_.File("b.png")), OpenMacro(pics_.File("a.png"))});
    Drain();
    EXPECT_EQ(form.CurrentFile(), pics_.File("a.png"));
    form.LumenoDdeServerExecuteMacro({});
    EXPECT_EQ(form.CurrentFile(), pics_.File("a.png"));
}

} // namespace
} // namespace lumeno::test
