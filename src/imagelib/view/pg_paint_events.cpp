#include "imagelib/view/pg_paint_events.h"

namespace lumeno {

TPGPaintDoneEvent::TPGPaintDoneEvent(std::uint64_t AGeneration,
                                     std::unique_ptr<TPixelGraphic> APaintPixelGraphic)
    : QEvent(EventType()), Generation(AGeneration), PaintPixelGraphic(std::move(APaintPixelGraphic))
{
}

QEvent::Type TPGPaintDoneEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TPGPaintProgressEvent::TPGPaintProgressEvent(std::uint64_t AGeneration, int AStep, int APercent)
    : QEvent(EventType()), Generation(AGeneration), Step(AStep), Percent(APercent)
{
}

QEvent::Type TPGPaintProgressEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace lumeno
