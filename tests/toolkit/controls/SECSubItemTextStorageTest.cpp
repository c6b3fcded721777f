// The tree's sub-item texts, kept per item handle.
#include <gtest/gtest.h>

#include <cstdint>

#include "toolkit/controls/SECSubItemTextStorage.h"

namespace {

TEST(SECSubItemTextStorageTest, SlotsGrowReadEmptyPastTheEndAndRemoveOnce)
{
    SECSubItemTextStorage store;
    int node = 0;
    const auto h = reinterpret_cast<UINT_PTR>(&node);   // handles are node pointers
    const UINT_PTR other = h ^ (UINT_PTR{1} << 40);     // differs only above 32 bits on 64-bit hosts
    char buf[8] = "junk";
    EXPECT_FALSE(store.GetSubItemText(h, 1, buf, sizeof buf));
    EXPECT_STREQ(buf, "");
    ASSERT_TRUE(store.SetSubItemText(h, 3, "third"));
    EXPECT_TRUE(store.GetSubItemText(h, 1, buf, sizeof buf));
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(store.GetSubItemText(h, 3, buf, sizeof buf));
    EXPECT_STREQ(buf, "third");
    EXPECT_FALSE(store.GetSubItemText(h, 0, buf, sizeof buf));
    EXPECT_FALSE(store.GetSubItemText(h, 4, buf, sizeof buf));
    EXPECT_STREQ(buf, "");
    if (sizeof(UINT_PTR) > 4) {
        EXPECT_FALSE(store.GetSubItemText(other, 3, buf, sizeof buf));
    }
    ASSERT_TRUE(store.SetSubItemText(h, 1, "a longer text"));
    EXPECT_TRUE(store.GetSubItemText(h, 1, buf, 5));
    EXPECT_STREQ(buf, "a lo");
    EXPECT_TRUE(store.RemoveSubItemTexts(h));
    EXPECT_FALSE(store.RemoveSubItemTexts(h));
    EXPECT_FALSE(store.GetSubItemText(h, 3, buf, sizeof buf));
    store.SetSubItemText(other, 2, "left for the destructor");
}

}   // namespace
