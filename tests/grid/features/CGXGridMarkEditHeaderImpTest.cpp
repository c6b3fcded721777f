#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXProperties.h"
#include "grid/features/CGXGridMarkEditHeaderImp.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

namespace {

class MarkFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridMarkEditHeaderImp::Install(pGrid);
    }
};

class MarkHeaderTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new MarkFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    void MakeGrid(CGXGridWnd& grid)
    {
        HWND hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(hTop), 1));
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(1000, 0);
        grid.SetColCount(20, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        backend->ProcessMessages();
    }
};

} // namespace

TEST_F(MarkHeaderTest, TheCurrentCellsHeadersAreMarkedAsTheSwitchesSay)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    auto* pImp = static_cast<CGXGridMarkEditHeaderImp*>(grid.m_pMarkEditHeaderImp);
    ASSERT_TRUE(grid.SetCurrentCell(2, 3));
    EXPECT_TRUE(pImp->IsHeaderMarked(&grid, nullptr, 0, 3));
    EXPECT_TRUE(pImp->IsHeaderMarked(&grid, nullptr, 2, 0));
    EXPECT_FALSE(pImp->IsHeaderMarked(&grid, nullptr, 0, 2));
    EXPECT_FALSE(pImp->IsHeaderMarked(&grid, nullptr, 3, 0));
    EXPECT_FALSE(pImp->IsHeaderMarked(&grid, nullptr, 0, 0));
    grid.GetParam()->GetProperties()->m_bMarkRowHeader = FALSE;
    EXPECT_FALSE(pImp->IsHeaderMarked(&grid, nullptr, 2, 0));
    EXPECT_TRUE(pImp->IsHeaderMarked(&grid, nullptr, 0, 3));
}

TEST_F(MarkHeaderTest, OnlyTheHeadersOnScreenAreInvalidated)
{
    CGXGridWnd grid;
    MakeGrid(grid);
    ASSERT_TRUE(grid.SetCurrentCell(2, 3));
    backend->ProcessMessages();
    ASSERT_TRUE(UpdateRectOf(grid).IsRectEmpty());

    auto* pImp = static_cast<CGXGridMarkEditHeaderImp*>(grid.m_pMarkEditHeaderImp);
    // Rows are 20 pixels high and columns 50 wide, headers included: row 5's header lies at
    // (0, 100)-(50, 120) and column C's at (150, 0)-(200, 20); together they cover the window
    // from its corner to (200, 120).
    pImp->UpdateMarkedHeaders(&grid, 5, 3, CGXGridMarkEditHeaderImp::both, TRUE);
    EXPECT_EQ(UpdateRectOf(grid), CRect(0, 0, 200, 120));
    backend->ProcessMessages();

    // Only the column header; then only the row header of a row below.
    pImp->UpdateMarkedHeaders(&grid, 5, 3, CGXGridMarkEditHeaderImp::columnHeader, TRUE);
    EXPECT_EQ(UpdateRectOf(grid), CRect(150, 0, 200, 20));
    backend->ProcessMessages();
    pImp->UpdateMarkedHeaders(&grid, 8, 3, CGXGridMarkEditHeaderImp::rowHeader, TRUE);
    EXPECT_EQ(UpdateRectOf(grid), CRect(0, 160, 50, 180));
    backend->ProcessMessages();

    // A row out of view, a row past the count or the update lock invalidate nothing.
    pImp->UpdateMarkedHeaders(&grid, 900, 3, CGXGridMarkEditHeaderImp::both, TRUE);
    pImp->UpdateMarkedHeaders(&grid, 5000, 3, CGXGridMarkEditHeaderImp::both, TRUE);
    grid.GetParam()->m_bLockUpdate = TRUE;
    pImp->UpdateMarkedHeaders(&grid, 5, 3, CGXGridMarkEditHeaderImp::both, TRUE);
    grid.GetParam()->m_bLockUpdate = FALSE;
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty());
}
