#include "controls/kit/fc_tree_hint_window.h"

#include <QFontMetrics>
#include <QPainter>

namespace lumeno {

TfcTreeHintWindow::TfcTreeHintWindow(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize TfcTreeHintWindow::HintSize(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text) + 6, metrics.height() + 2};
}

void TfcTreeHintWindow::ShowHint(const QPoint& screenPos, const QString& text, const QFont& font, bool link)
{
    text_ = text;
    QFont shown = font;
    shown.setUnderline(link);
    setFont(shown);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, link ? QColor(Qt::blue) : colours.color(QPalette::ToolTipText));
    setPalette(colours);
    setGeometry(QRect(screenPos, HintSize(font, text)));
    show();
    update();
}

void TfcTreeHintWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text_);
}

} // namespace lumeno
