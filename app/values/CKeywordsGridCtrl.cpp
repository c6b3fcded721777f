#include "app/values/CKeywordsGridCtrl.h"

#include "platform/core/CPtrList.h"

#include <unordered_set>

IMPLEMENT_DYNCREATE(CKeywordsGridCtrl, CGridWndWrapper)

namespace {
constexpr int kColumnMargin = 5;
} // namespace

void LoadOneColumnList(CGridWndWrapper& grid, const CStringList& list)
{
    const BOOL bUndo = grid.GetParam()->IsEnableUndo();
    // Loading is not an edit the user could take back.
    grid.GetParam()->EnableUndo(FALSE);
    CGridWndWrapper::UpdateBatch batch(grid);
    grid.SetColCount(1, 0);
    const auto nRows = static_cast<ROWCOL>(list.GetCount());
    grid.SetRowCount(nRows, 0);
    if (nRows > 0)
        grid.SetEditCell(1, 1, nRows, 1);
    grid.HideRows(0, 0);
    grid.HideCols(0, 0);
    ROWCOL nRow = 1;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr; ++nRow)
        grid.SetCellValue(nRow, 1, list.GetNext(pos));
    if (grid.GetSafeHwnd() != nullptr) {
        CRect rect;
        grid.GetClientRect(&rect);
        grid.SetColWidth(1, 1, std::max(1, rect.Width() - kColumnMargin));
    }
    grid.GetParam()->EnableUndo(bUndo);
}

void CKeywordsGridCtrl::LoadList(const CStringList& list)
{
    LoadOneColumnList(*this, list);
}

void CKeywordsGridCtrl::ReadList(CStringList& list)
{
    StoreEdit();
    list.RemoveAll();
    std::unordered_set<std::string> seen;
    const ROWCOL nRows = GetRowCount();
    for (ROWCOL nRow = 1; nRow <= nRows && nRow != 0; ++nRow) {
        CString strText;
        GetCellText(nRow, 1, strText);
        if (strText.IsEmpty() || !seen.insert(std::string(strText.GetString(), strText.GetLength())).second)
            continue;
        list.AddTail(strText);
    }
}

void CKeywordsGridCtrl::AddUnique(const CString& strText)
{
    CStringList one;
    one.AddTail(strText);
    AddUniqueTexts(one);
}

ROWCOL CKeywordsGridCtrl::AddUniqueTexts(const CStringList& texts)
{
    StoreEdit();
    const ROWCOL nRows = GetRowCount();
    std::unordered_set<std::string> seen;
    for (ROWCOL nRow = 1; nRow <= nRows && nRow != 0; ++nRow) {
        CString strHave;
        GetCellText(nRow, 1, strHave);
        seen.insert(std::string(strHave.GetString(), strHave.GetLength()));
    }
    CStringList added;
    for (POSITION pos = texts.GetHeadPosition(); pos != nullptr;) {
        const CString& strText = texts.GetNext(pos);
        if (seen.insert(std::string(strText.GetString(), strText.GetLength())).second)
            added.AddTail(strText);
    }
    if (added.IsEmpty())
        return 0;
    const auto nAdded = static_cast<ROWCOL>(added.GetCount());
    // One insertion, one style and one redraw for all the new rows keep a long list quick.
    UpdateBatch batch(*this);
    InsertRows(nRows + 1, nAdded);
    SetEditCell(nRows + 1, 1, nRows + nAdded, 1);
    ROWCOL nRow = nRows + 1;
    for (POSITION pos = added.GetHeadPosition(); pos != nullptr; ++nRow)
        SetCellValue(nRow, 1, added.GetNext(pos));
    return nAdded;
}

void CKeywordsGridCtrl::GetSelectedTexts(CStringList& list)
{
    list.RemoveAll();
    for (ROWCOL nRow : GetSelectedRowsInOrder()) {
        CString strText;
        GetCellText(nRow, 1, strText);
        list.AddTail(strText);
    }
}
