// The dialog grids: one-column lists in and out, unique additions, check values, headers, and
// the shared Delete whatever order the rows were selected in.
#include "app/dialogs/CExtensionsGridCtrl.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "tests/app/MetaDialogsFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

class GridWndWrapperTest : public MetaDialogsTest {
protected:
    void MakeGrid(CGridWndWrapper& grid)
    {
        ASSERT_TRUE(grid.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                                  CRect(0, 0, 205, 200), frame, 100));
        grid.Initialize();
    }
    static std::unique_ptr<CStringList> MakeList(std::initializer_list<const char*> texts)
    {
        auto list = std::make_unique<CStringList>();
        for (const char* t : texts)
            list->AddTail(t);
        return list;
    }
    static std::vector<std::string> Texts(const CStringList& list)
    {
        std::vector<std::string> out;
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
            out.emplace_back(list.GetNext(pos).GetString());
        return out;
    }
    static std::vector<std::string> Rows(CGridWndWrapper& grid)
    {
        std::vector<std::string> out;
        for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
            CString text;
            grid.GetCellText(r, 1, text);
            out.emplace_back(text.GetString());
        }
        return out;
    }
};

} // namespace

TEST_F(GridWndWrapperTest, ListsLoadAsEditRowsAndReadBackDistinctAndNonEmpty)
{
    CKeywordsGridCtrl grid;
    MakeGrid(grid);
    grid.LoadList(*MakeList({}));
    EXPECT_EQ(grid.GetColCount(), 1u);
    EXPECT_EQ(grid.GetRowCount(), 0u);
    CStringList out;
    out.AddTail("stale");
    grid.ReadList(out);
    EXPECT_TRUE(out.IsEmpty());

    grid.LoadList(*MakeList({"a", "", "a", "b"}));
    EXPECT_EQ(grid.GetRowCount(), 4u);
    EXPECT_EQ(grid.GetColWidth(1), 200);
    grid.ReadList(out);
    EXPECT_EQ(Texts(out), (std::vector<std::string>{"a", "b"}));

    // Letter case makes a different text; an exact match adds nothing.
    grid.AddUnique("A");
    grid.AddUnique("b");
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"a", "", "a", "b", "A"}));
    EXPECT_EQ(grid.AddUniqueTexts(*MakeList({"c", "a", "c", "d"})), 2u);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"a", "", "a", "b", "A", "c", "d"}));

    CExtensionsGridCtrl extensions;
    ASSERT_TRUE(extensions.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE,
                                    CRect(210, 0, 400, 200), frame, 101));
    extensions.Initialize();
    extensions.LoadList(*MakeList({".htm", ".html"}));
    EXPECT_EQ(Rows(extensions), (std::vector<std::string>{".htm", ".html"}));
}

TEST_F(GridWndWrapperTest, DeleteRemovesExactlyTheSelectedRowsInAnySelectionOrder)
{
    CKeywordsGridCtrl grid;
    MakeGrid(grid);
    grid.LoadList(*MakeList({"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9", "r10"}));
    for (ROWCOL r : {5u, 2u, 8u})
        grid.SelectRange(CGXRange().SetRows(r, r), TRUE, TRUE);
    EXPECT_EQ(grid.GetSelectedRowsInOrder(), (std::vector<ROWCOL>{5, 2, 8}));
    CStringList picked;
    grid.GetSelectedTexts(picked);
    EXPECT_EQ(Texts(picked), (std::vector<std::string>{"r5", "r2", "r8"}));

    EXPECT_EQ(grid.DeleteSelectedRows(), 3u);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"r1", "r3", "r4", "r6", "r7", "r9", "r10"}));

    // Overlapping ranges name some rows twice: each goes once.
    grid.SelectRange(CGXRange().SetRows(2, 4), TRUE, TRUE);
    grid.SelectRange(CGXRange().SetRows(3, 5), TRUE, TRUE);
    EXPECT_EQ(grid.DeleteSelectedRows(), 4u);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"r1", "r9", "r10"}));

    // Nothing selected: the current cell's row goes.
    grid.SetCurrentCell(3, 1);
    EXPECT_EQ(grid.DeleteSelectedRows(), 1u);
    EXPECT_EQ(Rows(grid), (std::vector<std::string>{"r1", "r9"}));

    grid.AppendEmptyRow(CGridWndWrapper::MakeCurrent::Yes);
    EXPECT_EQ(grid.GetRowCount(), 3u);
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(grid.GetCurrentCell(row, col));
    EXPECT_EQ(row, 3u);
    EXPECT_EQ(col, 1u);
}

TEST_F(GridWndWrapperTest, CheckValuesHeadersAndWholeRowRanges)
{
    CGridWndWrapper grid;
    MakeGrid(grid);
    // Wrong header counts change nothing.
    EXPECT_EQ(grid.SetColumnHeaders(3, *MakeList({"Name", "Type"})), 1u);
    EXPECT_EQ(grid.GetColCount(), 0u);
    EXPECT_EQ(grid.GetRowCount(), 0u);
    EXPECT_EQ(grid.SetColumnHeaders(2, *MakeList({"Name", "Type"})), 0u);
    EXPECT_EQ(grid.GetColCount(), 2u);
    EXPECT_EQ(grid.GetRowCount(), 1u);
    CString text;
    grid.GetCellText(0, 2, text);
    EXPECT_STREQ(text, "Type");

    grid.SetCheckValue(1, 2, TRUE);
    BOOL checked = FALSE;
    EXPECT_EQ(grid.GetCheckValue(1, 2, checked), 0u);
    EXPECT_TRUE(checked);
    grid.SetCheckValue(1, 2, FALSE);
    EXPECT_EQ(grid.GetCheckValue(1, 2, checked), 0u);
    EXPECT_FALSE(checked);
    grid.SetCellValue(1, 2, "yes");
    checked = 7;
    EXPECT_EQ(grid.GetCheckValue(1, 2, checked), 1u);
    EXPECT_EQ(checked, 7);

    // The read-only mark is set and taken off again, with the grid's lock as it was.
    auto readOnly = [&grid] {
        CGXStyle style;
        grid.ComposeCellStyle(1, 1, style);
        return style.GetReadOnly();
    };
    EXPECT_EQ(grid.SetReadOnlyCells(1, 1, 1, 1, TRUE), 0u);
    EXPECT_TRUE(readOnly());
    EXPECT_TRUE(grid.GetParam()->m_bLockReadOnly);
    EXPECT_EQ(grid.SetReadOnlyCells(1, 1, 1, 1, FALSE), 0u);
    EXPECT_FALSE(readOnly());
    EXPECT_TRUE(grid.GetParam()->m_bLockReadOnly);

    CGXRangeList ranges;
    grid.SelectRange(CGXRange(1, 1, 1, 1), TRUE, TRUE);
    EXPECT_EQ(grid.GetSelectedRowRanges(ranges), 1u);
    EXPECT_TRUE(ranges.IsEmpty());
    grid.SelectRange(CGXRange().SetRows(1, 1), TRUE, TRUE);
    EXPECT_EQ(grid.GetSelectedRowRanges(ranges), 0u);
    EXPECT_EQ(ranges.GetCount(), 2);
    ranges.DeleteAll();
}
