#include "app/common/list_drag.h"
#include "app/common/settings_store.h"
#include "app/converter/converter_host.h"
#include "app/converter/converter_test_util.h"
#include "app/converter/frm_convert.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/codecs/gif_reader.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pic_box.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>

namespace lumeno {
namespace {

namespace fs = std::filesystem;

struct FakeHost : TConverterHost {
    void Update1Click() override { ++updates; }
    bool ShowImageProperties(const std::string& FileName) override
    {
        shownProperties.push_back(FileName);
        return true;
    }
    int updates = 0;
    std::vector<std::string> shownProperties;
};

// How many items the user's trash holds (the test main gives the process a
// trash of its own).
int TrashCount()
{
    std::error_code error;
    const auto items = fs::directory_iterator(test::UserTrash() / "files", error);
    return error ? 0 : static_cast<int>(std::distance(items, fs::directory_iterator()));
}

class Converter : public ::testing::Test {
protected:
    void SetUp() override
    {
        PGStartup();
        PGGifStartup();
        TPixelGraphic picture;
        test::MakePicture(picture, 120, 90);
        source = dir.File("photo.tif");
        picture.SaveToFile(source);
        form = std::make_unique<TfrmConvert>();
        form->SetHost(&host);
        form->resize(800, 500);
        form->show();
        QTest::qWait(20);
        form->LoadSourceFile(source);
        dialogs.Reset();
    }
    void TearDown() override
    {
        form.reset();
        TSettingsStore().WriteSetting("Deletions", "0");
        TSettingsStore().WriteSetting("Confirm Deletions", "1");
        PGShutdown();
    }
    std::string Panel(int i) { return form->SB1->Panels()[i].Text(); }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& r : dialogs.Shown())
            texts.push_back(r.Text);
        return texts;
    }
    // Starts a conversion and lets the window's loop run until it ended.
    void ConvertTo(int Item)
    {
        StartConverting(Item);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Converting(); }, 30000));
    }
    void StartConverting(int Item)
    {
        form->cbFileType->setCurrentIndex(Item);
        form->ToolButton7Click();
    }
    void LoadBigSource()
    {
        TPixelGraphic picture;
        test::MakePicture(picture, 2400, 1800);
        source = dir.File("big.bmp");
        picture.SaveToFile(source);
        form->LoadSourceFile(source);
    }
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    test::RecordingDialogs dialogs;
    FakeHost host;
    std::string source;
    std::unique_ptr<TfrmConvert> form;
};

TEST_F(Converter, StartsInOriginalSizeModeWithTheTypesInOrder)
{
    EXPECT_EQ(form->windowTitle(), "Morphel - Original Size Mode");
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_EQ(form->cbFileType->count(), 6);
    EXPECT_EQ(form->cbFileType->itemText(0), "BMP - bitmap");
    EXPECT_EQ(form->cbFileType->itemText(5), "GIF - Graphic Interchange Format");
    EXPECT_EQ(form->cbFileType->currentIndex(), 0);
    EXPECT_EQ(form->TrackBar1->minimum(), 10);
    EXPECT_EQ(form->TrackBar1->maximum(), 100);
    EXPECT_EQ(form->TrackBar1->value(), 100);
    EXPECT_EQ(form->lPosition->text(), "100");
    EXPECT_TRUE(form->opMOS->isChecked());
    EXPECT_TRUE(form->AutoSharpenwhenResizing1->isChecked());
    EXPECT_TRUE(form->SizeToFit1->isChecked());
    EXPECT_FALSE(form->tbJpeg->isVisible());
    EXPECT_FALSE(form->tbGif->isVisible());

    form->cbFileType->setCurrentIndex(1);
    EXPECT_TRUE(form->tbJpeg->isVisible());
    EXPECT_FALSE(form->tbGif->isVisible());
    form->cbFileType->setCurrentIndex(5);
    EXPECT_FALSE(form->tbJpeg->isVisible());
    EXPECT_TRUE(form->tbGif->isVisible());
    form->TrackBar1->setValue(42);
    EXPECT_EQ(form->lPosition->text(), "42");

    // Two equal panes, each half the window less 6.
    EXPECT_EQ(form->pnlLeft->width(), 394);
    EXPECT_EQ(form->pnlRight->width(), 394);
    EXPECT_EQ(form->pnlLeft->x(), 0);
    EXPECT_EQ(form->pnlRight->geometry().right(), form->pnlRight->parentWidget()->width() - 1);
    EXPECT_EQ(form->SB1->Panels()[0].Width(), 397);
}

