#pragma once
// What the filter dialogs' preview threads post to their window: WParam 1
// when the preview-size source is ready, 2 with a filtered preview. Results
// carry the number of the run that made them, so stale ones are dropped.

#include "imagelib/pixel_graphic.h"

#include <QEvent>

#include <cstdint>
#include <memory>

namespace lumeno {

constexpr int FilterPreviewSourceReady = 1;
constexpr int FilterPreviewDone = 2;

class TFilterPreviewEvent : public QEvent {
public:
    TFilterPreviewEvent(int AWParam, std::uint64_t AGeneration, std::unique_ptr<TPixelGraphic> ALParam = {});
    static QEvent::Type EventType();

    int WParam;
    std::uint64_t Generation;
    std::unique_ptr<TPixelGraphic> LParam;
};

} // namespace lumeno
