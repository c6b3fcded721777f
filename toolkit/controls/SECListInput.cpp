// SECListBaseC's mouse and keyboard side and its label-edit notifications.
#include "toolkit/controls/SECListCtrl.h"

int SECListBaseC::HitTest(int, int, UINT& nHitCode, int& nCol) const
{
    // FIXME: hit testing over the header, rows, icons and labels.
    nHitCode = 1;   // nowhere
    nCol = 0;
    return -1;
}

CWnd* SECListBaseC::EditLabel(int, int)
{
    return nullptr;   // FIXME: the in-place editor
}

// FIXME: the key table moves the focus and selection by rows and pages.
void SECListBaseC::OnKeyUp(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyDown(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyF2(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyReturn(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyHome(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyEnd(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyPageUp(int, int, BOOL, BOOL, UINT, UINT) {}
void SECListBaseC::OnKeyPageDown(int, int, BOOL, BOOL, UINT, UINT) {}

BOOL SECListBaseC::SelectByUser(int, UINT, UINT, BOOL)
{
    return FALSE;   // FIXME: selection by click and key, with the selection-changing veto
}

void SECListBaseC::AfterSelectByUser(int, BOOL) {}   // FIXME: with SelectByUser

void SECListBaseC::ClassifyClick(CPoint, int, UINT, BOOL& bArmDrag, BOOL& bSelect)
{
    // FIXME: what a button press over a row means.
    bArmDrag = FALSE;
    bSelect = FALSE;
}

LRESULT SECListBaseC::NotifyBeginLabelEdit(int nRow, int nSlot)
{
    LV_DISPINFO di{};
    di.item.mask = LVIF_TEXT;
    di.item.iItem = nRow;
    di.item.iSubItem = nSlot;
    di.item.lParam = GetItemData(nRow);
    return SendNotify(di.hdr, LVN_BEGINLABELEDITA);
}

LRESULT SECListBaseC::NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText)
{
    LV_DISPINFO di{};
    di.item.mask = LVIF_TEXT | LVIF_PARAM;
    di.item.iItem = nRow;
    di.item.iSubItem = nSlot;
    di.item.lParam = GetItemData(nRow);
    di.item.pszText = const_cast<LPSTR>(pszText);   // null when the edit was cancelled
    return SendNotify(di.hdr, LVN_ENDLABELEDITA);
}

LRESULT SECListBaseC::NotifyKeyDown(UINT nVirtKey)
{
    struct {
        NMHDR hdr;
        WORD wVKey;
        UINT flags;
    } nm{};
    nm.wVKey = static_cast<WORD>(nVirtKey);
    return SendNotify(nm.hdr, LVN_KEYDOWN);
}
