// The fetch engine's texts come from its folder's resources, through both lookups callers use.
#include "fetch/FetchStringTable.h"

#include "platform/core/CString.h"
#include "platform/core/ResourceTable.h"

#include <gtest/gtest.h>

TEST(FetchStringTableTest, TheFolderResourcesAnswerTheLookupAndCStringLoadString)
{
    InstallFetchStringTable();
    HMODULE module = FindResourceModule("fetch");
    ASSERT_NE(module, nullptr);
    // First, last and a text with format inserts, as they always read.
    EXPECT_STREQ(LookupFetchString(234), "Windows Error %1!u!%0");
    EXPECT_STREQ(LookupFetchString(63035), " ");
    EXPECT_STREQ(LookupFetchString(2999), "%u: Unrecognized server response");
    CString text;
    ASSERT_TRUE(text.LoadString(2404));
    EXPECT_EQ(text, "404: Not Found");
    char buffer[64];
    EXPECT_EQ(LoadString(module, 903, buffer, sizeof buffer), 26);
    EXPECT_STREQ(buffer, "Too many redirects (loop?)");
    // Ids between ours answer nothing, in a block of ours or outside them all.
    EXPECT_EQ(LookupFetchString(902), nullptr);
    EXPECT_EQ(LookupFetchString(1), nullptr);
    EXPECT_EQ(LookupFetchString(65535), nullptr);
}
