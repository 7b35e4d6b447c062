#include "app/files/file_rows.h"

#include "controls/shell/format_date_time.h"

#include <algorithm>
#include <cmath>

namespace lumeno {

std::string FileDateText(TDateTime Value)
{
    if (Value == 0)
        return {};
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return FormatDateTime("ddddd tt", base.addSecs(static_cast<qint64>(std::llround(Value * 86400.0))));
}

std::string FileTimeText(std::int64_t Seconds)
{
    return Seconds == 0 ? std::string() : FormatDateTime("ddddd tt", QDateTime::fromSecsSinceEpoch(Seconds));
}

std::set<std::string> NameListOf(const std::string& Folder, const std::string& Mask)
{
    std::set<std::string> names;
    for (const TFileRow& row : ListFolderFiles(Folder, Mask))
        names.insert(row.Name);
    return names;
}

int FirstNewArrival(const std::vector<std::string>& Names, const std::set<std::string>& Known)
{
    for (int i = 0; i < static_cast<int>(Names.size()); ++i)
        if (!Known.count(Names[static_cast<std::size_t>(i)]))
            return i;
    return -1;
}

TPreviewSize PreviewFit(int PaneWidth, int PaneHeight, int PictureWidth, int PictureHeight)
{
    if (PictureWidth < 1 || PictureHeight < 1)
        return {};
    if (PaneWidth >= PictureWidth + 8 && PaneHeight >= PictureHeight + 8)
        return {PictureWidth, PictureHeight};
    const double pane = PaneWidth > 0 ? static_cast<double>(PaneHeight) / PaneWidth : 0.0;
    const double picture = static_cast<double>(PictureHeight) / PictureWidth;
    if (pane - picture >= 0) {
        const int width = std::max(PaneWidth - 8, 1);
        return {width, static_cast<int>(std::nearbyint(width * picture))};
    }
    const int height = std::max(PaneHeight - 8, 1);
    return {static_cast<int>(std::nearbyint(height / picture)), height};
}

TPreviewSize ShrinkToBox(int Width, int Height, int Box)
{
    if (Width <= Box && Height <= Box)
        return {Width, Height};
    if (Width >= Height)
        return {Box, static_cast<int>(std::nearbyint(static_cast<double>(Height) * Box / Width))};
    return {static_cast<int>(std::nearbyint(static_cast<double>(Width) * Box / Height)), Box};
}

} // namespace lumeno
