#include "controls/media/quor_meta_file_canvas.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace lumeno {

namespace {

QColor ToQColor(TColor c)
{
    return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
}

} // namespace

TQuorMetaFileCanvas::TQuorMetaFileCanvas(TPageMetafile& page) : painter_(&page)
{
    painter_.setFont(QFont(QStringLiteral("Arial"), 10));
    painter_.setBrush(Qt::NoBrush);
    SetPen(QPen(Qt::black, 1));
}

TQuorMetaFileCanvas::~TQuorMetaFileCanvas()
{
    painter_.end();
}

void TQuorMetaFileCanvas::SetPen(const QPen& pen)
{
    QPen thin = pen;
    if (thin.widthF() <= 1)
        thin.setCosmetic(true);
    painter_.setPen(thin);
}

void TQuorMetaFileCanvas::TakeStateFrom(const TQuorMetaFileCanvas& other)
{
    painter_.setFont(other.painter_.font());
    painter_.setBrush(other.painter_.brush());
    painter_.setPen(other.painter_.pen());
    fontColor_ = other.fontColor_;
}

int TQuorMetaFileCanvas::TextWidth(const std::string& text) const
{
    return painter_.fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

int TQuorMetaFileCanvas::TextHeight() const
{
    return painter_.fontMetrics().height();
}

int TQuorMetaFileCanvas::InternalLeading() const
{
    return std::max(0, TextHeight() - painter_.fontInfo().pixelSize());
}

int TQuorMetaFileCanvas::ExternalLeading() const
{
    return std::max(0, painter_.fontMetrics().leading());
}

void TQuorMetaFileCanvas::TextOut(int x, int y, const std::string& text)
{
    const QString s = QString::fromStdString(text);
    const QFontMetrics fm = painter_.fontMetrics();
    if (painter_.brush().style() != Qt::NoBrush)
        painter_.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), painter_.brush());
    const QPen pen = painter_.pen();
    painter_.setPen(ToQColor(fontColor_));
    painter_.drawText(QPoint(x, y + fm.ascent()), s);
    painter_.setPen(pen);
}

void TQuorMetaFileCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    painter_.save();
    painter_.setClipRect(QRect(r.Left, r.Top, r.Width(), r.Height()));
    TextOut(x, y, text);
    painter_.restore();
}

void TQuorMetaFileCanvas::LineTo(int x, int y)
{
    painter_.drawLine(penPos_, QPoint(x, y));
    penPos_ = QPoint(x, y);
}

} // namespace lumeno
