#include "grid/core/CGXComboBox.h"

#include "grid/core/CGXChild.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/res/GridRes.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/controls/EditBuffer.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CGXComboListBox, CListBox)
IMPLEMENT_DYNAMIC(CGXComboBox, CGXEditControl)
IMPLEMENT_DYNAMIC(CGXComboBoxWnd, CGXComboBox)

BEGIN_MESSAGE_MAP(CGXComboListBox, CListBox)
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
    ON_WM_SYSKEYDOWN()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {
constexpr int kButtonWidth = 15;
constexpr int kMaxVisibleItems = 8;
// Room beside a choice's text in its list, on each side.
constexpr int kChoiceAir = 3;

// The lines of a choice list; an empty last line does not count.
std::vector<CString> ChoiceLines(const CString& sList)
{
    std::vector<CString> lines;
    CString sLine;
    for (int i = 0; i < sList.GetLength(); ++i) {
        const char c = sList[i];
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(sLine);
            sLine.Empty();
        } else {
            sLine += c;
        }
    }
    if (!sLine.IsEmpty())
        lines.push_back(sLine);
    return lines;
}
} // namespace

void CGXComboListBox::OnLButtonUp(UINT nFlags, CPoint point)
{
    CListBox::OnLButtonUp(nFlags, point);
    if (m_pControl != nullptr)
        m_pControl->OnListChoice(GetCurSel());
}

void CGXComboListBox::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_pControl != nullptr && (nChar == VK_RETURN || nChar == VK_ESCAPE || nChar == VK_TAB)) {
        m_pControl->OnListChoice(nChar == VK_ESCAPE ? -1 : GetCurSel());
        return;
    }
    CListBox::OnKeyDown(nChar, nRepCnt, nFlags);
}

// The list is a part of its cell, not a window of its own: Alt+F4 while it has the keys closes
// the window the cell is in, as it does in the cell, after the list has closed.
void CGXComboListBox::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const BOOL bAltF4 = nChar == VK_F4 && (nFlags & KF_ALTDOWN) != 0;
    if (m_pControl == nullptr || !bAltF4) {
        CListBox::OnSysKeyDown(nChar, nRepCnt, nFlags);
        return;
    }
    const HWND hTop = ::GetAncestor(::GetWindow(m_hWnd, GW_OWNER), GA_ROOT);
    // Closing the list deletes this object.
    m_pControl->OnListChoice(-1);
    if (hTop != nullptr && ::IsWindow(hTop))
        ::PostMessage(hTop, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Asked to close, the list closes through its cell, which owns it: destroyed from outside,
// the cell would go on using a list that is gone.
void CGXComboListBox::OnClose()
{
    if (m_pControl != nullptr)
        m_pControl->OnListChoice(-1);
    else
        CListBox::OnClose();
}

void CGXComboListBox::OnKillFocus(CWnd* pNewWnd)
{
    CListBox::OnKillFocus(pNewWnd);
    if (m_pControl != nullptr)
        m_pControl->CloseDropDown();
}

CGXComboBox::CGXComboBox(CGXGridCore* pGrid, UINT nID, BOOL bDropDownList)
    : CGXEditControl(pGrid, nID), m_bDropDownList(bDropDownList), m_pButton(new CGXBitmapButtonChild(this))
{
    m_pButton->LoadBitmaps(GX_IDB_DROPDOWN);
    m_pButton->m_bFrame = TRUE;
    m_pButton->m_bOnlyWhenActive = TRUE;
    AddChild(m_pButton);
}

CGXComboBox::~CGXComboBox()
{
    CloseDropDown();
}

int CGXComboBox::ButtonWidth(const CRect& rectCell) const
{
    return std::min(kButtonWidth, std::max(0, static_cast<int>(rectCell.Width()) / 2));
}

CRect CGXComboBox::GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle)
{
    CRect rect = CGXEditControl::GetCellRect(nRow, nCol, rectItem, pStyle);
    if (m_pGrid != nullptr && m_pGrid->IsCurrentCell(nRow, nCol))
        rect.right -= ButtonWidth(rect);
    return rect;
}