TEST_F(Converter, LoadingShowsNameAndSizeAndEmptiesTheResult)
{
    const auto size = fs::file_size(source);
    EXPECT_EQ(Panel(0), source + " " + std::to_string(size / 1024 + 1) + "K");
    EXPECT_FALSE(form->pgLeft->GetEmpty());
    EXPECT_TRUE(form->pgRight->GetEmpty());

    ConvertTo(0);
    EXPECT_FALSE(form->pgRight->GetEmpty());
    form->LoadSourceFile(source);
    EXPECT_TRUE(form->pgRight->GetEmpty());
    EXPECT_EQ(Panel(1), "");
    EXPECT_EQ(form->ConvertedFileName(), "");
}

TEST_F(Converter, ConvertsNextToTheSourceWithTheTrackBarsQuality)
{
    form->TrackBar1->setValue(37);
    ConvertTo(1);
    const std::string target = dir.File("photo.jpg");
    ASSERT_TRUE(fs::exists(target));
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(form->ConvertedFileName(), target);
    EXPECT_EQ(Panel(1), target + " " + std::to_string(fs::file_size(target) / 1024 + 1) + "K");
    EXPECT_FALSE(form->pgRight->GetEmpty());
    EXPECT_EQ(form->pgRight->PeekPixelGraphic()->GetWidth(), 120);
    EXPECT_EQ(host.updates, 1);
    // The quality stays the library's until someone sets another.
    EXPECT_EQ(JPEGQuality, 37);
    if (test::HaveTool("identify-im6.q16")) {
        EXPECT_EQ(test::RunOutput("identify-im6.q16 -format %Q '" + target + "'"), "37");
    }
}

TEST_F(Converter, AnsweringNoWritesBangNamesAndYesOverwrites)
{
    ConvertTo(0);
    const auto first = fs::last_write_time(dir.File("photo.bmp"));
    dialogs.Reset();
    dialogs.Answer(mrNo);
    ConvertTo(0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{dir.File("photo.bmp") + " exists. Overwrite?"}));
    EXPECT_TRUE(fs::exists(dir.File("!photo.bmp")));
    EXPECT_EQ(form->ConvertedFileName(), dir.File("!photo.bmp"));

    dialogs.Reset();
    dialogs.Answer(mrNo);
    dialogs.Answer(mrNo);
    ConvertTo(0);
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_TRUE(fs::exists(dir.File("!!photo.bmp")));

    dialogs.Reset();
    dialogs.Answer(mrYes);
    ConvertTo(0);
    EXPECT_EQ(Texts().size(), 1u);
    EXPECT_EQ(form->ConvertedFileName(), dir.File("photo.bmp"));
    EXPECT_GE(fs::last_write_time(dir.File("photo.bmp")), first);
    EXPECT_FALSE(fs::exists(dir.File("!!!photo.bmp")));
}

// The conversion runs on a worker: the window's loop turns, a second
// conversion and drops are refused, Esc stops it and keeps what was there.
TEST_F(Converter, ConvertsOnAWorkerWhileTheWindowRefusesAnotherRun)
{
    LoadBigSource();
    dialogs.Reset();
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
    ticker.start(0);
    StartConverting(3);
    EXPECT_FALSE(form->ToolBar1->isEnabled());
    form->ToolButton7Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ToolBar1->isEnabled(); }, 30000));
    EXPECT_GT(turns, 0);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(form->ConvertedFileName(), dir.File("big.png"));
    EXPECT_EQ(form->pgRight->GetFileName(), dir.File("big.png"));
    EXPECT_EQ(form->pgRight->GetPixelGraphic()->GetWidth(), 2400);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"big.bmp", "big.png", "photo.tif"}));
}

TEST_F(Converter, EscStopsTheConversionAndKeepsTheOldTarget)
{
    LoadBigSource();
    test::WriteFileBytes(dir.File("big.png"), {'o', 'l', 'd'});
    dialogs.Reset();
    dialogs.Answer(mrYes);
    StartConverting(3);
    QAction* stop = form->findChild<QAction*>("StopConvert");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->shortcut(), QKeySequence(Qt::Key_Escape));
    ASSERT_TRUE(stop->isEnabled());
    stop->trigger();
    EXPECT_TRUE(form->ToolBar1->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(test::ReadFileBytes(dir.File("big.png")), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"big.bmp", "big.png", "photo.tif"}));
    EXPECT_EQ(Texts().size(), 1u);
    EXPECT_EQ(form->ConvertedFileName(), "");
    EXPECT_TRUE(form->pgRight->GetEmpty());

    // A new source stops a running conversion the same way.
    dialogs.Answer(mrYes);
    StartConverting(3);
    form->LoadSourceFile(dir.File("photo.tif"));
    EXPECT_TRUE(form->ToolBar1->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(test::ReadFileBytes(dir.File("big.png")), (std::vector<unsigned char>{'o', 'l', 'd'}));
}

