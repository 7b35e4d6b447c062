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

TPageMetafile::TPageMetafile(const TDeviceMetrics& metrics)
    : metrics_(metrics), recorder_(std::make_unique<TPageRecorder>(ops_))
{
}

TPageMetafile::~TPageMetafile() = default;

int TPageMetafile::metric(PaintDeviceMetric m) const
{
    const auto millimetres = [](int pixels, int ppi) { return ppi > 0 ? pixels * 254 / (ppi * 10) : 0; };
    switch (m) {
    case PdmWidthMM:
        return millimetres(metrics_.PhysicalWidth, metrics_.PixelsPerInchX);
    case PdmHeightMM:
        return millimetres(metrics_.PhysicalHeight, metrics_.PixelsPerInchY);
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return 1 << 24;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    default:
        return PageMetric(metrics_, m).value_or(0);
    }
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
