// Finding a page's row and a heading's column in the project grid, for the tests that drive it.
#pragma once

#include "app/views/CGroupView.h"
#include "engine/project/CPageNode.h"

namespace group_view_lookup {

// The column whose heading is the name (any case), 0 when there is none.
inline ROWCOL ColumnOf(CGroupView& view, const char* pszName)
{
    for (ROWCOL nCol = 1; nCol <= view.GetColCount(); ++nCol)
        if (view.GetCellValue(0, nCol).CompareNoCase(pszName) == 0)
            return nCol;
    return 0;
}

// The row of the page with the file name, 0 when none shows it.
inline ROWCOL RowOf(CGroupView& view, const char* pszName)
{
    for (ROWCOL nRow = 1; nRow <= view.GetRowCount(); ++nRow) {
        CPageNode* pPage = nullptr;
        if (view.GetRowPage(nRow, pPage) == 0 && pPage->GetName() == pszName)
            return nRow;
    }
    return 0;
}

} // namespace group_view_lookup
