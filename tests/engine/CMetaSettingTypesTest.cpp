#include "EngineTestSupport.h"

#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaComboSingleSelSetting.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/CMetaPragmaSetting.h"
#include "engine/meta/CMetaRefreshSetting.h"
#include "engine/meta/CMetaRichEditSetting.h"
#include "engine/meta/CMetaSListSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"

#include <memory>

using namespace enginetest;

namespace {

class SettingTypesTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
    }
    CProjectSettings& Project()
    {
        CProjectSettings* p = nullptr;
        m_pModel->GetProjectSettings(p);
        return *p;
    }
    static std::string TypeName(const CMetaSetting& setting)
    {
        CString strName;
        EXPECT_EQ(setting.GetTypeName(strName), 0u);
        return strName.GetString();
    }
    FakeGroupView m_view;
    FakeSettingsGrid m_grid;
};

TEST_F(SettingTypesTest, PrototypesInRegistrationOrderWithTheirNames)
{
    CMetaSettingList prototypes;
    m_pModel->CopySettingPrototypes(prototypes);
    std::vector<std::pair<UINT, std::string>> seen;
    for (POSITION pos = prototypes.GetHeadPosition(); pos != nullptr;) {
        const CMetaSetting* p = prototypes.GetNext(pos);
        seen.emplace_back(p->Type(), TypeName(*p));
    }
    const std::vector<std::pair<UINT, std::string>> expected = {
        {0, "Edit"},         {1, "Non-editable Drop List"}, {8, "Keywords Type"},
        {7, "Undefined"},    {5, "Classification"},         {9, "Refresh"},
        {10, "Pragma Type"}, {11, "Editable Multi-select List"}, {12, "Editable Drop List"},
        {13, "Date / Time"}, {14, "Edit (Multi-line)"}};
    EXPECT_EQ(seen, expected);

    CMetaSetting* pMade = nullptr;
    ASSERT_EQ(prototypes.CreateFromType("date / TIME", pMade), 0u);
    std::unique_ptr<CMetaSetting> owned(pMade);
    EXPECT_NE(dynamic_cast<CMetaDateSetting*>(pMade), nullptr);
    EXPECT_EQ(prototypes.CreateFromType("Bogus", pMade), 1u);

    CMetaSetting base;
    CString strName("unchanged");
    EXPECT_EQ(base.GetTypeName(strName), 1u);
    EXPECT_STREQ(strName, "unchanged");
    EXPECT_EQ(base.Clone(), nullptr);
}

TEST_F(SettingTypesTest, ConstructorsOfTheTagTypes)
{
    CMetaKeywordsSetting keywords;
    UINT nFlag = 9;
    EXPECT_STREQ(keywords.Name(), "Keywords");
    keywords.GetShow(nFlag);
    EXPECT_EQ(nFlag, 1u);
    keywords.GetFixed(nFlag);
    EXPECT_EQ(nFlag, 1u);
    keywords.GetNameFixed(nFlag);
    EXPECT_EQ(nFlag, 0u);
    keywords.GetHttpEquiv(nFlag);
    EXPECT_EQ(nFlag, 0u);

    CMetaPragmaSetting pragma;
    pragma.GetHttpEquiv(nFlag);
    EXPECT_EQ(nFlag, 1u);
    pragma.GetNameFixed(nFlag);
    EXPECT_EQ(nFlag, 1u);

    CMetaRefreshSetting refresh;
    EXPECT_STREQ(refresh.Name(), "Refresh");
    refresh.GetFixed(nFlag);
    EXPECT_EQ(nFlag, 1u);

    CMetaDateSetting date;
    EXPECT_STREQ(date.Name(), "Date / Time");
    EXPECT_STREQ(date.m_strFormat, "yyyy/MM/dd");

    CMetaComboMultiSelSetting multi;
    EXPECT_STREQ(multi.m_strSeparator, ",");
    EXPECT_EQ(multi.m_bAllowModify, 0u);

    CMetaUndefinedSetting undefined;
    CString strDescription;
    undefined.GetDescription(strDescription);
    EXPECT_STREQ(strDescription, "This metatag has no metatag settings associated with it.");
}

