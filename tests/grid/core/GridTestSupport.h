// Grids for the geometry, drawing and scrolling tests: the library started with a factory that
// also installs a hide feature whose hidden rows and columns a test chooses, the fixed-metric
// font on, and a grid rectangle of the test's choosing.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <algorithm>
#include <set>
#include <vector>

class TestHideFeature : public CGXAbstractGridHideCellsImp {
public:
    BOOL HideRows(CGXGridCore*, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray*, UINT, int) override
    {
        for (ROWCOL n = nFrom; n <= nTo; ++n)
            bHide ? (void)m_rows.insert(n) : (void)m_rows.erase(n);
        return TRUE;
    }
    BOOL HideCols(CGXGridCore*, ROWCOL nFrom, ROWCOL nTo, BOOL bHide, const CDWordArray*, UINT, int) override
    {
        for (ROWCOL n = nFrom; n <= nTo; ++n)
            bHide ? (void)m_cols.insert(n) : (void)m_cols.erase(n);
        return TRUE;
    }
    BOOL IsRowHidden(CGXGridCore*, ROWCOL nRow) override { return m_rows.count(nRow) != 0; }
    BOOL IsColHidden(CGXGridCore*, ROWCOL nCol) override { return m_cols.count(nCol) != 0; }
    BOOL StoreHideRow(CGXGridCore*, ROWCOL, BOOL) override { return TRUE; }
    BOOL StoreHideCol(CGXGridCore*, ROWCOL, BOOL) override { return TRUE; }
    std::set<ROWCOL> m_rows, m_cols;
};

class HideFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        auto* pFeature = new TestHideFeature;
        pGrid->m_pHideCellsImp = pFeature;
        pGrid->AddAutoDeleteImp(pFeature);
    }
};

class GridDrawTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new HideFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    static TestHideFeature& Hidden(CGXGridCore& grid) { return *static_cast<TestHideFeature*>(grid.m_pHideCellsImp); }
    // A grid of nRows x nCols in a fixed rectangle: rows 20 high, columns 50 wide, header row
    // and column alike.
    static void SetUpGrid(CGXGridCore& grid, ROWCOL nRows, ROWCOL nCols, const CRect& rect = CRect(0, 0, 400, 300))
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        grid.SetGridRect(TRUE, &rect);
        grid.GetParam()->EnableUndo(TRUE);
    }
};

// Covered ranges kept in a plain list.
class TestCoveredFeature : public CGXAbstractGridCoveredCellsImp {
public:
    BOOL SetCoveredCellsRowCol(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, ROWCOL nToRow, ROWCOL nToCol, UINT, int) override
    {
        m_ranges.push_back(CGXRange(nRow, nCol, nToRow, nToCol));
        return TRUE;
    }
    CGXRange* FindCoveredSpan(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, CGXRange& range) override
    {
        for (const CGXRange& r : m_ranges)
            if (r.ContainsCell(nRow, nCol)) {
                range = r;
                return &range;
            }
        return nullptr;
    }
    BOOL StoreCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, BOOL) override { return TRUE; }
    void UpdateCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) override {}
    BOOL AddCoveredCellsToRange(CGXGridCore*, CGXRange& range) override
    {
        for (const CGXRange& r : m_ranges)
            if (r.ContainsCell(range.top, range.left) || r.ContainsCell(range.bottom, range.right)) {
                range.top = std::min(range.top, r.top);
                range.left = std::min(range.left, r.left);
                range.bottom = std::max(range.bottom, r.bottom);
                range.right = std::max(range.right, r.right);
            }
        return TRUE;
    }
    std::vector<CGXRange> m_ranges;
};
