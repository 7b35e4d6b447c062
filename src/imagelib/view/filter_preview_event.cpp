#include "imagelib/view/filter_preview_event.h"

namespace lumeno {

TFilterPreviewEvent::TFilterPreviewEvent(int AWParam, std::uint64_t AGeneration,
                                         std::unique_ptr<TPixelGraphic> ALParam)
    : QEvent(EventType()), WParam(AWParam), Generation(AGeneration), LParam(std::move(ALParam))
{
}

QEvent::Type TFilterPreviewEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace lumeno
