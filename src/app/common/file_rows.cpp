#include "app/common/file_rows.h"

#include "app/common/view_fit.h"
#include "controls/shell/format_date_time.h"

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
    const QSize fit = FitToPanelSize({PaneWidth, PaneHeight}, {PictureWidth, PictureHeight});
    // A pane not laid out yet still gets a viewer that can be seen again.
    return fit.isValid() ? TPreviewSize{fit.width(), fit.height()} : TPreviewSize{1, 1};
}

} // namespace lumeno