void CGXComboBox::LayoutChildren(ROWCOL, ROWCOL, const CRect& rectCell, const CGXStyle& style)
{
    const CRect inner = m_pGrid != nullptr ? m_pGrid->SubtractBorders(rectCell, style) : rectCell;
    const int cx = ButtonWidth(inner);
    m_pButton->SetRect(CRect(inner.right - cx, inner.top, inner.right, inner.bottom));
}

CRect CGXComboBox::CalcEditRect()
{
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle == nullptr || m_pGrid == nullptr)
        return CRect(0, 0, 0, 0);
    const CRect cell = m_pGrid->CalcCellRect(m_nRow, m_nCol);
    LayoutChildren(m_nRow, m_nCol, cell, *pStyle);
    CRect rect = cell;
    return GetCellRect(m_nRow, m_nCol, &rect, pStyle);
}

void CGXComboBox::SetActive(BOOL bActive)
{
    CGXEditControl::SetActive(bActive);
    // The list's text is never typed: the window only shows the choice.
    if (bActive && m_bDropDownList && GetEditWnd() != nullptr)
        GetEditWnd()->SetReadOnly(TRUE);
    if (!bActive)
        CloseDropDown();
}

void CGXComboBox::Reset()
{
    m_sTypedChar.clear();
    CloseDropDown();
    CGXEditControl::Reset();
}

BOOL CGXComboBox::LButtonDown(UINT nFlags, CPoint pt, UINT nHitState)
{
    if (const CGXStyle* pStyle = LoadStyle(); pStyle != nullptr && m_pGrid != nullptr)
        LayoutChildren(m_nRow, m_nCol, m_pGrid->CalcCellRect(m_nRow, m_nCol), *pStyle);
    return CGXEditControl::LButtonDown(nFlags, pt, nHitState);
}

BOOL CGXComboBox::LButtonUp(UINT nFlags, CPoint pt, UINT nHitState)
{
    if (ChildrenLButtonUp(nFlags, pt) || m_pButton->GetRect().PtInRect(pt))
        return TRUE;
    // A click on the text of a drop-down list that was current already opens the list.
    if (m_bDropDownList && m_bInit && (nHitState & GX_MOUSE_CURRENT) && !IsReadOnly()) {
        ShowDropDown();
        return TRUE;
    }
    return CGXEditControl::LButtonUp(nFlags, pt, nHitState);
}

void CGXComboBox::OnClickedButton(CGXChild*)
{
    if (IsDroppedDown())
        CloseDropDown();
    else
        ShowDropDown();
}

BOOL CGXComboBox::KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // Alt+Down and F4 open the list.
    if ((nMessage == WM_SYSKEYDOWN && nChar == VK_DOWN) || (nMessage == WM_KEYDOWN && nChar == VK_F4))
        return ShowDropDown();
    if (m_bDropDownList && nMessage == WM_CHAR && nChar >= 0x20 && nChar != 0x7F && m_bInit && !IsReadOnly()) {
        PickChoiceByChar(nChar);
        return TRUE; // the list's text is never typed, whatever the key picks
    }
    return CGXEditControl::KeyPressed(nMessage, nChar, nRepCnt, nFlags);
}

BOOL CGXComboBox::OnWindowChar(UINT nChar)
{
    // Letters typed while the list's window shows its choice pick the next one, as the first
    // letter did.
    if (!m_bDropDownList || nChar < 0x20 || nChar == 0x7F || !m_bInit || IsReadOnly())
        return FALSE;
    PickChoiceByChar(nChar);
    return TRUE;
}

