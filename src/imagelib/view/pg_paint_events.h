#pragma once
// What the paint thread posts to its view control. Each build has a
// generation number; the control drops results of builds it has given up.

#include "imagelib/pixel_graphic.h"

#include <QEvent>

#include <cstdint>
#include <memory>

namespace lumeno {

// A finished display image; freed with the event when nobody takes it.
class TPGPaintDoneEvent : public QEvent {
public:
    TPGPaintDoneEvent(std::uint64_t AGeneration, std::unique_ptr<TPixelGraphic> APaintPixelGraphic);
    static QEvent::Type EventType();

    std::uint64_t Generation;
    std::unique_ptr<TPixelGraphic> PaintPixelGraphic;
};

class TPGPaintProgressEvent : public QEvent {
public:
    TPGPaintProgressEvent(std::uint64_t AGeneration, int AStep, int APercent);
    static QEvent::Type EventType();

    std::uint64_t Generation;
    int Step;
    int Percent;
};

} // namespace lumeno
