#include "controls/media/page_metafile.h"

#include <QPainter>

namespace lumeno {

int PageMetric(const TDeviceMetrics& metrics, QPaintDevice::PaintDeviceMetric m)
{
    const auto millimetres = [](int pixels, int ppi) { return ppi > 0 ? pixels * 254 / (ppi * 10) : 0; };
    switch (m) {
    case QPaintDevice::PdmWidth:
        return metrics.PhysicalWidth;
    case QPaintDevice::PdmHeight:
        return metrics.PhysicalHeight;
    case QPaintDevice::PdmWidthMM:
        return millimetres(metrics.PhysicalWidth, metrics.PixelsPerInchX);
    case QPaintDevice::PdmHeightMM:
        return millimetres(metrics.PhysicalHeight, metrics.PixelsPerInchY);
    case QPaintDevice::PdmDpiX:
    case QPaintDevice::PdmPhysicalDpiX:
        return metrics.PixelsPerInchX;
    // Fonts are sized by the vertical resolution, as on the printer.
    case QPaintDevice::PdmDpiY:
    case QPaintDevice::PdmPhysicalDpiY:
        return metrics.PixelsPerInchY;
    case QPaintDevice::PdmDepth:
        return 32;
    case QPaintDevice::PdmNumColors:
        return 1 << 24;
    case QPaintDevice::PdmDevicePixelRatio:
        return 1;
    case QPaintDevice::PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return 0;
    }
}

TPageMetafile::TPageMetafile(const TDeviceMetrics& metrics)
    : metrics_(metrics), recorder_(std::make_unique<TPageRecorder>(ops_))
{
}

TPageMetafile::~TPageMetafile() = default;

int TPageMetafile::metric(PaintDeviceMetric m) const
{
    return PageMetric(metrics_, m);
}

void PlayPage(QPainter& painter, const TPageMetafile& page)
{
    painter.save();
    // The recording holds only changes of state: replay from the state its
    // recording started with.
    painter.setPen(QPen());
    painter.setBrush(Qt::NoBrush);
    painter.setFont(QFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    PlayPageOps(painter, page.Ops(), page.Metrics().PixelsPerInchY);
    painter.restore();
}

} // namespace lumeno
