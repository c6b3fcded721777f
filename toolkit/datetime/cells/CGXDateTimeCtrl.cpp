#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CException.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/cells/DTCellSupport.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

CString DateTimeAttr(const CGXStyle& style, WORD id)
{
    return style.HasUserAttribute(id) ? style.GetUserAttribute(id).GetValueText() : CString();
}

bool IsAllDigits(const CString& s)
{
    if (s.IsEmpty())
        return false;
    for (int i = 0; i < s.GetLength(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}

} // namespace

// ---- The in-cell window ----

BOOL CGXDateTimeCtrl::Window::OnChanging(const COleDateTime&)
{
    m_pCell->m_find.Reset();
    if (m_pCell->IsStyleReadOnly())
        return FALSE;
    m_pCell->SetModify(TRUE);
    return TRUE;
}

void CGXDateTimeCtrl::Window::OnChanged()
{
    CGXBDateTimeCtrl::OnChanged();
    if (m_pCell->GetModify() && m_pCell->Grid() && m_pCell->IsInit())
        m_pCell->Grid()->OnModifyCell(m_pCell->GetRow(), m_pCell->GetCol());
}

void CGXDateTimeCtrl::Window::DropDown()
{
    // The calendar takes the focus: the grid must not take that for the end of the edit.
    GXSetPopupLock(TRUE);
    CGXBDateTimeCtrl::DropDown();
    GXSetPopupLock(FALSE);
}

BOOL CGXDateTimeCtrl::Window::OnCellKeyDown(UINT key, LPARAM lParam)
{
    CGXGridCore* grid = m_pCell->Grid();
    if (m_pCell->IsActive() && grid)
        grid->ScrollCellInView(m_pCell->GetRow(), m_pCell->GetCol());
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    bool toGrid = !m_pCell->IsActive() || ctrl || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR ||
                  key == VK_NEXT || (key >= VK_F1 && key <= VK_F24);
    if (key == VK_TAB) {
        const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        toGrid = !m_pCell->m_bTabThroughFields || (shift ? IsFirstEditableField() : IsLastEditableField());
    }
    if (key == VK_DELETE && m_pCell->IsActive()) {
        if (!m_pCell->IsStyleReadOnly()) {
            m_pCell->SetActive(FALSE);
            m_pCell->SetModify(FALSE);
            m_pCell->StoreDate(m_pCell->GetRow(), m_pCell->GetCol(), CString());
        }
        return TRUE;
    }
    if (!toGrid)
        return FALSE;
    if (grid)
        grid->RouteKeyMessage(this, WM_KEYDOWN, key, LOWORD(lParam), HIWORD(lParam));
    return TRUE;
}

BOOL CGXDateTimeCtrl::Window::OnCellChar(UINT nChar)
{
    if (m_pCell->IsStyleReadOnly() || nChar == '\b')
        return TRUE;
    CGXGridCore* grid = m_pCell->Grid();
    if (grid && m_pCell->IsInit())
        grid->ScrollCellInView(m_pCell->GetRow(), m_pCell->GetCol());
    switch (nChar) {
    case 0x03:   // Ctrl+C
    case 0x18:   // Ctrl+X
        if (::OpenClipboard(m_hWnd)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        m_pCell->Copy();
        if (nChar == 0x18 && m_pCell->IsActive()) {
            m_pCell->SetActive(FALSE);
            m_pCell->SetModify(FALSE);
            m_pCell->StoreDate(m_pCell->GetRow(), m_pCell->GetCol(), CString());
        }
        return TRUE;
    case 0x16:   // Ctrl+V
        m_pCell->Paste();
        return TRUE;
    case '\r':
    case '\n':
        return TRUE;
    default:
        return FALSE;   // the field takes it; its change marks the cell modified
    }
}

LRESULT CGXDateTimeCtrl::Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CGXGridCore* grid = m_pCell->Grid();
    switch (message) {
    case WM_KEYDOWN:
        if (OnCellKeyDown(static_cast<UINT>(wParam), lParam))
            return 0;
        break;
    case WM_CHAR:
        if (OnCellChar(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_KEYUP:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
        if (grid && grid->RouteKeyMessage(this, message, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_SYSKEYDOWN:
        if (wParam != VK_DOWN && grid &&
            grid->RouteKeyMessage(this, message, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_SETFOCUS: {
        // The fields start at the left again; the current one is brought into view.
        const LRESULT result = CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
        if (m_nScroll != 0) {
            m_nScroll = 0;
            Invalidate();
        }
        MakeVisible(GetCurrentField());
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
        dtcells::ForwardKillFocus(grid, reinterpret_cast<HWND>(wParam));
        return result;
    }
    case WM_ERASEBKGND:
        return TRUE;
    default:
        break;
    }
    return CGXBDateTimeCtrl::WindowProc(message, wParam, lParam);
}

// ---- The cell ----

CGXDateTimeCtrl::CGXDateTimeCtrl(CGXGridCore* pGrid, UINT nID) : CGXStatic(pGrid), m_nID(nID), m_wnd(this) {}

CGXDateTimeCtrl::~CGXDateTimeCtrl()
{
    for (auto& c : m_captive)
        if (c.m_hWnd)
            c.DestroyWindow();
    if (m_wnd.m_hWnd)
        m_wnd.DestroyWindow();
}

BOOL CGXDateTimeCtrl::CreateControl(DWORD dwStyle, const RECT* pRect)
{
    CWnd* parent = GridWnd();
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    m_dwStyle = dwStyle;
    const DWORD style = (dwStyle & ~WS_VISIBLE) | WS_CHILD | WS_TABSTOP;
    for (int i = 0; i < 2; ++i)
        if (!m_captive[i].m_hWnd &&
            !m_captive[i].Create(0, style, CRect(30000, 30000, 30500, 30100), parent, m_nID + 1 + static_cast<UINT>(i)))
            return FALSE;
    if (!m_wnd.m_hWnd && !m_wnd.Create(0, style, pRect ? CRect(*pRect) : CRect(0, 0, 0, 0), parent, m_nID))
        return FALSE;
    return TRUE;
}

void CGXDateTimeCtrl::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    auto combo = [](UINT listId) {
        CString list;
        if (!list.LoadString(listId))
            AfxThrowResourceException();
        CGXStyle* style = new CGXStyle;
        style->SetControl(52541);
        style->SetChoiceList(list);
        style->SetUserAttribute(51028, "1");
        style->SetUserAttribute(51029, "0");
        style->SetUserAttribute(51030, "0");
        return style;
    };
    CString noEdit;
    if (!noEdit.LoadString(20060))
        AfxThrowResourceException();
    CGXStyle checkList;
    checkList.SetControl(52542);
    checkList.SetChoiceList(noEdit);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEFIELDNOEDIT, &checkList);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEMIN, nullptr);
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEMAX, nullptr);
    std::unique_ptr<CGXStyle> validate(combo(20061));
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEVALIDATE, validate.get());
    std::unique_ptr<CGXStyle> formatType(combo(20062));
    pStylesMap->AddUserAttribute(GX_IDS_UA_DATEFORMATTYPE, formatType.get());
    pStylesMap->AddUserAttribute(GX_IDS_UA_CUSTOMFORMAT, nullptr);
    CGXStyle check;
    check.SetControl(52523);
    pStylesMap->AddUserAttribute(GX_IDS_UA_FASTINPUT, &check);
}

BOOL CGXDateTimeCtrl::ApplyFormat(CGXBDateTimeCtrl& wnd, const CGXStyle& style)
{
    const CString typeText = DateTimeAttr(style, GX_IDS_UA_DATEFORMATTYPE);
    const CString custom = DateTimeAttr(style, GX_IDS_UA_CUSTOMFORMAT);
    int type = typeText.IsEmpty() ? -1 : std::clamp(std::atoi(typeText), 0, 3);
    if (type == 3 || (type == -1 && !custom.IsEmpty())) {
        if (wnd.GetFormatType() != 3 || wnd.m_strCustomFormat != custom)
            wnd.SetCustomFormat(custom);
    } else {
        if (type == -1)
            type = 1;
        if (wnd.GetFormatType() != type)
            wnd.SetFormatType(type);
    }
    return wnd.PictureHasDateToken();
}

BOOL CGXDateTimeCtrl::TextToDate(const CString& text, COleDateTime& date, BOOL bTodayWhenEmpty) const
{
    if (!text.IsEmpty()) {
        if (date.ParseDateTime(text, 0, 0x400) && date.GetStatus() == COleDateTime::valid)
            return TRUE;
        const double serial = std::atof(text);
        if (serial != 0.0) {
            date = COleDateTime(serial);
            if (date.GetStatus() == COleDateTime::valid)
                return TRUE;
        }
    }
    if (bTodayWhenEmpty) {
        const COleDateTime now = DTGetCurrentTime();
        date.SetDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
    } else {
        date = COleDateTime(0.0);
    }
    return text.IsEmpty();
}

CString CGXDateTimeCtrl::DateToStoredText(const COleDateTime& date) const
{
    if (m_bStoreAsNumber) {
        char buf[64];
        // Enough digits that a time of day survives the round trip (16:30 stays 16:30).
        std::snprintf(buf, sizeof buf, "%.10g", static_cast<double>(date));
        return CString(buf);
    }
    return date.Format(0, 0x400);
}

BOOL CGXDateTimeCtrl::FormatForStyle(const COleDateTime& date, const CGXStyle& style, CString& text)
{
    CGXCaptiveDateTimeCtrl& captive = m_captive[0];
    ApplyFormat(captive, style);
    if (!captive.SetDateTime(date)) {
        text.Empty();
        return FALSE;
    }
    text = captive.GetFieldText();
    return !text.IsEmpty();
}

BOOL CGXDateTimeCtrl::GetControlText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszRawValue,
                                     const CGXStyle& style)
{
    if (!m_captive[0].m_hWnd && !CreateControl(m_dwStyle))
        return CGXStatic::GetControlText(sResult, nRow, nCol, pszRawValue, style);
    const CString value = pszRawValue ? CString(pszRawValue) : style.GetValue();
    const BOOL today = ApplyFormat(m_captive[0], style);
    COleDateTime date;
    TextToDate(value, date, today);
    return FormatForStyle(date, style, sResult);
}

void CGXDateTimeCtrl::ApplyAttributes(const CGXStyle& style)
{
    m_wnd.SetNoEditMask(static_cast<UINT>(std::atoi(DateTimeAttr(style, GX_IDS_UA_DATEFIELDNOEDIT))));
    m_bTodayWhenEmpty = ApplyFormat(m_wnd, style);
    COleDateTime value;
    TextToDate(style.GetValue(), value, m_bTodayWhenEmpty);
    m_wnd.SetDateTime(value);
    COleDateTime lo(kOleDateMin), hi(kOleDateMax);
    COleDateTime parsed;
    if (parsed.ParseDateTime(DateTimeAttr(style, GX_IDS_UA_DATEMIN), 0, 0x400))
        lo = parsed;
    if (parsed.ParseDateTime(DateTimeAttr(style, GX_IDS_UA_DATEMAX), 0, 0x400))
        hi = parsed;
    m_wnd.SetMinMax(lo, hi, std::clamp(std::atoi(DateTimeAttr(style, GX_IDS_UA_DATEVALIDATE)), 0, 3));
    const CString fast = DateTimeAttr(style, GX_IDS_UA_FASTINPUT);
    m_wnd.SetFastInput(fast.IsEmpty() ? TRUE : std::atoi(fast) != 0);
}

void CGXDateTimeCtrl::Init(ROWCOL nRow, ROWCOL nCol)
{
    CGXStatic::Init(nRow, nCol);
    m_bActive = FALSE;
    m_find.Reset();
    if (!m_wnd.m_hWnd)
        CreateControl(m_dwStyle, CRect(0, 0, 1, 1));
    if (const CGXStyle* style = LoadStyle(); style && m_wnd.m_hWnd) {
        ApplyAttributes(*style);
        // A new cell is edited from its first field, whatever field the last one ended in.
        m_wnd.SetCurrentField(m_wnd.FirstEditableField());
    }
    m_wnd.SetModified(FALSE);
    SetModify(FALSE);
    // A grid that edits its current cell at once activates it as it is bound.
    CGXGridCore* grid = Grid();
    if (m_wnd.m_hWnd && grid && grid->GetParam() && (grid->GetParam()->m_dwActivateFlags & 0x04) &&
        grid->IsCurrentCell(nRow, nCol) && CanActivate())
        SetActive(TRUE);
    SetModify(FALSE);
}

BOOL CGXDateTimeCtrl::IsStyleReadOnly()
{
    const CGXStyle* style = LoadStyle();
    return style && style->GetInclude(GX_INCL_READONLY) && style->GetReadOnly();
}

void CGXDateTimeCtrl::Activate()
{
    if (!m_wnd.m_hWnd || !Grid())
        return;
    CGXGridCore* grid = Grid();
    const CGXStyle* style = LoadStyle();
    if (style && dtcells::MakeCellFont(m_font, *grid, *style))
        m_wnd.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    CRect rect = grid->CalcCellRect(GetRow(), GetCol());
    rect = GetCellRect(GetRow(), GetCol(), &rect, style);
    m_wnd.MoveWindow(&rect, FALSE);
    m_wnd.ShowWindow(SW_SHOW);
    dtcells::ExcludeFrozen(*grid, m_wnd, GetRow(), GetCol(), rect);
    const CGXGridFocusChange change(grid);
    m_wnd.SetFocus();
}

BOOL CGXDateTimeCtrl::MayActivateByMouse()
{
    return IsInit() && !m_bActive && m_wnd.m_hWnd && !IsReadOnly() && CanActivate() && Grid() &&
           Grid()->OnStartEditing(GetRow(), GetCol());
}

BOOL CGXDateTimeCtrl::ActivateAt(CPoint pt, BOOL bSelectFieldOnlyWithValue)
{
    SetActive(TRUE);
    if (!m_bActive)
        return FALSE;
    CRect rcWnd;
    m_wnd.GetWindowRect(&rcWnd);
    GridWnd()->ScreenToClient(&rcWnd);
    const CPoint inWnd(pt.x - rcWnd.left, pt.y - rcWnd.top);
    const int hit = m_wnd.GadgetAt(inWnd);
    const CGXStyle* style = LoadStyle();
    const bool hasValue = style && !style->GetValue().IsEmpty();
    if (hit >= 0 && m_wnd.GetGadget(hit)->IsEditable() && (!bSelectFieldOnlyWithValue || hasValue))
        m_wnd.SetCurrentField(hit);
    m_wnd.UpdateWindow();
    // A click on the spin or the drop-down button works that button, as on the window itself.
    if (hit >= 0 && m_wnd.GetGadget(hit)->TakesMouse() && !m_wnd.GetGadget(hit)->IsEditable()) {
        const LPARAM at = MAKELPARAM(inWnd.x, inWnd.y);
        m_wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (m_wnd.m_hWnd)
            m_wnd.SendMessage(WM_LBUTTONUP, 0, at);
    }
    return TRUE;
}

BOOL CGXDateTimeCtrl::LButtonUp(UINT nFlags, CPoint pt, UINT nHitState)
{
    // A click on the cell that was current already starts editing there, the field under the
    // click current; the click that makes a cell current only moves there.
    const CGXGridParam* param = Grid() ? Grid()->GetParam() : nullptr;
    if ((nHitState & GX_MOUSE_CURRENT) && param && param->m_bActivateOnClick && MayActivateByMouse() &&
        ActivateAt(pt, TRUE))
        return TRUE;
    return CGXStatic::LButtonUp(nFlags, pt, nHitState);
}

BOOL CGXDateTimeCtrl::LButtonDblClk(UINT nFlags, CPoint pt)
{
    if (MayActivateByMouse() && ActivateAt(pt, FALSE))
        return TRUE;
    return CGXStatic::LButtonDblClk(nFlags, pt);
}

void CGXDateTimeCtrl::SetActive(BOOL bActive)
{
    m_bActive = bActive && m_wnd.m_hWnd;
    CGXStatic::SetActive(m_bActive);
    if (m_bActive)
        Activate();
    else
        Hide();
}

void CGXDateTimeCtrl::Reset()
{
    SetActive(FALSE);
    CGXStatic::Reset();
    m_find.Reset();
}

BOOL CGXDateTimeCtrl::OnValidate()
{
    if (auto* n = dynamic_cast<CGXBDTNumericGadget*>(m_wnd.GetCurrentGadget()))
        n->Commit();
    return CGXStatic::OnValidate();
}

BOOL CGXDateTimeCtrl::GetCurrentText(CString& sText)
{
    if (IsInit() && GetModify()) {
        sText = DateToStoredText(m_wnd.GetDateTime());
        return TRUE;
    }
    return CGXStatic::GetCurrentText(sText);
}

void CGXDateTimeCtrl::SetCurrentText(const CString& sText)
{
    if (!IsInit())
        return;
    COleDateTime date;
    TextToDate(sText, date, m_bTodayWhenEmpty);
    m_wnd.SetDateTime(date);
    SetModify(TRUE);
    Refresh();
}

BOOL CGXDateTimeCtrl::SplitParts(const CString& text, CStringArray& parts) const
{
    CString piece;
    auto flush = [&] {
        if (!piece.IsEmpty())
            parts.Add(piece);
        piece.Empty();
    };
    for (int i = 0; i < text.GetLength(); ++i) {
        const char c = text[i];
        if (m_strSeparators.Find(c) >= 0 || c == ' ' || c == '\t' || c == '\r' || c == '\n')
            flush();
        else
            piece += c;
    }
    flush();
    return parts.GetSize() > 0;
}

BOOL CGXDateTimeCtrl::StoreDate(ROWCOL nRow, ROWCOL nCol, const CString& text)
{
    if (!Grid())
        return FALSE;
    CGXStyle style;
    style.SetValue(text);
    return Grid()->ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), &style, gxOverride, 0, nullptr, GX_INVALIDATE,
                                     gxDo);
}

