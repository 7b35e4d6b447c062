#include "imagelib/format_registry.h"
#include "imagelib/pg_startup.h"
#include "imagelib/view/create_open_save_dialog_paint_pg_thread.h"
#include "imagelib/view/pg_open_dialog.h"
#include "imagelib/view/pg_paint_events.h"
#include "imagelib/view/pg_save_dialog.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"
#include "view_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QTreeView>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::Quadrants;
using test::Rgb;

class OpenSaveDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }

    std::string SaveImage(int w, int h, const std::string& name)
    {
        const std::string path = dir.File(name);
        Quadrants(w, h)->SaveToFile(path);
        return path;
    }

    // Opens the dialog in the test folder and selects Name there.
    void OpenAndSelect(TPGOpenDialog& dialog, const std::string& name)
    {
        dialog.setDirectory(QString::fromStdString(dir.Path().string()));
        dialog.ExecuteAsync([this](bool ok) { result = ok ? 1 : 0; });
        Select(dialog, name);
    }

    // What a click in the list does to the name field.
    static void Select(TPGOpenDialog& dialog, const std::string& name)
    {
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
    }

    test::TempDir dir;
    int result = -1;
};

TEST_F(OpenSaveDialogTest, OpenFilterListsReadersThenAllFiles)
{
    TPGOpenDialog dialog;
    const std::string filter = dialog.BuildFilter();
    EXPECT_EQ(filter.rfind("Image files|*.bmp", 0), 0u) << filter;
    EXPECT_NE(filter.find("|BMP - "), std::string::npos);
    EXPECT_EQ(filter.substr(filter.size() - 13), "All files|*.*");
    EXPECT_EQ(dialog.GetFilterExtension(1), "");
    EXPECT_EQ(dialog.GetFilterExtension(2), FileFormatReaders().front()->Extension);
    EXPECT_EQ(dialog.GetFilterExtension(static_cast<int>(FileFormatReaders().size()) + 2), "");
    dialog.SetUseDefaultFilter(false);
    EXPECT_EQ(dialog.GetFilterExtension(2), "");
    EXPECT_EQ(FirstSelectedFile("\"a b.bmp\" \"c.bmp\""), "a b.bmp");
    EXPECT_EQ(FirstSelectedFile("one.bmp"), "one.bmp");
    EXPECT_EQ(PGNameFilters("A|*.a; *.b|All|*.*"), (QStringList{"A (*.a *.b)", "All (*)"}));
}

TEST_F(OpenSaveDialogTest, PanesTakeTheirDialogUnitsAndTheListFitsItsColumns)
{
    QFontMetrics metrics(QApplication::font());
    const QSize unit = DialogUnitsToPixels(metrics, 4, 8);
    EXPECT_EQ(unit.height(), metrics.height());
    EXPECT_NEAR(unit.width(), metrics.averageCharWidth(), 2);

    for (const int points : {0, 13}) {
        const QFont kept = QApplication::font();
        if (points) {
            QFont big = kept;
            big.setPointSize(points);
            QApplication::setFont(big);
        }
        {
            TPGOpenDialog dialog;
            SaveImage(8, 8, "a-rather-long-file-name-for-a-picture.jpg");
            OpenAndSelect(dialog, "a-rather-long-file-name-for-a-picture.jpg");
            const QSize preview = DialogUnitsToPixels(dialog.fontMetrics(), 92, 85);
            EXPECT_EQ(dialog.findChild<QWidget*>("PreviewBox")->size(), preview);
            EXPECT_EQ(dialog.findChild<QWidget*>("InfoBox")->width(), preview.width());
            ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.GetInfoValid(); }, 5000));
            EXPECT_EQ(dialog.findChild<QWidget*>("InfoBox")->toolTip(), dialog.GetInfoLines().join('\n'));
            dialog.findChild<QAbstractButton*>("detailModeButton")->click();
            auto* list = dialog.findChild<QTreeView*>("treeView");
            ASSERT_NE(list, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) > 0; }, 5000));
            QTest::qWait(50);
            QHeaderView* header = list->header();
            int total = 0;
            for (int c = 0; c < header->count(); ++c) {
                EXPECT_GE(header->sectionSize(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c << ", " << points << " pt";
                total += header->sectionSize(c);
            }
            EXPECT_LE(total, list->viewport()->width() + 1) << points << " pt";
            auto* sidebar = dialog.findChild<QListView*>("sidebar");
            EXPECT_GE(sidebar->width(), sidebar->sizeHintForColumn(0)) << points << " pt";
            dialog.reject();
        }
        QApplication::setFont(kept);
    }
}

