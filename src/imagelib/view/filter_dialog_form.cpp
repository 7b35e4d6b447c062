#include "imagelib/view/filter_dialog_form.h"

#include "imagelib/pg_messages.h"
#include "imagelib/view/create_dest_pg_thread.h"
#include "imagelib/view/create_src_pg_thread.h"
#include "imagelib/view/filter_dialog.h"
#include "imagelib/view/filter_preview_event.h"
#include "imagelib/view/pg_bevel.h"
#include "imagelib/view/pg_image.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace lumeno {

namespace {

// A track bar that marks its neutral value on the track.
class TNeutralTrackBar : public QSlider {
public:
    TNeutralTrackBar(QWidget* Parent, int ANeutral) : QSlider(Qt::Horizontal, Parent), FNeutral(ANeutral) {}

protected:
    void paintEvent(QPaintEvent* Event) override
    {
        QSlider::paintEvent(Event);
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const QRect handle =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const int span = groove.width() - handle.width();
        const int x = groove.left() + handle.width() / 2 +
                      QStyle::sliderPositionFromValue(minimum(), maximum(), FNeutral, span);
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawLine(x, groove.top() - 3, x, groove.top() - 1);
    }

private:
    int FNeutral;
};

QString Text(const std::string& Value)
{
    return QString::fromStdString(Value);
}

// The window of the dialog's owner: the form stays in front of it and, opened
// with open(), blocks it while the preview threads read its picture.
QWidget* OwnerWindow(const TFilterDialog& Dialog)
{
    auto* owner = qobject_cast<QWidget*>(Dialog.parent());
    return owner ? owner->window() : nullptr;
}

} // namespace

QSize FilterPreviewSourceSize(int Width, int Height, QSize Client)
{
    if (Width <= 0 || Height <= 0)
        return {0, 0};
    if (Width <= Client.width() && Height <= Client.height())
        return {Width, Height};
    if (static_cast<double>(Width) / Height > static_cast<double>(Client.width()) / Client.height())
        return {Client.width(),
                static_cast<int>(Round(static_cast<Extended>(Height) * Client.width() / Width))};
    return {static_cast<int>(Round(static_cast<Extended>(Width) * Client.height() / Height)),
            Client.height()};
}

TFilterDialogForm::TFilterDialogForm(TFilterDialog& ADialog)
    : QDialog(OwnerWindow(ADialog)), FDialog(&ADialog)
{
    setObjectName(QStringLiteral("FilterDialogForm"));
    if (PGFilterDialogFont())
        setFont(*PGFilterDialogFont());
    setWindowTitle(Text(ADialog.Title));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(width(), Layout());
    if (ADialog.HasPreview)
        StartPreview();
}

TFilterDialogForm::~TFilterDialogForm()
{
    Shutdown();
}

void TFilterDialogForm::Shutdown()
{
    if (FTimer)
        FTimer->stop();
    StopDestThread();
    FSrcThread.reset();
    if (FDialog)
        FDialog->OnValuesChanged = nullptr;
    FDialog = nullptr;
}

// Coordinates are for 100 pixels per inch; the window grows with the
// screen, and texts wider or taller than the coordinates allow widen them.
int TFilterDialogForm::Layout()
{
    TFilterDialog& d = *FDialog;
    FScale = logicalDpiX() / 100.0;
    const double scale = FScale;
    const int m = d.Slider1.Used ? 10 : 40;
    FCaptionWidth = CaptionWidth();
    const int cw1 = FCaptionWidth;
    int clientWidth = 2 * m + 140;
    if (d.Slider1.Used) {
        int valueWidth = 0;
        for (int n = 1; n <= 3; ++n)
            if (d.Slider(n).Used)
                valueWidth = std::max(valueWidth, ValueWidth(n));
        clientWidth = cw1 + m + 240 + valueWidth + m + (d.HasPreview ? 10 + 140 : 0);
    }
    resize(static_cast<int>(clientWidth * scale), 0);
    int bevelTop = 10;
    for (int n = 1; n <= 3; ++n) {
        const int bottom = PlaceSlider(n, m);
        if (n == 2 && d.Slider2.Used)
            bevelTop = bottom + 10;
    }
    if (d.HasPreview) {
        PlacePreview(clientWidth, m);
        bevelTop = 160;
    }
    PlaceChoices(m, bevelTop);
    FBevel = new TPGBevel(this);
    FBevel->setFrameShape(QFrame::HLine);
    FBevel->setFrameShadow(QFrame::Sunken);
    FBevel->setGeometry(5, bevelTop, clientWidth - 10, 3);
    PlaceButtons(clientWidth, bevelTop);
    const int clientHeight = FOK->y() + FOK->height() + 10;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(static_cast<int>(g.x() * scale), static_cast<int>(g.y() * scale),
                           static_cast<int>(g.width() * scale), static_cast<int>(g.height() * scale));
    }
    return static_cast<int>(clientHeight * scale);
}

