#include "controls/media/aled.h"

#include "controls/media/aled_lamps.h"
#include "platform/qt/auto_size.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <vector>

namespace lumeno {

namespace {

struct TStyleInfo {
    int width;
    int height;
    const char* resource;
};

constexpr TStyleInfo kStyles[] = {
    {16, 16, "ALEDSM"},   {22, 22, "ALEDLG"}, {16, 16, "ALEDSQSM"},
    {22, 22, "ALEDSQLG"}, {14, 22, "ALEDVT"}, {22, 14, "ALEDHZ"},
};

constexpr QRgb kFace = 0xFF00FF00;

QRgb ToRgb(TColor colour)
{
    return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// Replaces the 4-connected area of `surface` colour around start.
void SurfaceFill(QImage& image, QPoint start, QRgb surface, QRgb fill)
{
    if (surface == fill || !image.valid(start) || image.pixel(start) != surface)
        return;
    std::vector<QPoint> pending{start};
    while (!pending.empty()) {
        const QPoint p = pending.back();
        pending.pop_back();
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(p.y()));
        if (row[p.x()] != surface)
            continue;
        int left = p.x();
        while (left > 0 && row[left - 1] == surface)
            --left;
        int right = p.x();
        while (right + 1 < image.width() && row[right + 1] == surface)
            ++right;
        for (int x = left; x <= right; ++x) {
            row[x] = fill;
            for (int y : {p.y() - 1, p.y() + 1})
                if (y >= 0 && y < image.height() &&
                    reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] == surface)
                    pending.push_back({x, y});
        }
    }
}

} // namespace

TALed::TALed(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    BuildBitmaps();
}

TALed::~TALed()
{
    StopBlink();
}

void TALed::BuildBitmaps()
{
    const TStyleInfo& info = kStyles[static_cast<int>(style_)];
    ApplyAutoSize(*this, QSize(info.width, info.height));
    const QImage lamp = LoadLampPicture(info.resource);
    const QPoint centre(info.width / 2, info.height / 2);
    bitmaps_[0] = lamp;
    bitmaps_[1] = lamp;
    SurfaceFill(bitmaps_[0], centre, kFace, ToRgb(trueColor_));
    SurfaceFill(bitmaps_[1], centre, kFace, ToRgb(falseColor_));
}

QSize TALed::sizeHint() const
{
    const TStyleInfo& info = kStyles[static_cast<int>(style_)];
    return {info.width, info.height};
}

void TALed::Show(int index)
{
    shown_ = index;
    if (isVisible())
        repaint();
}

void TALed::SetValue(bool value)
{
    if (value == value_)
        return;
    value_ = value;
    if (value_) {
        Show(0);
        if (blink_)
            StartBlink();
    } else {
        StopBlink();
        Show(1);
    }
}

void TALed::SetBlink(bool value)
{
    if (value == blink_)
        return;
    Show(value_ ? 0 : 1);
    blink_ = value;
    if (blink_ && value_)
        StartBlink();
    else
        StopBlink();
}

void TALed::SetTrueColor(TColor value)
{
    if (value == trueColor_)
        return;
    const bool blinking = Blinking();
    StopBlink();
    trueColor_ = value;
    BuildBitmaps();
    if (blinking)
        StartBlink();
    update();
}

void TALed::SetFalseColor(TColor value)
{
    if (value == falseColor_)
        return;
    const bool blinking = Blinking();
    StopBlink();
    falseColor_ = value;
    BuildBitmaps();
    if (blinking)
        StartBlink();
    update();
}

void TALed::SetLEDStyle(TLEDStyle value)
{
    if (value == style_)
        return;
    style_ = value;
    BuildBitmaps();
    update();
}

void TALed::SetInterval(int value)
{
    interval_ = value;
    if (blinkTimer_)
        blinkTimer_->setInterval(interval_);
}

void TALed::StartBlink()
{
    if (blinkTimer_)
        return;
    shown_ = 0;
    blinkTimer_ = new QTimer(this);
    blinkTimer_->setInterval(interval_);
    connect(blinkTimer_, &QTimer::timeout, this, &TALed::BlinkTick);
    blinkTimer_->start();
}

void TALed::StopBlink()
{
    delete blinkTimer_;
    blinkTimer_ = nullptr;
}

void TALed::BlinkTick()
{
    Show(1 - shown_);
    emit OnTimer(this);
}

void TALed::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), bitmaps_[shown_]);
}

void TALed::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit OnMouseEnter(this);
}

void TALed::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit OnMouseLeave(this);
}

void TALed::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick(this);
}

} // namespace lumeno
