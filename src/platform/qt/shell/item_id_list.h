#pragma once
// Item-id lists: a run of items, each starting with a 16-bit byte count that
// includes the count itself, ended by an item whose count is 0. Lists handed
// out here are zero-filled heap blocks; the receiver frees them with
// FreeItemIdList.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lumeno {

using PItemIdList = std::uint8_t*;
using PCItemIdList = const std::uint8_t*;

class TShellFolder;

// Bytes of the list including the two-byte terminator; 0 for nullptr.
std::size_t ItemIdListSize(PCItemIdList list);
// A zero-filled block, or nullptr when no memory is left.
PItemIdList AllocItemIdList(std::size_t size);
void FreeItemIdList(PItemIdList& list);
// First without its terminator, then the whole second.
PItemIdList ConcatItemIdLists(PCItemIdList first, PCItemIdList second);
PItemIdList CopyItemIdList(PCItemIdList list);
// The list that starts at the second item; nullptr when the list is empty.
PItemIdList NextItem(PItemIdList list);
PCItemIdList NextItem(PCItemIdList list);
// A new list holding the first item alone.
PItemIdList CopyFirstItem(PCItemIdList list);

// Byte count of the first item (0 for the terminator or nullptr).
inline std::uint16_t ItemSize(PCItemIdList list)
{
    return list ? static_cast<std::uint16_t>(list[0] | (list[1] << 8)) : 0;
}
inline bool IsEmptyItemIdList(PCItemIdList list) { return ItemSize(list) == 0; }
bool SameItemIdLists(PCItemIdList a, PCItemIdList b);

// Frees through FreeItemIdList when it goes out of scope.
struct TItemIdListDeleter {
    void operator()(std::uint8_t* list) const
    {
        PItemIdList p = list;
        FreeItemIdList(p);
    }
};
using TOwnedIdList = std::unique_ptr<std::uint8_t, TItemIdListDeleter>;

enum TDisplayNameKind { dnkNormal = 0, dnkInFolder = 1, dnkForParsing = 2 };

// The item's name as its folder gives it; "" on failure.
std::string GetDisplayName(TShellFolder& folder, PCItemIdList item, int kind);

// Flags of the icon-index query.
constexpr unsigned giSmallIcon = 0x0001;
constexpr unsigned giOpenIcon = 0x0002;
constexpr unsigned giSysIconIndex = 0x4000;
constexpr unsigned giPidl = 0x0008;

// Index into the shared system image list; -1 on failure.
int GetIconIndex(PCItemIdList absolute, unsigned flags);
void GetIconIndexes(PCItemIdList absolute, int& normal, int& open);

} // namespace lumeno
