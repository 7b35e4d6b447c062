#pragma once
// Movable memory blocks handed across the scanner interface: a source fills
// one, the caller locks it to read and frees it. A handle that was never
// allocated, or was freed, does not lock.

#include <cstddef>
#include <cstdint>

namespace lumeno {

struct TGlobalBlock;
using HGLOBAL = TGlobalBlock*;

constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// nullptr when the memory cannot be had. Blocks are always zero-filled.
HGLOBAL GlobalAlloc(unsigned flags, std::size_t size);
// nullptr for a handle that is not a live block.
void* GlobalLock(HGLOBAL mem);
bool GlobalUnlock(HGLOBAL mem);
// Returns nullptr on success, the handle when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL mem);
// 0 for a handle that is not a live block.
std::size_t GlobalSize(HGLOBAL mem);

} // namespace lumeno
