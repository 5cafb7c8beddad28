#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kivoly::platform {
namespace {

TEST(GlobalMemory, BlocksAreZeroFilledKeepTheirContentWhenResizedAndCountLocks) {
    GlobalHandle block = GlobalAlloc(4096);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4096), std::vector<uint8_t>(4096));
    std::fill(bytes, bytes + 4096, 0xAB);
    // Shrunk and grown again: what was cut off does not come back.
    ASSERT_EQ(GlobalReAlloc(block, 2), block);
    EXPECT_EQ(GlobalSize(block), 2u);
    ASSERT_EQ(GlobalReAlloc(block, 4096), block);
    EXPECT_EQ(GlobalSize(block), 4096u);
    bytes = static_cast<uint8_t*>(GlobalLock(block));  // the block may have moved
    std::vector<uint8_t> expected(4096);
    expected[0] = expected[1] = 0xAB;
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4096), expected);
    EXPECT_TRUE(GlobalUnlock(block));   // the lock taken before the realloc is kept
    EXPECT_FALSE(GlobalUnlock(block));  // now unlocked
    EXPECT_FALSE(GlobalUnlock(block));  // was not locked
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, UnknownAndFreedHandlesAreRefused) {
    GlobalHandle block = GlobalAlloc(0);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(GlobalIsValid(block));
    EXPECT_NE(GlobalLock(block), nullptr);  // even an empty block has an address
    ASSERT_EQ(GlobalFree(block), nullptr);  // freed although locked
    auto stranger = reinterpret_cast<GlobalHandle>(static_cast<uintptr_t>(0x1234));
    for (GlobalHandle handle : {block, stranger, GlobalHandle{}}) {
        EXPECT_FALSE(GlobalIsValid(handle));
        EXPECT_EQ(GlobalLock(handle), nullptr);
        EXPECT_FALSE(GlobalUnlock(handle));
        EXPECT_EQ(GlobalSize(handle), 0u);
        EXPECT_EQ(GlobalReAlloc(handle, 10), nullptr);
        EXPECT_EQ(GlobalFree(handle), handle);
    }
}

}  // namespace
}  // namespace kivoly::platform
