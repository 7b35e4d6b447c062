#include "platform/qt/twain/twain_container.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace lumeno {

namespace {

void PutItem(TW_UINT8* dest, TW_UINT16 type, TW_UINT32 item)
{
    if (TwainItemSize(type) == 2) {
        const auto v = static_cast<TW_UINT16>(item);
        std::memcpy(dest, &v, 2);
    } else if (TwainItemSize(type) == 1) {
        *dest = static_cast<TW_UINT8>(item);
    } else {
        std::memcpy(dest, &item, 4);
    }
}

TW_UINT32 GetItem(const TW_UINT8* src, TW_UINT16 type)
{
    switch (type) {
    case TWTY_INT8:
        return static_cast<TW_UINT32>(static_cast<std::int8_t>(*src));
    case TWTY_UINT8:
        return *src;
    case TWTY_INT16: {
        std::int16_t v;
        std::memcpy(&v, src, 2);
        return static_cast<TW_UINT32>(v);
    }
    case TWTY_UINT16:
    case TWTY_BOOL: {
        TW_UINT16 v;
        std::memcpy(&v, src, 2);
        return v;
    }
    default: {
        TW_UINT32 v;
        std::memcpy(&v, src, 4);
        return v;
    }
    }
}

bool ReadEnumeration(const TW_UINT8* p, std::size_t size, TW_UINT16& type, std::vector<TW_UINT32>& values)
{
    TW_ENUMERATION e;
    constexpr std::size_t head = offsetof(TW_ENUMERATION, ItemList);
    if (size < head)
        return false;
    std::memcpy(&e, p, head);
    const std::size_t item = TwainItemSize(e.ItemType);
    if (item == 0 || e.NumItems > (size - head) / item)
        return false;
    type = e.ItemType;
    for (TW_UINT32 i = 0; i < e.NumItems; ++i)
        values.push_back(GetItem(p + head + i * item, type));
    if (e.CurrentIndex < e.NumItems && e.CurrentIndex > 0)
        std::swap(values[0], values[e.CurrentIndex]);
    return true;
}

} // namespace

std::size_t TwainItemSize(TW_UINT16 ItemType)
{
    switch (ItemType) {
    case TWTY_INT8:
    case TWTY_UINT8:
        return 1;
    case TWTY_INT16:
    case TWTY_UINT16:
    case TWTY_BOOL:
        return 2;
    case TWTY_INT32:
    case TWTY_UINT32:
    case TWTY_FIX32:
        return 4;
    default:
        return 0;
    }
}

HGLOBAL NewOneValue(TW_UINT16 ItemType, TW_UINT32 Item)
{
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* p = static_cast<TW_UINT8*>(GlobalLock(mem));
    if (!p)
        return nullptr;
    std::memcpy(p, &ItemType, 2);
    PutItem(p + offsetof(TW_ONEVALUE, Item), ItemType, Item);
    GlobalUnlock(mem);
    return mem;
}

HGLOBAL NewEnumeration(TW_UINT16 ItemType, const std::vector<TW_UINT32>& Items, TW_UINT32 CurrentIndex,
                       TW_UINT32 DefaultIndex)
{
    constexpr std::size_t head = offsetof(TW_ENUMERATION, ItemList);
    const std::size_t item = TwainItemSize(ItemType);
    HGLOBAL mem = GlobalAlloc(GHND, head + Items.size() * item);
    auto* p = static_cast<TW_UINT8*>(GlobalLock(mem));
    if (!p)
        return nullptr;
    TW_ENUMERATION e{ItemType, static_cast<TW_UINT32>(Items.size()), CurrentIndex, DefaultIndex, {0}};
    std::memcpy(p, &e, head);
    for (std::size_t i = 0; i < Items.size(); ++i)
        PutItem(p + head + i * item, ItemType, Items[i]);
    GlobalUnlock(mem);
    return mem;
}

bool ContainerValues(const TW_CAPABILITY& Cap, TW_UINT16& ItemType, std::vector<TW_UINT32>& Values)
{
    Values.clear();
    const std::size_t size = GlobalSize(Cap.hContainer);
    const auto* p = static_cast<const TW_UINT8*>(GlobalLock(Cap.hContainer));
    if (!p)
        return false;
    bool ok = false;
    if (Cap.ConType == TWON_ONEVALUE && size >= sizeof(TW_ONEVALUE)) {
        std::memcpy(&ItemType, p, 2);
        ok = TwainItemSize(ItemType) != 0;
        if (ok)
            Values.push_back(GetItem(p + offsetof(TW_ONEVALUE, Item), ItemType));
    } else if (Cap.ConType == TWON_ENUMERATION) {
        ok = ReadEnumeration(p, size, ItemType, Values);
    }
    GlobalUnlock(Cap.hContainer);
    return ok;
}

TW_UINT32 FloatToFix32(double Value)
{
    // The item's four bytes hold a TW_FIX32: whole part, then fraction.
    const auto v = static_cast<std::int32_t>(std::floor(Value * 65536.0 + 0.5));
    const TW_FIX32 fix{static_cast<TW_INT16>(v >> 16), static_cast<TW_UINT16>(v & 0xFFFF)};
    TW_UINT32 item;
    std::memcpy(&item, &fix, sizeof(item));
    return item;
}

double Fix32ToFloat(TW_UINT32 Value)
{
    TW_FIX32 fix;
    std::memcpy(&fix, &Value, sizeof(fix));
    return fix.Whole + fix.Frac / 65536.0;
}

} // namespace lumeno
