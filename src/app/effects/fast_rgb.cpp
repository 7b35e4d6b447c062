#include "app/effects/fast_rgb.h"

namespace lumeno {

void TFastRGB::SetLayout(int AWidth, int AHeight)
{
    Width = AWidth;
    Height = AHeight;
    Gap = Width % 4;
    RowInc = Width * 3 + Gap;
    Size = static_cast<std::int64_t>(RowInc) * Height;
}

void TFastRGB::FillRowTable()
{
    Pixels.resize(static_cast<std::size_t>(Height));
    for (int r = 0; r < Height; ++r)
        Pixels[static_cast<std::size_t>(r)] = Bits + static_cast<std::int64_t>(r) * RowInc;
}

} // namespace lumeno