TEST_F(SettingTypesTest, FormatTagFollowsFormAndCase)
{
    CMetaEditSetting edit;
    edit.SetName("Author");
    CString strTag;
    // A quote in the content must not end the attribute value early.
    edit.FormatTag("Jo \"J\" Bloggs", strTag);
    EXPECT_STREQ(strTag, "<META NAME=\"Author\" CONTENT=\"Jo &quot;J&quot; Bloggs\">");
    Project().SetUpperCase(0);
    edit.FormatTag("x", strTag);
    EXPECT_STREQ(strTag, "<meta name=\"Author\" content=\"x\">");
    edit.SetHttpEquiv(1);
    edit.FormatTag("x", strTag);
    EXPECT_STREQ(strTag, "<meta http-equiv=\"Author\" content=\"x\">");
    Project().SetUpperCase(1);
    edit.FormatTag("x", strTag);
    EXPECT_STREQ(strTag, "<META HTTP-EQUIV=\"Author\" CONTENT=\"x\">");
    edit.FormatTag("", strTag);
    EXPECT_TRUE(strTag.IsEmpty());
}

TEST_F(SettingTypesTest, PragmaWritesOnlyNoCache)
{
    CMetaPragmaSetting pragma;
    CString strTag("stale");
    pragma.FormatTag("NO-CACHE", strTag);
    EXPECT_STREQ(strTag, "<META HTTP-EQUIV=\"Pragma\" CONTENT=\"NO-CACHE\">");
    pragma.FormatTag("1", strTag);
    EXPECT_STREQ(strTag, "<META HTTP-EQUIV=\"Pragma\" CONTENT=\"no-cache\">");
    pragma.FormatTag("0", strTag);
    EXPECT_TRUE(strTag.IsEmpty());
    pragma.FormatTag("", strTag);
    EXPECT_TRUE(strTag.IsEmpty());

    struct Style : IMetaCellStyle {
        void SetValue(const CString& s) override { value = s.GetString(); }
        std::string value;
    } style;
    EXPECT_EQ(pragma.TextToCellValue(&m_view, style, 1, 2, "No-Cache"), 0u);
    EXPECT_EQ(style.value, "1");
    pragma.TextToCellValue(&m_view, style, 1, 2, "1");
    EXPECT_EQ(style.value, "1");
    pragma.TextToCellValue(&m_view, style, 1, 2, "cache");
    EXPECT_EQ(style.value, "0");
    CMetaEditSetting edit;
    EXPECT_EQ(edit.TextToCellValue(&m_view, style, 1, 2, "x"), 1u);

    CMetaContent content;
    m_view.cells[At(3, 2)] = "1";
    EXPECT_EQ(pragma.EditValue(&m_view, 3, 2, 0, &content), 0u);
    EXPECT_STREQ(content.GetContent(), "no-cache");
    EXPECT_EQ(m_view.cells[At(3, 2)], "no-cache");
    m_view.cells[At(3, 2)] = "0";
    pragma.EditValue(&m_view, 3, 2, 0, &content);
    EXPECT_TRUE(content.GetContent().IsEmpty());
}

