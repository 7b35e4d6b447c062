#include "controls/media/gif_composer.h"

#include <QPainter>

#include <cstring>

namespace lumeno {

QImage NewGIFImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw EGIFImage("Not enough memory for the GIF image");
    return image;
}

void TGIFComposer::Reset(int width, int height)
{
    image_ = NewGIFImage(width, height);
    image_.fill(Qt::transparent);
    saved_ = QImage();
    savedFor_ = nullptr;
}

QRect TGIFComposer::Clip(const TGIFFrame& frame) const
{
    return QRect(frame.Left, frame.Top, frame.Width, frame.Height).intersected(image_.rect());
}

void TGIFComposer::Compose(const TGIFFrame& frame)
{
    const QRect area = Clip(frame);
    if (frame.Disposal == 3) {
        saved_ = image_.copy(area);
        savedFor_ = &frame;
    }
    if (area.isEmpty())
        return;
    const int columns = area.width();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t* src = &frame.Pixels[static_cast<std::size_t>(y - frame.Top) * frame.Width +
                                                static_cast<std::size_t>(area.left() - frame.Left)];
        auto* dst = reinterpret_cast<std::uint32_t*>(image_.scanLine(y)) + area.left();
        if (frame.Transparent) {
            for (int x = 0; x < columns; ++x) {
                const std::uint32_t colour = frame.Colors[src[x]];
                if (colour)
                    dst[x] = colour;
            }
        } else {
            for (int x = 0; x < columns; ++x)
                dst[x] = frame.Colors[src[x]];
        }
    }
}

void TGIFComposer::Dispose(const TGIFFrame& frame)
{
    const QRect area = Clip(frame);
    if (area.isEmpty())
        return;
    if (frame.Disposal == 2) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::memset(reinterpret_cast<std::uint32_t*>(image_.scanLine(y)) + area.left(), 0,
                        static_cast<std::size_t>(area.width()) * 4);
    } else if (frame.Disposal == 3 && savedFor_ == &frame) {
        QPainter painter(&image_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), saved_);
    }
}

bool TGIFComposer::IsTransparentAt(int x, int y) const
{
    if (!image_.valid(x, y))
        return true;
    return qAlpha(image_.pixel(x, y)) == 0;
}

} // namespace lumeno
