#include "toolkit/datetime/cells/CGXCurrencyEdit.h"

#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXProperties.h"
#include "grid/data/CGXRange.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/controls/EditDefs.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CException.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/cells/DTCellSupport.h"
#include "toolkit/datetime/wnd/CGXBCalculator.h"
#include "toolkit/res/DateTimeRes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

CString Attr(const CGXStyle& style, WORD id)
{
    return style.HasUserAttribute(id) ? style.GetUserAttribute(id).GetValueText() : CString();
}

} // namespace

LRESULT CGXCurrencyEdit::Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CGXGridCore* grid = m_pCell->Grid();
    switch (message) {
    case GXCALC_WM_RESULT:
        m_pCell->OnCalculatorResult(reinterpret_cast<LPCTSTR>(lParam));
        return TRUE;
    case WM_GETDLGCODE:
        return CGXBCurrencyEdit::WindowProc(message, wParam, lParam) | DLGC_WANTTAB;
    case WM_KILLFOCUS: {
        const LRESULT result = CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
        dtcells::ForwardKillFocus(grid, reinterpret_cast<HWND>(wParam));
        return result;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_KEYDOWN: {
        const UINT key = static_cast<UINT>(wParam);
        if (!m_pCell->IsActive()) {
            m_pCell->GiveKeyToGrid(message, key, lParam);
            return 0;
        }
        if (grid && m_pCell->IsInit())
            grid->ScrollCellInView(m_pCell->GetRow(), m_pCell->GetCol());
        const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        // Copy, cut and paste come as their characters, through the cell.
        if (ctrl && (key == 'C' || key == 'X' || key == 'V'))
            return 0;
        if (ctrl)
            break;
        bool stays = true;
        switch (key) {
        case VK_INSERT:
            if (::GetKeyState(VK_SHIFT) & 0x8000) {
                m_pCell->Paste();
                return 0;
            }
            break;
        case VK_UP: case VK_DOWN: case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT:
            stays = false;
            break;
        case VK_RIGHT:
            stays = GetCaret() < GetText().GetLength();
            break;
        case VK_LEFT:
            stays = GetCaret() > 0;
            break;
        case VK_DELETE:
            m_pCell->SetModify(TRUE);
            break;
        case VK_SPACE:
            ToggleSign();
            return 0;
        default:
            stays = !(key >= VK_F1 && key <= VK_F24);
            break;
        }
        if (!stays) {
            if (grid)
                grid->RouteKeyMessage(this, message, key, LOWORD(lParam), HIWORD(lParam));
            return 0;
        }
        break;
    }
    case WM_KEYUP:
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
        if (grid && grid->RouteKeyMessage(this, message, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_CHAR: {
        const UINT ch = static_cast<UINT>(wParam);
        if (!m_pCell->IsInit() || !m_pCell->IsActive()) {
            m_pCell->GiveKeyToGrid(message, ch, lParam);
            return 0;
        }
        if (ch == '\b')
            break;
        // A cell that may not be changed still gives its text away.
        if (ch == 0x03) {
            m_pCell->Copy();
            return 0;
        }
        if (m_pCell->IsReadOnly())
            return 0;
        if (grid)
            grid->ScrollCellInView(m_pCell->GetRow(), m_pCell->GetCol());
        switch (ch) {
        case '\r':
        case '\n':
            return 0;
        case 0x18:
            m_pCell->Cut();
            return 0;
        case 0x16:
            m_pCell->Paste();
            return 0;
        default:
            break;
        }
        CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
        // What is typed reaches the grid's own key processing as well; the control characters
        // stay with the cell, or Ctrl+Z, say, would undo the grid's last change besides the
        // cell's typing.
        if (grid && ch >= 0x20 && ch != 0x7F)
            grid->RouteKeyMessage(this, message, ch, LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    case WM_SETTEXT:
        if (!m_bParseOnSetText && !m_pCell->m_bInitializing) {
            m_pCell->SetModify(TRUE);
            if (grid && m_pCell->IsInit())
                grid->OnModifyCell(m_pCell->GetRow(), m_pCell->GetCol());
        }
        break;
    default:
        break;
    }
    return CGXBCurrencyEdit::WindowProc(message, wParam, lParam);
}

CGXCurrencyEdit::CGXCurrencyEdit(CGXGridCore* pGrid, UINT nID) : CGXStatic(pGrid), m_nID(nID), m_wnd(this) {}

CGXCurrencyEdit::~CGXCurrencyEdit()
{
    if (m_captive.m_hWnd)
        m_captive.DestroyWindow();
    if (m_wnd.m_hWnd)
        m_wnd.DestroyWindow();
}

BOOL CGXCurrencyEdit::CreateEditWindows(DWORD dwStyle)
{
    CWnd* parent = GridWnd();
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    dwStyle = (dwStyle & 0xFFFF0000u) | (dwStyle & 0xEF83u);   // no multi-line, case or password styles
    dwStyle &= ~WS_VISIBLE;
    BOOL ok = TRUE;
    if (!m_wnd.m_hWnd)
        ok = m_wnd.Create(dwStyle, CRect(0, 0, 0, 0), parent, m_nID) && ok;
    if (!m_captive.m_hWnd)
        ok = m_captive.Create(dwStyle, CRect(0, 0, 0, 0), parent, m_nID + 4) && ok;
    return ok;
}

BOOL CGXCurrencyEdit::WantsCalculator(const CGXStyle& style)
{
    const CString attributes = Attr(style, GX_IDS_UA_CURRENCYDEF);
    return attributes.GetLength() > 3 && attributes[3] != '0';
}

void CGXCurrencyEdit::ApplyCurrencyAttributes(CGXBCurrencyEdit::Format& format, const CGXStyle& style) const
{
    format.SetNoTruncation(m_wnd.GetAppendInFraction());
    format.SetPadBeforeGrouping(m_wnd.GetPadBeforeGrouping());
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYDEF)) {
        CString a = Attr(style, GX_IDS_UA_CURRENCYDEF);
        if (!a.IsEmpty() && a.GetLength() != 4)
            a = "11 1";
        if (a.GetLength() >= 3) {
            format.SetLeadingZero(a[0] != '0');
            format.SetDecimalLine(a[1] != '0');
            format.SetFillChar(a[2]);
        }
    }
    // The setters clamp what the attributes give: digit counts, patterns, separators.
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYPOSFMT))
        format.SetPositivePattern(std::atoi(Attr(style, GX_IDS_UA_CURRENCYPOSFMT)));
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYNEGFMT))
        format.SetNegativePattern(std::atoi(Attr(style, GX_IDS_UA_CURRENCYNEGFMT)));
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYNUMDIGITS))
        format.SetIntegerDigits(std::atoi(Attr(style, GX_IDS_UA_CURRENCYNUMDIGITS)));
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYDECIMALS))
        format.SetFractionDigits(std::atoi(Attr(style, GX_IDS_UA_CURRENCYDECIMALS)));
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSYM)) {
        const CString symbol = Attr(style, GX_IDS_UA_CURRENCYSYM);
        format.SetCurrencySymbol(!symbol.IsEmpty() && symbol[0] == '0' ? "" : static_cast<LPCTSTR>(symbol));
    }
    if (style.HasUserAttribute(GX_IDS_UA_CURRENCYSEP)) {
        const CString sep = Attr(style, GX_IDS_UA_CURRENCYSEP);
        if (sep.GetLength() == 2)
            format.SetSeparators(sep[0] == '0' ? 0 : sep[0], sep[1]);
        else
            format.SetSeparators(',', '.');
    }
}