TEST_F(SettingTypesTest, ValueCellsOfEachType)
{
    auto expectCells = [this](CMetaSetting& setting, const char* op) {
        m_view.calls.clear();
        setting.SetColumn(5);
        EXPECT_EQ(setting.SetupValueCell(&m_view, 9), 0u);
        ASSERT_EQ(m_view.calls.size(), 1u);
        EXPECT_EQ(m_view.calls[0].op, op);
        EXPECT_EQ(m_view.calls[0].top, 1u);
        EXPECT_EQ(m_view.calls[0].left, 5u);
        EXPECT_EQ(m_view.calls[0].bottom, 9u);
        EXPECT_EQ(m_view.calls[0].right, 5u);
    };
    CMetaEditSetting edit;
    expectCells(edit, "edit");
    CMetaRichEditSetting rich;
    expectCells(rich, "scrolledit");
    CMetaKeywordsSetting keywords;
    expectCells(keywords, "hotspot");
    CMetaRefreshSetting refresh;
    expectCells(refresh, "hotspot");
    CMetaDateSetting date;
    expectCells(date, "hotspot");
    CMetaPragmaSetting pragma;
    expectCells(pragma, "checkbox");
    CMetaComboMultiSelSetting multi;
    expectCells(multi, "hotspot");
    CMetaClassificationSetting classification;
    expectCells(classification, "hotspot");

    CMetaSListSetting slist;
    expectCells(slist, "hotspot");
    slist.m_Options.AddTail("a");
    slist.m_Options.AddTail("b");
    expectCells(slist, "dropdown");
    EXPECT_EQ(m_view.calls[0].options, (std::vector<std::string>{"a", "b"}));
    CMetaComboSingleSelSetting single;
    expectCells(single, "hotspot");
    single.m_Options.AddTail("z");
    expectCells(single, "combo");

    CMetaUndefinedSetting undefined;
    m_view.calls.clear();
    EXPECT_EQ(undefined.SetupValueCell(&m_view, 9), 1u);
    EXPECT_TRUE(m_view.calls.empty());
}

TEST_F(SettingTypesTest, ListWithoutOptionsExplainsHowToAddSome)
{
    CMetaSListSetting slist;
    CMetaContent content;
    EXPECT_EQ(slist.EditValue(&m_view, 1, 2, 0, &content), 0u);
    ASSERT_EQ(m_dialogs.messageIds.size(), 1u);
    EXPECT_EQ(m_dialogs.messageIds[0], 62527u);
    EXPECT_EQ(m_dialogs.messages[0],
              "There are no options associated with this metatag type. To add options, go to the 'Metatag "
              "Settings' dialog under the 'Options' menu.");
    slist.m_Options.AddTail("a");
    slist.EditValue(&m_view, 1, 2, 0, &content);
    EXPECT_EQ(m_dialogs.messageIds.size(), 1u);
}

TEST_F(SettingTypesTest, AttributesCells)
{
    CMetaSListSetting slist;
    for (const char* option : {"a", "b", "c"})
        slist.m_Options.AddTail(option);
    EXPECT_EQ(slist.SetupAttributesCell(&m_grid, 3), 0u);
    ASSERT_EQ(m_grid.calls.size(), 1u);
    EXPECT_EQ(m_grid.calls[0].op, "button");
    EXPECT_EQ(m_grid.calls[0].text, "3 options");
    EXPECT_EQ(m_grid.calls[0].top, 3u);
    EXPECT_EQ(m_grid.calls[0].left, 4u);

    m_grid.calls.clear();
    CMetaEditSetting edit;
    EXPECT_EQ(edit.SetupAttributesCell(&m_grid, 2), 0u);
    ASSERT_EQ(m_grid.calls.size(), 2u);
    EXPECT_EQ(m_grid.calls[0].op, "static");
    EXPECT_EQ(m_grid.calls[1].text, "not applicable");
    EXPECT_EQ(edit.EditOptions(&m_grid, 2), 1u);
    EXPECT_EQ(edit.ReadAttributesCell(&m_grid, 2), 1u);

    m_grid.calls.clear();
    CMetaClassificationSetting classification;
    classification.SetupAttributesCell(&m_grid, 1);
    ASSERT_EQ(m_grid.calls.size(), 1u);
    EXPECT_EQ(m_grid.calls[0].text, "Classification");

    CMetaDateSetting date;
    date.SetupAttributesCell(&m_grid, 6);
    EXPECT_EQ(m_grid.cells[At(6, 4)], "yyyy/MM/dd");
    m_grid.cells[At(6, 4)] = "dd.MM.yyyy";
    EXPECT_EQ(date.ReadAttributesCell(&m_grid, 6), 0u);
    EXPECT_STREQ(date.m_strFormat, "dd.MM.yyyy");
}

