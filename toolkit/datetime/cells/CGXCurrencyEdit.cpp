#include "toolkit/datetime/cells/CGXCurrencyEdit.h"

#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXRange.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/controls/EditDefs.h"
#include "platform/core/CException.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
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
    case WM_KEYDOWN: {
        const UINT key = static_cast<UINT>(wParam);
        const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        if (ctrl)
            break;
        bool stays = true;
        switch (key) {
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
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\n')
            return 0;
        if (wParam != '\b' && m_pCell->IsReadOnly())
            return 0;
        break;
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
        CRect rect = Grid()->CalcCellRect(GetRow(), GetCol());
        rect = GetCellRect(GetRow(), GetCol(), &rect, LoadStyle());
        m_wnd.MoveWindow(&rect, FALSE);
    }
    m_wnd.SendMessage(EM_SETREADONLY, IsReadOnly());
    m_wnd.ShowWindow(SW_SHOW);
    m_wnd.SetFocus();
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
    m_wnd.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void CGXCurrencyEdit::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
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
    // FIXME: the find-and-replace feature supplies the texts; without it nothing is replaced.
    (void)nRow;
    (void)nCol;
    return FALSE;
}
