// Steps undone before the grid was loaded with its rows in another order are redone in the
// pages they were made in, not in the pages that now stand in their rows.
#include "tests/app/GroupViewFixture.h"

TEST_F(GroupViewTest, RedoAfterTheRowsCameBackInAnotherOrderWritesTheEditsOwnPage)
{
    extraPages = {"c.htm"};
    OpenSite(true);
    const ROWCOL nDescription = ColumnOf("Description");
    ASSERT_EQ(RowOf("a.htm"), 1u);
    ASSERT_EQ(view->SetCellValue(RowOf("a.htm"), nDescription, "Ärger"), 0u);
    ASSERT_TRUE(view->Undo());
    ASSERT_STREQ(ContentOf("a.htm", "Description")->GetContent(), "The first page");

    // The same pages again, c first: a's old row now shows c.
    CSelNodesCol reordered;
    for (const char* pszName : {"c.htm", "b.htm", "a.htm"})
        reordered.AddTail(PageOf(pszName));
    view->LoadPages(reordered);
    ASSERT_EQ(RowOf("c.htm"), 1u);
    ASSERT_EQ(RowOf("a.htm"), 3u);

    ASSERT_TRUE(view->Redo());
    ASSERT_NE(ContentOf("a.htm", "Description"), nullptr);
    EXPECT_STREQ(ContentOf("a.htm", "Description")->GetContent(), "Ärger") << "the redo missed the edit's page";
    EXPECT_EQ(ContentOf("c.htm", "Description"), nullptr) << "the redo wrote into the page now in the edit's row";
    EXPECT_EQ(std::string(view->GetCellValue(3, nDescription)), "Ärger");
    EXPECT_EQ(PageOf("a.htm")->GetEditState(), 2u);
    EXPECT_EQ(PageOf("c.htm")->GetEditState(), 3u);

    // And undone once more, in a again.
    ASSERT_TRUE(view->Undo());
    EXPECT_STREQ(ContentOf("a.htm", "Description")->GetContent(), "The first page");
    EXPECT_EQ(app->IsEdited(), 3u);
}
