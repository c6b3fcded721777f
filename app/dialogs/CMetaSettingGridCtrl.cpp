#include "app/dialogs/CMetaSettingGridCtrl.h"

#include "app/dialogs/CMetaSettingDlg.h"

#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControl.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXRangeList.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CPtrList.h"
#include "platform/win/Keyboard.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <memory>
#include <set>

IMPLEMENT_DYNCREATE(CMetaSettingGridCtrl, CGridWndWrapper)

namespace {
// Posted by a type choice, so that the row is rebuilt after the list has let go of the cell.
constexpr UINT kMsgApplyTypeChoice = WM_USER + 0x140;
// The caption of the check boxes: a blank, so that the box stands alone.
const CString kCheckCaption(" ");
constexpr int kShowColumnPadding = 10;
constexpr int kShowColumnMinimum = 14;
// Room for the drop-down button a type cell shows beside its text while it is current.
constexpr int kDropButtonRoom = 16;
constexpr int kRowHeaderPadding = 10;
// The Name column is at most this part of the grid's width, and never narrower than the least.
constexpr int kNameShareOfGrid = 3;
constexpr int kNameColumnMinimum = 60;
} // namespace

void CMetaSettingGridCtrl::SetUpColumns()
{
    CStringList headers;
    for (const char* pszHeader : {"Name", "Show", "Type", "Attributes", "HTTP-EQUIV", "Description"})
        headers.AddTail(pszHeader);
    SetColumnHeaders(kColumnCount, headers);

    int nWidth = 0;
    int nNumberWidth = 0;
    if (GetSafeHwnd() != nullptr) {
        CClientDC dc(this);
        CGXStyle style;
        ComposeCellStyle(0, kColShow, style);
        CFont* pOld = nullptr;
        if (CFont* pFont = LoadFont(&dc, style))
            pOld = dc.SelectObject(pFont);
        nWidth = dc.GetTextExtent(CString("Show")).cx + kShowColumnPadding;
        nNumberWidth = dc.GetTextExtent(CString("0000")).cx + kRowHeaderPadding;
        if (pOld != nullptr)
            dc.SelectObject(pOld);
    }
    SetColWidth(kColShow, kColShow, std::max(nWidth, kShowColumnMinimum));
    // The row numbers need no more than their digits.
    if (nNumberWidth > 0)
        SetColWidth(0, 0, nNumberWidth);
}

void CMetaSettingGridCtrl::LoadSettings(CMetaSettingList& list)
{
    UpdateBatch batch(*this);
    if (GetRowCount() > 1)
        ResetToOneRow();
    ROWCOL nRow = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        LoadRow(++nRow, list.GetNext(pos));
    // An empty list leaves the one empty row the headers made; more rows than settings go.
    if (nRow > 0 && GetRowCount() > nRow)
        RemoveRows(nRow + 1, GetRowCount());
    const ROWCOL nLast = std::max<ROWCOL>(GetRowCount(), 1);
    ResizeColumnsToFit(CGXRange(0, kColName, nLast, kColName));
    // A long name shows cut: its column never takes more than a share of the grid, so that the
    // columns after it stay in sight.
    if (GetSafeHwnd() != nullptr) {
        CRect client;
        GetClientRect(&client);
        const int nMostForName = std::max(client.Width() / kNameShareOfGrid, kNameColumnMinimum);
        if (GetColWidth(kColName) > nMostForName)
            SetColWidth(kColName, kColName, nMostForName);
    }
    ResizeColumnsToFit(CGXRange(0, kColType, nLast, kColType));
    SetColWidth(kColType, kColType, GetColWidth(kColType) + kDropButtonRoom);
    ResizeColumnsToFit(CGXRange(0, kColAttributes, 0, kColAttributes));
    if (nRow > 0)
        ResizeColumnsToFit(CGXRange(1, kColDescription, nRow, kColDescription));
}

