#include "platform/qt/shell/system_image_list.h"

#include "platform/qt/shell/shell_namespace.h"

#include <QFileIconProvider>

namespace lumeno {

namespace {

enum TIconSlot { isFile, isFolder, isFolderOpen, isHome, isComputer, isTrash, isDrive, isDesktop, isNetwork,
                 isVirtual, isCount };

QIcon Themed(const char* name, const QIcon& fallback) { return QIcon::fromTheme(QString::fromLatin1(name), fallback); }

PCItemIdList LastItem(PCItemIdList list)
{
    PCItemIdList last = list;
    for (PCItemIdList p = list; !IsEmptyItemIdList(p); p = NextItem(p))
        last = p;
    return last;
}

} // namespace

TSystemImageList::TSystemImageList()
{
    QFileIconProvider provider;
    const QIcon folder = provider.icon(QAbstractFileIconProvider::Folder);
    icons_.resize(isCount);
    icons_[isFile] = provider.icon(QAbstractFileIconProvider::File);
    icons_[isFolder] = folder;
    icons_[isFolderOpen] = Themed("folder-open", folder);
    icons_[isHome] = Themed("user-home", folder);
    icons_[isComputer] = provider.icon(QAbstractFileIconProvider::Computer);
    icons_[isTrash] = provider.icon(QAbstractFileIconProvider::Trashcan);
    icons_[isDrive] = provider.icon(QAbstractFileIconProvider::Drive);
    icons_[isDesktop] = provider.icon(QAbstractFileIconProvider::Desktop);
    icons_[isNetwork] = provider.icon(QAbstractFileIconProvider::Network);
    icons_[isVirtual] = Themed("preferences-system", folder);
}

int TSystemImageList::IndexOf(PCItemIdList absolute, bool open) const
{
    if (IsEmptyItemIdList(absolute))
        return isDesktop;
    PCItemIdList last = LastItem(absolute);
    switch (ItemKind(last)) {
    case ikHome:
        return isHome;
    case ikComputer:
        return isComputer;
    case ikTrash:
        return isTrash;
    case ikMount:
        return isDrive;
    case ikVirtual:
        return ItemPayload(last) == "Network" ? isNetwork : isVirtual;
    case ikEntryFile:
        return isFile;
    case ikUserFolder:
    case ikEntryFolder:
        return open ? isFolderOpen : isFolder;
    default:
        return -1;
    }
}

QIcon TSystemImageList::Icon(int index) const
{
    return index >= 0 && index < Count() ? icons_[std::size_t(index)] : QIcon();
}

const TSystemImageList& SystemImageList()
{
    static const TSystemImageList list;
    return list;
}

} // namespace lumeno
