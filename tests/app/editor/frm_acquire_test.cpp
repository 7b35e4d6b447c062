// The editor window offscreen: its command table, undo, the dialogs'
// results and refusals, drops and scanning, boxes answered by recording.

#include "app/common/list_drag.h"
#include "app/editor/f_rotate.h"
#include "app/editor/frm_acquire.h"
#include "app/editor/frm_barrel.h"
#include "app/editor/frm_color_rez.h"
#include "app/editor/frm_file_save_options.h"
#include "app/editor/frm_gaussian_blur.h"
#include "app/editor/frm_new_efx.h"
#include "app/editor/frm_red_eye_reduction.h"
#include "app/editor/frm_resize.h"
#include "app/effects/gaussian_blur.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/twain/pg_twain.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_save_dialog.h"
#include "platform/qt/registry/registry.h"
#include "support/fake_twain_qt.h"
#include "support/owner_recording_dialogs.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumeno {
namespace {

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetRegistryFolder(registry.Path().string());
        PGStartup();
        editor = std::make_unique<TfrmAcquire>();
    }
    void TearDown() override
    {
        editor.reset();
        SetRegistryFolder("");
    }
    void Show(int w, int h, std::uint8_t format = pf24Bit)
    {
        auto image = std::make_unique<TPixelGraphic>();
        image->SetDimensions(w, h, format);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image->SetPixelColor(x, y, RGB((x * 31) & 255, (y * 17) & 255, 90));
        editor->PGImage1->SetPixelGraphic(std::move(image));
    }
    TPixelGraphic& Image() { return *editor->PGImage1->GetPixelGraphic(); }
    void Trigger(const char* name) { editor->Action(name)->trigger(); }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const auto& r : dialogs.Shown())
            texts.push_back(r.Text);
        return texts;
    }
    void Drop(const QString& folder, const QString& caption)
    {
        std::unique_ptr<QMimeData> data(EncodeListDrag({folder, {caption}, 1}));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        // The window's filter on its view, as the application's dispatch
        // reaches it for a real drop.
        static_cast<QObject*>(editor.get())->eventFilter(editor->PGImage1->viewport(), &drop);
    }

    // The dialog on screen, wherever its window belongs.
    static QDialog* ShownDialog()
    {
        for (QWidget* window : QApplication::allWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }

    test::TempDir registry;
    test::TempDir files;
    test::RecordingDialogs dialogs;
    std::unique_ptr<TfrmAcquire> editor;
};

TEST_F(Editor, CommandTableBuildsEveryActionOnce)
{
    QSet<QString> names;
    for (const auto& command : TfrmAcquire::Commands()) {
        QAction* action = editor->Action(command.Name);
        ASSERT_NE(action, nullptr) << command.Name;
        EXPECT_FALSE(names.contains(command.Name)) << command.Name;
        names.insert(command.Name);
        EXPECT_EQ(action->data().toInt(), command.Tag);
    }
    EXPECT_EQ(editor->windowTitle(), "Lumeno Image Editor");
    EXPECT_FALSE(editor->Image1->isEnabled());
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_FALSE(editor->Action("Acquire1")->isEnabled());
    Show(4, 3);
    EXPECT_TRUE(editor->Filters1->isEnabled());
}

// Save As writes on a worker: the window's loop turns and its commands
// are refused meanwhile; Esc stops the save and leaves an old file alone.
class EditorSave : public Editor {
protected:
    void SaveAs(const std::string& path)
    {
        Trigger("SaveAs1");
        editor->PGSaveDialog1->selectFile(QString::fromStdString(path));
        // done() skips the dialog's own overwrite question.
        static_cast<QDialog*>(editor->PGSaveDialog1.Get())->done(QDialog::Accepted);
    }
    bool Refusing() const
    {
        return !editor->menuBar()->isEnabled() && !editor->findChild<QToolBar*>("ToolBar1")->isEnabled() &&
               !editor->PGImage1->viewport()->acceptDrops();
    }
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(files.Path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(EditorSave, RunsOffTheWindowThreadAndFinishesWithTheFile)
{
    Show(1800, 1200);
    const std::string path = files.File("saved.png");
    SaveAs(path);
    EXPECT_TRUE(Refusing());
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++turns; });
    ticker.start(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Refusing(); }, 30000));
    EXPECT_GT(turns, 0);
    EXPECT_TRUE(dialogs.Shown().empty());
    TPixelGraphic saved;
    saved.LoadFromFile(path);
    EXPECT_EQ(saved.GetWidth(), 1800);
    EXPECT_EQ(saved.GetPixelColor(1234, 567), Image().GetPixelColor(1234, 567));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"saved.png"});
}