void CMetaSettingGridCtrl::LoadRow(ROWCOL nRow, CMetaSetting* pSetting)
{
    if (pSetting == nullptr)
        return;
    while (GetRowCount() < nRow)
        InsertRowAt(GetRowCount() + 1);
    // A row loaded again may hold read-only cells that would refuse their new contents.
    SetReadOnlyCells(nRow, 1, nRow, kColumnCount, FALSE);

    CGXStyle data;
    data.SetItemDataPtr(pSetting);
    ApplyToRange(nRow, kColName, nRow, kColName, data);

    UINT bShow = 0;
    pSetting->GetShow(bShow);
    SetCheckBoxCell(nRow, kColShow, nRow, kColShow, kCheckCaption);
    SetCheckValue(nRow, kColShow, bShow != 0);

    CString strName;
    pSetting->GetName(strName);
    SetEditCell(nRow, kColName, nRow, kColName, strName);
    UINT bNameFixed = 0;
    pSetting->GetNameFixed(bNameFixed);
    SetReadOnlyCells(nRow, kColName, nRow, kColName, bNameFixed != 0);

    CStringList types;
    for (POSITION pos = GetAppModel().GetPrototypes().GetHeadPosition(); pos != nullptr;) {
        CString strType;
        if (GetAppModel().GetPrototypes().GetNext(pos)->GetTypeName(strType) == 0)
            types.AddTail(strType);
    }
    CString strType;
    pSetting->GetTypeName(strType);
    SetDropListCell(nRow, kColType, nRow, kColType, types, strType);
    // The attributes cell is the type's own: clear what another type left there first.
    ApplyStyleToRange(CGXRange(nRow, kColAttributes, nRow, kColAttributes), nullptr, gxRemove, 0, nullptr,
                      GX_UPDATENOW, gxDo);
    pSetting->SetupAttributesCell(this, nRow);

    UINT bHttpEquiv = 0;
    pSetting->GetHttpEquiv(bHttpEquiv);
    UINT bFixed = 0;
    pSetting->GetFixed(bFixed);
    SetCheckBoxCell(nRow, kColHttpEquiv, nRow, kColHttpEquiv, kCheckCaption);
    SetCheckValue(nRow, kColHttpEquiv, bHttpEquiv != 0);
    SetReadOnlyCells(nRow, kColHttpEquiv, nRow, kColHttpEquiv, bFixed != 0);

    CString strDescription;
    pSetting->GetDescription(strDescription);
    SetEditCell(nRow, kColDescription, nRow, kColDescription, strDescription);
    SetTooltipCell(nRow, kColDescription, nRow, kColDescription, strDescription);
}

UINT CMetaSettingGridCtrl::GetSettingOfRow(ROWCOL nRow, CMetaSetting*& pSetting)
{
    if (nRow < 1 || nRow > GetRowCount())
        return 1;
    // Composed afresh: the drawing's style cache may still hold the setting a type change
    // has just replaced and deleted.
    CGXStyle style;
    ComposeCellStyle(nRow, kColName, style);
    pSetting = static_cast<CMetaSetting*>(style.GetItemDataPtr());
    return pSetting != nullptr ? 0 : 1;
}

UINT CMetaSettingGridCtrl::ReadRow(ROWCOL nRow)
{
    CMetaSetting* pSetting = nullptr;
    if (GetSettingOfRow(nRow, pSetting) != 0)
        return 1;
    CString strText;
    GetCellText(nRow, kColShow, strText);
    pSetting->SetShow(strText == "1" ? 1 : 0);
    GetCellText(nRow, kColName, strText);
    pSetting->SetName(strText);
    pSetting->ReadAttributesCell(this, nRow);
    GetCellText(nRow, kColHttpEquiv, strText);
    pSetting->SetHttpEquiv(strText == "1" ? 1 : 0);
    GetCellText(nRow, kColDescription, strText);
    pSetting->SetDescription(strText);
    return 0;
}

void CMetaSettingGridCtrl::ReadSettings(CMetaSettingList& list)
{
    StoreEdit();
    CMetaSettingList read;
    for (ROWCOL nRow = 1; nRow <= GetRowCount(); ++nRow) {
        if (ReadRow(nRow) != 0)
            continue;
        CMetaSetting* pSetting = nullptr;
        GetSettingOfRow(nRow, pSetting);
        std::unique_ptr<CMetaSetting> pCopy = pSetting->Clone();
        if (!pCopy)
            continue;
        pCopy->CopyFrom(pSetting);
        read.AddTail(pCopy.release());
    }
    // The list keeps its file path and counters; only its settings are the grid's.
    list.DeleteAll();
    while (!read.IsEmpty())
        list.AddTail(read.RemoveHead());
}