void CGXComboBox::PickChoiceByChar(UINT nChar)
{
    // A character beyond ASCII arrives as the bytes of its UTF-8 sequence, one message each:
    // the choice is looked for once the character is whole, never by its first byte, which
    // many letters share.
    const auto byte = static_cast<char>(nChar);
    if ((static_cast<unsigned char>(byte) & 0xC0) == 0x80 && !m_sTypedChar.empty())
        m_sTypedChar.push_back(byte);
    else
        m_sTypedChar.assign(1, byte);
    if (static_cast<int>(m_sTypedChar.size()) < Utf8SequenceLength(static_cast<unsigned char>(m_sTypedChar[0])))
        return;
    const CString sTyped(m_sTypedChar.c_str());
    m_sTypedChar.clear();
    const CGXStyle* pStyle = LoadStyle();
    if (pStyle == nullptr)
        return;
    const std::vector<CString> lines = ChoiceLines(pStyle->GetChoiceList());
    // The next choice after the one shown that begins with the character (letters of ASCII
    // in either case), round to the first: typing it again steps through them.
    CString sCurrent;
    GetCurrentText(sCurrent);
    const auto current = std::find(lines.begin(), lines.end(), sCurrent);
    const size_t nStart = current != lines.end() ? static_cast<size_t>(current - lines.begin()) + 1 : 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        const CString& sLine = lines[(nStart + k) % lines.size()];
        if (CString(sLine.Left(sTyped.GetLength())).CompareNoCase(sTyped) != 0)
            continue;
        if (!IsActive())
            SetActive(TRUE);
        SetCurrentText(sLine);
        OnEditChanged();
        return;
    }
}

BOOL CGXComboBox::IsDroppedDown() const
{
    return m_pList && m_pList->GetSafeHwnd() != nullptr && m_pList->IsWindowVisible();
}

BOOL CGXComboBox::ShowDropDown()
{
    const CGXStyle* pStyle = LoadStyle();
    CWnd* pGridWnd = GridWnd();
    if (!m_bInit || pStyle == nullptr || pGridWnd == nullptr || pGridWnd->GetSafeHwnd() == nullptr || IsReadOnly())
        return FALSE;
    const std::vector<CString> lines = ChoiceLines(pStyle->GetChoiceList());
    if (lines.empty())
        return FALSE;
    CloseDropDown();
    CRect cell = m_pGrid->CalcCellRect(m_nRow, m_nCol);
    pGridWnd->ClientToScreen(&cell);
    // The pop-up's activation is not the grid losing the cell.
    GXSetPopupLock(TRUE);
    m_pList = std::make_unique<CGXComboListBox>(this);
    const int nItem = std::max(cell.Height() - 2, 14);
    const int nVisible = std::min<int>(static_cast<int>(lines.size()), kMaxVisibleItems);
    const CRect rect(cell.left, cell.bottom, cell.right, cell.bottom + nVisible * nItem + 2);
    const BOOL bMade = m_pList->CreateEx(0, WC_LISTBOX, nullptr, WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, rect.left, rect.top,
                                         rect.Width(), rect.Height(), pGridWnd->GetSafeHwnd(), nullptr);
    if (!bMade) {
        m_pList.reset();
        GXSetPopupLock(FALSE);
        return FALSE;
    }
    CString sCurrent;
    GetCurrentText(sCurrent);
    for (const CString& sLine : lines)
        m_pList->AddString(sLine);
    FitListToChoices(cell);
    const int nFound = m_pList->FindStringExact(-1, sCurrent);
    m_pList->SetCurSel(nFound >= 0 ? nFound : 0);
    {
        // The list is the cell's own: the grid is not left while it is active and has the focus.
        const CGXGridFocusChange change(m_pGrid);
        m_pList->ShowWindow(SW_SHOW);
        m_pList->SetFocus();
    }
    GXSetPopupLock(FALSE);
    return TRUE;
}

