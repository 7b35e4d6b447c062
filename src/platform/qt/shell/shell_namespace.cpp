#include "platform/qt/shell/shell_namespace.h"

#include "platform/move_no_replace.h"
#include "platform/qt/shell/shell_context_menu.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lumeno {

namespace {

constexpr std::size_t kPayloadOffset = 3; // count (2) + kind (1)

const char* const kControlPanel = "Control Panel";
const char* const kPrinters = "Printers";
const char* const kNetwork = "Network";

TNamespaceRoots& Roots()
{
    static TNamespaceRoots roots = SystemNamespaceRoots();
    return roots;
}

std::string Join(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// Lexically normal absolute path without a trailing separator; "" when the
// path is not absolute.
std::string NormalPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return {};
    std::string normal = std::filesystem::path(path).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

bool IsUnder(const std::string& path, const std::string& dir)
{
    if (dir == "/")
        return path.size() > 1 && path[0] == '/';
    return path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 && path[dir.size()] == '/';
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A folder entry by its type in the listing; a link, or the entry of a file
// system that does not say the type, is asked through stat.
bool IsFolderType(const std::string& dir, const std::string& name, unsigned char type)
{
    if (type == DT_LNK || type == DT_UNKNOWN)
        return IsDirectory(Join(dir, name));
    return type == DT_DIR;
}

std::string Canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

// A symlinked folder pointing at itself or at one of its ancestors would
// lead into an endless tree.
bool IsLoopingLink(const std::string& dir, const std::string& name)
{
    const std::string full = Join(dir, name);
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return false;
    const std::string target = Canonical(full);
    const std::string parent = Canonical(dir);
    return target.empty() || target == parent || IsUnder(parent, target);
}

int CompareNames(const std::string& a, const std::string& b)
{
    const int folded = QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b);
}

// Returns the list of items for a path relative to dir, or nullptr when a
// part does not exist.
PItemIdList ParseRelative(const std::string& dir, const std::string& relative)
{
    TOwnedIdList result(AllocItemIdList(2));
    std::string path = dir;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return nullptr;
        path = Join(path, part);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            return nullptr;
        TOwnedIdList item(MakeItem(IsDirectory(path) ? ikEntryFolder : ikEntryFile, part));
        result.reset(ConcatItemIdLists(result.get(), item.get()));
        if (!result)
            return nullptr;
    }
    return result.release();
}

class TListEnum : public TEnumIdList {
public:
    explicit TListEnum(std::vector<std::pair<std::uint8_t, std::string>> items) : items_(std::move(items)) {}
    PItemIdList Next() override
    {
        if (next_ >= items_.size())
            return nullptr;
        const auto& item = items_[next_++];
        return MakeItem(item.first, item.second);
    }

private:
    std::vector<std::pair<std::uint8_t, std::string>> items_;
    std::size_t next_ = 0;
};

class TEmptyFolder : public TShellFolder {
public:
    explicit TEmptyFolder(PCItemIdList absolute) : TShellFolder(absolute) {}
    std::unique_ptr<TEnumIdList> EnumObjects(unsigned) override
    {
        return std::make_unique<TListEnum>(std::vector<std::pair<std::uint8_t, std::string>>{});
    }
    PItemIdList ParseDisplayName(const std::string&) override { return nullptr; }

protected:
    std::uint32_t ItemAttributes(PCItemIdList, std::uint32_t) override { return 0; }
    bool ItemDisplayName(PCItemIdList, unsigned, TStrRet&) override { return false; }
    std::shared_ptr<TShellFolder> BindToItem(PCItemIdList) override { return nullptr; }
    int CompareItems(PCItemIdList, PCItemIdList) override { return 0; }
};

// A folder of the file system (or the trash's files folder).
class TDirectoryFolder : public TShellFolder {
public:
    TDirectoryFolder(PCItemIdList absolute, std::string dir) : TShellFolder(absolute), dir_(std::move(dir)) {}

    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) override
    {
        DIR* d = ::opendir(dir_.c_str());
        if (!d)
            return nullptr;
        std::vector<std::pair<std::uint8_t, std::string>> items;
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            if (name[0] == '.' && !(flags & enIncludeHidden))
                continue;
            const bool folder = IsFolderType(dir_, name, e->d_type);
            if (folder ? (flags & enFolders) : (flags & enNonFolders))
                items.emplace_back(folder ? ikEntryFolder : ikEntryFile, name);
        }
        ::closedir(d);
        return std::make_unique<TListEnum>(std::move(items));
    }

    PItemIdList ParseDisplayName(const std::string& name) override
    {
        return name.empty() || name[0] == '/' ? nullptr : ParseRelative(dir_, name);
    }

    PItemIdList SetNameOf(PCItemIdList item, const std::string& newName, unsigned, std::string& error) override
    {
        const std::uint8_t kind = ItemKind(item);
        if ((kind != ikEntryFolder && kind != ikEntryFile) || !IsEmptyItemIdList(NextItem(item)))
            return TShellFolder::SetNameOf(item, newName, 0, error);
        if (newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string::npos) {
            error = "The name \"" + newName + "\" is not valid.";
            return nullptr;
        }
        const std::string from = Join(dir_, ItemPayload(item));
        const std::string to = Join(dir_, newName);
        // Never replace an existing item.
        if (const int code = RenameNoReplace(from, to)) {
            error = std::strerror(code);
            return nullptr;
        }
        return MakeItem(kind, newName);
    }