BOOL CGXDateTimeCtrl::DateFromText(const CString& sText, const CGXStyle& style, COleDateTime& date)
{
    if (!m_captive[1].m_hWnd && !CreateControl(m_dwStyle))
        return FALSE;
    CGXCaptiveDateTimeCtrl& captive = m_captive[1];
    ApplyFormat(captive, style);
    if (date.ParseDateTime(sText, 0, 0x400) && static_cast<DATE>(date) != 0.0)
        return TRUE;
    // Not a date as a whole: its parts are offered to the fields one by one, numbers to the
    // numeric fields and names to the name lists.
    CStringArray parts;
    if (!SplitParts(sText, parts))
        return FALSE;
    COleDateTime start;
    TextToDate(style.GetValue(), start, TRUE);
    captive.SetDateTime(start);
    int part = 0;
    BOOL any = FALSE;
    for (int i = 0; i < captive.GetGadgetCount() && part < parts.GetSize(); ++i) {
        auto* g = captive.GetGadget(i);
        if (g->m_id <= 0 || g->m_id >= DTID_DROPBUTTON)
            continue;
        const CString& p = parts[part++];
        if (auto* list = dynamic_cast<CGXBDTListGadget*>(g)) {
            any = list->Search(0, p) >= 0 || any;
        } else if (IsAllDigits(p) && p.GetLength() <= 9) {
            // Numbers beyond a field's range are refused by the field, without overflow.
            any = captive.GadgetNotify(DTACT_SET_VALUE, g->m_id, std::atoi(p)) || any;
        }
    }
    if (!any)
        return FALSE;
    date = captive.GetDateTime();
    return TRUE;
}

