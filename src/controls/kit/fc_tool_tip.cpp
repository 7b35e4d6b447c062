#include "controls/kit/fc_tool_tip.h"

#include <QFontMetrics>
#include <QPainter>

namespace lumeno {
namespace {

constexpr int kInset = 2;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

} // namespace

TfcToolTip::TfcToolTip(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QFont& TfcToolTip::SharedFont()
{
    static QFont font;
    return font;
}

QRect TfcToolTip::CalcHintRect(int maxWidth, const QString& hint) const
{
    const QFontMetrics metrics(SharedFont());
    const QRect text = metrics.boundingRect(QRect(0, 0, maxWidth, 100000), kTextFlags, hint);
    return QRect(0, 0, text.width() + 2 * kInset + 2, text.height() + 2 * kInset);
}

void TfcToolTip::ActivateHint(const QPoint& screenPos, const QString& hint)
{
    hint_ = hint;
    setGeometry(CalcHintRect(600, hint).translated(screenPos));
    show();
    update();
}

void TfcToolTip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    painter.setPen(palette().color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(SharedFont());
    painter.drawText(rect().adjusted(kInset, kInset, -kInset, -kInset), kTextFlags, hint_);
}

} // namespace lumeno
