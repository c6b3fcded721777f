#include "EngineTestSupport.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"

#include <memory>

using namespace enginetest;

namespace {

class MetaContentTest : public EngineTest {
protected:
    void UseListSeparator(const char* pszSeparator)
    {
        auto pSettings = std::make_unique<CProjectSettings>();
        pSettings->m_strListSeparator = pszSeparator;
        m_pModel->SetProjectSettings(std::move(pSettings));
    }
};

TEST_F(MetaContentTest, AddItemAppendsWithTheProjectSeparator)
{
    CMetaContent content;
    EXPECT_EQ(content.AddItem("alpha"), 0u);
    EXPECT_STREQ(content.GetContent(), "alpha");
    EXPECT_EQ(content.AddItem("beta"), 0u);
    EXPECT_STREQ(content.GetContent(), "alpha,beta");
    EXPECT_EQ(content.AddItem("alpha"), 1u);
    EXPECT_STREQ(content.GetContent(), "alpha,beta");

    // Items compare without their blanks: a page's "a, b, c" already holds b and c.
    content.SetContent("a, b, c");
    EXPECT_EQ(content.AddItem("b"), 1u);
    EXPECT_EQ(content.AddItem(" c "), 1u);
    EXPECT_EQ(content.AddItem("d"), 0u);
    EXPECT_STREQ(content.GetContent(), "a, b, c,d");

    UseListSeparator(";");
    content.SetContent("x");
    content.AddItem("y");
    EXPECT_STREQ(content.GetContent(), "x;y");
}

TEST_F(MetaContentTest, SplitTextSkipsEmptyItems)
{
    CMetaContent content;
    CStringList items;
    items.AddTail("stale");
    EXPECT_EQ(content.SplitText(",", items), 1u);
    EXPECT_TRUE(items.IsEmpty());

    content.SetContent(",a,,b;c,");
    EXPECT_EQ(content.SplitText(",;", items), 0u);
    EXPECT_EQ(ToVector(items), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(MetaContentTest, AListSeparatorWithABlankCutsOnlyWhereItStandsWhole)
{
    UseListSeparator(", ");
    CMetaContent content;
    content.SetContent("red apple, pear");
    CStringList items;
    EXPECT_EQ(content.SplitContent(", ", items), 0u);
    EXPECT_EQ(ToVector(items), (std::vector<std::string>{"red apple", "pear"}));
    // "apple" is no keyword of the page, only a word of one.
    EXPECT_FALSE(content.HoldsValue("apple"));
    EXPECT_EQ(content.AddItem("apple"), 0u);
    EXPECT_STREQ(content.GetContent(), "red apple, pear, apple");
    EXPECT_EQ(content.AddItem("red apple"), 1u);
    EXPECT_TRUE(content.HoldsValue("pear, red apple"));
}

TEST_F(MetaContentTest, AListSeparatorWithBlanksAlsoCutsItemsWrittenWithoutThem)
{
    // The project joins items with ", ", the page's generator wrote them with "," alone.
    UseListSeparator(", ");
    CMetaContent content;
    content.SetContent("a,b,c");
    CStringList items;
    EXPECT_EQ(content.SplitContent(", ", items), 0u);
    EXPECT_EQ(ToVector(items), (std::vector<std::string>{"a", "b", "c"}));
    // A keyword the extractor finds again is not added a second time.
    EXPECT_EQ(content.AddItem("b"), 1u);
    EXPECT_STREQ(content.GetContent(), "a,b,c");
    EXPECT_TRUE(content.HoldsValue("c, a"));
    EXPECT_EQ(content.AddItem("d"), 0u);
    EXPECT_STREQ(content.GetContent(), "a,b,c, d");

    // The same for a separator with blanks on both sides and line ends between the items.
    content.SetContent("red apple ;pear;\r\n plum");
    EXPECT_EQ(content.SplitContent(" ; ", items), 0u);
    EXPECT_EQ(ToVector(items), (std::vector<std::string>{"red apple", "pear", "plum"}));
    // A separator that is a blank and nothing else cuts at that blank.
    content.SetContent("red apple");
    EXPECT_EQ(content.SplitContent(" ", items), 0u);
    EXPECT_EQ(ToVector(items), (std::vector<std::string>{"red", "apple"}));
}

// A keyword is read back from the page whole exactly when it holds nothing the separator cuts
// at: that is when the Keywords dialog need not ask before joining it.
TEST_F(MetaContentTest, AnItemHoldingTheListCutIsReadBackAsSeveral)
{
    EXPECT_STREQ(CMetaContent::ListCut(", "), ",");
    EXPECT_STREQ(CMetaContent::ListCut(" ; "), ";");
    EXPECT_STREQ(CMetaContent::ListCut(" "), " ");
    EXPECT_STREQ(CMetaContent::ListCut(""), ",");
    for (const char* pszSeparator : {",", ", ", " , ", ";", " ; ", " ", "||"}) {
        for (const char* pszItem : {"p,q", "p, q", "red apple", "Straße ωμέγα", "中文,日本", "a;b", "x||y", "x|y", "plain"}) {
            const CString strItem(pszItem);
            CStringList items;
            CMetaContent::SplitList(strItem, pszSeparator, items);
            const bool bWhole = items.GetCount() == 1 && items.GetHead() == strItem;
            const bool bHoldsCut = strItem.Find(CMetaContent::ListCut(pszSeparator)) >= 0;
            EXPECT_NE(bWhole, bHoldsCut) << "'" << pszItem << "' with the separator '" << pszSeparator << "'";
        }
    }
}

TEST_F(MetaContentTest, ResetToSuggestions)
{
    CMetaContent content;
    content.SetContent("old");
    EXPECT_EQ(content.ResetToSuggestions(), 3u);
    EXPECT_TRUE(content.GetContent().IsEmpty());

    content.SetContent("old");
    content.AddSuggestion("one");
    content.AddSuggestion("two");
    content.AddSuggestion("one");
    EXPECT_EQ(content.ResetToSuggestions(), 0u);
    EXPECT_STREQ(content.GetContent(), "one,two");
    CStringList suggestions;
    content.GetSuggestions(suggestions);
    EXPECT_EQ(ToVector(suggestions), (std::vector<std::string>{"one", "two", "one"}));
}

TEST_F(MetaContentTest, ListFindsByNameWithoutCaseAndTakesCatalogueTypes)
{
    m_pModel->GetMetaSettings().SetDefaults();
    CMetaContentList list;
    CMetaContent* pKeywords = nullptr;
    list.AddContent("Keywords", "a,b", 0, pKeywords);
    EXPECT_EQ(pKeywords->GetType(), static_cast<UINT>(kMetaTypeKeywords));
    CMetaContent* pUnknown = nullptr;
    list.AddContent("no-such-tag", "", 0, pUnknown);
    EXPECT_EQ(pUnknown->GetType(), static_cast<UINT>(kMetaTypeUndefined));

    CMetaContent* pFound = nullptr;
    EXPECT_EQ(list.FindByName("KEYWORDS", pFound), 0u);
    EXPECT_EQ(pFound, pKeywords);
    EXPECT_EQ(list.FindByName("Author", pFound), 1u);

    EXPECT_EQ(list.GetState(), 3u);
    pUnknown->SetModified(1);
    EXPECT_EQ(list.GetState(), 2u);
    list.SetModifiedAll(0);
    EXPECT_EQ(list.GetState(), 3u);
}

TEST_F(MetaContentTest, CopyOfABorrowingListOwnsItsCopies)
{
    CMetaContentList owner;
    CMetaContent* pContent = nullptr;
    owner.AddContent("Author", "me", 1, pContent);
    pContent->AddSuggestion("s");

    CMetaContentList borrowed(FALSE);
    borrowed.AddTail(pContent);

    // Copying into a borrowing list must not delete what it borrowed.
    CMetaContentList target(FALSE);
    target.AddTail(pContent);
    target.CopyFrom(borrowed);
    EXPECT_TRUE(target.GetOwnsItems());
    ASSERT_EQ(target.GetCount(), 1);
    CMetaContent* pCopy = target.GetHead();
    EXPECT_NE(pCopy, pContent);
    EXPECT_STREQ(pCopy->GetName(), "Author");
    EXPECT_STREQ(pCopy->GetContent(), "me");
    EXPECT_EQ(pCopy->GetModified(), 1u);
    EXPECT_EQ(pCopy->Suggestions().GetCount(), 1);
    EXPECT_STREQ(pContent->GetContent(), "me");
}

} // namespace