std::vector<ROWCOL> CMetaSettingGridCtrl::GetSelectedRowsDescending()
{
    std::vector<ROWCOL> rows = GetSelectedRowsInOrder();
    std::sort(rows.begin(), rows.end(), std::greater<ROWCOL>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

BOOL CMetaSettingGridCtrl::ChangeRowType(ROWCOL nRow, const CString& strTypeName)
{
    CMetaSetting* pOld = nullptr;
    if (m_pList == nullptr || GetSettingOfRow(nRow, pOld) != 0)
        return FALSE;
    CString strOldType;
    pOld->GetTypeName(strOldType);
    if (strTypeName.IsEmpty() || strTypeName.CompareNoCase(strOldType) == 0)
        return FALSE;
    CMetaSetting* pMade = nullptr;
    if (GetAppModel().GetPrototypes().CreateFromType(strTypeName, pMade) != 0)
        return FALSE;
    std::unique_ptr<CMetaSetting> pNew(pMade);
    // What was typed into the row and not yet read back is the setting the user sees.
    ReadRow(nRow);
    CString strText;
    UINT nFlag = 0;
    pOld->GetName(strText);
    pNew->SetName(strText);
    pOld->GetShow(nFlag);
    pNew->SetShow(nFlag);
    // A type whose tag has one form of its own (Refresh and Pragma work only as HTTP-EQUIV,
    // Keywords only as NAME) keeps that form, which its row then locks; the others take the
    // row's.
    UINT bFixedForm = 0;
    pNew->GetFixed(bFixedForm);
    if (bFixedForm == 0) {
        pOld->GetHttpEquiv(nFlag);
        pNew->SetHttpEquiv(nFlag);
    }
    pOld->GetDescription(strText);
    pNew->SetDescription(strText);
    if (m_pList->Find(pOld) == nullptr)
        return FALSE;
    // The row is loaded with the new setting before the old one is replaced and deleted: the
    // loading looks at the queue, and whatever reads the row's setting meanwhile finds the one
    // the row names alive. Nor can the user stop the loading halfway, which would leave the row
    // naming the deleted setting.
    {
        CGXLongOperation op;
        const CGXCancelLock noStop;
        LoadRow(nRow, pNew.get());
    }
    m_pList->ReplaceSetting(pOld, pNew.release());
    return TRUE;
}

void CMetaSettingGridCtrl::OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol)
{
    CGridWndWrapper::OnClickedButtonRowCol(nRow, nCol);
    CMetaSetting* pSetting = nullptr;
    if (nCol != kColAttributes || GetSettingOfRow(nRow, pSetting) != 0)
        return;
    pSetting->EditOptions(this, nRow);
}

void CMetaSettingGridCtrl::OnModifyCell(ROWCOL nRow, ROWCOL nCol)
{
    CGridWndWrapper::OnModifyCell(nRow, nCol);
    CMetaSetting* pSetting = nullptr;
    if (GetSettingOfRow(nRow, pSetting) != 0)
        return;
    BOOL bChecked = FALSE;
    switch (nCol) {
    case kColShow:
        if (GetCheckValue(nRow, nCol, bChecked) == 0)
            pSetting->SetShow(bChecked ? 1 : 0);
        break;
    case kColHttpEquiv:
        if (GetCheckValue(nRow, nCol, bChecked) == 0)
            pSetting->SetHttpEquiv(bChecked ? 1 : 0);
        break;
    case kColType:
        if (GetSafeHwnd() != nullptr)
            PostMessage(kMsgApplyTypeChoice, static_cast<WPARAM>(nRow), 0);
        else
            ApplyTypeChoice(nRow);
        break;
    default: break;
    }
}

void CMetaSettingGridCtrl::ApplyTypeChoice(ROWCOL nRow)
{
    // The choice is stored in the cell first, so that the row reads as the user left it.
    ROWCOL nCurrentRow = 0, nCurrentCol = 0;
    CString strChoice;
    if (GetCurrentCell(nCurrentRow, nCurrentCol) && nCurrentRow == nRow && nCurrentCol == kColType)
        GetCurrentCellText(strChoice);
    StoreEdit();
    if (strChoice.IsEmpty())
        GetCellText(nRow, kColType, strChoice);
    ChangeRowType(nRow, strChoice);
}

void CMetaSettingGridCtrl::SendCommand(UINT nCommand)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, nCommand, 0);
}

