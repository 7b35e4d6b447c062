#include "controls/shell/file_list_items.h"
#include "controls/shell/anymap.h"

#include "controls/shell/file_list_texts.h"
#include "controls/shell/file_utils.h"
#include "platform/qt/shell/shell_namespace.h"

#include <QDateTime>
#include <QLocale>
#include <QMimeDatabase>
#include <QPainter>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/statvfs.h>

namespace lumeno {

namespace fs = std::filesystem;

namespace {

std::string Grouped(std::int64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), ",");
    return digits;
}

std::string DateText(std::int64_t seconds)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    const QLocale locale;
    return (locale.toString(when.date(), QLocale::ShortFormat) + "   " +
            locale.toString(when.time(), QLocale::ShortFormat))
        .toStdString();
}

// Type names by extension, looked up once per listing.
class TTypeNames {
public:
    const std::string& Of(const std::string& path, bool folder)
    {
        const std::string key = folder ? std::string("/") : fs::path(path).extension().string();
        auto found = names_.find(key);
        if (found == names_.end()) {
            const QMimeType type =
                folder ? mimes_.mimeTypeForName(QStringLiteral("inode/directory"))
                       : mimes_.mimeTypeForFile(QString::fromStdString(path), QMimeDatabase::MatchExtension);
            found = names_.emplace(key, type.comment().toStdString()).first;
        }
        return found->second;
    }

private:
    QMimeDatabase mimes_;
    std::map<std::string, std::string> names_;
};

bool Allowed(int attributes, unsigned allowed)
{
    return (!(attributes & faReadOnly) || (allowed & flvReadOnly)) &&
           (!(attributes & faHidden) || (allowed & flvHidden)) &&
           (!(attributes & faSysFile) || (allowed & flvSystem));
}

// One status read per entry: its attributes, size and time come from it.
TFileListItem EntryItem(TTypeNames& types, const fs::directory_entry& entry, const struct stat& st,
                        int attributes)
{
    TFileListItem item;
    const std::string path = entry.path().string();
    item.Caption = entry.path().filename().string();
    item.FileName = path;
    item.IsFolder = attributes & faDirectory;
    item.Attr = AttributeLetters(attributes);
    if (!item.IsFolder) {
        item.Size = std::int64_t(st.st_size);
        item.SizeText = FileSizeText(item.Size);
    }
    item.Modified = std::int64_t(st.st_mtime);
    item.DateText = DateText(item.Modified);
    item.TypeName = types.Of(path, item.IsFolder);
    std::error_code error;
    if (entry.is_symlink(error)) {
        const fs::path target = fs::canonical(entry.path(), error);
        item.Target = error ? std::string() : target.string();
    }
    return item;
}

// A keyword location with "X" so it sorts first.
TFileListItem SpecialItem(const std::string& caption, const std::string& keyword)
{
    TFileListItem item;
    item.Caption = caption;
    item.FileName = keyword;
    item.Attr = "X";
    item.IsFolder = true;
    return item;
}

// File system type and device of each mount point.
struct TMountInfo {
    std::string Device, Type;
};

// Read once per listing; a point mounted over keeps its last entry.
std::map<std::string, TMountInfo> MountInfos()
{
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    std::map<std::string, TMountInfo> found;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        fields >> device >> point >> type;
        found[point] = {device, type};
    }
    return found;
}

bool RemovableDevice(const std::string& device)
{
    if (device.rfind("/dev/", 0) != 0)
        return false;
    std::string name = device.substr(5);
    // A partition's disk is its name without the trailing digits.
    for (int pass = 0; pass < 2; ++pass) {
        std::ifstream flag("/sys/class/block/" + name + "/removable");
        char value = '0';
        if (flag >> value)
            return value == '1';
        while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
            name.pop_back();
    }
    return false;
}

// Compares ignoring ASCII case, without copies: sorting calls it often.
int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool IsMountRoot(const std::string& path)
{
    for (const auto& mount : NamespaceRoots().Mounts)
        if (mount.Path == path)
            return true;
    return false;
}

} // namespace

std::string FileSizeText(std::int64_t bytes)
{
    return bytes == 0 ? std::string() : Grouped(bytes);
}

std::string AttributeLetters(int attributes)
{
    std::string letters;
    for (const auto& [bit, letter] : {std::pair{faDirectory, 'd'},
                                      {faReadOnly, 'r'},
                                      {faHidden, 'h'},
                                      {faSysFile, 's'},
                                      {faArchive, 'a'}})
        if (attributes & bit)
            letters += letter;
    return letters + " ";
}

std::string DriveSizeText(std::int64_t bytes)
{
    const std::int64_t kilobytes = bytes / 1024;
    if (kilobytes > 10000)
        return Grouped(kilobytes / 1000) + " Mb";
    return Grouped(std::max<std::int64_t>(kilobytes, 0)) + " Kb";
}

int DriveTypeOf(const std::string& fileSystem, bool removable)
{
    static const char* const network[] = {"nfs",   "nfs4",       "cifs", "smb3", "smbfs",
                                          "sshfs", "fuse.sshfs", "9p",   "afs"};
    if (fileSystem == "iso9660" || fileSystem == "udf")
        return 5;
    if (fileSystem == "tmpfs" || fileSystem == "ramfs")
        return 6;
    if (std::find(std::begin(network), std::end(network), fileSystem) != std::end(network))
        return 4;
    if (fileSystem.empty())
        return 0;
    return removable ? 2 : 3;
}