void CGXCurrencyEdit::AddUserAttributes(CGXStylesMap* pStylesMap)
{
    if (!pStylesMap)
        return;
    CGXStyle attributes;
    attributes.SetControl(52535);
    attributes.SetUserAttribute(51023, "##AAAA#");
    pStylesMap->AddUserAttribute(GX_IDS_UA_CURRENCYDEF, &attributes);
    for (auto [id, listId] : {std::pair<WORD, UINT>{GX_IDS_UA_CURRENCYPOSFMT, GX_IDS_CURPOSFORMATS},
                              std::pair<WORD, UINT>{GX_IDS_UA_CURRENCYNEGFMT, GX_IDS_CURNEGFORMATS}}) {
        CString list;
        if (!list.LoadString(listId))
            AfxThrowResourceException();
        CGXStyle combo;
        combo.SetControl(52532);
        combo.SetChoiceList(list);
        pStylesMap->AddUserAttribute(id, &combo);
    }
    for (WORD id : {GX_IDS_UA_CURRENCYNUMDIGITS, GX_IDS_UA_CURRENCYDECIMALS, GX_IDS_UA_CURRENCYSYM, GX_IDS_UA_CURRENCYSEP})
        pStylesMap->AddUserAttribute(id, nullptr);
}

BOOL CGXCurrencyEdit::DisplayText(const CString& value, const CGXStyle& style, CString& text) const
{
    text.Empty();
    if (value.IsEmpty())
        return FALSE;
    CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
    ApplyCurrencyAttributes(format, style);
    double magnitude = 0;
    BOOL negative = FALSE;
    // Stored values use '.'; a value typed in the cell's own form is read that way too.
    if (!CGXBCurrencyFormat::ParseStoredValue(value, &magnitude, &negative) &&
        !format.ParseValue(value, &magnitude, &negative))
        return FALSE;
    format.FormatValue(magnitude, text, negative);
    return !text.IsEmpty();
}

