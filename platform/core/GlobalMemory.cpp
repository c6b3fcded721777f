// Global memory blocks in one table guarded by a lock.
#include "platform/core/GlobalMemory.h"

#include "platform/core/WinError.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct Block {
    std::unique_ptr<unsigned char[]> data;
    SIZE_T size = 0;        // what the caller asked for
    SIZE_T capacity = 0;    // what is allocated
    UINT flags = 0;
    int locks = 0;
    bool moveable = false;
};

struct BlockTable {
    std::mutex mutex;
    // Fixed blocks are keyed by their address, moveable ones by the address of a one-byte
    // tag allocated for the handle, so handles never collide with data addresses.
    std::unordered_map<HGLOBAL, Block> blocks;
    std::unordered_map<const void*, HGLOBAL> byAddress;
    std::unordered_map<HGLOBAL, std::unique_ptr<char>> tags;
};

BlockTable& TheBlockTable()
{
    static BlockTable* table = new BlockTable;   // blocks may be freed by threads running at exit
    return *table;
}

std::unique_ptr<unsigned char[]> Allocate(SIZE_T bytes, bool zero)
{
    // A zero-byte fixed block still needs a unique address.
    const SIZE_T n = bytes ? bytes : 1;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[n]);
    if (data && zero)
        std::memset(data.get(), 0, n);
    return data;
}

Block* FindLocked(BlockTable& table, HGLOBAL hMem)
{
    auto it = table.blocks.find(hMem);
    return it == table.blocks.end() ? nullptr : &it->second;
}

} // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    const bool moveable = (uFlags & GMEM_MOVEABLE) != 0;
    Block block;
    block.moveable = moveable;
    block.flags = uFlags & (GMEM_DISCARDABLE | GMEM_SHARE);
    block.size = dwBytes;
    if (!moveable || dwBytes > 0) {
        block.data = Allocate(dwBytes, (uFlags & GMEM_ZEROINIT) != 0);
        if (!block.data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        block.capacity = dwBytes ? dwBytes : 1;
    }
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    HGLOBAL handle;
    if (moveable) {
        auto tag = std::make_unique<char>(0);
        handle = tag.get();
        table.tags.emplace(handle, std::move(tag));
    } else {
        handle = block.data.get();
    }
    if (block.data)
        table.byAddress.emplace(block.data.get(), handle);
    table.blocks.emplace(handle, std::move(block));
    return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    Block* block = FindLocked(table, hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (uFlags & GMEM_MODIFY) {
        block->flags = (block->flags & ~GMEM_DISCARDABLE) | (uFlags & GMEM_DISCARDABLE);
        return hMem;
    }
    const bool zero = (uFlags & GMEM_ZEROINIT) != 0;
    if (dwBytes <= block->capacity && block->data) {
        // Shrinking or growing within the allocation keeps the address.
        if (zero && dwBytes > block->size)
            std::memset(block->data.get() + block->size, 0, dwBytes - block->size);
        block->size = dwBytes;
        return hMem;
    }
    // A fixed block, or a locked moveable one, may move only when the caller allows it.
    const bool mayMove = (block->moveable && block->locks == 0) || (uFlags & GMEM_MOVEABLE);
    if (!mayMove) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto data = Allocate(dwBytes, false);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (block->data)
        std::memcpy(data.get(), block->data.get(), block->size);
    if (zero && dwBytes > block->size)
        std::memset(data.get() + block->size, 0, dwBytes - block->size);
    if (block->data)
        table.byAddress.erase(block->data.get());
    block->data = std::move(data);
    block->size = dwBytes;
    block->capacity = dwBytes ? dwBytes : 1;
    if (block->moveable) {
        table.byAddress.emplace(block->data.get(), hMem);
        return hMem;
    }
    // A fixed block's handle is its address: it gets a new one.
    HGLOBAL moved = block->data.get();
    Block keep = std::move(*block);
    table.blocks.erase(hMem);
    table.byAddress.emplace(moved, moved);
    table.blocks.emplace(moved, std::move(keep));
    return moved;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    if (!hMem)
        return nullptr;
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    auto it = table.blocks.find(hMem);
    if (it == table.blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    if (it->second.data)
        table.byAddress.erase(it->second.data.get());
    table.blocks.erase(it);
    table.tags.erase(hMem);
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    Block* block = FindLocked(table, hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!block->data) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    if (block->moveable && block->locks < GMEM_LOCKCOUNT)
        ++block->locks;
    return block->data.get();
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    Block* block = FindLocked(table, hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks > 0)
        return TRUE;
    SetLastError(NO_ERROR);
    return FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    Block* block = FindLocked(table, hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->size;
}

HGLOBAL GlobalHandle(LPCVOID pMem)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    auto it = table.byAddress.find(pMem);
    if (it == table.byAddress.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

UINT GlobalFlags(HGLOBAL hMem)
{
    BlockTable& table = TheBlockTable();
    std::lock_guard lock(table.mutex);
    Block* block = FindLocked(table, hMem);
    if (!block)
        return GMEM_INVALID_HANDLE;
    UINT flags = static_cast<UINT>(block->locks) | (block->flags & GMEM_DISCARDABLE);
    if (!block->data)
        flags |= GMEM_DISCARDED;
    return flags;
}