void CGXComboBox::FitListToChoices(const CRect& rectCell)
{
    // As wide as the longest choice and the list's edges and scroll bar, at least the cell's
    // width; never wider than the screen, and moved left where it would run past its edge.
    CClientDC dc(m_pList.get());
    auto hFont = reinterpret_cast<HFONT>(m_pList->SendMessage(WM_GETFONT));
    HGDIOBJ hOldFont = ::SelectObject(dc.GetSafeHdc(), hFont != nullptr ? hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    int nWidest = 0;
    CString sChoice;
    for (int i = 0; i < m_pList->GetCount(); ++i) {
        m_pList->GetText(i, sChoice);
        SIZE size{};
        ::GetTextExtentPoint32(dc.GetSafeHdc(), sChoice.GetString(), sChoice.GetLength(), &size);
        nWidest = std::max(nWidest, static_cast<int>(size.cx));
    }
    ::SelectObject(dc.GetSafeHdc(), hOldFont);
    CRect window, client;
    m_pList->GetWindowRect(&window);
    m_pList->GetClientRect(&client);
    // A list that runs past the screen's bottom opens above the cell when there is more room
    // there, and is cut to the room it has on its side: its scroll bar reaches the rest.
    // As tall as the choices it shows, so that no blank band parts them from the cell when the
    // list stands above it.
    int y = window.top;
    const int nItem = m_pList->GetItemHeight(0);
    const int nEdgesHigh = window.Height() - client.Height();
    int cy = nItem > 0 ? std::min(m_pList->GetCount(), kMaxVisibleItems) * nItem + nEdgesHigh : window.Height();
    const int nScreenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (y + cy > nScreenHeight) {
        const int nBelow = std::max(0, nScreenHeight - static_cast<int>(rectCell.bottom));
        const int nAbove = std::max(0, static_cast<int>(rectCell.top));
        if (nAbove > nBelow) {
            cy = std::min(cy, nAbove);
            y = rectCell.top - cy;
        } else {
            cy = nBelow;
        }
    }
    // The list shows its scroll bar only once it has been laid out with its choices: a list
    // that will scroll has the bar's width beside its longest choice, whether the bar is up yet
    // or not.
    const bool bScrolls = nItem > 0 && (cy - nEdgesHigh) / nItem < m_pList->GetCount();
    const bool bBarUp = (m_pList->GetStyle() & WS_VSCROLL) != 0;
    int nEdgesWide = window.Width() - client.Width();
    if (bScrolls && !bBarUp)
        nEdgesWide += ::GetSystemMetrics(SM_CXVSCROLL);
    else if (!bScrolls && bBarUp)
        nEdgesWide -= ::GetSystemMetrics(SM_CXVSCROLL);
    const int nScreen = ::GetSystemMetrics(SM_CXSCREEN);
    const int cx = std::min(nScreen, std::max<int>(rectCell.Width(), nWidest + 2 * kChoiceAir + nEdgesWide));
    const int x = std::max(0, std::min<int>(rectCell.left, nScreen - cx));
    m_pList->SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGXComboBox::CloseDropDown()
{
    if (!m_pList)
        return;
    // Closing may come back here through the list losing the focus.
    std::unique_ptr<CGXComboListBox> pList = std::move(m_pList);
    if (pList->GetSafeHwnd() != nullptr)
        pList->DestroyWindow();
}

void CGXComboBox::OnListChoice(int nIndex)
{
    CString sChoice;
    if (m_pList && nIndex >= 0 && nIndex < m_pList->GetCount())
        m_pList->GetText(nIndex, sChoice);
    CloseDropDown();
    if (nIndex < 0 || !m_bInit)
        return;
    if (!IsActive())
        SetActive(TRUE);
    SetCurrentText(sChoice);
    OnEditChanged();
    if (CEdit* pEdit = GetEditWnd(); pEdit != nullptr && pEdit->GetSafeHwnd() != nullptr) {
        const CGXGridFocusChange change(m_pGrid);
        pEdit->SetFocus();
    }
}