BOOL CGXCurrencyEdit::ValueFromDisplayText(const CString& text, const CGXStyle& style, CString& value) const
{
    if (text.IsEmpty()) {
        value.Empty();
        return TRUE;
    }
    CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
    ApplyCurrencyAttributes(format, style);
    double magnitude = 0;
    BOOL negative = FALSE;
    if (!format.ParseValue(text, &magnitude, &negative))
        return FALSE;
    value = format.FormatStoredValue(magnitude, negative);
    return TRUE;
}

CString CGXCurrencyEdit::GetValueText() const
{
    return m_wnd.GetFormatRef().FormatStoredValue(m_wnd.GetMagnitude(), m_wnd.IsNegative());
}

BOOL CGXCurrencyEdit::GetControlText(CString& sResult, ROWCOL, ROWCOL, LPCTSTR pszRawValue, const CGXStyle& style)
{
    return DisplayText(pszRawValue ? CString(pszRawValue) : style.GetValue(), style, sResult);
}

BOOL CGXCurrencyEdit::StoreValue(ROWCOL nRow, ROWCOL nCol, const CString& text)
{
    if (!Grid())
        return FALSE;
    CGXStyle style;
    style.SetValue(text);
    return Grid()->ApplyStyleToRange(CGXRange(nRow, nCol, nRow, nCol), &style, gxOverride, 0, nullptr, GX_INVALIDATE,
                                     gxDo);
}

BOOL CGXCurrencyEdit::SetControlText(ROWCOL nRow, ROWCOL nCol, const CString& sText, UINT nFlags,
                                     const CGXStyle* pOldStyle)
{
    // Composed afresh: the grid's drawing cache may hold the cell as it was before a change.
    CGXStyle composed;
    if (Grid())
        Grid()->ComposeCellStyle(nRow, nCol, composed);
    const CGXStyle* style = Grid() ? &composed : nullptr;
    CGXStyle empty;
    CString value;
    if (!ValueFromDisplayText(sText, style ? *style : empty, value))
        return FALSE;
    return CGXStatic::SetControlText(nRow, nCol, value, nFlags, pOldStyle);
}