BOOL CMetaSettingGridCtrl::OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol,
                                                  UINT nFlags, CPoint pt, UINT nHitState)
{
    // A click inside the chosen rows keeps them: the menu's Delete acts on them.
    const BOOL bInSelection = GetParam() != nullptr && IsCellInRangeList(nRow, nCol, GetParam()->m_SelRects);
    if (!bInSelection)
        CGridWndWrapper::OnRButtonClickedRowCol(nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
    if (!(nHitState & GX_HITEND))
        return TRUE;
    if (auto* pDialog = dynamic_cast<CMetaSettingDlg*>(GetParent())) {
        CPoint screen(pt);
        ClientToScreen(&screen);
        pDialog->TrackCommandMenu(screen);
    }
    return TRUE;
}

BOOL CMetaSettingGridCtrl::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    const BOOL bOther = ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0;
    ROWCOL nRow = 0, nCol = 0;
    CGXControl* pControl = GetCurrentCell(nRow, nCol) ? GetControl(nRow, nCol) : nullptr;
    // Inside a cell's edit the keys edit its text.
    const BOOL bEditing = pControl != nullptr && pControl->IsActive();
    if (!bOther && !bShift && nChar == VK_INSERT) {
        SendCommand(CMetaSettingDlg::kIdAdd);
        return TRUE;
    }
    // Delete is the key the menu names for Delete Chosen Metatags, and does what it does.
    if (!bOther && !bShift && nChar == VK_DELETE && !bEditing) {
        SendCommand(CMetaSettingDlg::kIdDelete);
        return TRUE;
    }
    if (!bOther && bShift && nChar == VK_SPACE && !bEditing) {
        ChooseRowsOfSelection();
        m_bSwallowSpace = TRUE;
        return TRUE;
    }
    return CGridWndWrapper::HandleKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CMetaSettingGridCtrl::RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nMessage == WM_CHAR && m_bSwallowSpace) {
        m_bSwallowSpace = FALSE;
        if (nChar == ' ')
            return TRUE;
    }
    return CGridWndWrapper::RouteKeyMessage(pSender, nMessage, nChar, nRepCnt, nFlags);
}

void CMetaSettingGridCtrl::ChooseRowsOfSelection()
{
    ROWCOL nTop = 0, nBottom = 0;
    CGXRangeList selected;
    if (GetSelectedRanges(selected, TRUE)) {
        for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;) {
            const CGXRange* pRange = selected.GetNextRange(pos);
            if (!pRange->IsCells() && !pRange->IsRows())
                continue;
            nTop = nTop == 0 ? pRange->top : std::min(nTop, pRange->top);
            nBottom = std::max(nBottom, pRange->bottom);
        }
    }
    ROWCOL nRow = 0, nCol = 0;
    if (nTop == 0 && GetCurrentCell(nRow, nCol))
        nTop = nBottom = nRow;
    if (nTop == 0)
        return;
    SetSelection(nullptr);
    SelectRange(CGXRange().SetRows(nTop, nBottom), TRUE, TRUE);
}

BOOL CMetaSettingGridCtrl::ChoosesCurrentCellAlone()
{
    ROWCOL nRow = 0, nCol = 0;
    const BOOL bCurrent = GetCurrentCell(nRow, nCol);
    CGXRangeList selected;
    if (!GetSelectedRanges(selected, FALSE))
        return TRUE;
    for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;) {
        const CGXRange* pRange = selected.GetNextRange(pos);
        if (!bCurrent || !pRange->IsCells() || *pRange != CGXRange(nRow, nCol, nRow, nCol))
            return FALSE;
    }
    return TRUE;
}

LRESULT CMetaSettingGridCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgApplyTypeChoice) {
        ApplyTypeChoice(static_cast<ROWCOL>(wParam));
        return 0;
    }
    return CGridWndWrapper::WindowProc(message, wParam, lParam);
}
