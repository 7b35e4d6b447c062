#include "imagelib/view/pg_preview_boxes.h"

#include "imagelib/format_registry.h"
#include "imagelib/pg_messages.h"
#include "imagelib/view/pg_progress_clock.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace lumeno {

TPGPreviewBox::TPGPreviewBox(QWidget* Parent) : QWidget(Parent)
{
    FClockBk = palette().color(QPalette::Button);
    FClockLine = palette().color(QPalette::Dark);
}

void TPGPreviewBox::SetPicture(TPixelGraphic* Picture)
{
    FPicture = Picture;
    if (Picture)
        FStep = -1;
    update();
}

void TPGPreviewBox::SetProgress(int Step, int Percent)
{
    FStep = Step;
    FPercent = Percent;
    update();
}

void TPGPreviewBox::SetClockColors(const QColor& Bk, const QColor& Line)
{
    FClockBk = Bk;
    FClockLine = Line;
}

void TPGPreviewBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 2;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    if (FPicture && FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0) {
        QSize size(FPicture->GetWidth(), FPicture->GetHeight());
        if (size.width() > inner.width() || size.height() > inner.height())
            size.scale(inner.size(), Qt::KeepAspectRatio);
        const QPoint at = inner.center() - QPoint(size.width() / 2, size.height() / 2) + QPoint(1, 1);
        FPicture->Draw(painter, Bounds(at.x(), at.y(), size.width(), size.height()));
    } else if (FStep >= 0 && FClockVisible) {
        const int half = PGProgressClockSize / 2;
        DrawPGProgressClock(painter, inner.center().x() - half, inner.center().y() - half, FStep, FPercent,
                            FClockLine, FClockBk);
    }
}

TPGInfoBox::TPGInfoBox(QWidget* Parent) : QWidget(Parent) {}

void TPGInfoBox::SetLines(const QStringList& Lines)
{
    FLines = Lines;
    // A line too long for the box is cut short; the tip shows it whole.
    setToolTip(Lines.join(QLatin1Char('\n')));
    update();
}

void TPGInfoBox::paintEvent(QPaintEvent*)
{
    if (FLines.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int count = static_cast<int>(FLines.size());
    const int ascent = painter.fontMetrics().ascent();
    for (int i = 0; i < count; ++i)
        painter.drawText(0, height() * i / count + ascent,
                         painter.fontMetrics().elidedText(FLines[i], Qt::ElideRight, width()));
}

QStringList PGInfoLines(const TGraphicInfo& Info)
{
    QStringList lines;
    for (const std::string* text : {&Info.FormatName, &Info.SubFormat, &Info.Remarks})
        if (!text->empty())
            lines << QString::fromStdString(*text);
    QString size = QStringLiteral("%1x%2x%3 %4 %5")
                       .arg(Info.Width)
                       .arg(Info.Height)
                       .arg(QString::fromStdString(Info.Colors))
                       .arg(Info.BitCount)
                       .arg(QString::fromStdString(GetPGLangStr(24)));
    if (Info.ImageCount > 1)
        size += QStringLiteral(", %1").arg(Info.ImageCount);
    lines << size;
    return lines;
}

} // namespace lumeno
