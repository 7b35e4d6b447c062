#include "app/common/file_list.h"

#include "app/common/view_fit.h"
#include "controls/shell/file_masks.h"

#include <QString>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace lumeno {

namespace {

struct TDirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

std::vector<std::string> SplitMask(const std::string& Mask)
{
    std::vector<std::string> patterns;
    std::size_t start = 0;
    for (std::size_t semi; (semi = Mask.find(';', start)) != std::string::npos; start = semi + 1)
        if (semi > start)
            patterns.push_back(Mask.substr(start, semi - start));
    return patterns;
}

std::string UpperName(const std::string& Name)
{
    return QString::fromStdString(Name).toUpper().toStdString();
}

template <typename T> int Sign(const T& A, const T& B)
{
    return A < B ? -1 : (B < A ? 1 : 0);
}

} // namespace

std::string BuildFileMask(const TFileTypeFlags& Flags)
{
    std::string mask;
    for (std::size_t i = 0; i < Flags.size(); ++i)
        if (Flags[i])
            mask += std::string("*.") + kFileTypeOrder[i] + ";";
    return mask;
}

std::vector<TFileRow> ListFolderFiles(const std::string& Folder, const std::string& Mask)
{
    const std::vector<std::string> patterns = SplitMask(Mask);
    std::vector<std::vector<TFileRow>> groups(patterns.size());
    std::vector<TMaskList> masks(patterns.size());
    for (std::size_t i = 0; i < patterns.size(); ++i)
        BuildMaskList(patterns[i], masks[i]);
    std::unique_ptr<DIR, TDirCloser> dir(opendir(Folder.c_str()));
    if (!dir || patterns.empty())
        return {};
    const int dirFd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        if (name[0] == '.')
            continue;
        if (entry->d_type != DT_REG && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            continue;
        std::size_t group = 0;
        while (group < masks.size() && !MatchesMaskList(name, masks[group]))
            ++group;
        if (group == masks.size())
            continue;
        struct stat st {};
        if (fstatat(dirFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        groups[group].push_back({name, st.st_size / 1024 + 1, ShowExt(name), std::int64_t(st.st_mtim.tv_sec)});
    }
    std::vector<TFileRow> rows;
    for (auto& group : groups)
        rows.insert(rows.end(), std::make_move_iterator(group.begin()), std::make_move_iterator(group.end()));
    return rows;
}

std::vector<int> SortOrder(const std::vector<TFileRow>& Rows, int Column, bool Ascending)
{
    std::vector<int> order(Rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    if (Column < 0 || Column > 3)
        return order;
    // Upper-case keys once, not at every comparison.
    std::vector<std::string> keys(Rows.size());
    if (Column != 1)
        for (std::size_t i = 0; i < Rows.size(); ++i)
            keys[i] = UpperName(Column == 2 ? Rows[i].Type + Rows[i].Name : Rows[i].Name);
    auto compare = [&](int a, int b) {
        const TFileRow& A = Rows[std::size_t(a)];
        const TFileRow& B = Rows[std::size_t(b)];
        if (Column == 1)
            return Sign(A.SizeKB, B.SizeKB);
        if (Column == 3 && A.Time != B.Time)
            return Sign(A.Time, B.Time);
        return Sign(keys[std::size_t(a)], keys[std::size_t(b)]);
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compare(a, b);
        return Ascending ? c < 0 : c > 0;
    });
    return order;
}

int DeleteSuccessor(const std::vector<bool>& Selected)
{
    const auto first = std::find(Selected.begin(), Selected.end(), true);
    if (first == Selected.end())
        return -1;
    for (auto it = first; it != Selected.begin();) {
        --it;
        if (!*it)
            return int(it - Selected.begin());
    }
    const auto after = std::find(first, Selected.end(), false);
    return after == Selected.end() ? -1 : int(after - Selected.begin());
}

int SlideIndex(int Count, int FirstSelected, bool Forward)
{
    if (Count <= 0)
        return -1;
    int index = Forward ? (FirstSelected < 0 ? 0 : FirstSelected + 1)
                        : (FirstSelected < 0 ? Count : FirstSelected) - 1;
    if (index >= Count)
        index = 0;
    if (index < 0)
        index = Count - 1;
    return index;
}

} // namespace lumeno