// Closing the window meanwhile waits for the conversion: the window stays,
// its gauge moving, until the file is whole.
TEST_F(Converter, ClosingWaitsForTheConversion)
{
    LoadBigSource();
    dialogs.Reset();
    StartConverting(3);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Converting());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 30000));
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(form->ConvertedFileName(), dir.File("big.png"));
    TPixelGraphic written;
    written.LoadFromFile(dir.File("big.png"));
    EXPECT_EQ(written.GetWidth(), 2400);
    EXPECT_EQ(written.GetHeight(), 1800);
    EXPECT_EQ(written.GetPixelColor(2399, 1799), form->pgLeft->GetPixelGraphic()->GetPixelColor(2399, 1799));
}

TEST_F(Converter, ConvertingOntoTheSourceAsksFirst)
{
    dialogs.Answer(mrNo);
    ConvertTo(2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{source + " exists. Overwrite?"}));
    EXPECT_TRUE(fs::exists(dir.File("!photo.tif")));
}

TEST_F(Converter, ResizeModeWritesThePaintBoxSizeAndSizeToFitSetsTheStretch)
{
    form->opMOS->trigger();
    EXPECT_EQ(form->windowTitle(), "Morphel - ReSize Mode");
    EXPECT_TRUE(form->SizeToFit1->isChecked());
    EXPECT_EQ(form->pgLeft->GetStretch(), sAlwaysKAR);
    EXPECT_EQ(form->pgRight->GetStretch(), sAlwaysKAR);
    const QSize box = form->pgLeft->GetPicBox()->size();
    ASSERT_GT(box.width(), 120);

    ConvertTo(3);
    TPixelGraphic written;
    written.LoadFromFile(dir.File("photo.png"));
    EXPECT_EQ(written.GetWidth(), box.width());
    EXPECT_EQ(written.GetHeight(), box.height());

    form->cbFileType->setCurrentIndex(5);
    dialogs.Answer(mrYes);
    ConvertTo(5);
    TPixelGraphic gif;
    gif.LoadFromFile(dir.File("photo.gif"));
    EXPECT_EQ(gif.GetWidth(), box.width());

    dialogs.Reset();
    form->CurrentDisplaySizeClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{std::to_string(box.width()) + "X" + std::to_string(box.height())}));

    form->SizeToFit1->trigger();
    EXPECT_EQ(form->pgLeft->GetStretch(), sNeverKAR);
    EXPECT_EQ(form->pgRight->GetStretch(), sNeverKAR);
    form->opMOS->trigger();
    EXPECT_EQ(form->windowTitle(), "Morphel - Original Size Mode");
    form->AutoSharpenwhenResizing1->trigger();
    EXPECT_FALSE(form->AutoSharpenwhenResizing1->isChecked());
}

TEST_F(Converter, GIFAsksThePickerOnlyWhenTransparent)
{
    int asked = 0;
    form->SetTransparentPicker([&](TPixelGraphic& reduced) {
        ++asked;
        EXPECT_EQ(reduced.GetPixelFormat(), pf8Bit);
        return std::optional<TColor>(reduced.GetPixelColor(0, 0));
    });
    ConvertTo(5);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(form->pgRight->GetEmpty());
    form->cbTransparent->setChecked(true);
    dialogs.Answer(mrYes);
    ConvertTo(5);
    EXPECT_EQ(asked, 1);
    if (test::HaveTool("giftext")) {
        EXPECT_NE(test::RunOutput("giftext '" + dir.File("photo.gif") + "'").find("Transparency on: yes"),
                  std::string::npos);
    }
}

TEST_F(Converter, FailedWriteIsReportedAndShowsNoResult)
{
    // A folder in the target's place cannot be replaced by a file.
    fs::create_directory(dir.File("photo.bmp"));
    dialogs.Answer(mrYes);
    ConvertTo(0);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(form->pgRight->GetEmpty());
    EXPECT_EQ(form->ConvertedFileName(), "");
    EXPECT_EQ(Panel(1), "");
    EXPECT_TRUE(fs::is_directory(dir.File("photo.bmp")));
    EXPECT_EQ(host.updates, 0);
}

TEST_F(Converter, UnreadableSourceIsReportedAndNothingIsWritten)
{
    const std::string bad = dir.File("bad.png");
    test::WriteFileBytes(bad, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    form->LoadSourceFile(bad);
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].Type, TMsgDlgType::mtError);
    EXPECT_TRUE(form->pgLeft->GetEmpty());
    ConvertTo(0);
    EXPECT_FALSE(fs::exists(dir.File("bad.bmp")));
}

