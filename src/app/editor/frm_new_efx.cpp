#include "app/editor/frm_new_efx.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"
#include "imagelib/pixel_graphic.h"
#include "platform/qt/wait_cursor.h"

#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace lumeno {

namespace {
constexpr int PreviewSide = 240;
}

TfrmNewEFX::TfrmNewEFX(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmNewEFX");
    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(PreviewSide + 10);
    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setRange(0, 100);
    layout->addWidget(TrackBar1);
    AddOkCancel(this, layout);
    setMinimumWidth(PreviewSide + 10 + 2 * layout->contentsMargins().left());
    connect(TrackBar1, &QSlider::valueChanged, this, &TfrmNewEFX::TrackBar1Change);
}

TfrmNewEFX::~TfrmNewEFX() = default;

QSize TfrmNewEFX::PreviewSize(int Width, int Height)
{
    if (Width < 1 || Height < 1)
        return {1, 1};
    const Extended ratio = static_cast<Extended>(Width) / Height;
    if (ratio > 1)
        return {PreviewSide, std::max<int>(1, static_cast<int>(Round(PreviewSide / ratio)))};
    return {std::max<int>(1, static_cast<int>(Round(ratio * PreviewSide))), PreviewSide};
}

void TfrmNewEFX::Prepare(int ATag, TPixelGraphic& Image)
{
    const TWaitCursor wait;
    FTag = ATag;
    setWindowTitle(AmountEffectName(ATag));
    const QSignalBlocker block(TrackBar1);
    TrackBar1->setValue(0);
    const QSize size = PreviewSize(Image.GetWidth(), Image.GetHeight());
    PreviewX = (PreviewSide - size.width()) / 2 + 5;
    PreviewY = (PreviewSide - size.height()) / 2 + 5;
    TPixelGraphic preview;
    preview.SetDimensions(size.width(), size.height(), pf24Bit);
    preview.StretchFrom(Image);
    SourcePreview = TFastBMP::CreateFromBitmap(preview);
    DestPreview = TFastBMP::CreateFromBitmap(preview);
    update();
}

int TfrmNewEFX::Amount() const
{
    return TrackBar1->value();
}

void TfrmNewEFX::TrackBar1Change(int Position)
{
    if (!SourcePreview)
        return;
    RunAmountEffect(*SourcePreview, *DestPreview, FTag, Position);
    update();
}

void TfrmNewEFX::paintEvent(QPaintEvent* Event)
{
    QDialog::paintEvent(Event);
    if (!DestPreview)
        return;
    QPainter painter(this);
    const int left = (width() - PreviewSide) / 2 - 5;
    DestPreview->Draw(painter, left + PreviewX, PreviewY);
}

void TfrmNewEFX::done(int Result)
{
    SourcePreview.reset();
    DestPreview.reset();
    QDialog::done(Result);
}

} // namespace lumeno
