#include "controls/kit/fc_image_list.h"

namespace lumeno {

void TfcImageList::Add(const QPixmap& image)
{
    if (image.width() == width_ && image.height() == height_)
        images_.push_back(image);
    else
        images_.push_back(image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QPixmap TfcImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return images_[static_cast<size_t>(index)];
}

} // namespace lumeno