TEST_F(SettingTypesTest, OptionDialogsReplaceOnlyAfterOk)
{
    CMetaComboSingleSelSetting single;
    single.m_Options.AddTail("old");
    m_dialogs.newOptions = {"x", "y"};
    m_dialogs.answer = FALSE;
    EXPECT_EQ(single.EditOptions(&m_grid, 1), 1u);
    EXPECT_EQ(ToVector(single.m_Options), (std::vector<std::string>{"old"}));
    EXPECT_TRUE(m_grid.calls.empty());

    m_dialogs.answer = TRUE;
    EXPECT_EQ(single.EditOptions(&m_grid, 1), 0u);
    EXPECT_EQ(ToVector(single.m_Options), (std::vector<std::string>{"x", "y"}));
    ASSERT_EQ(m_grid.calls.size(), 1u);
    EXPECT_EQ(m_grid.calls[0].text, "2 options");

    CMetaComboMultiSelSetting multi;
    m_dialogs.text = ";";
    EXPECT_EQ(multi.EditOptions(&m_grid, 2), 0u);
    EXPECT_EQ(m_dialogs.seenValue, ",");
    EXPECT_STREQ(multi.m_strSeparator, ";");
    EXPECT_EQ(multi.m_bAllowModify, 1u);
    EXPECT_EQ(multi.m_Options.GetCount(), 2);

    CMetaClassificationSetting classification;
    m_dialogs.text = "Second";
    m_dialogs.answer = FALSE;
    EXPECT_EQ(classification.EditOptions(&m_grid, 3), 1u);
    EXPECT_EQ(classification.m_Tree.GetCount(), 1);
    m_dialogs.answer = TRUE;
    EXPECT_EQ(classification.EditOptions(&m_grid, 3), 0u);
    EXPECT_EQ(classification.m_Tree.GetCount(), 2);
}

TEST_F(SettingTypesTest, ValueDialogsWriteContentAndCell)
{
    CMetaContent content;
    content.SetContent("old");

    CMetaRefreshSetting refresh;
    m_dialogs.text = "5; URL=http://example.com/";
    EXPECT_EQ(refresh.EditValue(&m_view, 2, 3, 0, &content), 0u);
    EXPECT_EQ(m_dialogs.seenValue, "old");
    EXPECT_STREQ(content.GetContent(), "5; URL=http://example.com/");
    EXPECT_EQ(m_view.cells[At(2, 3)], "5; URL=http://example.com/");

    CMetaDateSetting date;
    date.m_strFormat = "yyyy";
    m_dialogs.text = "2001";
    date.EditValue(&m_view, 2, 4, 0, &content);
    EXPECT_EQ(m_dialogs.seenFormat, "yyyy");
    EXPECT_STREQ(content.GetContent(), "2001");

    CMetaClassificationSetting classification;
    m_dialogs.text = "Root:Folder1";
    classification.EditValue(&m_view, 2, 5, 0, &content);
    EXPECT_EQ(m_dialogs.seenValue, "2001");
    EXPECT_STREQ(content.GetContent(), "Root:Folder1");
    EXPECT_EQ(m_view.cells[At(2, 5)], "Root:Folder1");

    // OK on the value each dialog opened with writes no cell, so the page is not marked.
    m_view.calls.clear();
    content.SetContent("5; url=x.htm");
    m_dialogs.text = "5; url=x.htm";
    refresh.EditValue(&m_view, 2, 3, 0, &content);
    content.SetContent("2001");
    m_dialogs.text = "2001";
    date.EditValue(&m_view, 2, 4, 0, &content);
    content.SetContent("Root:Folder1");
    m_dialogs.text = "Root:Folder1";
    classification.EditValue(&m_view, 2, 5, 0, &content);
    EXPECT_TRUE(m_view.calls.empty());

    // Cancel leaves content and cell as they were.
    m_dialogs.answer = FALSE;
    m_dialogs.text = "ignored";
    m_view.calls.clear();
    classification.EditValue(&m_view, 2, 5, 0, &content);
    EXPECT_STREQ(content.GetContent(), "Root:Folder1");
    EXPECT_TRUE(m_view.calls.empty());
}

