#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kivoly::platform {
namespace {

// What a block is cut to and grown back over reads as zeros, not as what was there before.
TEST(GlobalMemory, ResizingKeepsTheContentAndZeroFillsWhatIsAdded) {
    GlobalHandle block = GlobalAlloc(4096);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    std::fill(bytes, bytes + 4096, 0xAB);
    ASSERT_EQ(GlobalReAlloc(block, 2), block);
    ASSERT_EQ(GlobalReAlloc(block, 4096), block);
    bytes = static_cast<uint8_t*>(GlobalLock(block));
    std::vector<uint8_t> expected(4096);
    expected[0] = expected[1] = 0xAB;
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4096), expected);
    GlobalFree(block);
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