protected:
    std::uint32_t ItemAttributes(PCItemIdList item, std::uint32_t mask) override
    {
        const std::uint8_t kind = ItemKind(item);
        if (kind != ikEntryFolder && kind != ikEntryFile)
            return 0;
        const std::string name = ItemPayload(item);
        const std::string full = Join(dir_, name);
        struct stat lst {};
        if (::lstat(full.c_str(), &lst) != 0)
            return 0;
        struct stat st = lst;
        if (S_ISLNK(lst.st_mode) && ::stat(full.c_str(), &st) != 0)
            st = lst;
        std::uint32_t attributes = saCanCopy | saCanLink | saHasPropSheet | saFileSystem;
        if (::access(dir_.c_str(), W_OK) == 0)
            attributes |= saCanMove | saCanRename | saCanDelete;
        if (S_ISLNK(lst.st_mode))
            attributes |= saLink;
        if (!(st.st_mode & S_IWUSR))
            attributes |= saReadOnly;
        if (name[0] == '.')
            attributes |= saHidden;
        if (S_ISDIR(st.st_mode)) {
            attributes |= saFolder | saFileSysAncestor | saDropTarget;
            if ((mask & saHasSubfolder) && !IsLoopingLink(dir_, name) && HasSubfolder(full))
                attributes |= saHasSubfolder;
        }
        return attributes & mask;
    }

    bool ItemDisplayName(PCItemIdList item, unsigned flags, TStrRet& name) override
    {
        const std::uint8_t kind = ItemKind(item);
        if (kind != ikEntryFolder && kind != ikEntryFile)
            return false;
        if ((flags & dnForParsing) && !(flags & dnInFolder)) {
            name.Type = TStrRet::srText;
            name.Text = Join(dir_, ItemPayload(item));
        } else {
            name.Type = TStrRet::srOffset;
            name.Offset = kPayloadOffset;
        }
        return true;
    }

    std::shared_ptr<TShellFolder> BindToItem(PCItemIdList item) override
    {
        const std::string name = ItemPayload(item);
        const std::uint8_t kind = ItemKind(item);
        if ((kind != ikEntryFolder && kind != ikEntryFile) || IsLoopingLink(dir_, name))
            return nullptr;
        const std::string full = Join(dir_, name);
        if (!IsDirectory(full))
            return nullptr;
        TOwnedIdList absolute(ConcatItemIdLists(AbsoluteList(), item));
        return std::make_shared<TDirectoryFolder>(absolute.get(), full);
    }

    int CompareItems(PCItemIdList a, PCItemIdList b) override
    {
        const bool folderA = ItemKind(a) == ikEntryFolder;
        const bool folderB = ItemKind(b) == ikEntryFolder;
        if (folderA != folderB)
            return folderA ? -1 : 1;
        return CompareNames(ItemPayload(a), ItemPayload(b));
    }

private:
    std::string dir_;
};