// The widest of the sliders' caption widths, widened where this window's
// font needs more room for a caption or the note.
int TFilterDialogForm::CaptionWidth() const
{
    const TFilterDialog& d = *FDialog;
    int width = d.Note.empty() ? 0 : TextUnits(d.Note);
    for (int n = 1; n <= 3; ++n)
        if (d.Slider(n).Used)
            width = std::max({width, d.Slider(n).CaptionWidth, TextUnits(d.Slider(n).Caption)});
    return width;
}

int TFilterDialogForm::Units(int Pixels) const
{
    return static_cast<int>(std::ceil(Pixels / FScale));
}

int TFilterDialogForm::TextUnits(const std::string& Text) const
{
    return Units(fontMetrics().horizontalAdvance(QString::fromStdString(Text)) + 4);
}

int TFilterDialogForm::TextHeightUnits(int Least) const
{
    return std::max(Least, Units(fontMetrics().height()));
}

int TFilterDialogForm::ValueWidth(int N) const
{
    TFilterSlider& s = FDialog->Slider(N);
    const int kept = s.Position;
    int width = s.ValueWidth;
    for (const int position : {s.Min, s.Max, s.Neutral, kept}) {
        s.Position = position;
        width = std::max(width, TextUnits(FDialog->ValueText(N)));
    }
    s.Position = kept;
    return width;
}

// Returns the bottom of the range labels.
int TFilterDialogForm::PlaceSlider(int N, int Margin)
{
    TFilterDialog& d = *FDialog;
    const TFilterSlider& s = d.Slider(N);
    const int d50 = (N - 1) * 50, left = FCaptionWidth + Margin, h = TextHeightUnits(16);
    const auto label = [this](const std::string& text, QRect where, Qt::Alignment align) {
        auto* l = new QLabel(Text(text), this);
        l->setGeometry(where);
        l->setAlignment(align | Qt::AlignTop);
        return l;
    };
    if (s.Used || (N == 3 && d.HasRadioButtons))
        label(s.Caption, QRect(Margin, 16 + d50, FCaptionWidth, h), Qt::AlignLeft)
            ->setObjectName(QStringLiteral("CaptionLabel%1").arg(N));
    if (!s.Used)
        return 0;
    auto* track = new TNeutralTrackBar(this, s.Neutral);
    track->setObjectName(QStringLiteral("TrackBar%1").arg(N));
    track->setGeometry(left, 10 + d50, 240, 32);
    track->setRange(s.Min, s.Max);
    track->setTickInterval(s.Frequency);
    track->setTickPosition(QSlider::TicksBelow);
    track->setPageStep(s.Frequency);
    track->setValue(s.Position);
    connect(track, &QSlider::valueChanged, this, &TFilterDialogForm::Change);
    FTrackBars[static_cast<std::size_t>(N - 1)] = track;
    label(s.MinText, QRect(left, 42 + d50, 80, h), Qt::AlignLeft);
    label(s.MidText, QRect(left + 80, 42 + d50, 80, h), Qt::AlignHCenter);
    label(s.MaxText, QRect(left + 160, 42 + d50, 80, h), Qt::AlignRight);
    QLabel* value = label(d.ValueText(N), QRect(left + 240, 16 + d50, ValueWidth(N), h), Qt::AlignRight);
    value->setObjectName(QStringLiteral("ValueLabel%1").arg(N));
    FValueLabels[static_cast<std::size_t>(N - 1)] = value;
    return 42 + d50 + h;
}

void TFilterDialogForm::PlacePreview(int ClientWidth, int Margin)
{
    TFilterDialog& d = *FDialog;
    FPreview = new TPGImage(this);
    FPreview->setObjectName(QStringLiteral("PGImage"));
    FPreview->setFrameShape(QFrame::NoFrame);
    FPreview->setGeometry(ClientWidth - Margin - 140, 12, 140, 140);
    FPreview->SetCenter(true);
    FPreview->SetKeepOldPaintPixelGraphic(true);
    FPreview->SetPalette8BitSys24BitGraphic(d.Palette8BitSys24BitGraphic);
    FPreview->SetPalette8BitSys8BitGraphic(d.Palette8BitSys8BitGraphic);
    FPreview->SetProgressClockBkColor(d.ProgressClockBkColor);
    FPreview->SetProgressClockLineColor(d.ProgressClockLineColor);
    FPreview->SetProgressClockVisible(d.ProgressClockVisible);
}

