#include "app/sheet/sheet_layout.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

int SheetRows(int count, int cols)
{
    return count / cols + (count % cols != 0 ? 1 : 0);
}

TSheetSize SheetSize(const TSheetGrid& grid, int count)
{
    const int rows = SheetRows(count, grid.Cols);
    const long long width = static_cast<long long>(grid.HSpace) * (grid.Cols - 1) +
                            static_cast<long long>(grid.Size) * grid.Cols + 40;
    const long long height = static_cast<long long>(grid.VSpace) * (rows - 1) +
                             static_cast<long long>(grid.Size) * rows + 60 + grid.TitleHeight + grid.FooterHeight;
    constexpr long long kMax = 1LL << 30;
    return {static_cast<int>(std::min(width, kMax)), static_cast<int>(std::min(height, kMax))};
}

bool SheetTooLarge(const TSheetSize& size)
{
    const long long stride = (static_cast<long long>(size.Width) * 3 + 3) / 4 * 4;
    return stride * size.Height >= (1LL << 31);
}

TPoint CellOrigin(const TSheetGrid& grid, int index)
{
    const int c = index % grid.Cols;
    const int r = index / grid.Cols;
    return {c * grid.Size + 20 + grid.HSpace * c, grid.TitleHeight + 20 + r * grid.Size + grid.VSpace * r};
}

TSheetSize FittedSize(int width, int height, int size)
{
    if (width <= 0 || height <= 0)
        return {size, size};
    TSheetSize fitted{size, size};
    if (width > height)
        fitted.Height = static_cast<int>(std::trunc(static_cast<long double>(height) / width * size));
    else
        fitted.Width = static_cast<int>(std::trunc(static_cast<long double>(width) / height * size));
    fitted.Width = std::max(fitted.Width, 1);
    fitted.Height = std::max(fitted.Height, 1);
    return fitted;
}

TPoint PicturePlace(const TSheetGrid& grid, TPoint cellOrigin, int width, int height)
{
    return {cellOrigin.X + (grid.Size - width) / 2, cellOrigin.Y + grid.Size - height};
}

TNamePlace NamePlace(const TSheetGrid& grid, int index, int textWidth)
{
    const TPoint origin = CellOrigin(grid, index);
    const int r = index / grid.Cols;
    TNamePlace place;
    place.Y = grid.TitleHeight + 20 + (grid.VSpace + grid.Size) * r + grid.Size + 4;
    place.Clip = Rect(origin.X - grid.HSpace / 2, place.Y, origin.X + grid.Size + grid.HSpace / 2, place.Y + 20);
    place.X = textWidth < grid.HSpace + grid.Size ? origin.X + grid.Size / 2 - textWidth / 2
                                                  : origin.X - grid.HSpace / 2;
    return place;
}

int TextBandHeight(int letterHeight)
{
    return static_cast<int>(std::trunc(letterHeight * 1.4L));
}

int TitleLeft(int sheetWidth, int textWidth)
{
    return textWidth > sheetWidth ? -1 : (sheetWidth - textWidth) / 2;
}

int FooterTop(int sheetHeight, int footerHeight)
{
    return sheetHeight - (footerHeight + 10);
}

} // namespace lumeno