std::uint32_t RootFolderAttributes(const std::string& path, std::uint32_t mask)
{
    std::uint32_t attributes = saFolder | saFileSysAncestor | saFileSystem | saHasPropSheet | saDropTarget;
    if ((mask & saHasSubfolder) && HasSubfolder(path))
        attributes |= saHasSubfolder;
    return attributes;
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Mount points, the Control Panel and the Printers.
class TComputerFolder : public TShellFolder {
public:
    explicit TComputerFolder(PCItemIdList absolute) : TShellFolder(absolute) {}

    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) override
    {
        std::vector<std::pair<std::uint8_t, std::string>> items;
        if (flags & enFolders) {
            for (const auto& mount : Roots().Mounts)
                items.emplace_back(ikMount, mount.Path);
            items.emplace_back(ikVirtual, kControlPanel);
            items.emplace_back(ikVirtual, kPrinters);
        }
        return std::make_unique<TListEnum>(std::move(items));
    }

    PItemIdList ParseDisplayName(const std::string& name) override
    {
        const std::string path = NormalPath(name);
        const TNamespaceRoots::TMount* best = nullptr;
        for (const auto& mount : Roots().Mounts)
            if ((path == mount.Path || IsUnder(path, mount.Path)) &&
                (!best || mount.Path.size() > best->Path.size()))
                best = &mount;
        if (!best)
            return nullptr;
        TOwnedIdList mount(MakeItem(ikMount, best->Path));
        const std::string rest = path.substr(std::min(path.size(), best->Path.size()));
        TOwnedIdList below(ParseRelative(best->Path, rest));
        return below ? ConcatItemIdLists(mount.get(), below.get()) : nullptr;
    }

protected:
    std::uint32_t ItemAttributes(PCItemIdList item, std::uint32_t mask) override
    {
        if (ItemKind(item) == ikMount)
            return RootFolderAttributes(ItemPayload(item), mask) & mask;
        return ItemKind(item) == ikVirtual ? saFolder & mask : 0;
    }

    bool ItemDisplayName(PCItemIdList item, unsigned flags, TStrRet& name) override
    {
        const std::string payload = ItemPayload(item);
        if (ItemKind(item) == ikVirtual) {
            name.Type = TStrRet::srText;
            name.Text = payload;
            return true;
        }
        if (ItemKind(item) != ikMount)
            return false;
        if (flags & dnForParsing) {
            name.Type = TStrRet::srText;
            name.Text = payload;
            return true;
        }
        for (const auto& mount : Roots().Mounts)
            if (mount.Path == payload) {
                name.Type = TStrRet::srWide;
                name.Wide = QString::fromStdString(mount.Name.empty() ? BaseName(payload) : mount.Name)
                                .toStdU16String();
                return true;
            }
        name.Type = TStrRet::srText;
        name.Text = BaseName(payload);
        return true;
    }

    std::shared_ptr<TShellFolder> BindToItem(PCItemIdList item) override
    {
        TOwnedIdList absolute(ConcatItemIdLists(AbsoluteList(), item));
        if (ItemKind(item) == ikVirtual)
            return std::make_shared<TEmptyFolder>(absolute.get());
        if (ItemKind(item) == ikMount && IsDirectory(ItemPayload(item)))
            return std::make_shared<TDirectoryFolder>(absolute.get(), ItemPayload(item));
        return nullptr;
    }

    int CompareItems(PCItemIdList a, PCItemIdList b) override
    {
        if (ItemKind(a) != ItemKind(b))
            return ItemKind(a) == ikMount ? -1 : 1;
        return CompareNames(ItemPayload(a), ItemPayload(b));
    }
};

int DesktopRank(std::uint8_t kind)
{
    switch (kind) {
    case ikHome:
        return 0;
    case ikUserFolder:
        return 1;
    case ikComputer:
        return 2;
    case ikTrash:
        return 3;
    default:
        return 4;
    }
}

class TDesktopFolder : public TShellFolder {
public:
    TDesktopFolder() : TShellFolder(TOwnedIdList(AllocItemIdList(2)).get()) {}

    std::unique_ptr<TEnumIdList> EnumObjects(unsigned flags) override
    {
        std::vector<std::pair<std::uint8_t, std::string>> items;
        if (flags & enFolders) {
            const TNamespaceRoots& roots = Roots();
            if (!roots.Home.empty())
                items.emplace_back(ikHome, "");
            for (const auto& folder : roots.UserFolders)
                if (folder != roots.Home && IsDirectory(folder))
                    items.emplace_back(ikUserFolder, folder);
            items.emplace_back(ikComputer, "");
            if (!roots.TrashFiles.empty())
                items.emplace_back(ikTrash, "");
            items.emplace_back(ikVirtual, kNetwork);
        }
        return std::make_unique<TListEnum>(std::move(items));
    }