TEST_F(OpenSaveDialogTest, OptionsKeepShareAwareWithAWarning)
{
    test::RecordingDialogs boxes;
    TPGOpenDialog dialog;
    dialog.SetOptions(ofHideReadOnly);
    EXPECT_EQ(dialog.GetOptions(), ofHideReadOnly | ofShareAware);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text,
              "TPGOpenDialog.Options and TPGSaveDialog.Options must include ofShareAware!");
    dialog.SetOptions(ofShareAware | ofAllowMultiSelect);
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST_F(OpenSaveDialogTest, PreviewsEachFormatWithItsInformation)
{
    for (const std::string extension : {"bmp", "jpg", "png", "ppm"}) {
        SCOPED_TRACE(extension);
        const std::string path = SaveImage(400, 200, "wide." + extension);
        TPGOpenDialog dialog;
        OpenAndSelect(dialog, "wide." + extension);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.GetPreviewPixelGraphic() != nullptr; }, 10000));
        EXPECT_EQ(dialog.GetPreviewFileName(), path);
        const TPixelGraphic* preview = dialog.GetPreviewPixelGraphic();
        // Fitted into the box with the picture's 2:1 shape.
        const QSize box = dialog.findChild<QWidget*>("PreviewBox")->size() - QSize(8, 8);
        EXPECT_EQ(preview->GetWidth(), box.width());
        EXPECT_EQ(preview->GetHeight(), box.width() / 2);
        auto& shown = const_cast<TPixelGraphic&>(*preview);
        const TColor topLeft = shown.GetPixelColor(2, 2);
        const TColor bottomRight = shown.GetPixelColor(shown.GetWidth() - 3, shown.GetHeight() - 3);
        EXPECT_GT(GetRValue(topLeft), 240); // JPEG is near enough
        EXPECT_LT(GetGValue(topLeft) + GetBValue(topLeft), 24);
        EXPECT_GT(GetRValue(bottomRight) + GetGValue(bottomRight) + GetBValue(bottomRight), 3 * 240);

        ASSERT_TRUE(dialog.GetInfoValid());
        const QStringList lines = dialog.GetInfoLines();
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines.first().toStdString(), dialog.GetInfo().FormatName);
        EXPECT_FALSE(dialog.GetInfo().FormatName.empty());
        EXPECT_TRUE(lines.last().startsWith("400x200x")) << lines.last().toStdString();
        EXPECT_TRUE(lines.last().endsWith(" 24 bit")) << lines.last().toStdString();

        static_cast<QDialog&>(dialog).accept();
        EXPECT_EQ(result, 1);
        EXPECT_EQ(dialog.GetFileName(), path);
        EXPECT_EQ(dialog.GetPreviewPixelGraphic(), nullptr);
        result = -1;
    }
}

TEST_F(OpenSaveDialogTest, UnknownFileGetsNoInformationNorPreview)
{
    test::WriteFileBytes(dir.File("note.bmp"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    SaveImage(20, 10, "small.bmp");
    TPGOpenDialog dialog;
    OpenAndSelect(dialog, "small.bmp");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.GetPreviewPixelGraphic() != nullptr; }, 10000));
    // A picture smaller than the box is shown as it is.
    EXPECT_EQ(dialog.GetPreviewPixelGraphic()->GetWidth(), 20);
    Select(dialog, "note.bmp");
    EXPECT_EQ(dialog.GetPreviewPixelGraphic(), nullptr);
    QTest::qWait(400);
    EXPECT_FALSE(dialog.GetInfoValid());
    EXPECT_TRUE(dialog.GetInfoLines().isEmpty());
    EXPECT_EQ(dialog.GetPreviewPixelGraphic(), nullptr);
    dialog.reject();
    EXPECT_EQ(result, 0);
}

TEST_F(OpenSaveDialogTest, OfSeveralFilesTheFirstIsPreviewed)
{
    const std::string first = SaveImage(30, 30, "a.bmp");
    SaveImage(40, 40, "b.bmp");
    TPGOpenDialog dialog;
    dialog.SetOptions(ofShareAware | ofAllowMultiSelect);
    OpenAndSelect(dialog, "a.bmp");
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    // What the list shows after a second file is added to the selection.
    edit->setText("\"a.bmp\" \"b.bmp\"");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.GetPreviewPixelGraphic() != nullptr; }, 10000));
    EXPECT_EQ(dialog.GetPreviewFileName(), first);
    EXPECT_EQ(dialog.GetPreviewPixelGraphic()->GetWidth(), 30);
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.GetFiles().size(), 2u);
}

TEST_F(OpenSaveDialogTest, PreviewThreadFitsAndDropsWhenStopped)
{
    EXPECT_EQ(FitPreviewSize(400, 200, 100, 100), QSize(100, 50));
    EXPECT_EQ(FitPreviewSize(200, 400, 100, 100), QSize(50, 100));
    EXPECT_EQ(FitPreviewSize(1000, 1, 100, 100), QSize(100, 1));
    const std::string path = SaveImage(300, 300, "big.bmp");
    TCreateOpenSaveDialogPaintPGThread thread(false);
    thread.FFileName = path;
    thread.FMaxWidth = 64;
    thread.FMaxHeight = 32;
    thread.FDisplayDepth = 8;
    auto image = thread.Work();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 32);
    EXPECT_EQ(image->GetPixelFormat(), pf8Bit);
    // The quantiser's palette entry may sit a few steps off the exact colour.
    EXPECT_NEAR(GetRValue(image->GetPixelColor(1, 1)), 255, 8);
    EXPECT_LT(GetGValue(image->GetPixelColor(1, 1)), 8);
    thread.FFileName = dir.File("missing.bmp");
    EXPECT_EQ(thread.Work(), nullptr);
    thread.FFileName = path;
    thread.Terminate();
    EXPECT_EQ(thread.Work(), nullptr);
}

