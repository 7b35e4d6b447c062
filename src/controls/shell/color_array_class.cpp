#include "controls/shell/color_array_class.h"

namespace lumeno {

TColorArrayClass::TColorArrayClass(int xSize, int ySize)
    : xSize_(xSize), ySize_(ySize), colors_(static_cast<std::size_t>(xSize * ySize), clBlack)
{
}

TColor TColorArrayClass::Color(int x, int y) const
{
    return colors_[Offset(x, y)];
}

void TColorArrayClass::SetColor(int x, int y, TColor value)
{
    colors_[Offset(x, y)] = value;
}

std::size_t TColorArrayClass::Offset(int x, int y) const
{
    if (x < 1 || x > xSize_ || y < 1 || y > ySize_)
        throw EColorArrayError("Array index out of bounds");
    return static_cast<std::size_t>((x - 1) * ySize_ + (y - 1));
}

} // namespace lumeno