void TFilterDialogForm::PlaceChoices(int Margin, int& BevelTop)
{
    TFilterDialog& d = *FDialog;
    const int cw1 = FCaptionWidth, h = TextHeightUnits(18);
    if (d.HasRadioButtons) {
        const int top = d.Slider3.Used ? 160 : 115;
        FRadio1 = new QRadioButton(Text(d.Radio1Caption), this);
        FRadio1->setGeometry(cw1 + Margin + 6, top, 100, h);
        FRadio1->setChecked(d.Radio1Checked);
        FRadio2 = new QRadioButton(Text(d.Radio2Caption), this);
        FRadio2->setGeometry(cw1 + Margin + 112, top, 100, h);
        FRadio2->setChecked(d.Radio2Checked);
        connect(FRadio1, &QRadioButton::clicked, this, &TFilterDialogForm::Change);
        connect(FRadio2, &QRadioButton::clicked, this, &TFilterDialogForm::Change);
        BevelTop = top + h + 10;
        if (!d.Note.empty())
            (new QLabel(Text(d.Note), this))->setGeometry(Margin, 161, cw1, TextHeightUnits(16));
    }
    if (d.HasCheckBox) {
        FCheckBox = new QCheckBox(Text(d.CheckBoxCaption), this);
        FCheckBox->setGeometry(Margin, 160, 140, h);
        FCheckBox->setChecked(d.CheckBoxChecked);
        connect(FCheckBox, &QCheckBox::clicked, this, &TFilterDialogForm::Change);
        BevelTop = 160 + h + 10;
    }
}

void TFilterDialogForm::PlaceButtons(int ClientWidth, int BevelTop)
{
    FOK = new QPushButton(Text(GetPGLangStr(42)), this);
    FOK->setObjectName(QStringLiteral("OKButton"));
    FOK->setGeometry(ClientWidth / 2 - 95, BevelTop + 12, 85, 24);
    FOK->setDefault(true);
    connect(FOK, &QPushButton::clicked, this, &QDialog::accept);
    FCancel = new QPushButton(Text(GetPGLangStr(43)), this);
    FCancel->setObjectName(QStringLiteral("CancelButton"));
    FCancel->setGeometry(ClientWidth / 2 + 10, BevelTop + 12, 85, 24);
    connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFilterDialogForm::StartPreview()
{
    FDialog->OnValuesChanged = [this] { ValueChanged(); };
    FTimer = new QTimer(this);
    FTimer->setSingleShot(true);
    FTimer->setInterval(100);
    connect(FTimer, &QTimer::timeout, this, &TFilterDialogForm::PreviewTimer);
    TPixelGraphic* image = FDialog->Image;
    // Drawing still held by the image's canvas lands before the worker reads it.
    if (image)
        image->Flush();
    const QSize size = FilterPreviewSourceSize(image ? image->GetWidth() : 0, image ? image->GetHeight() : 0,
                                               FPreview->size());
    FSource.SetDimensions(size.width(), size.height(), pf24Bit);
    FSrcThread = std::make_unique<TCreateSrcPGThread>(false, this, image, &FSource);
    FSrcThread->start();
    FDestThread = std::make_unique<TCreateDestPGThread>(true, this, nullptr, nullptr, 0);
}

void TFilterDialogForm::Change()
{
    if (!FDialog)
        return;
    TFilterDialog& d = *FDialog;
    for (int n = 1; n <= 3; ++n)
        if (QSlider* track = GetTrackBar(n)) {
            d.Slider(n).Position = track->value();
            GetValueLabel(n)->setText(Text(d.ValueText(n)));
        }
    if (FCheckBox)
        d.CheckBoxChecked = FCheckBox->isChecked();
    if (FRadio1) {
        d.Radio1Checked = FRadio1->isChecked();
        d.Radio2Checked = FRadio2->isChecked();
    }
    d.ValuesChanged();
}

void TFilterDialogForm::ValueChanged()
{
    if (FDestThread)
        FDestThread->Terminate();
    ++FStartedGeneration;
    FTimer->start();
}

void TFilterDialogForm::PreviewTimer()
{
    FTimer->stop();
    if (!FSourceReady || !FDialog)
        return;
    StopDestThread();
    std::unique_ptr<TPGFilter> filter = FDialog->CreateFilter();
    FDialog->ApplySettings(*filter);
    FDestThread =
        std::make_unique<TCreateDestPGThread>(false, this, &FSource, std::move(filter), FStartedGeneration);
    FDestThread->start();
}

void TFilterDialogForm::StopDestThread()
{
    if (!FDestThread)
        return;
    FDestThread->Terminate();
    FDestThread->wait();
    FDestThread.reset();
}

bool TFilterDialogForm::GetPreviewPending() const
{
    return FTimer && (FTimer->isActive() || !FSourceReady || FShownGeneration != FStartedGeneration);
}

void TFilterDialogForm::customEvent(QEvent* Event)
{
    if (Event->type() != TFilterPreviewEvent::EventType()) {
        QDialog::customEvent(Event);
        return;
    }
    auto* message = static_cast<TFilterPreviewEvent*>(Event);
    if (message->WParam == FilterPreviewSourceReady) {
        FSourceReady = true;
        ValueChanged();
    } else if (message->WParam == FilterPreviewDone && message->Generation == FStartedGeneration &&
               FPreview) {
        FShownGeneration = message->Generation;
        FPreview->SetPixelGraphic(std::move(message->LParam));
    }
}

} // namespace lumeno