    PItemIdList ParseDisplayName(const std::string& name) override
    {
        const std::string path = NormalPath(name);
        if (path.empty())
            return nullptr;
        const std::string& home = Roots().Home;
        if (!home.empty() && (path == home || IsUnder(path, home))) {
            TOwnedIdList homeItem(MakeItem(ikHome, ""));
            TOwnedIdList below(ParseRelative(home, path.substr(home.size())));
            return below ? ConcatItemIdLists(homeItem.get(), below.get()) : nullptr;
        }
        TOwnedIdList computer(MakeItem(ikComputer, ""));
        TOwnedIdList computerAbs(CopyItemIdList(computer.get()));
        TOwnedIdList below(std::make_shared<TComputerFolder>(computerAbs.get())->ParseDisplayName(path));
        return below ? ConcatItemIdLists(computer.get(), below.get()) : nullptr;
    }

protected:
    std::uint32_t ItemAttributes(PCItemIdList item, std::uint32_t mask) override
    {
        const TNamespaceRoots& roots = Roots();
        switch (ItemKind(item)) {
        case 0: // the Desktop itself
        case ikComputer:
            return (saFolder | saFileSysAncestor | saHasSubfolder) & mask;
        case ikHome:
            return RootFolderAttributes(roots.Home, mask) & mask;
        case ikUserFolder:
            return RootFolderAttributes(ItemPayload(item), mask) & mask;
        case ikTrash: {
            std::uint32_t attributes = saFolder | saDropTarget | saHasPropSheet;
            if ((mask & saHasSubfolder) && HasSubfolder(roots.TrashFiles))
                attributes |= saHasSubfolder;
            return attributes & mask;
        }
        case ikVirtual:
            return saFolder & mask;
        default:
            return 0;
        }
    }

    bool ItemDisplayName(PCItemIdList item, unsigned flags, TStrRet& name) override
    {
        name.Type = TStrRet::srText;
        const bool parsing = (flags & dnForParsing) != 0;
        switch (ItemKind(item)) {
        case 0:
            name.Text = "Desktop";
            return true;
        case ikHome:
            name.Text = parsing ? Roots().Home : "Home";
            return true;
        case ikUserFolder:
            name.Text = parsing ? ItemPayload(item) : BaseName(ItemPayload(item));
            return true;
        case ikComputer:
            name.Text = "Computer";
            return true;
        case ikTrash:
            name.Text = "Trash";
            return true;
        case ikVirtual:
            name.Text = ItemPayload(item);
            return true;
        default:
            return false;
        }
    }

    std::shared_ptr<TShellFolder> BindToItem(PCItemIdList item) override
    {
        TOwnedIdList absolute(ConcatItemIdLists(AbsoluteList(), item));
        const TNamespaceRoots& roots = Roots();
        switch (ItemKind(item)) {
        case ikHome:
            return IsDirectory(roots.Home) ? std::make_shared<TDirectoryFolder>(absolute.get(), roots.Home)
                                           : nullptr;
        case ikUserFolder:
            return IsDirectory(ItemPayload(item))
                       ? std::make_shared<TDirectoryFolder>(absolute.get(), ItemPayload(item))
                       : nullptr;
        case ikTrash:
            return std::make_shared<TDirectoryFolder>(absolute.get(), roots.TrashFiles);
        case ikComputer:
            return std::make_shared<TComputerFolder>(absolute.get());
        case ikVirtual:
            return std::make_shared<TEmptyFolder>(absolute.get());
        default:
            return nullptr;
        }
    }

    int CompareItems(PCItemIdList a, PCItemIdList b) override
    {
        const int rank = DesktopRank(ItemKind(a)) - DesktopRank(ItemKind(b));
        return rank != 0 ? rank : CompareNames(ItemPayload(a), ItemPayload(b));
    }
};

std::string UserDirFromConfig(const char* key, const std::string& home, const std::string& fallback)
{
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/user-dirs.dirs"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&file);
        const QString prefix = QString::fromLatin1(key) + QLatin1Char('=');
        while (!in.atEnd()) {
            QString line = in.readLine().trimmed();
            if (!line.startsWith(prefix))
                continue;
            line = line.mid(prefix.size()).remove(QLatin1Char('"'));
            line.replace(QStringLiteral("$HOME"), QString::fromStdString(home));
            return line.toStdString();
        }
    }
    return fallback;
}

} // namespace

bool IsFolderEntry(const std::string& dir, const char* name, unsigned char type)
{
    // A link counts when it leads to a folder outside its own ancestors.
    return IsFolderType(dir, name, type) && (type == DT_DIR || !IsLoopingLink(dir, name));
}

