// The editor's command handlers.

#include "app/editor/edit_ops.h"
#include "app/editor/editor_host.h"
#include "app/editor/f_rotate.h"
#include "app/editor/frm_acquire.h"
#include "app/editor/frm_barrel.h"
#include "app/editor/frm_border.h"
#include "app/editor/frm_color_rez.h"
#include "app/editor/frm_file_save_options.h"
#include "app/editor/frm_gaussian_blur.h"
#include "app/editor/frm_new_efx.h"
#include "app/editor/frm_red_eye_reduction.h"
#include "app/editor/frm_resize.h"
#include "app/effects/frames.h"
#include "app/effects/gaussian_blur.h"
#include "imagelib/format_registry.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/stoppable_save.h"
#include "imagelib/twain/pg_twain.h"
#include "imagelib/view/bcg_filter_dialog.h"
#include "imagelib/view/blur_filter_dialog.h"
#include "imagelib/view/cmy_filter_dialog.h"
#include "imagelib/view/contour_filter_dialog.h"
#include "imagelib/view/detail_filter_dialog.h"
#include "imagelib/view/gray_scale_filter_dialog.h"
#include "imagelib/view/hls_filter_dialog.h"
#include "imagelib/view/hsv_filter_dialog.h"
#include "imagelib/view/negative_filter_dialog.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_open_dialog.h"
#include "imagelib/view/pg_save_dialog.h"
#include "imagelib/view/rgb_filter_dialog.h"
#include "imagelib/view/sharpen_filter_dialog.h"
#include "imagelib/view/smooth_filter_dialog.h"
#include "imagelib/view/ycbcr_filter_dialog.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryFile>
#include <QToolButton>