BOOL CGXDateTimeCtrl::SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags,
                                     const CGXStyle* pOldStyle)
{
    if (sText.IsEmpty())
        return CGXStatic::SetControlText(nRow, nCol, sText, nFlags, pOldStyle);
    // Composed afresh: the grid's drawing cache may hold the cell as it was before a change.
    CGXStyle composed;
    if (Grid())
        Grid()->ComposeCellStyle(nRow, nCol, composed);
    COleDateTime date;
    if (!DateFromText(sText, composed, date))
        return FALSE;
    return CGXStatic::SetControlText(nRow, nCol, DateToStoredText(date), nFlags, pOldStyle);
}

BOOL CGXDateTimeCtrl::Store()
{
    if (!GetModify() || !IsInit())
        return TRUE;
    if (Grid() && Grid()->IsReadOnlyLocked())
        return FALSE;
    const ROWCOL nRow = GetRow(), nCol = GetCol();
    const CString text = DateToStoredText(m_wnd.GetDateTime());
    SetModify(FALSE);
    const BOOL ok = StoreDate(nRow, nCol, text);
    FreeStyle();
    return ok;
}

void CGXDateTimeCtrl::Hide()
{
    if (!m_wnd.m_hWnd || !m_wnd.IsWindowVisible())
        return;
    // The focus goes back to the grid, not to nowhere; the grid does not take that for the
    // user leaving it.
    const CGXGridFocusChange change(Grid());
    const BOOL hadFocus = ::GetFocus() == m_wnd.m_hWnd;
    m_wnd.SetWindowPos(nullptr, 10000, 10000, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (hadFocus && GridWnd())
        GridWnd()->SetFocus();
}

int CGXDateTimeCtrl::DrawButtons(CDC* pDC, const CRect& rect, const CGXStyle&, BOOL bButton, BOOL bSpin)
{
    CGXCaptiveDateTimeCtrl& captive = m_captive[0];
    if (!captive.m_hWnd)
        return 0;
    // The captive window has the cell's buttons; they are placed at the cell's right edge in the
    // order the window shows them, and drawn where they stand.
    int right = rect.right;
    for (int i = 0; i < captive.GetGadgetCount(); ++i) {
        auto* g = captive.GetGadget(i);
        if (!g->IsRightAligned())
            continue;
        if ((g->m_id == DTID_DROPBUTTON && !bButton) || (g->m_id == DTID_SPINBUTTON && !bSpin))
            continue;
        g->CalcSize(pDC);
        const int width = g->m_rect.Width();
        if (right - width < rect.left)
            break;
        g->m_rect.SetRect(right - width, rect.top, right, rect.bottom);
        g->Draw(pDC);
        right -= width;
    }
    return rect.right - right;
}

void CGXDateTimeCtrl::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    CGXGridCore* grid = Grid();
    const bool printing = grid && grid->IsPrinting();
    const bool current = grid && grid->IsCurrentCell(nRow, nCol) && !printing;
    if (current && m_bActive && IsInitFor(nRow, nCol)) {
        if (dtcells::MakeCellFont(m_font, *grid, style))
            m_wnd.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
        CRect rc = GetCellRect(nRow, nCol, &rect, &style);
        m_wnd.MoveWindow(&rc, FALSE);
        if (!m_wnd.IsWindowVisible())
            m_wnd.ShowWindow(SW_SHOW);
        dtcells::ExcludeFrozen(*grid, m_wnd, nRow, nCol, rc);
        m_wnd.UpdateWindow();
        if (GridWnd() && ::GetFocus() == GridWnd()->GetSafeHwnd()) {
            const CGXGridFocusChange change(grid);
            m_wnd.SetFocus();
        }
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    // The current cell shows its buttons while it waits to be edited; with the switches set,
    // every cell does.
    const bool readOnly = grid && ((style.GetInclude(GX_INCL_READONLY) && style.GetReadOnly()) || grid->IsReadOnly());
    const BOOL bButton = (m_dwStyle & SEC_DTS_CALENDAR) && !printing && (m_bAlwaysShowButton || current);
    const BOOL bSpin = (m_dwStyle & SEC_DTS_UPDOWN) && !printing && (m_bAlwaysShowSpin || (current && !readOnly));
    CRect text = rect;
    if ((bButton || bSpin) && pDC && (m_captive[0].m_hWnd || CreateControl(m_dwStyle)))
        text.right -= DrawButtons(pDC, GetCellRect(nRow, nCol, &rect, &style), style, bButton, bSpin);
    CGXStatic::Draw(pDC, text, nRow, nCol, style, pStandardStyle);
}

CRect CGXDateTimeCtrl::GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle)
{
    return CGXControl::GetCellRect(nRow, nCol, rectItem, pStyle);
}