bool HasSubfolder(const std::string& dir)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return false;
    bool found = false;
    while (!found) {
        const dirent* e = ::readdir(d);
        if (!e)
            break;
        found = std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0 &&
                IsFolderEntry(dir, e->d_name, e->d_type);
    }
    ::closedir(d);
    return found;
}

TShellFolder::TShellFolder(PCItemIdList absolute) : absolute_(CopyItemIdList(absolute)) {}

std::shared_ptr<TShellFolder> TShellFolder::FolderOfLast(PCItemIdList item, PCItemIdList& last)
{
    std::shared_ptr<TShellFolder> folder = shared_from_this();
    last = item;
    while (folder && !IsEmptyItemIdList(item) && !IsEmptyItemIdList(NextItem(item))) {
        TOwnedIdList first(CopyFirstItem(item));
        folder = folder->BindToItem(first.get());
        item = NextItem(item);
        last = item;
    }
    return folder;
}

std::uint32_t TShellFolder::GetAttributesOf(PCItemIdList item, std::uint32_t mask)
{
    PCItemIdList last = nullptr;
    std::shared_ptr<TShellFolder> folder = FolderOfLast(item, last);
    return folder ? folder->ItemAttributes(last, mask) : 0;
}

bool TShellFolder::GetDisplayNameOf(PCItemIdList item, unsigned flags, TStrRet& name)
{
    PCItemIdList last = nullptr;
    std::shared_ptr<TShellFolder> folder = FolderOfLast(item, last);
    if (!folder || !folder->ItemDisplayName(last, flags, name))
        return false;
    // An offset counts from the start of the list the caller passed.
    if (name.Type == TStrRet::srOffset)
        name.Offset += unsigned(last - item);
    return true;
}

int TShellFolder::CompareIDs(int, PCItemIdList a, PCItemIdList b)
{
    if (IsEmptyItemIdList(a) || IsEmptyItemIdList(b))
        return int(!IsEmptyItemIdList(a)) - int(!IsEmptyItemIdList(b));
    TOwnedIdList firstA(CopyFirstItem(a));
    TOwnedIdList firstB(CopyFirstItem(b));
    const int result = CompareItems(firstA.get(), firstB.get());
    if (result != 0 || (IsEmptyItemIdList(NextItem(a)) && IsEmptyItemIdList(NextItem(b))))
        return result;
    std::shared_ptr<TShellFolder> child = BindToItem(firstA.get());
    return child ? child->CompareIDs(0, NextItem(a), NextItem(b)) : 0;
}

std::shared_ptr<TShellFolder> TShellFolder::BindToObject(PCItemIdList item)
{
    std::shared_ptr<TShellFolder> folder = shared_from_this();
    for (PCItemIdList p = item; folder && !IsEmptyItemIdList(p); p = NextItem(p)) {
        TOwnedIdList first(CopyFirstItem(p));
        folder = folder->BindToItem(first.get());
    }
    return folder;
}

PItemIdList TShellFolder::SetNameOf(PCItemIdList, const std::string&, unsigned, std::string& error)
{
    error = "This item cannot be renamed.";
    return nullptr;
}

std::unique_ptr<TShellContextMenu> TShellFolder::GetUIObjectOf(const std::vector<PCItemIdList>& items)
{
    if (items.empty())
        return nullptr;
    return std::make_unique<TShellContextMenu>(shared_from_this(), items);
}

TNamespaceRoots SystemNamespaceRoots()
{
    TNamespaceRoots roots;
    roots.Home = NormalPath(QDir::homePath().toStdString());
    const std::string data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    const std::string config =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
    roots.TrashFiles = data + "/Trash/files";
    roots.Mounts.push_back({"/", "File System"});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::string path = volume.rootPath().toStdString();
        if (path != "/" && volume.isValid() && volume.isReady() && volume.device().startsWith("/dev/"))
            roots.Mounts.push_back({path, volume.displayName().toStdString()});
    }
    const auto location = [](QStandardPaths::StandardLocation which) {
        return NormalPath(QStandardPaths::writableLocation(which).toStdString());
    };
    roots.DesktopDir = location(QStandardPaths::DesktopLocation);
    roots.Documents = location(QStandardPaths::DocumentsLocation);
    roots.UserFolders = {roots.DesktopDir, roots.Documents, location(QStandardPaths::DownloadLocation),
                         location(QStandardPaths::MusicLocation), location(QStandardPaths::PicturesLocation),
                         location(QStandardPaths::MoviesLocation)};
    roots.Templates = NormalPath(UserDirFromConfig("XDG_TEMPLATES_DIR", roots.Home, roots.Home + "/Templates"));
    roots.Fonts = data + "/fonts";
    roots.Applications = location(QStandardPaths::ApplicationsLocation);
    roots.Autostart = config + "/autostart";
    return roots;
}