void CGXCurrencyEdit::Init(ROWCOL nRow, ROWCOL nCol)
{
    m_bInitializing = TRUE;
    CGXStatic::Init(nRow, nCol);
    m_bActive = FALSE;
    if (!m_wnd.m_hWnd)
        CreateEditWindows(WS_CHILD);
    if (const CGXStyle* style = LoadStyle(); style && m_wnd.m_hWnd) {
        CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
        ApplyCurrencyAttributes(format, *style);
        m_wnd.SetFormat(format);
        double magnitude = 0;
        BOOL negative = FALSE;
        if (!CGXBCurrencyFormat::ParseStoredValue(style->GetValue(), &magnitude, &negative))
            format.ParseValue(style->GetValue(), &magnitude, &negative);
        m_wnd.SetValue(negative ? -magnitude : magnitude, FALSE);
        m_wnd.SetAlignment(static_cast<int>(std::min<UINT>(style->GetHorizontalAlignment(), 2)));
        m_wnd.SetButtonBitmap(WantsCalculator(*style) ? GX_IDB_CALCBUTTON : 0);
        m_wnd.SendMessage(EM_SETSEL, 0, 0);
        m_wnd.SendMessage(EM_EMPTYUNDOBUFFER);
    }
    // A grid that edits its current cell at once activates it as it is bound.
    CGXGridCore* grid = Grid();
    if (m_wnd.m_hWnd && grid && grid->GetParam() && (grid->GetParam()->m_dwActivateFlags & 0x04) &&
        grid->IsCurrentCell(nRow, nCol) && CanActivate())
        SetActive(TRUE);
    m_bInitializing = FALSE;
    SetModify(FALSE);
}

void CGXCurrencyEdit::SetActive(BOOL bActive)
{
    m_bActive = bActive && m_wnd.m_hWnd;
    CGXStatic::SetActive(m_bActive);
    if (!m_bActive) {
        Hide();
        return;
    }
    if (Grid()) {
        if (const CGXStyle* style = LoadStyle())
            PrepareWindow(*style, Grid()->CalcCellRect(GetRow(), GetCol()));
    }
    m_wnd.SendMessage(EM_SETREADONLY, IsReadOnly());
    m_wnd.ShowWindow(SW_SHOW);
    const CGXGridFocusChange change(Grid());
    m_wnd.SetFocus();
}

void CGXCurrencyEdit::PrepareWindow(const CGXStyle& style, const CRect& rectCell)
{
    CGXGridCore* grid = Grid();
    if (!grid || !m_wnd.m_hWnd)
        return;
    // The cell's font, at the grid's zoom.
    if (dtcells::MakeCellFont(m_font, *grid, style)) {
        m_wnd.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
        CClientDC dc(&m_wnd);
        CFont* old = dc.SelectObject(&m_font);
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        dc.SelectObject(old);
        m_nLineHeight = tm.tmHeight + tm.tmExternalLeading + 1;
        m_nAvgCharWidth = tm.tmAveCharWidth;
    }
    // Its colours: black on white when the grid prints in black and white.
    const CGXGridParam* param = grid->GetParam();
    const CGXProperties* props = param ? param->GetProperties() : nullptr;
    const BOOL blackWhite = props && props->m_bPrintMode && props->m_bBlackWhite;
    const CGXSysColorCache& colors = *GXGetSysData();
    const COLORREF text = blackWhite ? 0 : (style.GetInclude(GX_INCL_TEXTCOLOR) ? colors.Resolve(style.GetTextColor()) : 0);
    const COLORREF back = blackWhite ? 0xFFFFFF : colors.Resolve(style.GetInterior().GetForeColor());
    CGXBCurrencyEdit::Format format;
    m_wnd.GetFormat(format);
    format.SetBackgroundColor(back);
    format.SetNegativeColor(text);
    format.SetPositiveColor(text);
    m_wnd.SetFormat(format);
    // One line (the editor never takes more), placed by the style's vertical alignment.
    CRect rc = GetCellRect(GetRow(), GetCol(), const_cast<CRect*>(&rectCell), &style);
    if (m_nLineHeight > 0) {
        if (style.GetVerticalAlignment() == 1)
            rc.top += std::max(0, (rc.Height() - m_nLineHeight) / 2);
        else if (style.GetVerticalAlignment() == 2 && rc.bottom - m_nLineHeight > rc.top)
            rc.top = rc.bottom - m_nLineHeight;
        rc.bottom = std::min<LONG>(rc.bottom, rc.top + m_nLineHeight);
    }
    m_wnd.SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    dtcells::ExcludeFrozen(*grid, m_wnd, GetRow(), GetCol(), rc);
}

void CGXCurrencyEdit::Reset()
{
    SetActive(FALSE);
    CGXStatic::Reset();
}