TEST_F(SettingTypesTest, KeywordsEditWritesOnlyChangedText)
{
    CMetaKeywordsSetting keywords;
    keywords.SetName("dc.keywords");
    CMetaContent content;
    content.SetContent("a,b");
    m_dialogs.text = "a,b";
    EXPECT_EQ(keywords.EditValue(&m_view, 1, 2, 7, &content), 0u);
    EXPECT_EQ(m_dialogs.seenTag, "dc.keywords");
    EXPECT_TRUE(m_view.calls.empty());

    // The dialog joins the same keywords its own way: the page keeps its spelling, unmarked.
    content.SetContent("apt, apt-get,  aptitude");
    m_dialogs.text = "apt,apt-get,aptitude";
    EXPECT_EQ(keywords.EditValue(&m_view, 1, 2, 7, &content), 0u);
    EXPECT_STREQ(content.GetContent(), "apt, apt-get,  aptitude");
    EXPECT_TRUE(m_view.calls.empty());
    // The same keywords in another order are an edit.
    m_dialogs.text = "apt-get,apt,aptitude";
    EXPECT_EQ(keywords.EditValue(&m_view, 1, 2, 7, &content), 0u);
    EXPECT_STREQ(content.GetContent(), "apt-get,apt,aptitude");

    content.SetContent("a,b");
    m_dialogs.text = "a,b,c";
    EXPECT_EQ(keywords.EditValue(&m_view, 1, 2, 7, &content), 0u);
    EXPECT_STREQ(content.GetContent(), "a,b,c");
    EXPECT_EQ(m_view.cells[At(1, 2)], "a,b,c");

    m_dialogs.answer = FALSE;
    EXPECT_EQ(keywords.EditValue(&m_view, 1, 2, 7, &content), 1u);
    EXPECT_EQ(keywords.GetGroupActionState(), 2u);
    CMetaEditSetting edit;
    EXPECT_EQ(edit.GetGroupActionState(), 3u);
    EXPECT_EQ(edit.DoGroupAction(&m_view, nullptr, 2, nullptr), 1u);
}

TEST_F(SettingTypesTest, MultiSelectValueRefreshesTheColumnWhenOptionsChanged)
{
    CMetaComboMultiSelSetting multi;
    multi.SetColumn(3);
    CMetaContent content;
    m_view.rowCount = 4;
    m_dialogs.text = "a,c";
    EXPECT_EQ(multi.EditValue(&m_view, 2, 3, 0, &content), 0u);
    EXPECT_STREQ(content.GetContent(), "a,c");
    ASSERT_EQ(m_view.calls.size(), 1u);
    EXPECT_EQ(m_view.calls[0].op, "value");

    // The same value again writes no cell (and marks no page); new options still reach the
    // column.
    m_view.calls.clear();
    m_dialogs.optionsChanged = TRUE;
    m_dialogs.newOptions = {"a", "b", "c", "d"};
    multi.EditValue(&m_view, 2, 3, 0, &content);
    ASSERT_EQ(m_view.calls.size(), 1u);
    EXPECT_EQ(m_view.calls[0].op, "hotspot");
    EXPECT_EQ(m_view.calls[0].bottom, 4u);
    EXPECT_EQ(multi.m_Options.GetCount(), 4);
}

class KeywordsGroupTest : public SettingTypesTest {
protected:
    CMetaContent* AddPage(const char* name, const char* text, std::vector<const char*> suggestions, ROWCOL row)
    {
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(name);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", text, 0, pContent);
        for (const char* s : suggestions)
            pContent->AddSuggestion(s);
        m_pages.AddTail(pPage.get());
        if (row != 0)
            m_view.pageRows[pPage.get()] = row;
        m_owned.push_back(std::move(pPage));
        return pContent;
    }
    CSelNodesCol m_pages;
    std::vector<std::unique_ptr<CPageNode>> m_owned;
};