TEST_F(EditorSave, EscStopsItAndKeepsTheOldFile)
{
    const std::string path = files.File("old.png");
    test::WriteFileBytes(path, {'o', 'l', 'd'});
    Show(2400, 1800);
    SaveAs(path);
    QAction* stop = editor->findChild<QAction*>("StopSave");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->shortcut(), QKeySequence(Qt::Key_Escape));
    ASSERT_TRUE(stop->isEnabled());
    stop->trigger();
    EXPECT_FALSE(Refusing());
    EXPECT_FALSE(stop->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(test::ReadFileBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"old.png"});
    EXPECT_TRUE(dialogs.Shown().empty());
}

// Closing the window meanwhile waits for the save: the window stays until
// the file is whole. Esc, or a failure, calls the close off.
TEST_F(EditorSave, ClosingWaitsForTheSave)
{
    Show(1600, 1200);
    editor->show();
    const std::string path = files.File("saved.png");
    SaveAs(path);
    editor->close();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->Saving());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->isVisible(); }, 30000));
    EXPECT_FALSE(editor->Saving());
    TPixelGraphic saved;
    saved.LoadFromFile(path);
    ASSERT_EQ(saved.GetWidth(), 1600);
    ASSERT_EQ(saved.GetHeight(), 1200);
    EXPECT_EQ(saved.GetPixelColor(1599, 1199), Image().GetPixelColor(1599, 1199));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(EditorSave, EscOrAFailureCallsTheCloseOff)
{
    const std::string path = files.File("old.png");
    test::WriteFileBytes(path, {'o', 'l', 'd'});
    Show(2400, 1800);
    editor->show();
    SaveAs(path);
    editor->close();
    editor->findChild<QAction*>("StopSave")->trigger();
    QTest::qWait(50);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(test::ReadFileBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));

    SaveAs(files.File("missing/x.png"));
    editor->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor->Saving(); }, 30000));
    QTest::qWait(20);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}

TEST_F(EditorSave, FailureIsShownOnceTheWorkerEnds)
{
    Show(40, 30);
    SaveAs(files.File("missing/x.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Refusing(); }, 10000));
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(files.File("missing")));
}

TEST_F(Editor, UndoHoldsTheStateBeforeTheLastCommand)
{
    Show(7, 5);
    Trigger("Rotate90CW1");
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Rotate");
    ASSERT_EQ(Image().GetWidth(), 5);
    const TColor turned = Image().GetPixelColor(4, 0);
    Trigger("FlipHorizontal1");
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Flip Horizontal");
    Trigger("Undo1");
    EXPECT_EQ(Image().GetWidth(), 5);
    EXPECT_EQ(Image().GetPixelColor(4, 0), turned);
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo");

    Trigger("Rotate90CCW1");
    Trigger("Rotate1801");
    EXPECT_EQ(Image().GetWidth(), 7);
    EXPECT_EQ(Image().GetPixelColor(6, 4), turned);
}

TEST_F(Editor, RotationsAndTheArbitraryAngle)
{
    Show(9, 4);
    editor->RotateImage(45);
    EXPECT_GT(Image().GetWidth(), 9);
    editor->fRotate->eAngle->setText("30");
    editor->fRotate->rbCounterClockwise->setChecked(true);
    EXPECT_DOUBLE_EQ(static_cast<double>(editor->fRotate->Angle()), 330.0);
}

TEST_F(Editor, CropNeedsASelection)
{
    Show(20, 10);
    Trigger("Crop1");
    EXPECT_EQ(Texts(), std::vector<std::string>{"You need to select an area first"});
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    editor->PGImage1->SetSelection(true);
    editor->PGImage1->SetSelectionLeft(2);
    editor->PGImage1->SetSelectionTop(3);
    editor->PGImage1->SetSelectionWidth(6);
    editor->PGImage1->SetSelectionHeight(4);
    const TColor corner = Image().GetPixelColor(2, 3);
    Trigger("Crop1");
    EXPECT_EQ(Image().GetWidth(), 6);
    EXPECT_EQ(Image().GetHeight(), 4);
    EXPECT_EQ(Image().GetPixelColor(0, 0), corner);
    EXPECT_FALSE(editor->PGImage1->GetSelection());
}

TEST_F(Editor, DropsOpenWhatTheProgramCallsAnImage)
{
    Show(4, 4);
    Drop(QString::fromStdString(files.Path().string()), "x.if");
    Drop(QString::fromStdString(files.Path().string()), "x.xyz");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Can't edit " + files.File("x.if"),
                                                 "Can't edit " + files.File("x.xyz")}));
    TPixelGraphic photo;
    photo.SetDimensions(12, 8, pf24Bit);
    photo.SaveToFile(files.File("x.jpg"));
    std::filesystem::rename(files.File("x.jpg"), files.File("x.jpeg"));
    Drop(QString::fromStdString(files.Path().string()), "x.jpeg");
    EXPECT_EQ(Image().GetWidth(), 12);

    std::ofstream(files.File("broken.png")) << "not a picture";
    dialogs.Reset();
    Drop(QString::fromStdString(files.Path().string()), "broken.png");
    EXPECT_EQ(Texts().size(), 1u);
    ASSERT_NE(editor->PGImage1->PeekPixelGraphic(), nullptr);
    EXPECT_EQ(Image().GetWidth(), 12);
}

