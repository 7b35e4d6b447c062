#pragma once
// Where everything of a thumbnail sheet goes: its size, each cell, the
// picture in its cell, the file name under it, title and footer. Plain
// arithmetic, so the layout is tested without a window.

#include "platform/types.h"

#include <cstdint>

namespace lumeno {

struct TSheetGrid {
    int Cols = 6;
    int Size = 96;
    int HSpace = 20;
    int VSpace = 30;
    int TitleHeight = 0;  // tH
    int FooterHeight = 0; // fH
};

struct TSheetSize {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TSheetSize&, const TSheetSize&) = default;
};

struct TNamePlace {
    int X = 0;
    int Y = 0;
    TRect Clip;
};

int SheetRows(int count, int cols);
TSheetSize SheetSize(const TSheetGrid& grid, int count);
// A sheet whose 24-bit pixels would reach 2 GiB cannot be made.
bool SheetTooLarge(const TSheetSize& size);
// Top-left corner of the cell of file index.
TPoint CellOrigin(const TSheetGrid& grid, int index);
// A picture fitted into Size x Size, its longer side Size, neither side
// below 1.
TSheetSize FittedSize(int width, int height, int size);
// Centred across the cell, standing on its bottom.
TPoint PicturePlace(const TSheetGrid& grid, TPoint cellOrigin, int width, int height);
// The file name under the cell of index: centred when it fits in the
// cell plus the spacing, else from the spacing's middle; always clipped to it.
TNamePlace NamePlace(const TSheetGrid& grid, int index, int textWidth);
// The band a title or footer takes: 1.4 times the height of "X".
int TextBandHeight(int letterHeight);
// Left of a centred title; -1 when it is wider than the sheet.
int TitleLeft(int sheetWidth, int textWidth);
int FooterTop(int sheetHeight, int footerHeight);
// A channel of the shadow's ring i (0 next to the picture).
inline std::uint8_t ShadowValue(std::uint8_t c, int i)
{
    return static_cast<std::uint8_t>(((c / 12) * i + c / 2) % 256);
}

} // namespace lumeno