// Collects the progress a preview build posts.
class TProgressRecorder : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != TPGPaintProgressEvent::EventType())
            return QObject::event(e);
        const auto* p = static_cast<TPGPaintProgressEvent*>(e);
        Reports.push_back({p->Step, p->Percent});
        return true;
    }
    std::vector<std::pair<int, int>> Reports;
};

TEST_F(OpenSaveDialogTest, PreviewProgressGoesOutOncePerChangedPercent)
{
    TProgressRecorder recorder;
    TCreateOpenSaveDialogPaintPGThread thread(true);
    thread.FTargetWindow = &recorder;
    bool abort = true;
    thread.Progress(nullptr, 5, 0, abort); // no maximum: nothing
    EXPECT_FALSE(abort);
    thread.Progress(nullptr, 20, 100, abort); // a new sixteenth
    thread.Progress(nullptr, 20, 100, abort); // same percent
    QCoreApplication::processEvents();
    // The step goes out as it is; the clock turns it into its hand.
    EXPECT_EQ(recorder.Reports, (std::vector<std::pair<int, int>>{{1, 20}}));
    thread.Terminate();
    thread.Progress(nullptr, 1, 2, abort);
    EXPECT_TRUE(abort);
}

TEST_F(OpenSaveDialogTest, SaveFilterListsEveryWriterAndPreselectsByExtension)
{
    TPGSaveDialog dialog;
    const std::string filter = dialog.BuildFilter();
    int entries = 0;
    for (const auto& writer : FileFormatWriters()) {
        if (!writer->ShowInFilter)
            continue;
        ++entries;
        std::string upper = writer->Extension;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_NE(filter.find(upper + " - " + writer->Description + "|*." + writer->Extension + "|"),
                  std::string::npos)
            << filter;
        EXPECT_EQ(dialog.GetFilterExtension(entries), writer->Extension);
    }
    EXPECT_EQ(FirstSelectedFile("\"a b.bmp\" \"c.bmp\""), "a b.bmp");
    EXPECT_EQ(FirstSelectedFile("one.bmp"), "one.bmp");
    EXPECT_EQ(PGNameFilters(filter).size(), entries);
    EXPECT_EQ(dialog.GetFilterExtension(entries + 1), "");

    // The last entry is found too.
    const std::string last = dialog.GetFilterExtension(entries);
    dialog.SetFileName(dir.File("picture." + last));
    dialog.ExecuteAsync({});
    EXPECT_EQ(dialog.GetFilterIndex(), entries);
    EXPECT_EQ(dialog.nameFilters().size(), entries);
    dialog.reject();
}

TEST_F(OpenSaveDialogTest, SavedNameGetsTheChosenExtension)
{
    TPGSaveDialog dialog;
    dialog.setDirectory(QString::fromStdString(dir.Path().string()));
    dialog.ExecuteAsync([this](bool ok) { result = ok ? 1 : 0; });
    dialog.selectFile("plain");
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog.GetFileName(), dir.File("plain." + dialog.GetFilterExtension(dialog.GetFilterIndex())));
}

TEST(RetypeSaveFileName, FollowsTheChosenEntry)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    EXPECT_EQ(RetypeSaveFileName("photo.bmp", dir.Path().string(), "jpg"), "photo.jpg");
    EXPECT_EQ(RetypeSaveFileName("photo", dir.Path().string(), "png"), "photo.png");
    EXPECT_EQ(RetypeSaveFileName(dir.File("photo.bmp"), dir.Path().string(), "tga"), "photo.tga");
    EXPECT_EQ(RetypeSaveFileName("/elsewhere/photo.bmp", dir.Path().string(), "jpg"), "/elsewhere/photo.jpg");
    EXPECT_EQ(RetypeSaveFileName("sub", dir.Path().string(), "jpg"), "sub");
    EXPECT_EQ(RetypeSaveFileName("photo.bmp", dir.Path().string(), ""), "photo.bmp");
}

TEST_F(OpenSaveDialogTest, ChoosingAnEntryRewritesTheTypedName)
{
    TPGSaveDialog dialog;
    dialog.setDirectory(QString::fromStdString(dir.Path().string()));
    dialog.ExecuteAsync({});
    auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(types, nullptr);
    edit->setText("photo.xyz");
    types->setCurrentIndex(0);
    emit types->activated(0);
    EXPECT_EQ(edit->text().toStdString(), "photo." + dialog.GetFilterExtension(1));
    dialog.reject();
}

} // namespace
} // namespace lumeno
