#include "app/album/album_layout.h"

#include "app/album/album_file.h"

#include <algorithm>

namespace lumeno {

TAlbumCells AlbumCellLayout(const TAlbumPage& page, int rows, int cols)
{
    rows = std::max(rows, 1);
    cols = std::max(cols, 1);
    const int usableWidth = page.Width - page.MarginLeft - page.MarginRight;
    const int usableHeight = page.Height - page.MarginTop - page.MarginBottom;
    TAlbumCells layout;
    layout.CellWidth = usableWidth / cols;
    layout.CellHeight = usableHeight / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            TRect cell;
            cell.Left = layout.CellWidth * c + page.MarginLeft;
            cell.Top = layout.CellHeight * r + page.MarginTop;
            cell.Right = cell.Left + layout.CellWidth;
            cell.Bottom = cell.Top + layout.CellHeight;
            layout.Cells.push_back(cell);
        }
    return layout;
}

TRect FitInCell(const TRect& cell, double ratio, int border)
{
    const int cellWidth = cell.Width();
    const int cellHeight = cell.Height();
    int w = std::max(cellWidth - 2 * border, 1);
    int h = int(Round(ratio * w));
    if (h > cellHeight - 2 * border) {
        h = std::max(cellHeight - 2 * border, 1);
        w = int(Round(h / ratio));
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    TRect r;
    r.Left = cell.Left + (cellWidth - w) / 2;
    r.Top = cell.Top + (cellHeight - h) / 2;
    r.Right = r.Left + w;
    r.Bottom = r.Top + h;
    return r;
}

int QualityPixelsPerInch(int quality)
{
    switch (quality) {
    case aqGood:
        return 160;
    case aqBest:
        return 240;
    default:
        return 200;
    }
}

TStretchMode QualityStretchMode(int quality)
{
    return quality == aqGood ? smFast : smPrecise;
}

TStretchMode QualityViewStretchMode(int quality)
{
    switch (quality) {
    case aqGood:
        return smFast;
    case aqBest:
        return smPrecise;
    default:
        return smMedium;
    }
}

TPoint WorkPictureSize(int w, int h, int ppiX, int ppiY, int quality)
{
    const Extended q = QualityPixelsPerInch(quality);
    TPoint size;
    size.X = std::max(int(Trunc(Extended(w) / std::max(ppiX, 1) * q)), 1);
    size.Y = std::max(int(Trunc(Extended(h) / std::max(ppiY, 1) * q)), 1);
    return size;
}

int EmbeddedFontSize(int quality)
{
    return int(Round(QualityPixelsPerInch(quality) * (1.0L / 72) * 6));
}

std::string AlbumCaptionText(int choice, const std::string& path, const std::string& caption,
                             const std::string& exifDate, const std::string& custom)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    switch (choice) {
    case acFilename:
        return name;
    case acCaption:
        return caption;
    case acDateTime:
        return exifDate;
    case acFilenameDateTime:
        return name + "  " + exifDate;
    case acCustom:
        return custom;
    default:
        return {};
    }
}

TPoint UnderImageCaptionOrigin(const TRect& cell, int textWidth, int heightOfX)
{
    return {(cell.Left + cell.Right) / 2 - textWidth / 2, cell.Bottom - int(Round(heightOfX * 1.5L))};
}

TRect EmbeddedCaptionBox(int w, int h, int textWidth, int textHeight, int position)
{
    const int bw = textWidth + 10;
    const int bh = textHeight + 10;
    const bool bottom =
        position == aepBottomLeft || position == aepBottomCenter || position == aepBottomRight;
    int x = 10;
    if (position == aepTopCenter || position == aepBottomCenter)
        x = (w - bw) / 2;
    else if (position == aepTopRight || position == aepBottomRight)
        x = w - 10 - bw;
    const int y = bottom ? h - 10 - bh : 10;
    return {x, y, x + bw, y + bh};
}

std::string AlbumCountText(int done, int count)
{
    return std::to_string(done) + "/" + std::to_string(count) + "    ";
}

} // namespace lumeno