std::vector<TFileListItem> ListFolder(const std::string& folder, unsigned allowed, std::int64_t& totalSize)
{
    std::vector<TFileListItem> folders, files;
    TTypeNames types;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string path = entry.path().string();
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            continue;
        const int attributes = FileAttrOf(path, st);
        if (!Allowed(attributes, allowed))
            continue;
        TFileListItem item = EntryItem(types, entry, st, attributes);
        totalSize += item.Size;
        (item.IsFolder ? folders : files).push_back(std::move(item));
    }
    folders.insert(folders.end(), std::make_move_iterator(files.begin()),
                   std::make_move_iterator(files.end()));
    return folders;
}

std::vector<TFileListItem> ListDesktop(int languageBase)
{
    std::vector<TFileListItem> items{SpecialItem("Computer", kDrives),
                                     SpecialItem(FileListText(languageBase, flAllNetwork), kNetwork),
                                     SpecialItem("Trash", kRecycled)};
    TTypeNames types;
    std::vector<std::string> places{NamespaceRoots().Home};
    for (const std::string& folder : NamespaceRoots().UserFolders)
        places.push_back(folder);
    for (const std::string& place : places) {
        std::error_code error;
        const fs::directory_entry entry(place, error);
        struct stat st {};
        if (!error && ::stat(place.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            items.push_back(EntryItem(types, entry, st, FileAttrOf(place, st)));
    }
    return items;
}

std::vector<TFileListItem> ListDrives(int languageBase)
{
    std::vector<TFileListItem> items;
    const std::map<std::string, TMountInfo> mounts = MountInfos();
    for (const auto& mount : NamespaceRoots().Mounts) {
        TFileListItem item;
        item.Caption = mount.Name;
        item.FileName = mount.Path;
        item.IsFolder = true;
        struct statvfs info {};
        std::int64_t bytes = 0;
        if (::statvfs(mount.Path.c_str(), &info) == 0)
            bytes = std::int64_t(info.f_blocks) * std::int64_t(info.f_frsize);
        item.Size = bytes;
        item.SizeText = DriveSizeText(bytes);
        const auto found = mounts.find(mount.Path);
        const TMountInfo where = found == mounts.end() ? TMountInfo{} : found->second;
        item.TypeName =
            FileListText(languageBase, flDriveType + DriveTypeOf(where.Type, RemovableDevice(where.Device)));
        item.Attr = "d ";
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<TFileListItem> ListRecycled(unsigned allowed, std::int64_t& totalSize)
{
    return ListFolder(NamespaceRoots().TrashFiles, allowed, totalSize);
}

std::string ParentLocation(const std::string& current)
{
    if (current == kDesktop || current == kDrives || current == kNetwork || current == kRecycled)
        return kDesktop;
    if (current.empty() || current == "/" || IsMountRoot(current))
        return kDrives;
    std::string path = current;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (IsMountRoot(path))
        return kDrives;
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? kDrives : parent;
}

TSortedBy SortedByColumn(int column, bool descending)
{
    const int value = std::clamp(column, 0, 4) + (descending ? 5 : 0);
    return static_cast<TSortedBy>(value);
}

bool SortsBefore(const TFileListItem& a, const TFileListItem& b, TSortedBy sortedBy)
{
    const bool specialA = !a.Attr.empty() && a.Attr[0] == 'X', specialB = !b.Attr.empty() && b.Attr[0] == 'X';
    if (specialA != specialB)
        return specialA;
    const int order = int(sortedBy);
    const bool descending = order >= 5;
    const int column = order % 5;
    auto compare = [column](const TFileListItem& x, const TFileListItem& y) {
        switch (column) {
        case 1:
            return x.Size < y.Size ? -1 : (x.Size > y.Size ? 1 : 0);
        case 2:
            return CompareNoCase(x.TypeName, y.TypeName);
        case 3:
            return x.Modified < y.Modified ? -1 : (x.Modified > y.Modified ? 1 : 0);
        case 4:
            return x.Attr.compare(y.Attr);
        default:
            return 0;
        }
    };
    int result = compare(a, b);
    if (result == 0)
        result = CompareNoCase(a.Caption, b.Caption);
    return descending ? result > 0 : result < 0;
}

QRect ThumbnailPlacement(int width, int height, int size)
{
    if (width <= 0 || height <= 0)
        return {0, 0, size, size};
    if (width >= height) {
        const int h = std::max(1, int(std::int64_t(height) * size / width));
        return {0, (size - h) / 2, size, h};
    }
    const int w = std::max(1, int(std::int64_t(width) * size / height));
    return {(size - w) / 2, 0, w, size};
}

QImage ThumbnailSquare(const std::string& path, int size, bool mask)
{
    TAnymap picture;
    try {
        picture.LoadFromFile(path);
    } catch (const std::exception&) {
        return {};
    }
    if (picture.isNull())
        return {};
    QImage square(size, size, QImage::Format_ARGB32);
    square.fill(Qt::white);
    QPainter painter(&square);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(ThumbnailPlacement(picture.width(), picture.height(), size), picture);
    painter.end();
    if (!mask)
        return square;
    const QRgb key = square.pixel(0, size - 1);
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(square.scanLine(y));
        for (int x = 0; x < size; ++x)
            if (row[x] == key)
                row[x] = 0;
    }
    return square;
}

std::string DirectoryComboEntry(int icon, int level, const std::string& key, const std::string& name)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%.4d%.3d", icon, level);
    return prefix + key + ";" + name;
}

} // namespace lumeno