BOOL CGXCurrencyEdit::GetCurrentText(CString& sText)
{
    if (m_bActive) {
        sText = m_wnd.GetText();
        return TRUE;
    }
    if (IsInit()) {
        const CGXStyle* style = LoadStyle();
        return style ? (DisplayText(style->GetValue(), *style, sText), TRUE) : FALSE;
    }
    sText.Empty();
    return FALSE;
}

void CGXCurrencyEdit::SetCurrentText(const CString& sText)
{
    if (!IsInit() || !m_wnd.m_hWnd)
        return;
    if (!m_bActive)
        SetActive(TRUE);
    m_wnd.SetWindowText(sText);
    SetModify(TRUE);
    if (Grid())
        Grid()->OnModifyCell(GetRow(), GetCol());
}

void CGXCurrencyEdit::OnCalculatorResult(LPCTSTR pszText)
{
    if (IsReadOnly() || !pszText)
        return;
    double magnitude = 0;
    BOOL negative = FALSE;
    // The calculator writes '.' whatever the cell's separators are.
    if (!CGXBCurrencyFormat::ParseStoredValue(pszText, &magnitude, &negative))
        return;
    m_wnd.SetValue(negative ? -magnitude : magnitude, TRUE);
    SetModify(TRUE);
    if (Grid() && IsInit())
        Grid()->OnModifyCell(GetRow(), GetCol());
}

BOOL CGXCurrencyEdit::Store()
{
    if (!IsInit() || !GetModify())
        return TRUE;
    if (Grid() && Grid()->IsReadOnlyLocked())
        return FALSE;
    const CString value = GetValueText();
    const ROWCOL nRow = GetRow(), nCol = GetCol();
    SetModify(FALSE);
    const BOOL ok = StoreValue(nRow, nCol, value);
    FreeStyle();
    return ok;
}

void CGXCurrencyEdit::Hide()
{
    if (!m_wnd.m_hWnd || !m_wnd.IsWindowVisible())
        return;
    // The focus goes back to the grid, not to nowhere; the grid does not take that for the
    // user leaving it.
    const CGXGridFocusChange change(Grid());
    const BOOL hadFocus = ::GetFocus() == m_wnd.m_hWnd;
    m_wnd.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    if (hadFocus && GridWnd())
        GridWnd()->SetFocus();
}