CSize CGXDateTimeCtrl::CalcSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                const CGXStyle* pStandardStyle, BOOL bVert)
{
    // The fields are laid out with a little room of their own: five pixels more than the text.
    CSize size = CGXStatic::CalcSize(pDC, nRow, nCol, style, pStandardStyle, bVert);
    if (!bVert && size.cx > 0)
        size.cx += 5;
    return size;
}

BOOL CGXDateTimeCtrl::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType,
                                 const CGXStyle* pOldStyle)
{
    const BOOL stored = CGXStatic::StoreStyle(nRow, nCol, pStyle, nMode, nType, pOldStyle);
    if (!stored || !pStyle || !IsInitFor(nRow, nCol) || !m_wnd.m_hWnd)
        return stored;
    FreeStyle();
    const CGXStyle* now = LoadStyle();
    if (!now)
        return stored;
    // A new value shows at once on a cell that is not being edited.
    if (pStyle->GetInclude(GX_INCL_VALUE) && !m_bActive) {
        COleDateTime value;
        TextToDate(now->GetValue(), value, m_bTodayWhenEmpty);
        m_wnd.SetDateTime(value);
        SetModify(FALSE);
    }
    // A changed format takes effect on the cell being shown, from its first editable field.
    if (pStyle->HasUserAttribute(GX_IDS_UA_DATEFIELDNOEDIT) || pStyle->HasUserAttribute(GX_IDS_UA_DATEFORMATTYPE) ||
        pStyle->HasUserAttribute(GX_IDS_UA_CUSTOMFORMAT)) {
        m_wnd.SetNoEditMask(static_cast<UINT>(std::atoi(DateTimeAttr(*now, GX_IDS_UA_DATEFIELDNOEDIT))));
        m_bTodayWhenEmpty = ApplyFormat(m_wnd, *now);
        m_wnd.SetCurrentField(m_wnd.FirstEditableField());
        m_wnd.Invalidate();
    }
    return stored;
}

