// CCheckListBox: the check data kept per item behind the caller's item data, the check boxes
// drawn and hit, and the user's clicks and Space.
#include "platform/afx/dlg/CCheckListBox.h"

#include "platform/win/Gdi.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

CCheckListBox::~CCheckListBox() = default;

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!(dwStyle & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || !(dwStyle & LBS_HASSTRINGS)) {
        TRACE("check list box: the style must be owner-drawn with strings\n");
        return FALSE;
    }
    return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

void CCheckListBox::PreSubclassWindow()
{
    CListBox::PreSubclassWindow();
    if (m_hWnd && !(GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        TRACE("check list box over a list box that is not owner-drawn: its checks will not show\n");
}

void CCheckListBox::SetCheckStyle(UINT nStyle)
{
    if (nStyle == BS_CHECKBOX || nStyle == BS_AUTOCHECKBOX || nStyle == BS_3STATE || nStyle == BS_AUTO3STATE)
        m_nStyle = nStyle;
}

// ---- The data behind each item ----------------------------------------------------------------------

CCheckListBox::CheckData* CCheckListBox::Find(int nIndex) const
{
    // The list box's own item data, past this object's translation.
    const auto raw = static_cast<DWORD_PTR>(const_cast<CCheckListBox*>(this)->CWnd::DefWindowProc(
        LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0));
    if (raw == 0 || raw == static_cast<DWORD_PTR>(LB_ERR))
        return nullptr;
    auto it = m_data.find(reinterpret_cast<const CheckData*>(raw));
    return it == m_data.end() ? nullptr : it->second.get();
}

CCheckListBox::CheckData* CCheckListBox::Ensure(int nIndex)
{
    if (CheckData* data = Find(nIndex))
        return data;
    auto owned = std::make_unique<CheckData>();
    CheckData* data = owned.get();
    if (CWnd::DefWindowProc(LB_SETITEMDATA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(data)) == LB_ERR)
        return nullptr;
    m_data.emplace(data, std::move(owned));
    return data;
}

void CCheckListBox::Forget(const CheckData* data)
{
    m_data.erase(data);
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (nIndex < 0 || nIndex >= GetCount() || nCheck < 0 || nCheck > 2)
        return;
    if (nCheck == 2 && m_nStyle != BS_3STATE && m_nStyle != BS_AUTO3STATE)
        return;
    CheckData* data = Ensure(nIndex);
    if (!data)
        return;
    data->check = nCheck;
    CRect r;
    if (GetItemRect(nIndex, &r) != LB_ERR)
        InvalidateRect(&r, FALSE);
}

int CCheckListBox::GetCheck(int nIndex) const
{
    const CheckData* data = Find(nIndex);
    return data ? data->check : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    CheckData* data = Ensure(nIndex);
    if (!data)
        return;
    data->enabled = bEnabled;
    CRect r;
    if (GetItemRect(nIndex, &r) != LB_ERR)
        InvalidateRect(&r, FALSE);
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
    const CheckData* data = Find(nIndex);
    return data ? data->enabled : TRUE;
}

// ---- Drawing -------------------------------------------------------------------------------------------

int CCheckListBox::CheckBoxSize() const
{
    return 13;
}

CRect CCheckListBox::OnGetCheckPosition(CRect, CRect rectCheckBox)
{
    return rectCheckBox;
}

CRect CCheckListBox::CheckRect(int nIndex)
{
    CRect item;
    if (GetItemRect(nIndex, &item) == LB_ERR)
        return CRect();
    const int size = std::min(CheckBoxSize(), item.Height());
    const int top = item.top + (item.Height() - size) / 2;
    return OnGetCheckPosition(item, CRect(item.left + 1, top, item.left + 1 + size, top + size));
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    TEXTMETRIC tm{};
    ::GetTextMetrics(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    // Room for the text and for the box with a pixel above and below.
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(std::max<int>(tm.tmHeight, CheckBoxSize() + 2));
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    HDC dc = lpDIS->hDC;
    CRect item(lpDIS->rcItem);
    if (static_cast<int>(lpDIS->itemID) < 0) {
        if (lpDIS->itemState & ODS_FOCUS)
            ::DrawFocusRect(dc, &item);
        return;
    }
    const int index = static_cast<int>(lpDIS->itemID);
    const CheckData* data = Find(index);
    const int check = data ? data->check : 0;
    const bool enabled = (data ? data->enabled : TRUE) && !(lpDIS->itemState & ODS_DISABLED);

    const int size = std::min(CheckBoxSize(), item.Height());
    const int top = item.top + (item.Height() - size) / 2;
    CRect box = OnGetCheckPosition(item, CRect(item.left + 1, top, item.left + 1 + size, top + size));
    CRect back(item.left, item.top, box.right + 2, item.bottom);
    ::FillRect(dc, &back, ::GetSysColorBrush(COLOR_WINDOW));
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (check == 1)
        state |= DFCS_CHECKED;
    else if (check == 2)
        state = DFCS_BUTTON3STATE | DFCS_FLAT | DFCS_CHECKED;
    if (!enabled)
        state |= DFCS_INACTIVE;
    ::DrawFrameControl(dc, &box, DFC_BUTTON, state);

    // The text right of the box, highlighted when selected.
    CRect textRect(box.right + 2, item.top, item.right, item.bottom);
    const bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &textRect, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    CString text;
    GetText(index, text);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textArea{textRect.left + 1, textRect.top, textRect.right, textRect.bottom};
    ::DrawText(dc, text.GetString(), text.GetLength(), &textArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (lpDIS->itemState & ODS_FOCUS)
        ::DrawFocusRect(dc, &textRect);
}

void CCheckListBox::DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    Forget(reinterpret_cast<const CheckData*>(lpDeleteItemStruct->itemData));
}

// ---- Input and the caller's item data ------------------------------------------------------------------

void CCheckListBox::ToggleByUser(int nIndex)
{
    if (m_nStyle != BS_AUTOCHECKBOX && m_nStyle != BS_AUTO3STATE) {
        // The owner decides what a click means for the manual styles; it is told all the same.
    } else {
        const int next = m_nStyle == BS_AUTO3STATE ? (GetCheck(nIndex) + 1) % 3 : (GetCheck(nIndex) ? 0 : 1);
        SetCheck(nIndex, next);
    }
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_GETITEMDATA: {
        if (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= GetCount())
            return LB_ERR;
        const CheckData* data = Find(static_cast<int>(wParam));
        return data ? static_cast<LRESULT>(data->user) : 0;
    }
    case LB_SETITEMDATA: {
        if (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= GetCount())
            return LB_ERR;
        CheckData* data = Ensure(static_cast<int>(wParam));
        if (!data)
            return LB_ERR;
        data->user = static_cast<DWORD_PTR>(lParam);
        return 0;
    }
    case LB_DELETESTRING: {
        const CheckData* data = Find(static_cast<int>(wParam));
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        // The parent may not have handed WM_DELETEITEM back; the data goes in any case.
        if (result != LB_ERR && data)
            Forget(data);
        return result;
    }
    case LB_RESETCONTENT: {
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        m_data.clear();
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        BOOL outside = TRUE;
        const int index = static_cast<int>(ItemFromPoint(pt, outside));
        if (!outside && IsEnabled(index) && CheckRect(index).PtInRect(pt)) {
            // The click also selects the item, as one on its text would.
            const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
            if (m_hWnd)
                ToggleByUser(index);
            return result;
        }
        break;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            const int index = GetCaretIndex();
            if (index >= 0 && index < GetCount() && IsEnabled(index))
                ToggleByUser(index);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == ' ')
            return 0;   // Space checks; it does not search for an item
        break;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}
