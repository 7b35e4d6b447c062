#include "controls/media/page_metafile.h"

#include <QPainter>

namespace lumeno {

std::optional<int> PageMetric(const TDeviceMetrics& metrics, QPaintDevice::PaintDeviceMetric m)
{
    switch (m) {
    case QPaintDevice::PdmWidth:
        return metrics.PhysicalWidth;
    case QPaintDevice::PdmHeight:
        return metrics.PhysicalHeight;
    case QPaintDevice::PdmDpiX:
    case QPaintDevice::PdmPhysicalDpiX:
        return metrics.PixelsPerInchX;
    // Fonts are sized by the vertical resolution, as on the printer.
    case QPaintDevice::PdmDpiY:
    case QPaintDevice::PdmPhysicalDpiY:
        return metrics.PixelsPerInchY;
    default:
        return std::nullopt;
    }
}

int TPageMetafile::metric(PaintDeviceMetric m) const
{
    const auto millimetres = [](int pixels, int ppi) { return ppi > 0 ? pixels * 254 / (ppi * 10) : 0; };
    switch (m) {
    case PdmWidthMM:
        return millimetres(metrics_.PhysicalWidth, metrics_.PixelsPerInchX);
    case PdmHeightMM:
        return millimetres(metrics_.PhysicalHeight, metrics_.PixelsPerInchY);
    default:
        if (const std::optional<int> value = PageMetric(metrics_, m))
            return *value;
        return QPicture::metric(m);
    }
}

} // namespace lumeno

namespace lumeno {

void PlayPage(QPainter& painter, const TPageMetafile& page)
{
    const QPicture plain;
    const QPaintDevice* device = painter.device();
    painter.save();
    // A picture records only changes of state: replay from the state its
    // recording started with.
    painter.setPen(QPen());
    painter.setBrush(Qt::NoBrush);
    painter.setFont(QFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    if (device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(double(plain.logicalDpiX()) / device->logicalDpiX(),
                      double(plain.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, page);
    painter.restore();
}

} // namespace lumeno