BOOL CGXDateTimeCtrl::FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell)
{
    CGXGridCore* grid = Grid();
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    if (!grid || state.m_strFindUpper.IsEmpty() || (!m_captive[1].m_hWnd && !CreateControl(m_dwStyle)))
        return FALSE;
    // The fields of the cell's date as the cell shows them, searched one by one; a search that
    // found something in this cell before goes on after that field.
    CGXStyle style;
    grid->ComposeCellStyle(nRow, nCol, style);
    CGXCaptiveDateTimeCtrl& captive = m_captive[1];
    const BOOL today = ApplyFormat(captive, style);
    COleDateTime date;
    TextToDate(style.GetValue(), date, today);
    if (!captive.SetDateTime(date))
        return FALSE;
    const bool again = m_find.nRow == nRow && m_find.nCol == nCol && m_find.strLast == state.m_strFind;
    int from = again ? m_find.nField + 1 : 0;
    if (!again && bCurrentPos && IsInitFor(nRow, nCol) && m_bActive)
        from = m_wnd.GetCurrentField();
    for (int i = std::max(from, 0); i < captive.GetGadgetCount(); ++i) {
        auto* g = captive.GetGadget(i);
        if (!g->IsEditable())
            continue;
        CString field;
        g->GetText(field);
        if (state.PrepareCellText(field).Find(state.m_strFindUpper) < 0)
            continue;
        if (bSetCell) {
            if (!grid->IsCurrentCell(nRow, nCol))
                grid->SetCurrentCell(nRow, nCol, GX_UPDATENOW | GX_SCROLLINVIEW);
            if (!IsInitFor(nRow, nCol))
                Init(nRow, nCol);
            if (!m_bActive)
                SetActive(TRUE);
            m_wnd.SetCurrentField(i);
        }
        m_find.nRow = nRow;
        m_find.nCol = nCol;
        m_find.nField = i;
        m_find.strLast = state.m_strFind;
        return TRUE;
    }
    m_find.Reset();
    return FALSE;
}

