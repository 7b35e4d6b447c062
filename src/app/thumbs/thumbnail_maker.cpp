#include "app/thumbs/thumbnail_maker.h"

#include "app/common/file_types.h"
#include "imagelib/format_registry.h"
#include "imagelib/pixel_graphic.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace lumeno {

namespace {

// A 10 x 14 question mark, one string per row, drawn 3 times larger.
constexpr const char* kQuestionMark[] = {
    "..######..", ".########.", "###....###", "##......##", "........##", ".......###", "......###.",
    ".....###..", "....###...", "....##....", "....##....", "..........", "....##....", "....##....",
};
constexpr int kMarkScale = 3;
constexpr int kMarkSide = 48;
constexpr TColor kMarkPaper = 0x00FFFFFF;
constexpr TColor kMarkInk = 0x00800000; // navy

} // namespace

TThumbWork::TThumbWork()
{
    // Workers never ask: a damaged file only becomes a question mark.
    Source.SetReadWarningAction(pgwaIgnore);
}

TThumbPlacement ThumbCellPlacement(int SourceWidth, int SourceHeight, int Size)
{
    TThumbPlacement place;
    if (SourceWidth < Size && SourceHeight < Size) {
        place.Width = SourceWidth;
        place.Height = SourceHeight;
    } else if (SourceWidth > SourceHeight) {
        place.Width = Size;
        place.Height = static_cast<int>(static_cast<std::int64_t>(Size) * SourceHeight / SourceWidth);
    } else {
        place.Width = static_cast<int>(static_cast<std::int64_t>(Size) * SourceWidth / SourceHeight);
        place.Height = Size;
    }
    place.Width = std::max(place.Width, 1);
    place.Height = std::max(place.Height, 1);
    place.X = (Size - place.Width) / 2;
    return place;
}

void LoadQuestionMark(TPixelGraphic& Image)
{
    Image.SetDimensions(kMarkSide, kMarkSide, pf24Bit);
    Image.SetFillColor(kMarkPaper);
    Image.Clear();
    constexpr int rows = static_cast<int>(std::size(kQuestionMark));
    const int left = (kMarkSide - 10 * kMarkScale) / 2;
    const int top = (kMarkSide - rows * kMarkScale) / 2;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < 10; ++col)
            if (kQuestionMark[row][col] == '#')
                for (int dy = 0; dy < kMarkScale; ++dy)
                    for (int dx = 0; dx < kMarkScale; ++dx)
                        Image.SetPixelColor(left + col * kMarkScale + dx, top + row * kMarkScale + dy, kMarkInk);
}

void LoadThumbnailSource(const std::string& Path, int Size, TPixelGraphic& Source)
{
    int minWidth = Size;
    int minHeight = Size;
    TGraphicInfo info;
    // A JPEG may be decoded smaller: ask only for what the cell will show.
    if (FileTypeOf(Path) == TFileType::ftJPG && GetGraphicFileInfo(Path, 0, info) && info.Width > 0 &&
        info.Height > 0) {
        const TThumbPlacement place = ThumbCellPlacement(info.Width, info.Height, Size);
        minWidth = place.Width;
        minHeight = place.Height;
    }
    Source.LoadFromFileAtLeast(Path, minWidth, minHeight);
}

void ComposeThumbnail(TThumbWork& Work, int Size, TColor Fill)
{
    const TThumbPlacement place = ThumbCellPlacement(Work.Source.GetWidth(), Work.Source.GetHeight(), Size);
    Work.Cell.SetDimensions(Size, Size, pf24Bit);
    Work.Cell.SetFillColor(Fill);
    Work.Cell.Clear();
    TPixelGraphic* picture = &Work.Source;
    if (place.Width != Work.Source.GetWidth() || place.Height != Work.Source.GetHeight() ||
        Work.Source.GetPixelFormat() != pf24Bit) {
        Work.Scaled.SetDimensions(place.Width, place.Height, pf24Bit);
        Work.Scaled.StretchFrom(Work.Source);
        picture = &Work.Scaled;
    }
    Work.Cell.CopyRect(place.X, place.Y, place.Width, place.Height, 0, 0, *picture);
}

bool MakeThumbnailCell(const std::string& Path, int Size, TColor Fill, TThumbWork& Work)
{
    bool loaded = true;
    try {
        LoadThumbnailSource(Path, Size, Work.Source);
        loaded = !Work.Source.GetEmpty() && Work.Source.GetWidth() > 0 && Work.Source.GetHeight() > 0;
    } catch (const std::exception&) {
        loaded = false;
    }
    if (!loaded)
        LoadQuestionMark(Work.Source);
    ComposeThumbnail(Work, Size, Fill);
    return loaded;
}

QImage ThumbnailImage(TPixelGraphic& Cell)
{
    const int width = Cell.GetWidth();
    const int height = Cell.GetHeight();
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), Cell.GetScanLine(y), static_cast<std::size_t>(width) * 3);
    return image;
}

} // namespace lumeno