TEST_F(Editor, OpeningAnotherFileLeavesNoUndoOfThePictureBefore)
{
    TPixelGraphic photo;
    photo.SetDimensions(9, 7, pf24Bit);
    photo.SaveToFile(files.File("b.bmp"));
    Show(4, 4);
    Trigger("Rotate1801");
    Trigger("Open1");
    editor->PGOpenDialog1->selectFile(QString::fromStdString(files.File("b.bmp")));
    static_cast<QDialog*>(editor->PGOpenDialog1.Get())->accept();
    EXPECT_EQ(Image().GetWidth(), 9);
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_EQ(editor->PGSaveDialog1->GetFileName(), files.File("b.bmp"));
}

// A dropped or scanned picture is not an edit of the one before: neither
// undo nor Save As may put that one's pixels or name over it.
TEST_F(Editor, DropsAndScansStartAPictureOfTheirOwn)
{
    TPixelGraphic photo;
    photo.SetDimensions(9, 7, pf24Bit);
    photo.SaveToFile(files.File("b.bmp"));
    photo.SaveToFile(files.File("a.bmp"));
    editor->EditFile(files.File("a.bmp"));
    editor->PGImage1->SetSelection(true);
    editor->PGImage1->SetSelectionWidth(3);
    Trigger("Rotate1801");
    ASSERT_TRUE(editor->Action("Undo1")->isEnabled());
    Drop(QString::fromStdString(files.Path().string()), "b.bmp");
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_FALSE(editor->PGImage1->GetSelection());
    EXPECT_EQ(editor->PGSaveDialog1->GetFileName(), files.File("b.bmp"));

    Trigger("Rotate1801");
    {
        test::FakeSourceList fake;
        PGTwain().TWAIN_SetHideUI(true);
        editor->Acquire1Click();
    }
    EXPECT_EQ(Image().GetWidth(), 3);
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_EQ(editor->PGSaveDialog1->GetFileName(), "");
}

TEST_F(Editor, OpenStartsInTheShownPicturesFolder)
{
    TPixelGraphic photo;
    photo.SetDimensions(9, 7, pf24Bit);
    std::filesystem::create_directories(files.File("sub"));
    photo.SaveToFile(files.File("sub/a.bmp"));
    editor->EditFile(files.File("sub/a.bmp"));
    Trigger("Open1");
    EXPECT_EQ(editor->PGOpenDialog1->directory().absolutePath().toStdString(), files.File("sub"));
    static_cast<QDialog*>(editor->PGOpenDialog1.Get())->reject();
}

TEST_F(Editor, SaveAsAsksBeforeReplacing)
{
    Show(4, 4);
    Trigger("SaveAs1");
    ASSERT_TRUE(editor->PGSaveDialog1->isVisible());
    EXPECT_FALSE(editor->PGSaveDialog1->testOption(QFileDialog::DontConfirmOverwrite));
    editor->PGSaveDialog1->reject();
}

