#pragma once
// One recorded page: a paint device that reports the printer's resolution
// and paper size, so that drawing on it (fonts in points included) lands in
// printer pixels, with (0, 0) at the corner of the paper. What is drawn is
// kept in memory as it was drawn, images unencoded.

#include "controls/media/page_recorder.h"

#include <QPaintDevice>

#include <memory>
#include <vector>

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

// The page's size and resolution, and the rest of a paint device's
// metrics, as a page reports them.
int PageMetric(const TDeviceMetrics& metrics, QPaintDevice::PaintDeviceMetric m);

class TPageMetafile : public QPaintDevice {
public:
    explicit TPageMetafile(const TDeviceMetrics& metrics);
    ~TPageMetafile() override;
    TPageMetafile(const TPageMetafile&) = delete;
    TPageMetafile& operator=(const TPageMetafile&) = delete;

    const TDeviceMetrics& Metrics() const { return metrics_; }
    const std::vector<TPageOp>& Ops() const { return ops_; }
    QPaintEngine* paintEngine() const override { return recorder_.get(); }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    TDeviceMetrics metrics_;
    std::vector<TPageOp> ops_;
    std::unique_ptr<TPageRecorder> recorder_;
};

// Draws the page at the painter's origin, one painter unit per page pixel,
// on any device.
void PlayPage(QPainter& painter, const TPageMetafile& page);

} // namespace lumeno
