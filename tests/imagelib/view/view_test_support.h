#pragma once
// Pictures and events for the view control's tests.

#include "imagelib/pixel_graphic.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <functional>
#include <memory>
#include <string>

namespace lumeno::test {

// Four quadrants: red, green / blue, white.
inline std::unique_ptr<TPixelGraphic> Quadrants(int w, int h)
{
    auto g = std::make_unique<TPixelGraphic>();
    g->SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool right = x >= w / 2, bottom = y >= h / 2;
            g->SetPixelColor(x, y, !bottom ? (right ? clLime : clRed) : (right ? clWhite : clBlue));
        }
    return g;
}

inline std::unique_ptr<TPixelGraphic> Plain(int w, int h, TColor c)
{
    auto g = std::make_unique<TPixelGraphic>();
    g->SetDimensions(w, h, pf24Bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            g->SetPixelColor(x, y, c);
    return g;
}

inline QRgb Rgb(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Processes events until Done or the time is up.
inline bool WaitFor(const std::function<bool()>& Done, int Ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!Done()) {
        if (t.elapsed() > Ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace lumeno::test