void CGXCurrencyEdit::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                           const CGXStyle* pStandardStyle)
{
    const bool current = Grid() && Grid()->IsCurrentCell(nRow, nCol) && !Grid()->IsPrinting();
    if (current && m_bActive && IsInitFor(nRow, nCol)) {
        m_wnd.SetButtonBitmap(WantsCalculator(style) ? GX_IDB_CALCBUTTON : 0);
        // The editor is moved without repainting, and the grid draws the cell now: the editor
        // draws itself again over it (all but what frozen rows or columns cover).
        m_wnd.Invalidate(TRUE);
        PrepareWindow(style, rect);
        if (GridWnd() && ::GetFocus() == GridWnd()->GetSafeHwnd()) {
            const CGXGridFocusChange change(Grid());
            m_wnd.SetFocus();
        }
        if (!m_wnd.IsWindowVisible())
            m_wnd.ShowWindow(SW_SHOW);
        m_wnd.SendMessage(EM_SETREADONLY, IsReadOnly());
        CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    CGXStatic::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXCurrencyEdit::KeyPressed(UINT nMessage, UINT nChar, UINT, UINT)
{
    if (!IsInit() || m_bActive)
        return FALSE;
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    if (nMessage == WM_KEYDOWN && !ctrl) {
        if (nChar == VK_SPACE && !IsReadOnly()) {
            m_wnd.ToggleSign();
            SetModify(TRUE);
            return TRUE;
        }
        if (nChar == VK_HOME || nChar == VK_END) {
            SetActive(TRUE);
            m_wnd.SetCaretPosition(nChar == VK_HOME ? 0 : m_wnd.GetText().GetLength(), FALSE);
            return TRUE;
        }
        return FALSE;
    }
    if (nMessage == WM_SYSKEYDOWN && nChar == VK_UP) {
        // The editor takes the keys from here; the first that comes while the cell is not
        // being edited gives them back to the grid.
        if (m_wnd.m_hWnd) {
            const CGXGridFocusChange change(Grid());
            m_wnd.SetFocus();
        }
        return FALSE;
    }
    if (nMessage == WM_SYSKEYDOWN && nChar == VK_DOWN) {
        SetActive(TRUE);
        if (m_wnd.HasButton())
            m_wnd.ShowCalculator();
        return FALSE;
    }
    if (nMessage == WM_CHAR && nChar >= 0x20 && nChar != 0x7F && !IsReadOnly()) {
        SetActive(TRUE);
        m_wnd.SendMessage(WM_CHAR, nChar, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CGXCurrencyEdit::ReplaceAllIn(ROWCOL nRow, ROWCOL nCol, const CString& find, const CString& replace,
                                   BOOL bMatchCase)
{
    // Composed afresh: the grid's drawing cache may hold the cell as it was before a change.
    CGXStyle composed;
    if (Grid())
        Grid()->ComposeCellStyle(nRow, nCol, composed);
    const CGXStyle* style = Grid() ? &composed : nullptr;
    if (!style || find.IsEmpty())
        return FALSE;
    CString display;
    if (!DisplayText(style->GetValue(), *style, display))
        display = "0";
    CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
    ApplyCurrencyAttributes(format, *style);
    CString what = find;
    if (!format.GetCurrencySymbol().IsEmpty() && what.Left(format.GetCurrencySymbol().GetLength()) == format.GetCurrencySymbol())
        what = what.Mid(format.GetCurrencySymbol().GetLength());
    if (what.IsEmpty())
        return FALSE;
    CString haystack = display;
    CString needle = what;
    if (!bMatchCase) {
        haystack.MakeUpper();
        needle.MakeUpper();
    }
    // The result grows as it needs: no fixed buffer to overflow.
    CString result;
    int from = 0;
    bool replaced = false;
    for (int at = haystack.Find(needle, from); at >= 0; at = haystack.Find(needle, from)) {
        result += display.Mid(from, at - from) + replace;
        from = at + needle.GetLength();
        replaced = true;
    }
    if (!replaced)
        return FALSE;
    result += display.Mid(from);
    double magnitude = 0;
    BOOL negative = FALSE;
    if (!format.ParseValue(result, &magnitude, &negative))
        return FALSE;
    // The plain value is stored, as an edited cell stores it.
    return StoreValue(nRow, nCol, format.FormatStoredValue(magnitude, negative));
}

BOOL CGXCurrencyEdit::ReplaceAll(ROWCOL nRow, ROWCOL nCol)
{
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    return ReplaceAllIn(nRow, nCol, state.m_strFind, state.m_strReplace, state.m_bCase);
}

void CGXCurrencyEdit::FormatFor(const CGXStyle& style, CGXBCurrencyEdit::Format& format, BOOL bEditing) const
{
    if (bEditing) {
        m_wnd.GetFormat(format);
        return;
    }
    format = CGXBCurrencyEdit::Format(CGXBCurrencyEdit::Format::Source::Locale);
    ApplyCurrencyAttributes(format, style);
}

BOOL CGXCurrencyEdit::FindText(ROWCOL nRow, ROWCOL nCol, BOOL bCurrentPos, BOOL bSetCell)
{
    CGXGridCore* grid = Grid();
    const CGXFindReplaceState& state = GXGetFindReplaceState();
    if (!grid || state.m_strFind.IsEmpty())
        return FALSE;
    const bool editing = m_bActive && IsInitFor(nRow, nCol) && m_wnd.m_hWnd;
    CGXStyle style;
    grid->ComposeCellStyle(nRow, nCol, style);
    CGXBCurrencyEdit::Format format;
    FormatFor(style, format, editing);
    // A currency symbol typed in front of the number is not part of what is searched for.
    CString what = state.m_strFind;
    const CString symbol = format.GetCurrencySymbol();
    if (!symbol.IsEmpty() && what.Left(symbol.GetLength()) == symbol)
        what = what.Mid(symbol.GetLength());
    if (what.IsEmpty())
        return FALSE;
    CString text;
    int from = 0;
    if (editing) {
        text = m_wnd.GetText();
        int start = 0, end = 0;
        m_wnd.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        from = std::max(start, 0) + (bCurrentPos ? 0 : 1);
    } else if (!DisplayText(style.GetValue(), style, text)) {
        return FALSE;
    }
    CString upper = text, needle = what;
    upper.MakeUpper();
    needle.MakeUpper();
    const int at = from <= upper.GetLength() ? upper.Find(needle, from) : -1;
    if (at < 0)
        return FALSE;
    if (!bSetCell)
        return TRUE;
    if (!editing) {
        grid->ScrollCellInView(nRow, nCol);
        if (!grid->IsCurrentCell(nRow, nCol))
            grid->SetCurrentCell(nRow, nCol, GX_UPDATENOW | GX_SCROLLINVIEW);
        if (!IsInitFor(nRow, nCol))
            Init(nRow, nCol);
        if (!m_bActive)
            SetActive(TRUE);
    }
    m_wnd.SetSel(at, at + needle.GetLength());
    Refresh();
    return TRUE;
}

void CGXCurrencyEdit::ReplaceSel(LPCTSTR pszText)
{
    if (!m_bActive || !m_wnd.m_hWnd) {
        CGXStatic::ReplaceSel(pszText);
        return;
    }
    // The selection of the window's text gives way to the text; the result is read as a number
    // again, and taken only when it still is one.
    const CString text = m_wnd.GetText();
    int start = 0, end = 0;
    m_wnd.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start < 0 || end < 0 || start > end) {
        start = 0;
        end = text.GetLength();
    }
    const CString result = text.Left(start) + (pszText ? pszText : "") + text.Mid(end);
    m_wnd.SetWindowText(result);
    SetModify(TRUE);
    if (Grid())
        Grid()->OnModifyCell(GetRow(), GetCol());
}

BOOL CGXCurrencyEdit::GetSelectedText(CString& sText)
{
    if (!m_bActive || !m_wnd.m_hWnd) {
        GetCurrentText(sText);
        return FALSE;
    }
    const LRESULT sel = m_wnd.SendMessage(EM_GETSEL);
    const int start = LOWORD(sel);
    const int end = HIWORD(sel);
    if (start == end) {
        sText.Empty();
        return FALSE;
    }
    const CString text = m_wnd.GetText();
    if (end == 0xFFFF)
        sText = text;   // everything is selected
    else
        sText = end - start > 0 ? text.Mid(start, end - start) : CString();
    return TRUE;
}

BOOL CGXCurrencyEdit::CanCopy()
{
    return m_bActive && m_wnd.m_hWnd && m_wnd.HasSelection();
}

BOOL CGXCurrencyEdit::Copy()
{
    if (!CanCopy())
        return FALSE;
    m_wnd.Copy();
    return TRUE;
}

BOOL CGXCurrencyEdit::CanCut()
{
    return CanCopy() && !IsReadOnly();
}

BOOL CGXCurrencyEdit::Cut()
{
    if (!CanCut())
        return FALSE;
    // The window's change marks the cell modified and tells the grid.
    m_wnd.Cut();
    return TRUE;
}

BOOL CGXCurrencyEdit::CanPaste()
{
    return m_bActive && m_wnd.m_hWnd && !IsReadOnly() && ::IsClipboardFormatAvailable(CF_TEXT);
}

BOOL CGXCurrencyEdit::Paste()
{
    if (!CanPaste())
        return FALSE;
    m_wnd.Paste();
    return TRUE;
}

void CGXCurrencyEdit::GiveKeyToGrid(UINT nMessage, UINT nChar, LPARAM lParam)
{
    CGXGridCore* grid = Grid();
    if (!grid || !GridWnd())
        return;
    if (::GetFocus() == m_wnd.m_hWnd) {
        const CGXGridFocusChange change(grid);
        GridWnd()->SetFocus();
    }
    grid->RouteKeyMessage(nullptr, nMessage, nChar, LOWORD(lParam), HIWORD(lParam));
}

BOOL CGXCurrencyEdit::MayActivateByMouse()
{
    return IsInit() && !m_bActive && m_wnd.m_hWnd && !IsReadOnly() && CanActivate() && Grid() &&
           Grid()->OnStartEditing(GetRow(), GetCol());
}

BOOL CGXCurrencyEdit::LButtonUp(UINT nFlags, CPoint pt, UINT nHitState)
{
    // A click on the cell that was current already starts editing there, the caret at the
    // character under the click; the click that makes a cell current only moves there.
    const CGXGridParam* param = Grid() ? Grid()->GetParam() : nullptr;
    const DWORD flags = param ? param->m_dwActivateFlags : 0;
    const bool byClick = (nHitState & GX_MOUSE_CURRENT) && param && param->m_bActivateOnClick;
    if ((byClick || (flags & 0x06)) && MayActivateByMouse()) {
        SetActive(TRUE);
        if (m_bActive) {
            CRect rcWnd;
            m_wnd.GetWindowRect(&rcWnd);
            GridWnd()->ScreenToClient(&rcWnd);
            const int at = m_wnd.CharFromPoint(CPoint(pt.x - rcWnd.left, pt.y - rcWnd.top));
            m_wnd.SetSel(-1, 0);
            m_wnd.SetCaretPosition(at, FALSE);
            if (::GetFocus() != m_wnd.m_hWnd)
                Refresh();
            return TRUE;
        }
    }
    return CGXStatic::LButtonUp(nFlags, pt, nHitState);
}

BOOL CGXCurrencyEdit::LButtonDblClk(UINT nFlags, CPoint pt)
{
    if (MayActivateByMouse()) {
        SetActive(TRUE);
        if (m_bActive) {
            m_wnd.SelectAll();
            return TRUE;
        }
    }
    return CGXStatic::LButtonDblClk(nFlags, pt);
}

BOOL CGXCurrencyEdit::StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType,
                                 const CGXStyle* pOldStyle)
{
    const BOOL stored = CGXStatic::StoreStyle(nRow, nCol, pStyle, nMode, nType, pOldStyle);
    if (!stored || !pStyle || (nMode != gxOverride && nMode != gxApplyNew) || !IsInitFor(nRow, nCol) || !m_wnd.m_hWnd)
        return stored;
    // A style that sets the cell's control, to this kind or another, ends the edit: the cell
    // is bound afresh when it is next current.
    if (!(pStyle->GetInclude(GX_INCL_VALUE) && !GetModify()) && pStyle->GetInclude(GX_INCL_CONTROL)) {
        Reset();
        return stored;
    }
    FreeStyle();
    const CGXStyle* now = LoadStyle();
    if (!now)
        return stored;
    // A new value replaces what the window shows unless the user is changing it.
    if (pStyle->GetInclude(GX_INCL_VALUE) && !GetModify()) {
        double magnitude = 0;
        BOOL negative = FALSE;
        CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
        ApplyCurrencyAttributes(format, *now);
        if (!CGXBCurrencyFormat::ParseStoredValue(now->GetValue(), &magnitude, &negative))
            format.ParseValue(now->GetValue(), &magnitude, &negative);
        m_bInitializing = TRUE;
        m_wnd.SetValue(negative ? -magnitude : magnitude, TRUE);
        m_bInitializing = FALSE;
    }
    // A changed format shows at once, the edit kept.
    for (WORD id = GX_IDS_UA_CURRENCYSEP; id <= GX_IDS_UA_CURRENCYDECIMALS; ++id)
        if (pStyle->HasUserAttribute(id) || pStyle->HasUserAttribute(GX_IDS_UA_CURRENCYSYM)) {
            CGXBCurrencyEdit::Format format(CGXBCurrencyEdit::Format::Source::Locale);
            ApplyCurrencyAttributes(format, *now);
            CGXBCurrencyEdit::Format shown;
            m_wnd.GetFormat(shown);
            // The colours are the cell's, not the attributes'.
            COLORREF cr;
            if (shown.GetBackgroundColor(cr))
                format.SetBackgroundColor(cr);
            if (shown.GetNegativeColor(cr))
                format.SetNegativeColor(cr);
            if (shown.GetPositiveColor(cr))
                format.SetPositiveColor(cr);
            m_bInitializing = TRUE;
            m_wnd.SetFormat(format);
            m_bInitializing = FALSE;
            m_wnd.SetButtonBitmap(WantsCalculator(*now) ? GX_IDB_CALCBUTTON : 0);
            break;
        }
    return stored;
}
