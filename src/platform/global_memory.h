// Movable global memory: the blocks in which bitmaps cross the library's boundary.
//
// A block is reached through its handle; Lock gives its address and counts locks, Unlock
// counts them down. Blocks are zero-filled when allocated. A handle that this layer did not
// hand out (or one already freed) is refused by every call rather than trusted.
#pragma once

#include <cstddef>

#include "platform/handles.h"

namespace kivoly::platform {

using GlobalHandle = KivoHGlobal;

// A new zero-filled block of `size` bytes, or null when memory runs out.
GlobalHandle GlobalAlloc(std::size_t size);
// The block's address with its lock count raised, or null for an unknown handle.
void* GlobalLock(GlobalHandle handle);
// Lowers the lock count; true while the block is still locked afterwards (as the system's
// unlock call answers), false when it is now unlocked or the handle is unknown.
bool GlobalUnlock(GlobalHandle handle);
// Resizes the block, keeping its content and zero-filling what grows; the handle stays the same.
// The block may move even while it is locked (its lock count is kept): lock it again for its new
// address. Null on failure (the block is then unchanged).
GlobalHandle GlobalReAlloc(GlobalHandle handle, std::size_t size);
// The block's size in bytes, 0 for an unknown handle.
std::size_t GlobalSize(GlobalHandle handle);
// Frees the block, locked or not; null on success, the handle itself on failure.
GlobalHandle GlobalFree(GlobalHandle handle);
// Whether `handle` is a live block of this layer.
bool GlobalIsValid(GlobalHandle handle);

}  // namespace kivoly::platform
