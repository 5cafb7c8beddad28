#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace kivoly::platform {
namespace {

TEST(GlobalMemory, BlocksAreZeroFilledAndLocksAreCounted) {
    GlobalHandle block = GlobalAlloc(100);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(GlobalIsValid(block));
    EXPECT_EQ(GlobalSize(block), 100u);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));   // still locked once
    EXPECT_FALSE(GlobalUnlock(block));  // now unlocked
    EXPECT_FALSE(GlobalUnlock(block));  // was not locked
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, ReallocKeepsContentAndHandleAndZeroFillsGrowth) {
    GlobalHandle block = GlobalAlloc(4);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(i + 1);
    ASSERT_EQ(GlobalReAlloc(block, 4096), block);
    EXPECT_EQ(GlobalSize(block), 4096u);
    bytes = static_cast<uint8_t*>(GlobalLock(block));  // the block may have moved
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bytes[i], i + 1);
    for (int i = 4; i < 4096; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_TRUE(GlobalUnlock(block));  // the lock taken before the realloc is kept
    EXPECT_FALSE(GlobalUnlock(block));
    ASSERT_EQ(GlobalReAlloc(block, 2), block);
    EXPECT_EQ(GlobalSize(block), 2u);
    bytes = static_cast<uint8_t*>(GlobalLock(block));
    EXPECT_EQ(bytes[1], 2);
    GlobalFree(block);
}

TEST(GlobalMemory, UnknownAndFreedHandlesAreRefused) {
    GlobalHandle block = GlobalAlloc(0);
    ASSERT_NE(block, nullptr);
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