TEST_F(Editor, EditFileClearsUndoAndKeepsThePictureOnAnUnreadableFile)
{
    TPixelGraphic photo;
    photo.SetDimensions(9, 7, pf24Bit);
    photo.SaveToFile(files.File("a.bmp"));
    Show(4, 4);
    Trigger("Rotate1801");
    editor->EditFile(files.File("a.bmp"));
    EXPECT_EQ(Image().GetWidth(), 9);
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    EXPECT_EQ(editor->PGSaveDialog1->GetFileName(), files.File("a.bmp"));
    // The caller names the file in its own message.
    EXPECT_ANY_THROW(editor->EditFile(files.File("missing.bmp")));
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(Image().GetWidth(), 9);
    EXPECT_EQ(editor->PGSaveDialog1->GetFileName(), files.File("a.bmp"));
}

TEST_F(Editor, ResizeKeepsProportionsAndRefusesEmptySizes)
{
    Show(640, 480);
    editor->PGImage1->SetSelection(true);
    editor->PGImage1->SetSelectionWidth(300);
    Trigger("Resize1");
    TfrmResize& dlg = *editor->frmResize;
    EXPECT_EQ(dlg.lOldWidth->text(), "640");
    dlg.eNewWidth->setText("333");
    emit dlg.eNewWidth->editingFinished();
    EXPECT_EQ(dlg.eNewHeight->text(), "250");
    dlg.eNewWidth->setText("6");
    emit dlg.eNewWidth->editingFinished();
    EXPECT_EQ(dlg.eNewHeight->text(), "4");
    dlg.eNewHeight->setText("0");
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(Image().GetWidth(), 640);
    dlg.eNewHeight->setText("4");
    dlg.accept();
    EXPECT_EQ(Image().GetWidth(), 6);
    EXPECT_EQ(Image().GetHeight(), 4);
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Resize");
    EXPECT_FALSE(editor->PGImage1->GetSelection()) << "the old selection marked another area";
}

TEST_F(Editor, ColorResolutionEnablesOkForValidCounts)
{
    TfrmColorRez& dlg = *editor->frmColorRez;
    auto type = [](QLineEdit* edit, const QString& text) {
        edit->setText(text);
        emit edit->textEdited(text);
    };
    type(dlg.BC4ColorsEdit, "17");
    EXPECT_TRUE(dlg.BC4OptimizedRB->isChecked());
    EXPECT_TRUE(dlg.BC4RB->isChecked());
    EXPECT_FALSE(dlg.OKButton->isEnabled());
    type(dlg.BC4ColorsEdit, "16");
    EXPECT_TRUE(dlg.OKButton->isEnabled());
    type(dlg.BC8ColorsEdit, "1");
    EXPECT_TRUE(dlg.BC8OptimizedRB->isChecked());
    EXPECT_TRUE(dlg.BC8RB->isChecked());
    EXPECT_FALSE(dlg.OKButton->isEnabled());
    type(dlg.BC8ColorsEdit, "");
    EXPECT_FALSE(dlg.OKButton->isEnabled());
    type(dlg.BC8ColorsEdit, "200");
    EXPECT_TRUE(dlg.OKButton->isEnabled());

    dlg.BC8Special216RB->click();
    EXPECT_TRUE(dlg.BC8RB->isChecked());
    EXPECT_EQ(dlg.Choice().Palette, pSpecial216);
    dlg.BC1BlackWhiteRB->click();
    EXPECT_EQ(dlg.Choice().PixelFormat, pf1Bit);
    EXPECT_EQ(dlg.Choice().Palette, pBlackWhite);
    dlg.BC8OptimizedIncludeSys16CB->click();
    EXPECT_TRUE(dlg.BC8OptimizedRB->isChecked());
    EXPECT_EQ(dlg.Choice().Colors, 200);

    Show(10, 10);
    dlg.accept();
    EXPECT_EQ(Image().GetPixelFormat(), pf8Bit);
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Color Resolution");
}

TEST_F(Editor, RedEyeTakesItsSnapshotOnlyOnOk)
{
    Show(8, 8);
    Trigger("RedEyeReduction1");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Select an eye area first"});
    Trigger("Rotate1801");
    editor->PGImage1->SetSelection(true);
    editor->PGImage1->SetSelectionLeft(2);
    editor->PGImage1->SetSelectionTop(2);
    editor->PGImage1->SetSelectionWidth(4);
    editor->PGImage1->SetSelectionHeight(4);
    Trigger("RedEyeReduction1");
    editor->frmRedEyeReduction->reject();
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Rotate");
    Trigger("RedEyeReduction1");
    editor->frmRedEyeReduction->tbReductionAmount->setValue(80);
    editor->frmRedEyeReduction->accept();
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Red Eye Reduction");
}

