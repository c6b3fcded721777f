#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CException.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

CString Attr(const CGXStyle& style, WORD id)
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
    const CGXStyle* style = m_pCell->LoadStyle();
    if (style && style->GetInclude(GX_INCL_READONLY) && style->GetReadOnly())
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

LRESULT CGXDateTimeCtrl::Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CGXGridCore* grid = m_pCell->Grid();
    switch (message) {
    case WM_KEYDOWN: {
        const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        const UINT key = static_cast<UINT>(wParam);
        bool toGrid = !m_pCell->IsActive() || ctrl || key == VK_RETURN || key == VK_ESCAPE || key == VK_PRIOR ||
                      key == VK_NEXT || (key >= VK_F1 && key <= VK_F24);
        if (key == VK_TAB) {
            const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            toGrid = !m_pCell->m_bTabThroughFields || (shift ? IsFirstEditableField() : IsLastEditableField());
        }
        if (key == VK_DELETE && m_pCell->IsActive()) {
            m_pCell->SetActive(FALSE);
            m_pCell->SetModify(FALSE);
            m_pCell->StoreDate(m_pCell->GetRow(), m_pCell->GetCol(), CString());
            return 0;
        }
        if (toGrid && grid && grid->RouteKeyMessage(this, message, key, LOWORD(lParam), HIWORD(lParam)))
            return 0;
        if (toGrid)
            return 0;
        break;
    }
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\n' || wParam == '\b')
            return 0;
        {
            const CGXStyle* style = m_pCell->LoadStyle();
            if (style && style->GetInclude(GX_INCL_READONLY) && style->GetReadOnly())
                return 0;
        }
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
    const CString typeText = Attr(style, GX_IDS_UA_DATEFORMATTYPE);
    const CString custom = Attr(style, GX_IDS_UA_CUSTOMFORMAT);
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
    m_wnd.SetNoEditMask(static_cast<UINT>(std::atoi(Attr(style, GX_IDS_UA_DATEFIELDNOEDIT))));
    m_bTodayWhenEmpty = ApplyFormat(m_wnd, style);
    COleDateTime value;
    TextToDate(style.GetValue(), value, m_bTodayWhenEmpty);
    m_wnd.SetDateTime(value);
    COleDateTime lo(kOleDateMin), hi(kOleDateMax);
    COleDateTime parsed;
    if (parsed.ParseDateTime(Attr(style, GX_IDS_UA_DATEMIN), 0, 0x400))
        lo = parsed;
    if (parsed.ParseDateTime(Attr(style, GX_IDS_UA_DATEMAX), 0, 0x400))
        hi = parsed;
    m_wnd.SetMinMax(lo, hi, std::clamp(std::atoi(Attr(style, GX_IDS_UA_DATEVALIDATE)), 0, 3));
    const CString fast = Attr(style, GX_IDS_UA_FASTINPUT);
    m_wnd.SetFastInput(fast.IsEmpty() ? TRUE : std::atoi(fast) != 0);
}

void CGXDateTimeCtrl::Init(ROWCOL nRow, ROWCOL nCol)
{
    CGXStatic::Init(nRow, nCol);
    m_bActive = FALSE;
    if (!m_wnd.m_hWnd)
        CreateControl(m_dwStyle, CRect(0, 0, 1, 1));
    if (const CGXStyle* style = LoadStyle(); style && m_wnd.m_hWnd)
        ApplyAttributes(*style);
    m_wnd.SetModified(FALSE);
    SetModify(FALSE);
}

void CGXDateTimeCtrl::Activate()
{
    if (!m_wnd.m_hWnd || !Grid())
        return;
    CRect rect = Grid()->CalcCellRect(GetRow(), GetCol());
    rect = GetCellRect(GetRow(), GetCol(), &rect, LoadStyle());
    m_wnd.MoveWindow(&rect, FALSE);
    m_wnd.ShowWindow(SW_SHOW);
    m_wnd.SetFocus();
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

BOOL CGXDateTimeCtrl::SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags,
                                     const CGXStyle* pOldStyle)
{
    if (sText.IsEmpty())
        return CGXStatic::SetControlText(nRow, nCol, sText, nFlags, pOldStyle);
    if (!m_captive[1].m_hWnd && !CreateControl(m_dwStyle))
        return FALSE;
    // Composed afresh: the grid's drawing cache may hold the cell as it was before a change.
    CGXStyle composed;
    if (Grid())
        Grid()->ComposeCellStyle(nRow, nCol, composed);
    const CGXStyle* style = Grid() ? &composed : nullptr;
    CGXCaptiveDateTimeCtrl& captive = m_captive[1];
    if (style)
        ApplyFormat(captive, *style);
    COleDateTime date;
    if (date.ParseDateTime(sText, 0, 0x400) && static_cast<DATE>(date) != 0.0)
        return CGXStatic::SetControlText(nRow, nCol, DateToStoredText(date), nFlags, pOldStyle);
    // Not a date as a whole: its parts are offered to the fields one by one, numbers to the
    // numeric fields and names to the name lists.
    CStringArray parts;
    if (!SplitParts(sText, parts))
        return FALSE;
    COleDateTime start;
    TextToDate(style ? style->GetValue() : CString(), start, TRUE);
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
    return CGXStatic::SetControlText(nRow, nCol, DateToStoredText(captive.GetDateTime()), nFlags, pOldStyle);
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
    m_wnd.SetWindowPos(nullptr, 10000, 10000, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void CGXDateTimeCtrl::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    const bool current = Grid() && Grid()->IsCurrentCell(nRow, nCol) && !Grid()->IsPrinting();
    if (current && m_bActive && IsInitFor(nRow, nCol)) {
        CRect rc = GetCellRect(nRow, nCol, &rect, &style);
        m_wnd.MoveWindow(&rc, FALSE);
        if (!m_wnd.IsWindowVisible())
            m_wnd.ShowWindow(SW_SHOW);
        m_wnd.UpdateWindow();
        return;
    }
    CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXDateTimeCtrl::CanPaste()
{
    if (!Grid() || Grid()->IsReadOnly() || !m_bActive)
        return FALSE;
    const CGXStyle* style = LoadStyle();
    if (style && style->GetInclude(GX_INCL_READONLY) && style->GetReadOnly())
        return FALSE;
    return ::IsClipboardFormatAvailable(CF_TEXT);
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
