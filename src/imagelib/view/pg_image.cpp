// The view control: ownership of the image, loading, saving and layout.

#include "imagelib/view/pg_image.h"

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_messages.h"
#include "imagelib/view/create_paint_pg_thread.h"
#include "platform/qt/auto_size.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace lumeno {

namespace {

// Restores the screen cursor however the load ends.
class TBusyCursor {
public:
    explicit TBusyCursor(bool Show) : FShown(Show)
    {
        if (FShown)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TBusyCursor()
    {
        if (FShown)
            QApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool FShown;
};

} // namespace

TPGImage::TPGImage(QWidget* Parent) : QAbstractScrollArea(Parent)
{
    resize(100, 100);
    FPicBoxFrameColor = palette().color(QPalette::Dark);
    FProgressClockBkColor = palette().color(QPalette::Button);
    FProgressClockLineColor = palette().color(QPalette::Dark);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    FPicBox = new TPicBox(viewport(), *this);
    FPicBox->setGeometry(0, 0, 0, 0);
    FThread = std::make_unique<TCreatePaintPGThread>(true);
    FThread->start();
}

TPGImage::~TPGImage()
{
    StopPaintThread();
}

// --- ownership -----------------------------------------------------------------

void TPGImage::StopPaintThread()
{
    FThread->Terminate();
    FThread->WaitFor();
    FAcceptedGeneration = 0;
}

TPixelGraphic* TPGImage::GetPixelGraphic()
{
    StopPaintThread();
    return FPixelGraphic.get();
}

void TPGImage::SetPixelGraphic(std::unique_ptr<TPixelGraphic> Image)
{
    ReplacePixelGraphic(nullptr);
    if (Image) {
        HookProgress(*Image);
        HookChange(*Image);
    }
    FPixelGraphic = std::move(Image);
    Rearrange();
}

void TPGImage::SetPixelGraphic(std::unique_ptr<TPixelGraphic> Image, const std::string& FileName)
{
    // Named before the change is announced, as a load from the file does.
    FFileName = FileName;
    SetPixelGraphic(std::move(Image));
}

void TPGImage::AssignPixelGraphic(TPixelGraphic* Image)
{
    std::unique_ptr<TPixelGraphic> copy;
    if (Image) {
        copy = std::make_unique<TPixelGraphic>();
        copy->Assign(Image);
    }
    SetPixelGraphic(std::move(copy));
}

std::unique_ptr<TPixelGraphic> TPGImage::GetPixelGraphicCopy()
{
    StopPaintThread();
    auto copy = std::make_unique<TPixelGraphic>();
    copy->Assign(FPixelGraphic.get());
    return copy;
}

// Frees the source after stopping the thread that may read it.
void TPGImage::ReplacePixelGraphic(std::unique_ptr<TPixelGraphic> Image)
{
    StopPaintThread();
    FPixelGraphic = std::move(Image);
    DropPaintPixelGraphic();
}

void TPGImage::DropPaintPixelGraphic()
{
    if (FKeepOldPaintPixelGraphic && FUseThread)
        FRebuildPaint = true; // the old picture stays until the new one arrives
    else
        FPaintPixelGraphic.reset();
}

void TPGImage::HookProgress(TPixelGraphic& Image)
{
    Image.SetOnProgressStart([this](TObject* Sender) { emit OnPixelGraphicProgressStart(Sender); });
    Image.SetOnProgress([this](TObject* Sender, int Step, int Max, bool& Abort) {
        emit OnPixelGraphicProgress(Sender, Step, Max, Abort);
    });
    Image.SetOnProgressEnd([this](TObject* Sender) { emit OnPixelGraphicProgressEnd(Sender); });
}

void TPGImage::HookChange(TPixelGraphic& Image)
{
    Image.SetOnChange([this](TObject*) { Rearrange(); });
}

void TPGImage::LoadFromFile(const std::string& AFileName)
{
    FFileName.clear();
    TBusyCursor busy(FShowHourGlass);
    ReplacePixelGraphic(nullptr);
    const std::size_t slash = AFileName.find_last_of('/');
    if (AFileName.substr(slash == std::string::npos ? 0 : slash + 1).empty()) {
        Rearrange();
        return;
    }
    try {
        auto image = std::make_unique<TPixelGraphic>();
        image->SetReadWarningAction(FReadWarningAction);
        image->SetFillColor(FBackGroundColor);
        HookProgress(*image);
        image->LoadFromFile(AFileName);
        HookChange(*image);
        FPixelGraphic = std::move(image);
        FFileName = AFileName;
    } catch (...) {
        Rearrange();
        throw;
    }
    Rearrange();
}

void TPGImage::SetFileName(const std::string& Value)
{
    FFileName = Value;
    LoadFromFile(Value);
}

void TPGImage::SaveToFile(const std::string& AFileName)
{
    if (!FPixelGraphic)
        throw EPGEmpty(GetPGLangStrS1(16, "PixelGraphic"));
    FPixelGraphic->SetSaveColorResWarningAction(FSaveColorResWarningAction);
    FPixelGraphic->SaveToFile(AFileName);
    FFileName = AFileName;
}

// --- layout ---------------------------------------------------------------------

int TPGImage::BorderWidth() const
{
    return frameShape() == QFrame::NoFrame ? 0 : frameWidth();
}

TPGSize TPGImage::AvailableSize() const
{
    const int b = BorderWidth();
    return {width() - 2 * b, height() - 2 * b};
}

int TPGImage::HScrollHeight() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int TPGImage::VScrollWidth() const
{
    return HScrollHeight();
}

void TPGImage::Rearrange()
{
    StopPaintThread();
    FPixelGraphicWidth = FPixelGraphic ? FPixelGraphic->GetWidth() : 0;
    FPixelGraphicHeight = FPixelGraphic ? FPixelGraphic->GetHeight() : 0;
    const int b = BorderWidth();
    std::int64_t w = FPixelGraphicWidth + 2 * b, h = FPixelGraphicHeight + 2 * b;
    bool hBar = false, vBar = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (w > FAutoSizeMaxWidth && !hBar) {
            h += HScrollHeight();
            hBar = true;
        }
        if (h > FAutoSizeMaxHeight && !vBar) {
            w += VScrollWidth();
            vBar = true;
        }
    }
    const int W = static_cast<int>(
        std::max<std::int64_t>(std::min<std::int64_t>(w, FAutoSizeMaxWidth), FAutoSizeMinWidth));
    const int H = static_cast<int>(
        std::max<std::int64_t>(std::min<std::int64_t>(h, FAutoSizeMaxHeight), FAutoSizeMinHeight));
    emit OnNewAutoSize(this, W, H);
    FRebuildPaint = true;
    FAutoSizeHint = QSize(W, H);
    if (InLayout(*this)) {
        updateGeometry();
        Layout(false);
    } else if (FAutoSize && (W != width() || H != height())) {
        resize(W, H); // lays out
    } else {
        Layout(false);
    }
    emit OnPixelGraphicChange(this);
}

void TPGImage::Layout(bool Force)
{
    TPGLayoutInput in;
    in.Source = {FPixelGraphicWidth, FPixelGraphicHeight};
    in.Available = AvailableSize();
    in.Stretch = FStretch;
    in.ZoomFactor = FZoomFactor;
    in.HScrollHeight = HScrollHeight();
    in.VScrollWidth = VScrollWidth();
    const TPGLayoutResult res = PGLayoutPicture(in);
    if (res.Zoom != FEffectiveZoomFactor) {
        FEffectiveZoomFactor = res.Zoom;
        emit OnZoomFactorChange(this);
    }
    const TPGSize P = res.Picture;
    const TPGSize pos =
        FCenter ? PGCenterOffset(P, in.Available, in.HScrollHeight, in.VScrollWidth) : TPGSize{};
    const TPGBars bars = PGNeededBars(P, in.Available, in.HScrollHeight, in.VScrollWidth);
    const int clientW = in.Available.Width - (bars.Vertical ? in.VScrollWidth : 0);
    const int clientH = in.Available.Height - (bars.Horizontal ? in.HScrollHeight : 0);
    const int hMax = std::max(0, pos.Width + P.Width - clientW),
              vMax = std::max(0, pos.Height + P.Height - clientH);
    const int hCentre = FCenter ? hMax / 2 : 0, vCentre = FCenter ? vMax / 2 : 0;
    bool move = FBox.width() != P.Width || FBox.height() != P.Height;
    if (FRearrangeAlways || Force)
        move = move || FBox.left() != pos.Width || FBox.top() != pos.Height ||
               horizontalScrollBar()->value() != hCentre || verticalScrollBar()->value() != vCentre;
    if (move) {
        FLayouting = true;
        FBox = QRect(pos.Width, pos.Height, P.Width, P.Height);
        horizontalScrollBar()->setRange(0, hMax);
        verticalScrollBar()->setRange(0, vMax);
        horizontalScrollBar()->setPageStep(std::max(1, clientW));
        verticalScrollBar()->setPageStep(std::max(1, clientH));
        horizontalScrollBar()->setSingleStep(16);
        verticalScrollBar()->setSingleStep(16);
        horizontalScrollBar()->setValue(hCentre);
        verticalScrollBar()->setValue(vCentre);
        PlacePicBox();
        FLayouting = false;
    }
    Invalidate();
}

void TPGImage::PlacePicBox()
{
    FPicBox->setGeometry(BoxInViewport());
}

QRect TPGImage::BoxInViewport() const
{
    return FBox.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

bool TPGImage::Scrollable() const
{
    return (FBox.width() > viewport()->width() && horizontalScrollBar()->maximum() > 0) ||
           (FBox.height() > viewport()->height() && verticalScrollBar()->maximum() > 0);
}

void TPGImage::Invalidate()
{
    viewport()->update();
}

void TPGImage::resizeEvent(QResizeEvent* Event)
{
    QAbstractScrollArea::resizeEvent(Event);
    Layout(true);
}

void TPGImage::scrollContentsBy(int, int)
{
    if (FLayouting)
        return;
    PlacePicBox();
    Invalidate();
}

// --- mapping --------------------------------------------------------------------

int TPGImage::PicBoxToImageX(int X) const
{
    return PGScale(X, FPixelGraphicWidth, FBox.width());
}
int TPGImage::PicBoxToImageY(int Y) const
{
    return PGScale(Y, FPixelGraphicHeight, FBox.height());
}
int TPGImage::ImageToPicBoxX(int X) const
{
    return PGScale(X, FBox.width(), FPixelGraphicWidth);
}
int TPGImage::ImageToPicBoxY(int Y) const
{
    return PGScale(Y, FBox.height(), FPixelGraphicHeight);
}

// --- properties -------------------------------------------------------------------

void TPGImage::SetAutoSize(bool Value)
{
    SetAutoSizePolicy(*this, Value, QSizePolicy::Expanding);
    SetAndRearrange(FAutoSize, Value);
}

QSize TPGImage::sizeHint() const
{
    return FAutoSize && FAutoSizeHint.isValid() ? FAutoSizeHint : QAbstractScrollArea::sizeHint();
}

QSize TPGImage::minimumSizeHint() const
{
    return FAutoSize && FAutoSizeHint.isValid() ? FAutoSizeHint : QAbstractScrollArea::minimumSizeHint();
}

void TPGImage::SetAutoSizeLimit(int& Field, int Value)
{
    if (Field == Value)
        return;
    Field = Value;
    if (FAutoSize)
        Rearrange();
}

void TPGImage::SetActionMode(TActionMode Value)
{
    if (FActionMode != Value) {
        FActionMode = Value;
        Invalidate();
        FPicBox->update();
    }
}

void TPGImage::SetCenter(bool Value)
{
    if (FCenter != Value) {
        FCenter = Value;
        Layout(true);
    }
}

void TPGImage::SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value)
{
    SetAndRearrange(FPalette8BitSys24BitGraphic, std::clamp(Value, pBlackWhite, pOptimized252Sys16));
}

void TPGImage::SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value)
{
    SetAndRearrange(FPalette8BitSys8BitGraphic, std::clamp(Value, pBlackWhite, pSource));
}

void TPGImage::SetStretch(TStretch Value)
{
    if (FStretch != Value) {
        FStretch = Value;
        Layout(true);
    }
}

void TPGImage::SetStretchMode(TStretchMode Value)
{
    SetAndRearrange(FStretchMode, Value);
}

void TPGImage::SetTiling(TTiling Value)
{
    SetAndRepaint(FTiling, Value);
}

void TPGImage::SetUseThread(bool Value)
{
    if (FUseThread != Value) {
        FUseThread = Value;
        StopPaintThread();
        FRebuildPaint = true;
        Invalidate();
    }
}

void TPGImage::SetZoomFactor(Extended Value)
{
    if (FZoomFactor != Value) {
        FZoomFactor = Value;
        Layout(true);
    }
}

int TPGImage::GetDisplayDepth() const
{
    if (FDisplayDepth > 0)
        return FDisplayDepth;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

void TPGImage::SetDisplayDepth(int Value)
{
    if (FDisplayDepth != Value) {
        FDisplayDepth = Value;
        StopPaintThread();
        FRebuildPaint = true;
        Invalidate();
    }
}

} // namespace lumeno
