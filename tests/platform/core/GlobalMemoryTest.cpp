// Global memory blocks: fixed and moveable handles, lock counts, sizes and reallocation.
#include "platform/core/GlobalMemory.h"
#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemoryTest, FixedBlockHandleIsItsAddress)
{
    HGLOBAL h = GlobalAlloc(GPTR, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(static_cast<unsigned char*>(h)[15], 0) << "zero-initialised";
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(GlobalHandle(h), h);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u) << "fixed blocks count no locks";
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h) << "already freed";
}

TEST(GlobalMemoryTest, MoveableBlocksCountLocks)
{
    HGLOBAL h = GlobalAlloc(GHND, 8);
    ASSERT_NE(h, nullptr);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, h);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalHandle(p), h);
    EXPECT_TRUE(GlobalUnlock(h)) << "still locked once";
    SetLastError(1234);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFlags(h), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

TEST(GlobalMemoryTest, ReallocationKeepsContentsAndTheMoveableHandle)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(h), "abc", 4);
    GlobalUnlock(h);
    HGLOBAL grown = GlobalReAlloc(h, 4096, GMEM_ZEROINIT);
    ASSERT_EQ(grown, h);
    auto* p = static_cast<char*>(GlobalLock(h));
    EXPECT_STREQ(p, "abc");
    EXPECT_EQ(p[4095], 0);
    EXPECT_EQ(GlobalSize(h), 4096u);
    // Locked, it may not move without GMEM_MOVEABLE.
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalReAlloc(h, 2, 0), h) << "shrinking stays in place";
    EXPECT_EQ(GlobalSize(h), 2u);
    GlobalUnlock(h);
    GlobalFree(h);
}

TEST(GlobalMemoryTest, FixedBlockMovesOnlyWhenAllowed)
{
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, 4);
    std::memcpy(h, "xyz", 4);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 16, 0), nullptr);
    HGLOBAL moved = GlobalReAlloc(h, 1 << 16, GMEM_MOVEABLE);
    ASSERT_NE(moved, nullptr);
    EXPECT_STREQ(static_cast<char*>(moved), "xyz");
    EXPECT_EQ(GlobalSize(moved), static_cast<SIZE_T>(1 << 16));
    if (moved != h) {
        EXPECT_EQ(GlobalSize(h), 0u) << "the old handle is gone";
    }
    GlobalFree(moved);
}

TEST(GlobalMemoryTest, EmptyMoveableBlockIsDiscarded)
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalFlags(h) & GMEM_DISCARDED);
    EXPECT_EQ(GlobalSize(h), 0u);
    ASSERT_EQ(GlobalReAlloc(h, 10, 0), h);
    EXPECT_NE(GlobalLock(h), nullptr);
    GlobalUnlock(h);
    GlobalFree(h);
}

} // namespace
