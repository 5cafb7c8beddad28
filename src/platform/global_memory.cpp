#include "platform/global_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace kivoly::platform {
namespace {

struct Block {
    uint8_t* data = nullptr;
    std::size_t size = 0;
    unsigned locks = 0;
};

// Handles are numbers, never addresses: a stale or foreign handle finds no entry instead of
// reaching memory. They are spaced so that they do not look like small integers either.
class BlockTable {
  public:
    GlobalHandle Add(Block block) {
        const uintptr_t key = (next_++ << 4) | 0x4;
        blocks_.emplace(key, block);
        return reinterpret_cast<GlobalHandle>(key);
    }
    Block* Find(GlobalHandle handle) {
        auto it = blocks_.find(reinterpret_cast<uintptr_t>(handle));
        return it == blocks_.end() ? nullptr : &it->second;
    }
    void Remove(GlobalHandle handle) { blocks_.erase(reinterpret_cast<uintptr_t>(handle)); }
    std::mutex& Mutex() { return mutex_; }

  private:
    std::unordered_map<uintptr_t, Block> blocks_;
    uintptr_t next_ = 1;
    std::mutex mutex_;
};

BlockTable& Table() {
    static BlockTable table;
    return table;
}

}  // namespace

GlobalHandle GlobalAlloc(std::size_t size) {
    // A block of 0 bytes still gets an address, so that locking it never yields null.
    auto* data = static_cast<uint8_t*>(std::calloc(size ? size : 1, 1));
    if (!data) return nullptr;
    std::lock_guard lock(Table().Mutex());
    return Table().Add({data, size, 0});
}

void* GlobalLock(GlobalHandle handle) {
    std::lock_guard lock(Table().Mutex());
    Block* block = Table().Find(handle);
    if (!block) return nullptr;
    ++block->locks;
    return block->data;
}

bool GlobalUnlock(GlobalHandle handle) {
    std::lock_guard lock(Table().Mutex());
    Block* block = Table().Find(handle);
    if (!block || block->locks == 0) return false;
    return --block->locks > 0;
}

GlobalHandle GlobalReAlloc(GlobalHandle handle, std::size_t size) {
    std::lock_guard lock(Table().Mutex());
    Block* block = Table().Find(handle);
    if (!block) return nullptr;
    auto* data = static_cast<uint8_t*>(std::realloc(block->data, size ? size : 1));
    if (!data) return nullptr;
    if (size > block->size) std::memset(data + block->size, 0, size - block->size);
    block->data = data;
    block->size = size;
    return handle;
}

std::size_t GlobalSize(GlobalHandle handle) {
    std::lock_guard lock(Table().Mutex());
    Block* block = Table().Find(handle);
    return block ? block->size : 0;
}

GlobalHandle GlobalFree(GlobalHandle handle) {
    std::lock_guard lock(Table().Mutex());
    Block* block = Table().Find(handle);
    if (!block) return handle;
    std::free(block->data);
    Table().Remove(handle);
    return nullptr;
}

bool GlobalIsValid(GlobalHandle handle) {
    std::lock_guard lock(Table().Mutex());
    return Table().Find(handle) != nullptr;
}

}  // namespace kivoly::platform
