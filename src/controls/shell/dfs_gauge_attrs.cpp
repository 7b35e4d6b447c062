#include "controls/shell/dfs_gauge_attrs.h"

#include "controls/shell/dfs_status_panel.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

namespace lumeno {

namespace {

TColor SystemColor(QPalette::ColorRole role)
{
    const QColor c = QApplication::palette().color(role);
    return RGB(c.red(), c.green(), c.blue());
}

} // namespace

TdfsGaugeAttrs::TdfsGaugeAttrs(TdfsStatusPanel* owner)
    : owner_(owner), color_(SystemColor(QPalette::Highlight)),
      textColor_(SystemColor(QPalette::HighlightedText))
{
}

void TdfsGaugeAttrs::Assign(const TdfsGaugeAttrs& source)
{
    SetPosition(source.Position());
    SetStyle(source.Style());
}

void TdfsGaugeAttrs::SetStyle(TdfsGaugeStyle value)
{
    if (value == style_)
        return;
    style_ = value;
    if (owner_)
        owner_->GaugeStyleChanged();
}

void TdfsGaugeAttrs::SetPosition(int value)
{
    const auto clamped = static_cast<TPercent>(std::clamp(value, 0, 100));
    if (clamped == position_)
        return;
    position_ = clamped;
    if (owner_)
        owner_->Invalidate();
}

void TdfsGaugeAttrs::SetSpeed(int value)
{
    if (value == speed_ || value < 1)
        return;
    speed_ = value;
    if (owner_)
        owner_->GaugeSpeedChanged();
}

void TdfsGaugeAttrs::SetColor(TColor value)
{
    if (value == color_)
        return;
    color_ = value;
    if (owner_)
        owner_->GaugeColorChanged();
}

void TdfsGaugeAttrs::SetTextColor(TColor value)
{
    if (value == textColor_)
        return;
    textColor_ = value;
    if (owner_)
        owner_->Invalidate();
}

} // namespace lumeno
