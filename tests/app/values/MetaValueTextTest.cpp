// Reading a page's META text into the value dialogs' fields and writing it back.
#include "app/values/MetaValueText.h"
#include "platform/core/CPtrList.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const char* text, const char* separator)
{
    CStringList items;
    SplitAtSeparator(text, separator, items);
    std::vector<std::string> out;
    for (POSITION pos = items.GetHeadPosition(); pos != nullptr;)
        out.emplace_back(items.GetNext(pos).GetString());
    return out;
}

} // namespace

TEST(MetaValueTextTest, ListsAreCutAtTheWholeSeparatorAndJoinBackUnchanged)
{
    // A separator of two characters must not cut at each of them: "red apple" is one keyword.
    EXPECT_EQ(Split("red apple, pear", ", "), (std::vector<std::string>{"red apple", "pear"}));
    EXPECT_EQ(Split("a,b,,a", ","), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(Split(",,", ","), std::vector<std::string>{});
    EXPECT_EQ(Split("", ","), std::vector<std::string>{});
    // An empty separator counts as ",": no endless loop, no item per character.
    EXPECT_EQ(Split("x,y", ""), (std::vector<std::string>{"x", "y"}));
    // A separator with blanks around it cuts also where a page wrote it without them.
    EXPECT_EQ(Split("a; b;c", "; "), (std::vector<std::string>{"a", "b", "c"}));
    // The blanks a page puts after its separator belong to no item.
    EXPECT_EQ(Split("wind, solar ,\tsun\n, ,", ","), (std::vector<std::string>{"wind", "solar", "sun"}));
    CStringList typed;
    for (const char* item : {" solar", "wind ", "  ", "solar"})
        typed.AddTail(item);
    TrimItems(typed);
    EXPECT_STREQ(JoinWithSeparator(typed, ","), "solar,wind");

    CStringList items;
    SplitAtSeparator("red apple, pear", ", ", items);
    EXPECT_STREQ(JoinWithSeparator(items, ", "), "red apple, pear");
    items.RemoveAll();
    EXPECT_STREQ(JoinWithSeparator(items, ","), "");
}

TEST(MetaValueTextTest, RefreshFindsTheAddressInAnyCaseAndNeverOverflowsTheSeconds)
{
    RefreshValue v = ParseRefresh("10; URL=page.html");
    EXPECT_EQ(v.nSeconds, 10);
    EXPECT_STREQ(v.strUrl, "page.html");
    EXPECT_STREQ(FormatRefresh(v), "10; URL=page.html");

    v = ParseRefresh("5; url=page.html");
    EXPECT_EQ(v.nSeconds, 5);
    EXPECT_STREQ(v.strUrl, "page.html");

    v = ParseRefresh("0;Url = http://x/?a=b;c");
    EXPECT_EQ(v.nSeconds, 0);
    EXPECT_STREQ(v.strUrl, "http://x/?a=b;c");

    v = ParseRefresh("30");
    EXPECT_EQ(v.nSeconds, 30);
    EXPECT_TRUE(v.strUrl.IsEmpty());
    EXPECT_STREQ(FormatRefresh(v), "30");

    // "URL" without "=" is not the address; the seconds read as far as digits go.
    v = ParseRefresh(" 7x; urlpage.html");
    EXPECT_EQ(v.nSeconds, 7);
    EXPECT_TRUE(v.strUrl.IsEmpty());

    EXPECT_EQ(ParseRefresh("99999999999999999999; URL=a").nSeconds, INT_MAX);
    EXPECT_EQ(ParseRefresh("-99999999999999999999").nSeconds, INT_MIN);
    EXPECT_EQ(ParseRefresh("").nSeconds, 0);
    EXPECT_EQ(ParseRefresh("soon").nSeconds, 0);
}
