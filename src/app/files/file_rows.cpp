#include "app/files/file_rows.h"

#include "app/viewer/file_types.h"
#include "controls/shell/file_masks.h"
#include "controls/shell/file_utils.h"
#include "controls/shell/format_date_time.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <tuple>

namespace lumeno {

namespace {

namespace fs = std::filesystem;

std::string Upper(std::string Text)
{
    for (char& c : Text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Text;
}

std::vector<std::string> SplitMask(const std::string& Mask)
{
    std::vector<std::string> patterns;
    std::size_t start = 0;
    for (std::size_t semi; (semi = Mask.find(';', start)) != std::string::npos; start = semi + 1)
        if (semi > start)
            patterns.push_back(Mask.substr(start, semi - start));
    return patterns;
}

std::vector<std::string> OrdinaryFiles(const std::string& Folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(Folder, ec)) {
        std::error_code kind;
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(kind) && !name.starts_with('.'))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> MatchingNames(const std::string& Folder, const std::string& Mask)
{
    const std::vector<std::string> all = OrdinaryFiles(Folder);
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& pattern : SplitMask(Mask))
        for (const std::string& name : all)
            if (MatchesMask(name, pattern) && taken.insert(name).second)
                names.push_back(name);
    return names;
}

} // namespace

std::string FileDateText(TDateTime Value)
{
    if (Value == 0)
        return {};
    const QDateTime base(QDate(1899, 12, 30), QTime(0, 0));
    return FormatDateTime("ddddd tt", base.addSecs(static_cast<qint64>(std::llround(Value * 86400.0))));
}

std::vector<TFileRow> ListMatchingFiles(const std::string& Folder, const std::string& Mask)
{
    std::vector<TFileRow> rows;
    for (const std::string& name : MatchingNames(Folder, Mask)) {
        const std::string path = (fs::path(Folder) / name).string();
        const std::int64_t size = GetFileSizeByName(path);
        rows.push_back({name, std::max<std::int64_t>(size, 0) / 1024 + 1, Upper(FileExtension(name)).substr(0, 3),
                        GetFileDateTime(path)});
    }
    return rows;
}

void SortFileRows(std::vector<TFileRow>& Rows, int Column, bool Ascending)
{
    const auto key = [Column](const TFileRow& row) {
        const std::string name = Upper(row.Name);
        switch (Column) {
        case 1:
            return std::make_tuple(row.SizeK, 0.0, std::string(), std::string());
        case 2:
            return std::make_tuple(std::int64_t{0}, 0.0, row.Type, name);
        case 3:
            return std::make_tuple(std::int64_t{0}, static_cast<double>(row.Modified), std::string(), name);
        default:
            return std::make_tuple(std::int64_t{0}, 0.0, std::string(), name);
        }
    };
    std::stable_sort(Rows.begin(), Rows.end(), [&](const TFileRow& a, const TFileRow& b) {
        return Ascending ? key(a) < key(b) : key(b) < key(a);
    });
}

std::set<std::string> NameListOf(const std::string& Folder, const std::string& Mask)
{
    const std::vector<std::string> names = MatchingNames(Folder, Mask);
    return {names.begin(), names.end()};
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