BOOL CGXDateTimeCtrl::CanCopy()
{
    return IsInit() && Grid() && Grid()->IsCurrentCell(GetRow(), GetCol());
}

BOOL CGXDateTimeCtrl::Copy()
{
    // The cell as a whole: a date has no part to copy on its own. What is being typed is taken
    // first.
    if (!CanCopy())
        return FALSE;
    CGXGridCore* grid = Grid();
    const ROWCOL nRow = GetRow(), nCol = GetCol();
    if (m_bActive && GetModify())
        grid->SyncCurrentCell(TRUE, GX_UPDATENOW, FALSE);
    return grid->CopyRange(CGXRange(nRow, nCol, nRow, nCol));
}

BOOL CGXDateTimeCtrl::CanPaste()
{
    if (!Grid() || Grid()->IsReadOnly() || !m_bActive || IsStyleReadOnly())
        return FALSE;
    return ::IsClipboardFormatAvailable(CF_TEXT);
}

BOOL CGXDateTimeCtrl::Paste()
{
    if (!Grid() || Grid()->IsReadOnly() || IsStyleReadOnly() || !IsInit() || !m_bActive)
        return FALSE;
    CString text;
    BOOL found = FALSE;
    if (::OpenClipboard(m_wnd.m_hWnd)) {
        HANDLE h = ::GetClipboardData(CF_TEXT);
        if (!h)
            h = ::GetClipboardData(CF_OEMTEXT);
        if (h) {
            if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
                text = CString(p, static_cast<int>(strnlen(p, 4096)));
                ::GlobalUnlock(h);
                found = TRUE;
            }
        }
        ::CloseClipboard();
    }
    if (found)
        ReplaceSel(text);
    return found;
}

