#include "app/common/view_fit.h"

#include "app/common/file_types.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace lumeno {

namespace {

int RoundEven(double Value)
{
    return static_cast<int>(std::nearbyint(Value));
}

} // namespace

QSize FitToPanelSize(QSize Panel, QSize Picture)
{
    if (Picture.width() <= 0 || Picture.height() <= 0 || Panel.width() <= 0 || Panel.height() <= 0)
        return {};
    const double panelRatio = double(Panel.height()) / Panel.width();
    const double ratio = double(Picture.height()) / Picture.width();
    int w, h;
    if (panelRatio - ratio >= 0) {
        w = Panel.width() - 8;
        h = RoundEven(w * ratio);
    } else {
        h = Panel.height() - 8;
        w = RoundEven(h / ratio);
    }
    // A panel under 8 pixels still gets a viewer that can be seen again.
    return {std::max(w, 1), std::max(h, 1)};
}

QSize ShrinkAviSize(QSize Frame)
{
    if (Frame.width() <= 0 || Frame.height() <= 0)
        return {145, 145};
    const double ratio = double(Frame.height()) / Frame.width();
    if (ratio > 1.0)
        return {std::max(RoundEven(145 / ratio), 1), 145};
    return {145, std::max(RoundEven(145 * ratio), 1)};
}

std::string SizeText(std::int64_t Bytes)
{
    const float factor = 1.0f / 1024.0f;
    return std::to_string(static_cast<std::int64_t>(std::trunc(double(Bytes) * double(factor))) + 1) + "K";
}

std::string ShowExt(const std::string& FileName)
{
    return QString::fromStdString(FileExtension(FileName)).left(3).toUpper().toStdString();
}

std::string PictureText(const std::string& Name, int Width, int Height)
{
    return " " + Name + "  (" + std::to_string(Width) + " x " + std::to_string(Height) + ")";
}

} // namespace lumeno
