#include "platform/qt/global_memory.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_set>

namespace lumeno {

struct TGlobalBlock {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    int locks = 0;
};

namespace {

// Live blocks, so a stale or foreign handle is refused instead of read.
std::mutex& BlocksMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<TGlobalBlock*>& Blocks()
{
    static std::unordered_set<TGlobalBlock*> blocks;
    return blocks;
}

TGlobalBlock* Live(HGLOBAL mem)
{
    return Blocks().count(mem) ? mem : nullptr;
}

} // namespace

HGLOBAL GlobalAlloc(unsigned /*flags*/, std::size_t size)
{
    auto block = std::make_unique<TGlobalBlock>();
    block->data.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]());
    if (!block->data)
        return nullptr;
    block->size = size;
    std::lock_guard lock(BlocksMutex());
    Blocks().insert(block.get());
    return block.release();
}

void* GlobalLock(HGLOBAL mem)
{
    std::lock_guard lock(BlocksMutex());
    TGlobalBlock* block = Live(mem);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->data.get();
}

bool GlobalUnlock(HGLOBAL mem)
{
    std::lock_guard lock(BlocksMutex());
    TGlobalBlock* block = Live(mem);
    if (!block || block->locks == 0)
        return false;
    return --block->locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    std::lock_guard lock(BlocksMutex());
    TGlobalBlock* block = Live(mem);
    if (!block)
        return mem;
    Blocks().erase(block);
    delete block;
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL mem)
{
    std::lock_guard lock(BlocksMutex());
    TGlobalBlock* block = Live(mem);
    return block ? block->size : 0;
}

} // namespace lumeno