const TNamespaceRoots& NamespaceRoots() { return Roots(); }

void SetNamespaceRoots(const TNamespaceRoots& roots) { Roots() = roots; }

std::shared_ptr<TShellFolder> GetDesktopFolder() { return std::make_shared<TDesktopFolder>(); }

PItemIdList GetSpecialFolderLocation(int folder)
{
    const TNamespaceRoots& roots = Roots();
    const auto parse = [](const std::string& path) { return GetDesktopFolder()->ParseDisplayName(path); };
    const auto underComputer = [](const char* name) {
        TOwnedIdList computer(MakeItem(ikComputer, ""));
        TOwnedIdList item(MakeItem(ikVirtual, name));
        return ConcatItemIdLists(computer.get(), item.get());
    };
    switch (folder) {
    case sfDesktop:
        return AllocItemIdList(2);
    case sfDrives:
        return MakeItem(ikComputer, "");
    case sfBitBucket:
        return MakeItem(ikTrash, "");
    case sfControls:
        return underComputer(kControlPanel);
    case sfPrinters:
        return underComputer(kPrinters);
    case sfNetwork:
        return MakeItem(ikVirtual, kNetwork);
    case sfFavorites:
        return MakeItem(ikVirtual, "Favorites");
    case sfRecent:
        return MakeItem(ikVirtual, "Recent");
    case sfSendTo:
        return MakeItem(ikVirtual, "Send To");
    case sfNetHood:
        return MakeItem(ikVirtual, "Network Shortcuts");
    case sfPersonal:
        return parse(roots.Documents);
    case sfDesktopDirectory:
        return parse(roots.DesktopDir);
    case sfTemplates:
        return parse(roots.Templates);
    case sfFonts:
        return parse(roots.Fonts);
    case sfPrograms:
    case sfStartMenu:
        return parse(roots.Applications);
    case sfStartup:
        return parse(roots.Autostart);
    default:
        return nullptr;
    }
}

std::string GetPathFromIdList(PCItemIdList absolute)
{
    if (IsEmptyItemIdList(absolute))
        return {};
    const TNamespaceRoots& roots = Roots();
    std::string path;
    bool hasPath = false;
    PCItemIdList item = absolute;
    switch (ItemKind(item)) {
    case ikHome:
        path = roots.Home;
        hasPath = true;
        break;
    case ikUserFolder:
        path = ItemPayload(item);
        hasPath = true;
        break;
    case ikTrash:
        path = roots.TrashFiles;
        break;
    case ikComputer:
        item = NextItem(item);
        if (ItemKind(item) != ikMount)
            return {};
        path = ItemPayload(item);
        hasPath = true;
        break;
    default:
        return {};
    }
    for (item = NextItem(item); !IsEmptyItemIdList(item); item = NextItem(item)) {
        if (ItemKind(item) != ikEntryFolder && ItemKind(item) != ikEntryFile)
            return {};
        path = Join(path, ItemPayload(item));
        hasPath = true;
    }
    return hasPath ? path : std::string();
}

PItemIdList MakeItem(std::uint8_t kind, const std::string& payload)
{
    const std::size_t cb = kPayloadOffset + payload.size() + 1;
    if (cb > 0xFFFF)
        return nullptr;
    PItemIdList list = AllocItemIdList(cb + 2);
    if (!list)
        return nullptr;
    list[0] = static_cast<std::uint8_t>(cb & 0xFF);
    list[1] = static_cast<std::uint8_t>(cb >> 8);
    list[2] = kind;
    std::memcpy(list + kPayloadOffset, payload.data(), payload.size());
    return list;
}

std::uint8_t ItemKind(PCItemIdList item) { return ItemSize(item) > 2 ? item[2] : 0; }

std::string ItemPayload(PCItemIdList item)
{
    const std::size_t cb = ItemSize(item);
    if (cb <= kPayloadOffset)
        return {};
    const char* text = reinterpret_cast<const char*>(item) + kPayloadOffset;
    return std::string(text, ::strnlen(text, cb - kPayloadOffset));
}

} // namespace lumeno
