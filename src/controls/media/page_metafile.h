#pragma once
// One recorded page: a picture that reports the printer's resolution and
// paper size, so that drawing on it (fonts in points included) lands in
// printer pixels, with (0, 0) at the corner of the paper.

#include <QPicture>

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

class TPageMetafile : public QPicture {
public:
    explicit TPageMetafile(const TDeviceMetrics& metrics) : metrics_(metrics) {}
    const TDeviceMetrics& Metrics() const { return metrics_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    TDeviceMetrics metrics_;
};

} // namespace lumeno