TEST_F(KeywordsGroupTest, AddSuggestionsToEveryPage)
{
    m_view.cells[At(0, 4)] = "KEYWORDS";
    CMetaContent* pA = AddPage("a", "x,y", {"y", "z"}, 1);
    CMetaContent* pB = AddPage("b", "", {"p"}, 0);
    CMetaKeywordsSetting keywords;
    m_dialogs.groupAction = 0;
    EXPECT_EQ(keywords.DoGroupAction(&m_view, nullptr, 4, &m_pages), 2u);
    EXPECT_EQ(m_dialogs.presetAction, 0);
    EXPECT_STREQ(pA->GetContent(), "x,y,z");
    EXPECT_STREQ(pB->GetContent(), "p");
    EXPECT_EQ(m_view.cells[At(1, 4)], "x,y,z");
    // The page without a row changes but writes no cell.
    ASSERT_EQ(m_view.calls.size(), 1u);
}

TEST_F(KeywordsGroupTest, ReplaceLeavesPagesWithoutSuggestionsAloneAndCountsThem)
{
    m_view.cells[At(0, 4)] = "Keywords";
    CMetaContent* pA = AddPage("a", "mine,yours", {}, 1);
    CMetaContent* pB = AddPage("b", "old", {"new1", "new2"}, 2);
    AddPage("c", "same", {"same"}, 3);
    AddPage("d", "", {}, 4);
    CMetaKeywordsSetting keywords;
    m_dialogs.groupAction = 1;
    EXPECT_EQ(keywords.DoGroupAction(&m_view, nullptr, 4, &m_pages), 2u);
    EXPECT_STREQ(pA->GetContent(), "mine,yours");
    EXPECT_STREQ(pB->GetContent(), "new1,new2");
    EXPECT_EQ(m_view.cells.count(At(1, 4)), 0u);
    EXPECT_EQ(m_view.cells[At(2, 4)], "new1,new2");
    // What the action did is told once: one page changed, two without suggestions, one that
    // held its suggestions already.
    ASSERT_EQ(m_view.outcomes.size(), 1u);
    EXPECT_EQ(m_view.outcomes[0].nAction, 1);
    EXPECT_EQ(m_view.outcomes[0].nChanged, 1u);
    EXPECT_EQ(m_view.outcomes[0].nWithout, 2u);
    EXPECT_EQ(m_view.outcomes[0].nAlready, 1u);

    // Cancel changes nothing.
    m_dialogs.answer = FALSE;
    pB->SetContent("kept");
    keywords.DoGroupAction(&m_view, nullptr, 4, &m_pages);
    EXPECT_STREQ(pB->GetContent(), "kept");
}

TEST_F(SettingTypesTest, EqualityAndCopies)
{
    CMetaSListSetting a, b;
    a.m_Options.AddTail("one");
    EXPECT_TRUE(a.IsEqual(&b));
    b.SetName("x");
    EXPECT_FALSE(a.IsEqual(&b));
    a.SetName("X");
    EXPECT_FALSE(a.IsEqual(&b));
    b.CopyFrom(&a);
    EXPECT_TRUE(a.IsEqual(&b));
    EXPECT_EQ(ToVector(b.m_Options), (std::vector<std::string>{"one"}));

    CMetaDateSetting d1, d2;
    EXPECT_TRUE(d1.IsEqual(&d2));
    d2.m_strFormat = "yyyy";
    EXPECT_FALSE(d1.IsEqual(&d2));
    EXPECT_FALSE(d2.IsEqual(&a));
    d1.CopyFrom(&d2);
    EXPECT_STREQ(d1.m_strFormat, "yyyy");
    EXPECT_TRUE(d1.IsEqual(&d2));

    CMetaEditSetting edit;
    edit.SetColumn(7);
    CMetaEditSetting edit2;
    EXPECT_FALSE(edit.IsEqual(&edit2));
    edit2.CopyFrom(&edit);
    ROWCOL nCol = 0;
    edit2.GetColumn(nCol);
    EXPECT_EQ(nCol, 7u);
}

} // namespace
