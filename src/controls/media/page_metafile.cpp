#include "controls/media/page_metafile.h"

#include <QPainter>

namespace lumeno {

int TPageMetafile::metric(PaintDeviceMetric m) const
{
    const auto millimetres = [](int pixels, int ppi) { return ppi > 0 ? pixels * 254 / (ppi * 10) : 0; };
    switch (m) {
    case PdmWidth:
        return metrics_.PhysicalWidth;
    case PdmHeight:
        return metrics_.PhysicalHeight;
    case PdmWidthMM:
        return millimetres(metrics_.PhysicalWidth, metrics_.PixelsPerInchX);
    case PdmHeightMM:
        return millimetres(metrics_.PhysicalHeight, metrics_.PixelsPerInchY);
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return metrics_.PixelsPerInchX;
    // Fonts are sized by the vertical resolution, as on the printer.
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return metrics_.PixelsPerInchY;
    default:
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
