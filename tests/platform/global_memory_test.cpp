#include "platform/global_memory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kivoly::platform {
namespace {

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