TEST_F(Editor, RadialAdjustmentRefusesBadNumbersAndOkWithoutApply)
{
    Show(12, 12);
    Trigger("RadialAdjustment1");
    TfrmBarrel& dlg = *editor->frmBarrel;
    dlg.accept();
    EXPECT_EQ(Texts(), std::vector<std::string>{"You did not Apply a radial adjustment. Reopen and click "
                                                "\"Apply\" before clicking \"OK\""});
    EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
    dialogs.Reset();
    dlg.eB->setText("x");
    dlg.btnSmBarrel->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Invalid values entered!"});
    EXPECT_TRUE(dlg.PGImage2->GetEmpty());
    dlg.eB->setText("0");
    Trigger("RadialAdjustment1");
    dlg.btnSmBarrel->click();
    ASSERT_FALSE(dlg.PGImage2->GetEmpty());
    dlg.accept();
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Radial Adjust");
    EXPECT_TRUE(dlg.PGImage2->GetEmpty());
}

TEST_F(Editor, SaveOptionsStoreAllOrNothing)
{
    const TSaveOptions old = ReadSaveOptions();
    TfrmFileSaveOptions& dlg = *editor->frmFileSaveOptions;
    Trigger("SaveOptions1");
    dlg.tbImageQuality->setValue(33);
    dlg.TIFFResHorizNEdit->setText("150");
    dlg.TIFFResVertDEdit->setText("two");
    dlg.accept();
    EXPECT_EQ(Texts(), std::vector<std::string>{"'two' is not a valid integer value"});
    EXPECT_EQ(JPEGQuality, old.JPEGQuality);
    EXPECT_EQ(TIFFXResolution.Numerator, old.ResHorizN);
    dlg.TIFFResVertDEdit->setText("2");
    dlg.ScreenGammaEdit->setText("0");
    dlg.accept();
    EXPECT_EQ(Texts().back(), "Screen Gamma must be greater than 0");
    EXPECT_DOUBLE_EQ(static_cast<double>(DefaultGamma), old.ScreenGamma);
    dlg.TIFFCompPackBitsRB->setChecked(true);
    dlg.ScreenGammaEdit->setText("1.5");
    dlg.accept();
    EXPECT_EQ(JPEGQuality, 33);
    EXPECT_EQ(TIFFXResolution.Numerator, 150);
    EXPECT_EQ(TIFFYResolution.Denominator, 2);
    EXPECT_EQ(TIFFCompression, 32773);
    EXPECT_DOUBLE_EQ(static_cast<double>(DefaultGamma), 1.5);
    StoreSaveOptions(old);

    // A value no button stands for leaves the whole group unchecked.
    TSaveOptions odd = old;
    odd.TIFFCompression = 5;
    dlg.Fill(odd);
    EXPECT_FALSE(dlg.TIFFCompNoneRB->isChecked() || dlg.TIFFCompPackBitsRB->isChecked());
}

TEST_F(Editor, GaussianBlurOfAPaletteImageShowsTheMessageAndKeepsUndo)
{
    Show(10, 10, pf8Bit);
    Trigger("Rotate1801");
    editor->frmGaussianBlur->tbStrength->setValue(31);
    EXPECT_EQ(editor->frmGaussianBlur->findChild<QLabel*>("Label4")->text(), "3.1");
    editor->frmGaussianBlur->accept();
    EXPECT_EQ(Texts(), std::vector<std::string>{GaussianBlur24Message});
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Rotate");
    EXPECT_EQ(Image().GetPixelFormat(), pf8Bit);
}

