#include "platform/qt/shell/item_id_list.h"

#include "platform/qt/shell/shell_namespace.h"
#include "platform/qt/shell/system_image_list.h"

#include <QString>
#include <cstdlib>
#include <cstring>

namespace lumeno {

std::size_t ItemIdListSize(PCItemIdList list)
{
    if (!list)
        return 0;
    std::size_t size = 2;
    for (std::uint16_t cb = ItemSize(list); cb != 0; cb = ItemSize(list)) {
        size += cb;
        list += cb;
    }
    return size;
}

PItemIdList AllocItemIdList(std::size_t size)
{
    return static_cast<PItemIdList>(std::calloc(size ? size : 1, 1));
}

void FreeItemIdList(PItemIdList& list)
{
    if (!list)
        return;
    std::free(list);
    list = nullptr;
}

PItemIdList ConcatItemIdLists(PCItemIdList first, PCItemIdList second)
{
    const std::size_t size1 = first ? ItemIdListSize(first) - 2 : 0;
    const std::size_t size2 = ItemIdListSize(second);
    PItemIdList result = AllocItemIdList(size1 + (size2 ? size2 : 2));
    if (!result)
        return nullptr;
    if (size1)
        std::memcpy(result, first, size1);
    if (size2)
        std::memcpy(result + size1, second, size2);
    return result;
}

PItemIdList CopyItemIdList(PCItemIdList list)
{
    const std::size_t size = ItemIdListSize(list);
    if (size < 1)
        return nullptr;
    PItemIdList result = AllocItemIdList(size);
    if (result)
        std::memcpy(result, list, size);
    return result;
}

PItemIdList NextItem(PItemIdList list)
{
    const std::uint16_t cb = ItemSize(list);
    return cb ? list + cb : nullptr;
}

PCItemIdList NextItem(PCItemIdList list)
{
    const std::uint16_t cb = ItemSize(list);
    return cb ? list + cb : nullptr;
}

PItemIdList CopyFirstItem(PCItemIdList list)
{
    const std::uint16_t cb = ItemSize(list);
    PItemIdList result = AllocItemIdList(std::size_t(cb) + 2);
    if (result && cb)
        std::memcpy(result, list, cb);
    return result;
}

bool SameItemIdLists(PCItemIdList a, PCItemIdList b)
{
    const std::size_t size = ItemIdListSize(a);
    return size == ItemIdListSize(b) && (size == 0 || std::memcmp(a, b, size) == 0);
}

std::string GetDisplayName(TShellFolder& folder, PCItemIdList item, int kind)
{
    static constexpr unsigned flags[] = {dnNormal, dnInFolder, dnForParsing};
    if (kind < 0 || kind > 2)
        return {};
    TStrRet name;
    if (!folder.GetDisplayNameOf(item, flags[kind], name))
        return {};
    switch (name.Type) {
    case TStrRet::srWide:
        return QString::fromStdU16String(name.Wide).toStdString();
    case TStrRet::srOffset: {
        // The text lies inside the list itself; never read past its end.
        const std::size_t size = ItemIdListSize(item);
        if (name.Offset >= size)
            return {};
        const char* text = reinterpret_cast<const char*>(item) + name.Offset;
        return std::string(text, ::strnlen(text, size - name.Offset));
    }
    case TStrRet::srText:
        return name.Text;
    }
    return {};
}

int GetIconIndex(PCItemIdList absolute, unsigned flags)
{
    if (!(flags & giSysIconIndex) || !(flags & giPidl) || !absolute)
        return -1;
    return SystemImageList().IndexOf(absolute, (flags & giOpenIcon) != 0);
}

void GetIconIndexes(PCItemIdList absolute, int& normal, int& open)
{
    normal = GetIconIndex(absolute, giSysIconIndex | giPidl | giSmallIcon);
    open = GetIconIndex(absolute, giSysIconIndex | giPidl | giSmallIcon | giOpenIcon);
}

} // namespace lumeno
