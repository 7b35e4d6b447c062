#pragma once
// One recorded page: a picture that reports the printer's resolution and
// paper size, so that drawing on it (fonts in points included) lands in
// printer pixels, with (0, 0) at the corner of the paper.

#include <QPicture>

#include <optional>

class QPainter;

namespace lumeno {

struct TDeviceMetrics {
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    // Where the printable area starts on the paper.
    int PhysicalOffsetX = 0;
    int PhysicalOffsetY = 0;
    friend bool operator==(const TDeviceMetrics&, const TDeviceMetrics&) = default;
};

// The page's size and resolution as a paint device reports them; nothing for
// any other metric.
std::optional<int> PageMetric(const TDeviceMetrics& metrics, QPaintDevice::PaintDeviceMetric m);

class TPageMetafile : public QPicture {
public:
    explicit TPageMetafile(const TDeviceMetrics& metrics) : metrics_(metrics) {}
    const TDeviceMetrics& Metrics() const { return metrics_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    TDeviceMetrics metrics_;
};

// Draws the page at the painter's origin, one painter unit per page pixel.
// (A picture played on a device is scaled by the device's resolution over
// the system's; that is undone here.)
void PlayPage(QPainter& painter, const TPageMetafile& page);

} // namespace lumeno
