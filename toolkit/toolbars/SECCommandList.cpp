#include "toolkit/toolbars/SECCommandList.h"

#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/UserApi.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <memory>

IMPLEMENT_DYNAMIC(SECCommandList, CListBox)

BEGIN_MESSAGE_MAP(SECCommandList, CListBox)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

// The size of the button dragged out of the list, as a palette's buttons are.
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;

} // namespace

int SECCommandList::AddCommand(UINT nID, LPCTSTR lpszText)
{
    const int index = AddString(lpszText);
    if (index >= 0)
        SetItemData(index, nID);
    return index;
}

int SECCommandList::ItemAtPoint(CPoint point) const
{
    BOOL bOutside = TRUE;
    const UINT nItem = ItemFromPoint(point, bOutside);
    return bOutside || static_cast<int>(nItem) >= GetCount() ? -1 : static_cast<int>(nItem);
}

CString SECCommandList::Description(UINT nID)
{
    CString text;
    if (nID == 0 || !text.LoadString(nID))
        return CString();
    const int end = text.Find('\n');
    return end >= 0 ? text.Left(end) : text;
}

void SECCommandList::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int index = ItemAtPoint(point);
    if (index < 0) {
        CListBox::OnLButtonDown(nFlags, point);
        return;
    }
    SetFocus();
    SetCurSel(index);
    const UINT nID = GetCommand(index);
    if (CWnd* parent = GetParent())
        if (CWnd* description = parent->GetDlgItem(SEC_IDC_DESCRIPTION))
            description->SetWindowText(Description(nID));
    CRect item;
    GetItemRect(index, &item);
    DragCommand(nID, item, point);
}

void SECCommandList::DragCommand(UINT nID, const CRect& rcItem, CPoint point)
{
    if (!m_pManager || nID == 0)
        return;
    // A palette of one button, over the item: the drag from it is a palette's copy
    // drag, and it goes once the drag is over.
    auto palette = std::make_unique<SECCustomizeToolBar>();
    CRect at(rcItem.TopLeft(), CSize(kButtonWidth, kButtonHeight));
    if (!palette->CreateEx(0, this, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE7FF))
        return;
    m_pManager->AttachToolBar(palette.get());
    palette->SetButtons(&nID, 1);
    palette->SetWindowPos(nullptr, at.left, at.top, kButtonWidth, kButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    palette->m_nMRUWidth = kButtonWidth;
    palette->CalcDynamicLayout(kButtonWidth, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
    // The press is the palette's now: the list lets the mouse go to it.
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    CPoint inPalette = point;
    ::MapWindowPoints(m_hWnd, palette->m_hWnd, &inPalette, 1);
    palette->DragButton(0, inPalette);
    palette->DestroyWindow();
}