TEST_F(Editor, EffectsRunFromTheUntouchedPicture)
{
    Show(300, 100);
    Trigger("Mosaic1");
    TfrmNewEFX& dlg = *editor->frmNewEFX;
    EXPECT_EQ(dlg.windowTitle(), "Mosaic");
    EXPECT_EQ(dlg.SourcePreview->Width, 240);
    EXPECT_EQ(dlg.SourcePreview->Height, 80);
    EXPECT_EQ(dlg.PreviewY, (240 - 80) / 2 + 5);
    dlg.TrackBar1->setValue(10);
    dlg.TrackBar1->setValue(0);
    EXPECT_EQ(std::memcmp(dlg.SourcePreview->Bits, dlg.DestPreview->Bits, dlg.SourcePreview->Size), 0);
    dlg.TrackBar1->setValue(4);
    dlg.accept();
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Mosaic");
    EXPECT_EQ(Image().GetPixelColor(1, 1), Image().GetPixelColor(0, 0));
    EXPECT_EQ(TfrmNewEFX::PreviewSize(1000, 1), QSize(240, 1));

    Trigger("Emboss1");
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo Emboss");
    Trigger("Bevel1");
    EXPECT_EQ(editor->Action("Undo1")->text(), "Undo 3D Bevel");
    Trigger("DropShadow1");
    EXPECT_EQ(Image().GetWidth(), 307);
}

TEST_F(Editor, ZoomClicksStopAtTheLimits)
{
    Show(50, 50);
    editor->tbZoom->setChecked(true);
    editor->tbZoomClick();
    for (int i = 0; i < 20; ++i)
        editor->PicBoxMouseDown(Qt::LeftButton, 10, 10);
    EXPECT_GE(static_cast<double>(editor->PGImage1->GetZoomFactor()), 3.0);
    EXPECT_LT(static_cast<double>(editor->PGImage1->GetZoomFactor()), 3.2);
    for (int i = 0; i < 30; ++i)
        editor->PicBoxMouseDown(Qt::RightButton, 10, 10);
    EXPECT_LE(static_cast<double>(editor->PGImage1->GetZoomFactor()), 0.3);
}

TEST_F(Editor, AcquireLeavesNoTemporaryFile)
{
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(files.Path().string()));
    {
        test::FakeSourceList fake;
        PGTwain().TWAIN_SetHideUI(true);
        editor->Acquire1Click();
        ASSERT_NE(editor->PGImage1->PeekPixelGraphic(), nullptr);
        EXPECT_EQ(Image().GetWidth(), 3);
        EXPECT_EQ(Image().GetHeight(), 2);
        fake.Script.Transfer = TWRC_CANCEL;
        editor->Acquire1Click();
        EXPECT_EQ(Image().GetWidth(), 3);
    }
    if (oldTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
    EXPECT_TRUE(std::filesystem::is_empty(files.Path()));
}

// A dialog open over the editor works on the picture shown: it stays in front
// of the editor, blocks it, and no command or edit request replaces the
// picture under it.
TEST_F(Editor, OpenDialogsBlockTheEditorAndKeepThePicture)
{
    TPixelGraphic photo;
    photo.SetDimensions(9, 7, pf24Bit);
    photo.SaveToFile(files.File("other.bmp"));
    editor->show();
    Show(40, 30);
    for (const char* command : {"Sharpen1", "RGB1", "Arbitrary1"}) {
        SCOPED_TRACE(command);
        Trigger(command);
        QDialog* dialog = ShownDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->parentWidget(), editor.get());
        EXPECT_TRUE(dialog->isWindow());
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        Trigger("Rotate90CW1");
        editor->tbRotateRight->click();
        editor->EditFile(files.File("other.bmp"));
        EXPECT_EQ(Image().GetWidth(), 40);
        EXPECT_FALSE(editor->Action("Undo1")->isEnabled());
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
        EXPECT_EQ(ShownDialog(), nullptr);
    }
    Trigger("Rotate90CW1");
    EXPECT_EQ(Image().GetWidth(), 30);
    editor->EditFile(files.File("other.bmp"));
    EXPECT_EQ(Image().GetWidth(), 9);
}

// A box that follows a dialog of the editor opens in front of the editor,
// not behind it for want of an active window.
TEST_F(Editor, MessagesAfterADialogOpenInFrontOfTheEditor)
{
    test::OwnerRecordingDialogs boxes;
    editor->show();
    Show(10, 10, pf8Bit);
    Trigger("GaussianBlur1");
    QTest::mouseClick(editor->frmGaussianBlur->findChild<QPushButton*>("btnOK"), Qt::LeftButton);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, GaussianBlur24Message);
    EXPECT_EQ(boxes.Owners[0], editor.get());
}

} // namespace
} // namespace lumeno