void CGXDateTimeCtrl::ReplaceSel(LPCTSTR pszText)
{
    if (!IsInit())
        return;
    if (!m_bActive || !m_wnd.m_hWnd) {
        CGXStatic::ReplaceSel(pszText);
        return;
    }
    // In the window being edited the text becomes the date shown, read as a paste is read.
    const CGXStyle* style = LoadStyle();
    COleDateTime date;
    if (!style || !DateFromText(pszText ? CString(pszText) : CString(), *style, date)) {
        ::MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (m_wnd.OnChanging(date) && m_wnd.SetDateTime(date)) {
        m_wnd.Invalidate();
        if (Grid())
            Grid()->OnModifyCell(GetRow(), GetCol());
    }
}

BOOL CGXDateTimeCtrl::KeyPressed(UINT nMessage, UINT nChar, UINT, UINT)
{
    if (!IsInit() || m_bActive)
        return FALSE;
    const bool readOnly = IsReadOnly() != FALSE;
    if (nMessage == WM_KEYDOWN) {
        if (nChar == VK_DELETE && !(::GetKeyState(VK_SHIFT) & 0x8000) && !readOnly) {
            SetModify(FALSE);
            StoreDate(GetRow(), GetCol(), CString());
            return TRUE;
        }
        if (nChar == VK_HOME || nChar == VK_END) {
            SetActive(TRUE);
            m_wnd.SetCurrentField(nChar == VK_HOME ? m_wnd.FirstEditableField() : m_wnd.LastEditableField());
            return TRUE;
        }
        return FALSE;
    }
    if (nMessage == WM_SYSKEYDOWN && nChar == VK_DOWN) {
        SetActive(TRUE);
        if (m_dwStyle & SEC_DTS_CALENDAR)
            m_wnd.DropDown();
        return TRUE;
    }
    if (nMessage == WM_CHAR && nChar >= 32 && nChar != 127 && !readOnly) {
        SetActive(TRUE);
        m_wnd.SetCurrentField(m_wnd.FirstEditableField());
        m_wnd.PostMessage(WM_CHAR, nChar, 0);
        return TRUE;
    }
    return FALSE;
}
