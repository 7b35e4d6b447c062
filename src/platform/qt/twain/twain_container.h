#pragma once
// Building and reading the capability containers that travel in movable
// memory blocks between a caller and a source.

#include "platform/qt/twain/twain_types.h"

#include <vector>

namespace lumeno {

// nullptr when the memory cannot be had.
HGLOBAL NewOneValue(TW_UINT16 ItemType, TW_UINT32 Item);
HGLOBAL NewEnumeration(TW_UINT16 ItemType, const std::vector<TW_UINT32>& Items, TW_UINT32 CurrentIndex,
                       TW_UINT32 DefaultIndex);

// The values a one-value or enumeration container allows (for an
// enumeration: its current item first when that index is valid); false for
// any other container or a block too small for what it claims.
bool ContainerValues(const TW_CAPABILITY& Cap, TW_UINT16& ItemType, std::vector<TW_UINT32>& Values);

// Size of one item of an integer or fixed-point type; 0 for other types.
std::size_t TwainItemSize(TW_UINT16 ItemType);

TW_UINT32 FloatToFix32(double Value);
double Fix32ToFloat(TW_UINT32 Value);

} // namespace lumeno