namespace lumeno {

extern const char* const ScreenCaptureRefusedMessage;
const char* const ScreenCaptureRefusedMessage = "The desktop does not allow the screen to be captured.";

void TfrmAcquire::EditFile(const std::string& Path)
{
    if (QDialog* dialog = OpenDialog()) {
        show();
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    PGImage1->SetZoomFactor(1.0L);
    FUndo.Clear();
    UpdateUndo();
    show();
    LoadFile(Path, Path);
}

void TfrmAcquire::LoadFile(const std::string& Path, const std::string& SaveName)
{
    auto image = std::make_unique<TPixelGraphic>();
    image->SetReadWarningAction(pgwaIgnore);
    image->LoadFromFile(Path);
    TakeNewPicture(std::move(image), SaveName);
}

void TfrmAcquire::TakeNewPicture(std::unique_ptr<TPixelGraphic> Image, const std::string& SaveName)
{
    PGImage1->SetSelection(false);
    PGImage1->SetPixelGraphic(std::move(Image));
    FUndo.Clear();
    UpdateUndo();
    FPictureName = SaveName;
    PGSaveDialog1.Configure([SaveName](TPGSaveDialog& dialog) { dialog.SetFileName(SaveName); });
}

void TfrmAcquire::RotateImage(Extended Angle)
{
    ReplaceImage("Rotate", [Angle](TPixelGraphic& image) { return RotatedImage(image, Angle); });
}

// --- File -------------------------------------------------------------------

void TfrmAcquire::Open1Click()
{
    PGImage1->SetSelection(false);
    // The dialog starts where the shown picture is.
    if (!FPictureName.empty()) {
        PGOpenDialog1->SetFileName("");
        PGOpenDialog1->setDirectory(QFileInfo(QString::fromStdString(FPictureName)).absolutePath());
    }
    PGOpenDialog1->ExecuteAsync([this](bool ok) {
        if (ok)
            Safely([this] {
                LoadFile(PGOpenDialog1->GetFileName(), PGOpenDialog1->GetFileName());
                PGImage1->SetZoomFactor(1.0L);
            });
    });
}

void TfrmAcquire::SaveAs1Click()
{
    PGSaveDialog1->ExecuteAsync([this](bool ok) {
        if (ok)
            Safely([this] { SaveImageAs(PGSaveDialog1->GetFileName()); });
    });
}

void TfrmAcquire::SaveImageAs(const std::string& FileName)
{
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    if (!image)
        throw EPGEmpty(GetPGLangStrS1(16, "PixelGraphic"));
    // The colour-resolution question is asked here; the worker's copy does
    // not ask again.
    image->SetSaveColorResWarningAction(PGImage1->GetSaveColorResWarningAction());
    ConfirmSave(*image, ExtractFormatExtension(FileName));
    auto copy = std::make_shared<TPixelGraphic>();
    copy->Assign(image);
    copy->SetSaveColorResWarningAction(pgwaIgnore);
    SetSaving(true);
    FSave.Start(
        [copy, FileName](TWorkerTask::TProgress& progress) {
            copy->SetOnProgress(
                [&progress](TObject*, int step, int max, bool&) { progress.Report(step, max); });
            SaveToFileStoppable(*copy, FileName);
        },
        [this](int percent) { GaugeStep(percent, 100); },
        [this](std::exception_ptr error) { SaveDone(error); });
}

void TfrmAcquire::SaveDone(std::exception_ptr Error)
{
    SetSaving(false);
    if (Error)
        Safely([&] { std::rethrow_exception(Error); });
}

void TfrmAcquire::StopSave()
{
    FSave.Stop();
    SetSaving(false);
}

void TfrmAcquire::SaveOptions1Click()
{
    frmFileSaveOptions->Fill(ReadSaveOptions());
    frmFileSaveOptions->open();
}

void TfrmAcquire::Select1Click()
{
    PGTwain().TWAIN_SelectImageSource(this);
}

// The scan goes through a BMP file in the temporary folder, which goes
// away in every case with the QTemporaryFile.
void TfrmAcquire::Acquire1Click()
{
    try {
        HGLOBAL dib = PGTwain().TWAIN_AcquireDib(this, 0);
        update();
        if (!dib)
            return;
        QTemporaryFile file(QDir::tempPath() + "/VEZXXXXXX.bmp");
        const bool created = file.open();
        file.close();
        const int saved = created ? TPGTwain::TWAIN_SaveDibToFile(dib, file.fileName().toStdString()) : -2;
        TPGTwain::TWAIN_FreeDib(dib);
        if (saved != 0)
            throw std::runtime_error("not saved");
        LoadFile(file.fileName().toStdString(), "");
    } catch (const std::exception&) {
        ShowMessage("Unable to aquire image");
    }
}

void TfrmAcquire::Print1Click()
{
    if (TPixelGraphic* image = PGImage1->GetPixelGraphic())
        image->Print(false, true, this);
}

void TfrmAcquire::Close1Click()
{
    close();
}

void TfrmAcquire::Undo1Click()
{
    if (!FUndo.Available())
        return;
    PGImage1->SetPixelGraphic(FUndo.Take());
    UpdateUndo();
}

// --- Image --------------------------------------------------------------------

void TfrmAcquire::Rotate1801Click()
{
    RotateImage(180);
}

void TfrmAcquire::Rotate90CW1Click()
{
    RotateImage(90);
}

void TfrmAcquire::Rotate90CCW1Click()
{
    RotateImage(270);
}

void TfrmAcquire::Arbitrary1Click()
{
    fRotate->open();
}

void TfrmAcquire::FlipHorizontal1Click()
{
    ChangeImage("Flip Horizontal", [](TPixelGraphic& image) { image.FlipHorizontal(); });
}

void TfrmAcquire::FlipVertical1Click()
{
    ChangeImage("Flip Vertical", [](TPixelGraphic& image) { image.FlipVertical(); });
}

void TfrmAcquire::Crop1Click()
{
    if (!PGImage1->GetSelection()) {
        ShowMessage("You need to select an area first");
        return;
    }
    const int l = PGImage1->GetSelectionLeft(), t = PGImage1->GetSelectionTop();
    const int w = PGImage1->GetSelectionWidth(), h = PGImage1->GetSelectionHeight();
    ReplaceImage("Crop", [&](TPixelGraphic& image) { return CroppedImage(image, l, t, w, h); });
    PGImage1->SetSelection(false);
}

void TfrmAcquire::DropShadow1Click()
{
    ReplaceImage("Drop Shadow", [](TPixelGraphic& image) { return FramedCopy(image, AddDropShadow); });
}

void TfrmAcquire::WhiteBorder1Click()
{
    ReplaceImage("White Border",
                 [](TPixelGraphic& image) { return FramedCopy(image, lumeno::AddWhiteFrame); });
}

void TfrmAcquire::Gradient1Click()
{
    frmBorder->open();
}

void TfrmAcquire::Bevel1Click()
{
    ReplaceImage("3D Bevel", [](TPixelGraphic& image) {
        return FramedCopy(image,
                          [](TPixelGraphic& g) { AddBevel(g, static_cast<int>(g.GetWidth() * 0.03)); });
    });
}

void TfrmAcquire::ColorResolution1Click()
{
    frmColorRez->open();
}

void TfrmAcquire::Resize1Click()
{
    frmResize->Prepare(PGImage1->GetPixelGraphicWidth(), PGImage1->GetPixelGraphicHeight());
    frmResize->open();
}

void TfrmAcquire::RadialAdjustment1Click()
{
    frmBarrel->PGImage1->AssignPixelGraphic(PGImage1->GetPixelGraphic());
    frmBarrel->PGImage2->SetPixelGraphic(nullptr);
    frmBarrel->open();
}

// --- Filters ------------------------------------------------------------------

namespace {

template <typename D>
void RunPreviewFilter(
    TfrmAcquire& Editor, D* Dialog, const char* Name,
    const std::function<void(const std::function<void()>&)>& Safely,
    const std::function<void(const std::string&, const std::function<void(TPixelGraphic&)>&)>& Change)
{
    TPixelGraphic* image = Editor.PGImage1->GetPixelGraphic();
    if (!image)
        return;
    Dialog->ExecuteAsync(image, [=](bool ok) {
        if (ok)
            Safely(
                [&] { Change(Name, [Dialog](TPixelGraphic& g) { g.ApplyFilter(Dialog->GetFilter(), g); }); });
    });
}

} // namespace

void TfrmAcquire::ColorFilterClick()
{
    auto safely = [this](const std::function<void()>& f) { Safely(f); };
    auto change = [this](const std::string& n, const std::function<void(TPixelGraphic&)>& f) {
        ChangeImage(n, f);
    };
    switch (SenderTag()) {
    case 1:
        return RunPreviewFilter(*this, RGBFilterDialog1, "RGB", safely, change);
    case 2:
        return RunPreviewFilter(*this, CMYFilterDialog1, "CMY", safely, change);
    case 3:
        return RunPreviewFilter(*this, YCbCrFilterDialog1, "YCbCr", safely, change);
    case 4:
        return RunPreviewFilter(*this, HLSFilterDialog1, "HSL", safely, change);
    case 5:
        return RunPreviewFilter(*this, HSVFilterDialog1, "HSV", safely, change);
    case 6:
        return RunPreviewFilter(*this, BCGFilterDialog1, "BCG", safely, change);
    case 7:
        return RunPreviewFilter(*this, GrayScaleFilterDialog1, "Greyscale", safely, change);
    default:
        return RunPreviewFilter(*this, NegativeFilterDialog1, "Negative", safely, change);
    }
}

void TfrmAcquire::ConvFilterClick()
{
    TConvFilterDialog* dialogs[5] = {SharpenFilterDialog1, DetailFilterDialog1, SmoothFilterDialog1,
                                     BlurFilterDialog1, ContourFilterDialog1};
    static const char* const names[5] = {"Sharpen", "Detail", "Smooth", "Blur", "Contour"};
    const int index = std::clamp(SenderTag(), 1, 5) - 1;
    TConvFilterDialog* dialog = dialogs[index];
    const char* name = names[index];
    dialog->ExecuteAsync([this, dialog, name](bool ok) {
        if (!ok)
            return;
        update();
        Safely([&] {
            ReplaceImage(name, [&](TPixelGraphic& image) {
                auto result = std::make_unique<TPixelGraphic>();
                HookGauge(*result);
                result->ApplyFilter(dialog->GetFilter(), image);
                result->SetOnProgressStart({});
                result->SetOnProgress({});
                result->SetOnProgressEnd({});
                return result;
            });
        });
    });
}

void TfrmAcquire::RedEyeReduction1Click()
{
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    if (!image)
        return;
    if (!PGImage1->GetSelection()) {
        ShowMessage("Select an eye area first");
        return;
    }
    frmRedEyeReduction->Prepare(*image, PGImage1->GetSelectionLeft(), PGImage1->GetSelectionTop(),
                                PGImage1->GetSelectionWidth(), PGImage1->GetSelectionHeight());
    frmRedEyeReduction->open();
}

void TfrmAcquire::GaussianBlur1Click()
{
    frmGaussianBlur->open();
}

void TfrmAcquire::PixelEffectClick()
{
    const int tag = SenderTag();
    ChangeImage(PixelEffectName(tag), [tag](TPixelGraphic& image) { ApplyPixelEffect(image, tag); });
}

void TfrmAcquire::AmountEffectClick()
{
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    if (!image)
        return;
    frmNewEFX->Prepare(SenderTag(), *image);
    frmNewEFX->open();
}

void TfrmAcquire::PencilDrawing1Click()
{
    ReplaceImage("Pencil Draw", [](TPixelGraphic& image) { return PencilDrawing(image); });
}

void TfrmAcquire::Posterize1Click()
{
    ReplaceImage("Posterize", [](TPixelGraphic& image) { return PosterizedImage(image); });
}

void TfrmAcquire::HelpClick()
{
    EditorHost().ShowHelp(SenderTag());
}

// Linux desktops are true colour, so the capture is always 24-bit.
void TfrmAcquire::ScreenCaptureClick()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen ? screen->grabWindow(0) : QPixmap();
    if (shot.isNull()) {
        ShowMessage(ScreenCaptureRefusedMessage);
        return;
    }
    auto image = std::make_unique<TPixelGraphic>();
    image->AssignFromGraphic(shot.toImage().convertToFormat(QImage::Format_RGB32));
    image->SetPixelFormat(pf24Bit);
    TakeNewPicture(std::move(image), "");
    Action("SaveAs1")->setEnabled(true);
}

// --- dialogs' results -----------------------------------------------------------

void TfrmAcquire::ConnectDialogs()
{
    auto onOk = [this](QDialog* dialog, std::function<void()> handler) {
        connect(dialog, &QDialog::accepted, this, [this, handler] { Safely(handler); });
    };
    onOk(fRotate, [this] { RotateImage(fRotate->Angle()); });
    onOk(frmBorder, [this] {
        ReplaceImage("Gradient Border", [this](TPixelGraphic& image) {
            return GradientBorderImage(image, frmBorder->Elliptic(), frmBorder->BorderWidth(),
                                       frmBorder->Color());
        });
    });
    onOk(frmResize, [this] {
        ReplaceImage("Resize", [this](TPixelGraphic& image) {
            return ResizedImage(image, frmResize->NewWidth(), frmResize->NewHeight());
        });
        PGImage1->SetSelection(false); // it would mark another area now
    });
    onOk(frmColorRez, [this] {
        ReplaceImage("Color Resolution",
                     [this](TPixelGraphic& image) { return ColorRezImage(image, frmColorRez->Choice()); });
    });
    onOk(frmRedEyeReduction, [this] {
        ChangeImage("Red Eye Reduction",
                    [this](TPixelGraphic& image) { frmRedEyeReduction->ApplyTo(image); });
    });
    onOk(frmBarrel, [this] {
        TPixelGraphic* adjusted = frmBarrel->PGImage2->GetPixelGraphic();
        if (!adjusted) {
            ShowMessage(RadialNotAppliedMessage);
            return;
        }
        ReplaceImage("Radial Adjust", [adjusted](TPixelGraphic&) {
            auto copy = std::make_unique<TPixelGraphic>();
            copy->Assign(adjusted);
            return copy;
        });
        frmBarrel->PGImage2->SetPixelGraphic(nullptr);
    });
    onOk(frmNewEFX, [this] {
        const int tag = frmNewEFX->Tag(), amount = frmNewEFX->Amount();
        ChangeImage(AmountEffectName(tag),
                    [=](TPixelGraphic& image) { ApplyAmountEffect(image, tag, amount); });
    });
    onOk(frmGaussianBlur, [this] {
        const double radius = frmGaussianBlur->Radius();
        GaugeStart();
        try {
            ChangeImage("Gaussian Blur", [&](TPixelGraphic& image) {
                GaussianBlur24(image, radius, [this](int percent) { GaugeStep(percent, 100); });
            });
        } catch (...) {
            GaugeEnd();
            throw;
        }
        GaugeEnd();
    });
}

// --- tool buttons and the view ----------------------------------------------------

void TfrmAcquire::tbAutoSizeClick()
{
    if (tbAutoSize->isChecked()) {
        PGImage1->SetStretch(sAlwaysKAR);
        tbZoom->setChecked(false);
        tbPointer->setChecked(true);
    } else {
        PGImage1->SetStretch(sNeverKAR);
    }
}

void TfrmAcquire::tbTileClick()
{
    PGImage1->SetTiling(tbTile->isChecked() ? tRepeat : tNone);
}

void TfrmAcquire::tbPointerClick()
{
    tbPointer->setChecked(true);
    tbZoom->setChecked(false);
    tbSelector->setChecked(false);
    PGImage1->SetSelection(false);
    PGImage1->SetActionMode(amMoveImage);
    PGImage1->GetPicBox()->unsetCursor();
}

void TfrmAcquire::tbZoomClick()
{
    PGImage1->SetSelection(false);
    if (tbZoom->isChecked()) {
        tbAutoSize->setChecked(false);
        tbPointer->setChecked(false);
        tbSelector->setChecked(false);
        PGImage1->SetActionMode(amNone);
        const int h = PGImage1->horizontalScrollBar()->value(), v = PGImage1->verticalScrollBar()->value();
        PGImage1->SetStretch(sZoomKAR);
        PGImage1->horizontalScrollBar()->setValue(h);
        PGImage1->verticalScrollBar()->setValue(v);
        PGImage1->GetPicBox()->setCursor(EditorHost().ZoomCursor());
    } else {
        PGImage1->SetActionMode(amMoveImage);
        tbAutoSizeClick();
        PGImage1->GetPicBox()->unsetCursor();
    }
}

void TfrmAcquire::tbSelectorClick()
{
    if (tbSelector->isChecked()) {
        tbPointer->setChecked(false);
        tbZoom->setChecked(false);
        PGImage1->SetActionMode(amCreateSelection);
    } else {
        PGImage1->SetSelection(false);
        PGImage1->SetActionMode(amMoveImage);
    }
}

void TfrmAcquire::PicBoxMouseDown(Qt::MouseButton Button, int X, int Y)
{
    if (!tbZoom->isChecked() || (Button != Qt::LeftButton && Button != Qt::RightButton))
        return;
    const Extended zoom = PGImage1->GetZoomFactor();
    const int ix = static_cast<int>(X / zoom), iy = static_cast<int>(Y / zoom);
    const Extended next = NextZoom(zoom, Button == Qt::LeftButton);
    PGImage1->SetZoomFactor(next);
    QScrollBar* hs = PGImage1->horizontalScrollBar();
    QScrollBar* vs = PGImage1->verticalScrollBar();
    if (hs->maximum() > 0)
        hs->setValue(static_cast<int>(ix * next) - (PGImage1->width() - 21) / 2);
    if (vs->maximum() > 0)
        vs->setValue(static_cast<int>(iy * next) - (PGImage1->height() - 21) / 2);
}

} // namespace lumeno