TEST_F(Converter, DropsOfOneSupportedFileAreLoaded)
{
    fs::copy_file(source, dir.File("other.tif"));
    std::unique_ptr<QMimeData> refused(
        EncodeListDrag({QString::fromStdString(dir.Path().string()), {"clip.avi"}, 1}));
    form->pgLeftDragDrop(refused.get());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Can't convert " + dir.File("clip.avi")}));

    std::unique_ptr<QMimeData> two(
        EncodeListDrag({QString::fromStdString(dir.Path().string()), {"a.tif", "other.tif"}, 1}));
    form->pgLeftDragDrop(two.get());
    EXPECT_EQ(form->SourceFileName(), source);

    std::unique_ptr<QMimeData> one(EncodeListDrag({QString::fromStdString(dir.Path().string()), {"other.tif"}, 2}));
    form->pgLeftDragDrop(one.get());
    EXPECT_EQ(form->SourceFileName(), dir.File("other.tif"));
    EXPECT_FALSE(form->pgLeft->GetEmpty());
    EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(Converter, PropertiesAndTheRightMenuNeedAResult)
{
    form->pmRightPopup();
    EXPECT_FALSE(form->DeleteConvertedFile1->isEnabled());
    EXPECT_FALSE(form->ImageProperties2->isEnabled());
    form->ImagePropertiesRightClick();
    EXPECT_TRUE(host.shownProperties.empty());
    form->ImagePropertiesLeftClick();
    EXPECT_EQ(host.shownProperties, (std::vector<std::string>{source}));

    ConvertTo(4);
    form->pmRightPopup();
    EXPECT_TRUE(form->DeleteConvertedFile1->isEnabled());
    form->ImagePropertiesRightClick();
    EXPECT_EQ(host.shownProperties.back(), dir.File("photo.tga"));
}

TEST_F(Converter, DeleteAsksThenRecyclesOrDeletes)
{
    const std::string target = dir.File("photo.bmp");
    const int trashed = TrashCount();
    ConvertTo(0);
    dialogs.Reset();
    dialogs.Answer(mrNo);
    form->DeleteConvertedFileClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Delete file " + target + "?"}));
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(TrashCount(), trashed);

    dialogs.Answer(mrYes);
    form->DeleteConvertedFileClick();
    EXPECT_EQ(TrashCount(), trashed + 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(form->pgRight->GetEmpty());
    EXPECT_EQ(Panel(1), "");
    EXPECT_EQ(host.updates, 2);

    // Without confirmation and with direct deletion.
    TSettingsStore().WriteSetting("Confirm Deletions", "0");
    TSettingsStore().WriteSetting("Deletions", "1");
    ConvertTo(0);
    dialogs.Reset();
    form->DeleteConvertedFileClick();
    EXPECT_TRUE(Texts().empty());
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(TrashCount(), trashed + 1);

    // A file someone else removed first.
    ConvertTo(0);
    fs::remove(target);
    form->DeleteConvertedFileClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Error deleting " + target}));
    EXPECT_FALSE(form->pgRight->GetEmpty());
}

// A picture converted in a tmpfs folder: the trash refuses the result.
TEST_F(Converter, TrashRefusalIsExplainedAndTheResultGoesForGoodOnlyOnYes)
{
    if (const std::string why = test::NoTmpfsApart(); !why.empty())
        GTEST_SKIP() << why;
    const test::TempDir shm("/dev/shm");
    TSettingsStore().WriteSetting("Confirm Deletions", "0");
    const std::string copy = shm.File("photo.tif");
    fs::copy_file(source, copy);
    form->LoadSourceFile(copy);
    ConvertTo(0);
    const std::string target = shm.File("photo.bmp");
    ASSERT_TRUE(fs::exists(target));
    dialogs.Reset();
    dialogs.Answer(mrNo);
    form->DeleteConvertedFileClick();
    const std::string question = "Error moving " + target +
                                 " to recycle bin: Trashing on system internal mounts is not supported\n\n"
                                 "Permanently delete it from your disk (can not be restored)?";
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_EQ(dialogs.Shown()[0].DefaultResult, mrNo);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(form->pgRight->GetEmpty());

    dialogs.Reset();
    dialogs.Answer(mrYes);
    form->DeleteConvertedFileClick();
    EXPECT_EQ(Texts(), (std::vector<std::string>{question}));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(form->pgRight->GetEmpty());
    EXPECT_EQ(Panel(1), "");
}

} // namespace
} // namespace lumeno
