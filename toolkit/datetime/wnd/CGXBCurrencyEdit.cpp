#include "toolkit/datetime/wnd/CGXBCurrencyEdit.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/EditDefs.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/wnd/CGXBCalculator.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr const char* kClassName = "CGXBCurrencyEdit";

bool IsDigitAt(const CString& s, int i)
{
    return i >= 0 && i < s.GetLength() && std::isdigit(static_cast<unsigned char>(s[i]));
}

int Digits(const CString& s)
{
    int n = 0;
    for (int i = 0; i < s.GetLength(); ++i)
        n += IsDigitAt(s, i);
    return n;
}

int DigitsBefore(const CString& s, int pos)
{
    int n = 0;
    for (int i = 0; i < pos && i < s.GetLength(); ++i)
        n += IsDigitAt(s, i);
    return n;
}

// The index at which the digit count first exceeds n, -1 when none does.
int DigitIndex(const CString& s, int n)
{
    int count = 0;
    for (int i = 0; i < s.GetLength(); ++i)
        if (IsDigitAt(s, i) && ++count > n)
            return i;
    return -1;
}

int LastDigit(const CString& s)
{
    for (int i = s.GetLength() - 1; i >= 0; --i)
        if (IsDigitAt(s, i))
            return i;
    return -1;
}

} // namespace

CGXBCurrencyEdit::CGXBCurrencyEdit() : m_pFormat(std::make_unique<Format>(Format::Source::Locale))
{
    m_pFormat->SetDecimalLineColor(GetSysColor(COLOR_BTNSHADOW));
}

CGXBCurrencyEdit::~CGXBCurrencyEdit()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CGXBCurrencyEdit::RegisterClass()
{
    WNDCLASS wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProc;
    wc.hCursor = ::LoadCursor(nullptr, IDC_IBEAM);
    wc.lpszClassName = kClassName;
    return AfxRegisterClass(&wc);
}

BOOL CGXBCurrencyEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!RegisterClass())
        return FALSE;
    if (!CreateEx(0, kClassName, "", dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    CString text;
    m_pFormat->FormatValue(m_dMagnitude, text, m_bNegative);
    SetTextUnparsed(text);
    return TRUE;
}

CString CGXBCurrencyEdit::GetText() const
{
    CString text;
    if (m_hWnd)
        GetWindowText(text);
    return text;
}

void CGXBCurrencyEdit::NotifyParent(UINT nCode)
{
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent)
        ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGXBCurrencyEdit::SetTextUnparsed(const CString& strText)
{
    const BOOL parse = m_bParseOnSetText;
    m_bParseOnSetText = FALSE;
    SetWindowText(strText);
    m_bParseOnSetText = parse;
}

void CGXBCurrencyEdit::SetValue(double dValue, BOOL bRedraw)
{
    SetValueInternal(dValue < 0 ? -dValue : dValue, dValue < 0, bRedraw);
}

void CGXBCurrencyEdit::SetValueInternal(double dMagnitude, BOOL bNegative, BOOL bRedraw)
{
    if (dMagnitude == m_dMagnitude && (bNegative != FALSE) == (m_bNegative != FALSE))
        return;
    m_dMagnitude = dMagnitude;
    m_bNegative = bNegative ? TRUE : FALSE;
    if (!m_hWnd)
        return;
    CString text;
    m_pFormat->FormatValue(m_dMagnitude, text, m_bNegative);
    SaveUndoState(nullptr, -1);
    SetTextUnparsed(text);
    if (bRedraw && m_bRedraw)
        Invalidate(TRUE);
}

void CGXBCurrencyEdit::SetFormat(const Format& format)
{
    if (!m_pFormat->IsNotEqual(format))
        return;
    m_pFormat->Assign(format);
    if (m_hWnd) {
        CString text;
        m_pFormat->FormatValue(m_dMagnitude, text, m_bNegative);
        SetTextUnparsed(text);
        if (m_bRedraw)
            Invalidate();
    }
}

void CGXBCurrencyEdit::SetAlignment(int nAlign)
{
    static const DWORD kStyles[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    if (nAlign < 0 || nAlign > 2 || !m_hWnd)
        return;
    ModifyStyle(ES_LEFT | ES_CENTER | ES_RIGHT, kStyles[nAlign]);
    Invalidate();
}

int CGXBCurrencyEdit::GetAlignment() const
{
    const DWORD style = m_hWnd ? GetStyle() : 0;
    return (style & ES_RIGHT) ? 2 : ((style & ES_CENTER) ? 1 : 0);
}

BOOL CGXBCurrencyEdit::IsReadOnly() const
{
    return m_hWnd && (GetStyle() & ES_READONLY) != 0;
}

void CGXBCurrencyEdit::SetReadOnly(BOOL bReadOnly)
{
    if (!m_hWnd || (IsReadOnly() != FALSE) == (bReadOnly != FALSE))
        return;
    ModifyStyle(bReadOnly ? 0 : ES_READONLY, bReadOnly ? ES_READONLY : 0);
    if (m_bRedraw)
        Invalidate();
}

BOOL CGXBCurrencyEdit::SelRange(int& nMin, int& nMax) const
{
    if (!HasSelection())
        return FALSE;
    if (m_nAnchor == 0 && m_nSelEnd == -1) {
        nMin = 0;
        nMax = GetText().GetLength();
    } else {
        nMin = std::min(m_nAnchor, m_nSelEnd);
        nMax = std::max(m_nAnchor, m_nSelEnd);
    }
    return TRUE;
}

void CGXBCurrencyEdit::ClearSelection()
{
    const bool had = HasSelection();
    m_nAnchor = -1;
    m_nSelEnd = 0;
    if (had && m_hWnd && m_bRedraw)
        Invalidate(FALSE);
}

BOOL CGXBCurrencyEdit::SetSel(int nStart, int nEnd)
{
    const int len = GetText().GetLength();
    if (nStart == -1 && nEnd == 0) {
        m_nAnchor = -1;
        m_nSelEnd = 0;
    } else if (nStart == 0 && nEnd == -1) {
        m_nAnchor = 0;
        m_nSelEnd = -1;
        m_nCaret = len;
        UpdateCaretPos();
    } else {
        if (std::min(nStart, nEnd) < 0 || std::max(nStart, nEnd) > len)
            return FALSE;
        m_nAnchor = nStart;
        m_nSelEnd = nEnd;
        m_nCaret = nEnd;
        UpdateCaretPos();
    }
    if (m_hWnd && m_bRedraw)
        Invalidate(FALSE);
    return TRUE;
}

void CGXBCurrencyEdit::SaveUndoState(LPCTSTR pszText, int nCaret)
{
    m_undo.text = pszText ? CString(pszText) : GetText();
    m_undo.caret = nCaret == -1 ? m_nCaret : nCaret;
    if (HasSelection()) {
        m_undo.selStart = m_nAnchor;
        m_undo.selEnd = m_nSelEnd;
    } else {
        m_undo.selStart = -1;
        m_undo.selEnd = 0;
    }
    m_bCanUndo = TRUE;
}

BOOL CGXBCurrencyEdit::ApplyText(const CString& strText)
{
    const CString old = GetText();
    const int oldCaret = m_nCaret;
    const BOOL redraw = m_bRedraw;
    m_bRedraw = FALSE;
    SetWindowText(strText);
    m_bRedraw = redraw;
    const CString now = GetText();
    if (now == old)
        return FALSE;
    SaveUndoState(old, oldCaret);
    NotifyParent(GXCUR_EN_UPDATE);
    if (m_bRedraw)
        Invalidate(TRUE);
    NotifyParent(GXCUR_EN_CHANGE);
    return TRUE;
}

LRESULT CGXBCurrencyEdit::OnSetText(LPCTSTR pszText)
{
    if (m_bParseOnSetText) {
        double magnitude = 0;
        BOOL negative = FALSE;
        if (!m_pFormat->ParseValue(pszText ? pszText : "", &magnitude, &negative))
            return FALSE;
        // The same value keeps its text; another is shown formatted.
        CString formatted;
        m_pFormat->FormatValue(magnitude, formatted, negative);
        if (magnitude == m_dMagnitude && (negative != FALSE) == (m_bNegative != FALSE)) {
            if (GetText() != formatted)
                SetTextUnparsed(formatted);
            return TRUE;
        }
        SetValueInternal(magnitude, negative, TRUE);
        return TRUE;
    }
    const LRESULT r = CGXBDropEdit::WindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszText));
    if (m_bRedraw)
        Invalidate();
    return r;
}

BOOL CGXBCurrencyEdit::SelectionCoversNumber(const CString& text) const
{
    int first, last, lo, hi;
    if (!SelRange(lo, hi) || !m_pFormat->FindNumber(text, &first, &last))
        return FALSE;
    return lo <= first && hi >= last;
}

void CGXBCurrencyEdit::InsertText(LPCTSTR pszText)
{
    if (IsReadOnly() || !pszText || !*pszText)
        return;
    const CString typed = pszText;
    const CString text = GetText();
    const int n = m_pFormat->GetIntegerDigits();
    int first = -1, last = -1;
    m_pFormat->FindNumber(text, &first, &last);
    const int d = m_pFormat->FindDecimalSeparator(text);
    int caret = m_nCaret;
    if (first >= 0 && !(caret >= first && caret <= last + 1)) {
        caret = d != -1 ? d : last;
        if (n == 0 || d == -1)
            ++caret;
    }
    int lo = 0, hi = 0;
    const BOOL hadSel = SelRange(lo, hi);
    const BOOL coveredNumber = hadSel && SelectionCoversNumber(text);
    if (m_bOverwrite && !hadSel && caret < text.GetLength() &&
        (text[caret] == m_pFormat->GetDecimalSeparator() ||
         (m_pFormat->GetThousandsSeparator() && text[caret] == m_pFormat->GetThousandsSeparator())))
        ++caret;
    CString updated;
    bool caretDecided = false;
    if (hadSel) {
        updated = text.Left(lo) + typed + text.Mid(hi);
    } else if (d != -1 && caret > d) {
        if (caret > last) {
            if (!m_bAppendInFraction)
                return;
            const int fd = m_pFormat->GetFractionDigits();
            CString fraction = text.Mid(d + 1, last - d);
            CString shifted = typed.GetLength() <= fd ? fraction.Mid(typed.GetLength()) + typed : typed.Right(fd);
            updated = text.Left(d + 1) + shifted + text.Mid(last + 1);
        } else {
            updated = text.Left(caret) + typed + text.Mid(caret + typed.GetLength());
            updated = updated.Left(text.GetLength());
        }
    } else if (m_bOverwrite || (d != -1 && d >= caret && n != -1)) {
        updated = text.Left(caret) + typed.Left(1) + text.Mid(caret + 1);
        ++caret;
        caretDecided = true;
    } else {
        updated = text.Left(caret) + typed + text.Mid(caret);
    }
    const int oldLen = text.GetLength();
    m_nCaret = caret;
    if (!ApplyText(updated)) {
        m_nCaret = m_nCaret > GetText().GetLength() ? GetText().GetLength() : m_nCaret;
        ClearSelection();
        UpdateCaretPos();
        return;
    }
    const CString now = GetText();
    const int nd = m_pFormat->FindDecimalSeparator(now);
    if (!hadSel) {
        if (!caretDecided) {
            if (nd != -1 && caret > nd && caret < now.GetLength())
                caret = std::min(caret + Digits(typed), now.GetLength());
            else
                caret += now.GetLength() - oldLen;
        } else {
            caret += now.GetLength() - oldLen;
        }
    } else if (coveredNumber) {
        caret = nd != -1 ? nd + (n == 0 ? 1 : 0) : now.GetLength();
    } else {
        caret = now.GetLength() - (oldLen - caret);
    }
    caret = std::clamp(caret, 0, LastDigit(now) + 1);
    m_nCaret = caret;
    ClearSelection();
    UpdateCaretPos();
}

void CGXBCurrencyEdit::DeleteChar()
{
    const CString text = GetText();
    if (IsReadOnly() || (!HasSelection() && m_nCaret >= text.GetLength()))
        return;
    const int d = m_pFormat->FindDecimalSeparator(text);
    CString updated;
    int newCaret = -1;
    int lo = 0, hi = 0;
    int caret = m_nCaret;
    if (SelRange(lo, hi)) {
        updated = text.Left(lo) + text.Mid(hi);
        caret = lo;
    } else {
        if (!IsDigitAt(text, caret)) {
            // No digit at or after the caret (before ")" of "($1.00)"): nothing to delete.
            const int next = DigitIndex(text, DigitsBefore(text, caret));
            if (next < 0)
                return;
            caret = next;
        }
        if (d == -1 || caret <= d) {
            updated = text.Left(caret) + text.Mid(caret + 1);
        } else {
            updated = text;
            updated.SetAt(caret, '0');
            newCaret = caret + 1;
        }
    }
    if (Digits(updated) == 0)
        updated += "0";
    const int digitsBefore = DigitsBefore(text, caret);
    ApplyText(updated);
    ClearSelection();
    const CString now = GetText();
    if (m_dMagnitude == 0.0) {
        const int nd = m_pFormat->FindDecimalSeparator(now);
        newCaret = nd != -1 ? nd : LastDigit(now) + 1;
    } else if (newCaret < 0) {
        newCaret = DigitIndex(now, digitsBefore);
        if (newCaret < 0)
            newCaret = now.GetLength();
    }
    m_nCaret = std::clamp(newCaret, 0, now.GetLength());
    UpdateCaretPos();
}

void CGXBCurrencyEdit::BackspaceChar()
{
    if (IsReadOnly())
        return;
    if (HasSelection()) {
        DeleteChar();
        return;
    }
    const CString text = GetText();
    int first = -1, last = -1;
    if (!m_pFormat->FindNumber(text, &first, &last) || m_nCaret <= first)
        return;
    const int target = DigitIndex(text, DigitsBefore(text, m_nCaret) - 1);
    if (target < 0)
        return;
    const int d = m_pFormat->FindDecimalSeparator(text);
    const int n = m_pFormat->GetIntegerDigits();
    CString updated = text;
    const bool integer = d == -1 || target < d;
    const int digitsBefore = DigitsBefore(text, target);
    if (integer)
        updated.Delete(target, 1);
    else
        updated.SetAt(target, '0');
    if (Digits(updated) == 0)
        updated += "0";
    ApplyText(updated);
    const CString now = GetText();
    int caret;
    if (integer) {
        if (n == -1)
            caret = digitsBefore == 0 ? std::max(0, DigitIndex(now, 0)) : DigitIndex(now, digitsBefore - 1) + 1;
        else
            caret = target + 1;
    } else {
        caret = DigitIndex(now, digitsBefore);
    }
    if (m_dMagnitude == 0.0) {
        const int nd = m_pFormat->FindDecimalSeparator(now);
        caret = nd != -1 ? nd + (n == 0 ? 1 : 0) : LastDigit(now) + 1;
    }
    m_nCaret = std::clamp(caret, 0, now.GetLength());
    UpdateCaretPos();
}

void CGXBCurrencyEdit::ToggleSign()
{
    if (IsReadOnly())
        return;
    const CString text = GetText();
    int first = -1, last = -1;
    m_pFormat->FindNumber(text, &first, &last);
    int lo = 0, hi = 0;
    const BOOL sel = SelRange(lo, hi);
    const bool covers = sel && lo <= first && hi >= last;
    const bool beyond = sel && (lo < first || hi - 1 > last);
    m_bNegative = (covers && beyond) ? TRUE : !m_bNegative;
    CString updated;
    m_pFormat->FormatValue(m_dMagnitude, updated, m_bNegative);
    SaveUndoState(nullptr, -1);
    SetTextUnparsed(updated);
    int nf = -1, nl = -1;
    m_pFormat->FindNumber(updated, &nf, &nl);
    if (covers && beyond) {
        m_nAnchor = nf;
        m_nSelEnd = nl + 1;
        m_nCaret = nl + 1;
    } else {
        ClearSelection();
        m_nCaret = std::clamp(m_nCaret + (nl - last), 0, updated.GetLength());
    }
    if (m_bRedraw)
        Invalidate();
    UpdateCaretPos();
}

void CGXBCurrencyEdit::Clear()
{
    if (IsReadOnly())
        return;
    int lo, hi;
    if (SelRange(lo, hi)) {
        const CString text = GetText();
        ApplyText(text.Left(lo) + text.Mid(hi));
        ClearSelection();
    } else {
        SetValue(0.0, TRUE);
    }
    if (::GetFocus() == m_hWnd) {
        m_nCaret = 0;
        UpdateCaretPos();
    }
}

void CGXBCurrencyEdit::Undo()
{
    if (IsReadOnly() || !m_bCanUndo)
        return;
    const UndoRecord record = m_undo;
    SaveUndoState(nullptr, -1);
    SetWindowText(record.text);
    m_nAnchor = record.selStart;
    m_nSelEnd = record.selEnd;
    if (::GetFocus() == m_hWnd && record.caret >= 0) {
        m_nCaret = std::min(record.caret, GetText().GetLength());
        UpdateCaretPos();
    }
    if (m_bRedraw)
        Invalidate();
}

void CGXBCurrencyEdit::PreparePaste(CString& strText)
{
    if (SelectionCoversNumber(GetText()))
        return;
    CString digits;
    for (int i = 0; i < strText.GetLength(); ++i)
        if (std::isdigit(static_cast<unsigned char>(strText[i])))
            digits += strText[i];
    strText = digits;
}

void CGXBCurrencyEdit::Paste()
{
    if (IsReadOnly() || !::OpenClipboard(m_hWnd))
        return;
    CString text;
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
            // A clipboard text far longer than any number is cut before it is looked at.
            text = CString(p, static_cast<int>(strnlen(p, 4096)));
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    if (text.IsEmpty())
        return;
    PreparePaste(text);
    if (!text.IsEmpty())
        InsertText(text);
}

void CGXBCurrencyEdit::Copy()
{
    int lo, hi;
    if (!SelRange(lo, hi))
        return;
    const CString part = GetText().Mid(lo, hi - lo);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(part.GetLength() + 1));
    if (!mem)
        return;
    if (char* p = static_cast<char*>(::GlobalLock(mem))) {
        std::memcpy(p, static_cast<LPCTSTR>(part), static_cast<size_t>(part.GetLength() + 1));
        ::GlobalUnlock(mem);
    }
    if (!::OpenClipboard(m_hWnd)) {
        ::GlobalFree(mem);
        return;
    }
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_TEXT, mem))
        ::GlobalFree(mem);
    ::CloseClipboard();
}

void CGXBCurrencyEdit::Cut()
{
    if (IsReadOnly() || !HasSelection())
        return;
    Copy();
    DeleteChar();
}

BOOL CGXBCurrencyEdit::ShowCalculator()
{
    GXSetPopupLock(TRUE);
    CRect rc;
    GetWindowRect(&rc);
    auto* pop = new CGXBPopupCalculator;
    pop->SetValue(m_dMagnitude);
    pop->m_bAutoDelete = TRUE;
    // The pop-up deletes itself with its window, and so also when its window cannot be made.
    const BOOL ok = pop->Create(WS_POPUP | WS_VISIBLE | GXCALC_STYLE_SENDONEQUALS, rc, this);
    if (ok) {
        pop->SetOwner(this);
        pop->SetValue(m_bNegative ? -m_dMagnitude : m_dMagnitude);
    }
    GXSetPopupLock(FALSE);
    return ok;
}

CMenu* CGXBCurrencyEdit::CreateContextMenu()
{
    auto* menu = new CMenu;
    menu->CreatePopupMenu();
    const CString text = GetText();
    const bool ro = IsReadOnly() != FALSE;
    const bool sel = HasSelection() != FALSE;
    bool canPaste = false;
    if (!ro && ::IsClipboardFormatAvailable(CF_TEXT) && ::OpenClipboard(m_hWnd)) {
        if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(::GlobalLock(h))) {
                double v;
                BOOL neg;
                canPaste = m_pFormat->ParseValue(CString(p, static_cast<int>(strnlen(p, 4096))), &v, &neg) != FALSE;
                ::GlobalUnlock(h);
            }
        }
        ::CloseClipboard();
    }
    auto flag = [](bool gray) { return MF_STRING | (gray ? MF_GRAYED : 0u); };
    menu->AppendMenu(flag(!m_bCanUndo || ro), ID_EDIT_UNDO, "&Undo\tCtrl+Z");
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(flag(text.IsEmpty() || !sel || ro), ID_EDIT_CUT, "Cu&t\tCtrl+X");
    menu->AppendMenu(flag(text.IsEmpty() || !sel), ID_EDIT_COPY, "&Copy\tCtrl+C");
    menu->AppendMenu(flag(!canPaste), ID_EDIT_PASTE, "&Paste\tCtrl+V");
    menu->AppendMenu(flag(text.IsEmpty() || !sel || ro), ID_EDIT_CLEAR, "&Delete\tDelete");
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(flag(text.IsEmpty()), ID_EDIT_SELECT_ALL, "Select &All");
    return menu;
}

void CGXBCurrencyEdit::DestroyContextMenu(CMenu* pMenu)
{
    delete pMenu;
}

CRect CGXBCurrencyEdit::GetTextRect(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    client.left += m_nLeftMargin;
    client.right -= m_nRightMargin;
    const CString text = GetText();
    const CSize ext = pDC->GetTextExtent(text);
    const int cx = GetSystemMetrics(SM_CXBORDER);
    CRect rc;
    rc.top = GetSystemMetrics(SM_CYBORDER);
    rc.bottom = rc.top + pDC->GetTextExtent("0", 1).cy;
    switch (GetAlignment()) {
    case 1: rc.left = client.CenterPoint().x - ext.cx / 2; break;
    case 2: rc.left = client.right - ext.cx - cx; break;
    default: rc.left = client.left + cx; break;
    }
    rc.right = rc.left + ext.cx;
    return rc;
}

int CGXBCurrencyEdit::CharFromPoint(CPoint pt)
{
    CClientDC dc(this);
    HGDIOBJ old = m_hFont ? ::SelectObject(dc.m_hDC, m_hFont) : nullptr;
    const CRect rc = GetTextRect(&dc);
    const CString text = GetText();
    int x = rc.left;
    int result = text.GetLength();
    for (int i = 0; i < text.GetLength(); ++i) {
        const int w = dc.GetTextExtent(static_cast<LPCTSTR>(text) + i, 1).cx;
        if (x + w / 2 > pt.x) {
            result = i;
            break;
        }
        x += w;
    }
    if (old)
        ::SelectObject(dc.m_hDC, old);
    return result;
}

void CGXBCurrencyEdit::UpdateCaretPos()
{
    if (!m_hWnd || ::GetFocus() != m_hWnd)
        return;
    CClientDC dc(this);
    HGDIOBJ old = m_hFont ? ::SelectObject(dc.m_hDC, m_hFont) : nullptr;
    const CRect rc = GetTextRect(&dc);
    const CString text = GetText();
    const int i = std::clamp(m_nCaret, 0, text.GetLength());
    ::SetCaretPos(rc.left + dc.GetTextExtent(text, i).cx, rc.top);
    if (old)
        ::SelectObject(dc.m_hDC, old);
}

void CGXBCurrencyEdit::SetCaretPosition(int nPos, BOOL bUpdateSelection)
{
    const bool extending = (::GetKeyState(VK_SHIFT) & 0x8000) || m_bMouseSelecting;
    const int len = GetText().GetLength();
    if (nPos >= 0 && nPos <= len) {
        if (bUpdateSelection) {
            if (!HasSelection() && extending) {
                m_nAnchor = m_nCaret;
                m_nSelEnd = nPos;
            } else if (HasSelection() && extending) {
                if (m_nAnchor == 0 && m_nSelEnd == -1)
                    m_nAnchor = 0;
                m_nSelEnd = nPos;
            } else if (HasSelection()) {
                ClearSelection();
            }
            if (m_bRedraw)
                Invalidate(FALSE);
        }
        m_nCaret = nPos;
        UpdateCaretPos();
    } else if (bUpdateSelection && !extending) {
        ClearSelection();
    }
}

void CGXBCurrencyEdit::CreateEditCaret(int nPos)
{
    TEXTMETRIC tm{};
    {
        CClientDC dc(this);
        HGDIOBJ old = m_hFont ? ::SelectObject(dc.m_hDC, m_hFont) : nullptr;
        dc.GetTextMetrics(&tm);
        if (old)
            ::SelectObject(dc.m_hDC, old);
    }
    ::CreateCaret(m_hWnd, nullptr, GetSystemMetrics(SM_CXBORDER), tm.tmHeight);
    if (nPos >= 0 && nPos <= GetText().GetLength())
        m_nCaret = nPos;
    UpdateCaretPos();
    ::ShowCaret(m_hWnd);
}

void CGXBCurrencyEdit::DestroyEditCaret()
{
    ClearSelection();
    ::DestroyCaret();
}

void CGXBCurrencyEdit::PaintBackground(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    rc.InflateRect(1, 1);
    COLORREF color;
    COLORREF set;
    if (!IsWindowEnabled())
        color = GetSysColor(COLOR_BTNFACE);
    else if (m_pFormat->GetBackgroundColor(set))
        color = set;
    else
        color = GetSysColor(IsReadOnly() ? COLOR_BTNFACE : COLOR_WINDOW);
    pDC->FillSolidRect(&rc, color);
}

void CGXBCurrencyEdit::DrawDecimalLine(CDC* pDC, int x)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(x, client.top, 1, client.Height(),
                       IsReadOnly() ? GetSysColor(COLOR_BTNSHADOW) : m_pFormat->GetDecimalLineColor());
}

void CGXBCurrencyEdit::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bRedraw)
        return;
    CRect client;
    GetClientRect(&client);
    CDC mem;
    CBitmap bitmap;
    CDC* pDC = &dc;
    CBitmap* oldBitmap = nullptr;
    if (mem.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height())) {
        oldBitmap = mem.SelectObject(&bitmap);
        pDC = &mem;
    }
    PaintBackground(pDC);
    HGDIOBJ oldFont = m_hFont ? ::SelectObject(pDC->m_hDC, m_hFont) : nullptr;
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    COLORREF set;
    if (!IsWindowEnabled())
        text = GetSysColor(GetExStyle() ? COLOR_BTNSHADOW : COLOR_GRAYTEXT);
    else if (m_bNegative ? m_pFormat->GetNegativeColor(set) : m_pFormat->GetPositiveColor(set))
        text = set;
    pDC->SetTextColor(text);
    pDC->SetBkMode(TRANSPARENT);
    CString str = GetText();
    const CRect rc = GetTextRect(pDC);
    int lineX = -1;
    const int d = m_pFormat->FindDecimalSeparator(str);
    if (m_pFormat->GetDecimalLine() && d != -1) {
        lineX = rc.left + pDC->GetTextExtent(str, d).cx + pDC->GetTextExtent(" ", 1).cx / 2;
        str.SetAt(d, ' ');
    }
    int lo, hi;
    CRect r = rc;
    if (!SelRange(lo, hi)) {
        pDC->DrawText(str, &r, DT_SINGLELINE | DT_NOPREFIX);
    } else {
        pDC->DrawText(str.Left(lo), &r, DT_SINGLELINE | DT_NOPREFIX);
        CRect right = rc;
        pDC->DrawText(str.Mid(hi), &right, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT);
        CRect mid(rc.left + pDC->GetTextExtent(str, lo).cx, rc.top, rc.left + pDC->GetTextExtent(str, hi).cx, rc.bottom);
        pDC->FillSolidRect(&mid, GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        pDC->DrawText(str.Mid(lo, hi - lo), &mid, DT_SINGLELINE | DT_NOPREFIX);
    }
    if (lineX >= 0)
        DrawDecimalLine(pDC, lineX);
    if (oldFont)
        ::SelectObject(pDC->m_hDC, oldFont);
    if (pDC == &mem) {
        dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
        mem.SelectObject(oldBitmap);
    }
}

BOOL CGXBCurrencyEdit::OnKeyDown(UINT nChar)
{
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (ctrl) {
        switch (nChar) {
        case 'C': PostMessage(WM_COPY); return TRUE;
        case 'V': PostMessage(WM_PASTE); return TRUE;
        case 'X': PostMessage(WM_CUT); return TRUE;
        case 'Z': PostMessage(WM_UNDO); return TRUE;
        default: break;
        }
    }
    switch (nChar) {
    case VK_DELETE:
        if (shift)
            PostMessage(WM_CUT);
        else
            DeleteChar();
        return TRUE;
    case VK_BACK:
        BackspaceChar();
        return TRUE;
    case VK_END:
        SetCaretPosition(GetText().GetLength(), TRUE);
        return TRUE;
    case VK_HOME:
        SetCaretPosition(0, TRUE);
        return TRUE;
    case VK_LEFT:
        SetCaretPosition(m_nCaret - 1, TRUE);
        return TRUE;
    case VK_RIGHT:
        SetCaretPosition(m_nCaret + 1, TRUE);
        return TRUE;
    case VK_INSERT:
        if (ctrl)
            PostMessage(WM_COPY);
        else if (shift)
            PostMessage(WM_PASTE);
        else
            ToggleInsertMode();
        return TRUE;
    case VK_F2:
        if (HasButton())
            ShowCalculator();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CGXBCurrencyEdit::OnSysKeyDown(UINT nChar)
{
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    if (nChar == VK_F10 && shift) {
        CRect rc;
        GetClientRect(&rc);
        PostMessage(WM_RBUTTONUP, 0, MAKELPARAM(rc.CenterPoint().x, rc.CenterPoint().y));
        return TRUE;
    }
    if (nChar == VK_BACK) {
        PostMessage(WM_UNDO);
        return TRUE;
    }
    return FALSE;
}

void CGXBCurrencyEdit::OnChar(UINT nChar)
{
    if (nChar == static_cast<unsigned char>(m_pFormat->GetDecimalSeparator())) {
        ClearSelection();
        const CString text = GetText();
        int first, last;
        if (m_pFormat->FindNumber(text, &first, &last)) {
            const int d = m_pFormat->FindDecimalSeparator(text);
            m_nCaret = d != -1 ? d + 1 : last + 1;
            UpdateCaretPos();
        }
    } else if (nChar == '-') {
        ToggleSign();
    } else if (nChar >= '0' && nChar <= '9') {
        const char s[2] = {static_cast<char>(nChar), 0};
        InsertText(s);
    }
}

LRESULT CGXBCurrencyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETTEXT:
        return OnSetText(reinterpret_cast<LPCTSTR>(lParam));
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_hFont);
    case WM_SETFONT:
        m_hFont = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam) && m_bRedraw)
            Invalidate();
        return 0;
    case WM_SETREDRAW:
        m_bRedraw = wParam ? TRUE : FALSE;
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case EM_GETSEL: {
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(m_nAnchor);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(m_nSelEnd);
        if (m_nAnchor >= 65535 || m_nSelEnd >= 65535)
            return -1;
        return MAKELONG(static_cast<WORD>(m_nAnchor), static_cast<WORD>(m_nSelEnd));
    }
    case EM_SETSEL:
        SetSel(static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    case EM_SETREADONLY:
        SetReadOnly(static_cast<BOOL>(wParam));
        return TRUE;
    case EM_CANUNDO:
        return m_bCanUndo;
    case EM_UNDO:
    case WM_UNDO:
        Undo();
        return TRUE;
    case EM_EMPTYUNDOBUFFER:
        m_bCanUndo = FALSE;
        return 0;
    case EM_SCROLLCARET:
        return TRUE;
    case EM_SETMARGINS:
        if (wParam == EC_USEFONTINFO) {
            CClientDC dc(this);
            HGDIOBJ old = m_hFont ? ::SelectObject(dc.m_hDC, m_hFont) : nullptr;
            TEXTMETRIC tm{};
            dc.GetTextMetrics(&tm);
            if (old)
                ::SelectObject(dc.m_hDC, old);
            m_nLeftMargin = m_nRightMargin = tm.tmAveCharWidth;
        } else {
            if (wParam & EC_LEFTMARGIN)
                m_nLeftMargin = LOWORD(lParam);
            if (wParam & EC_RIGHTMARGIN)
                m_nRightMargin = HIWORD(lParam);
        }
        return 0;
    case WM_CUT:
        Cut();
        return 0;
    case WM_COPY:
        Copy();
        return 0;
    case WM_PASTE:
        Paste();
        return 0;
    case WM_CLEAR:
        Clear();
        return 0;
    case WM_COMMAND:
        if (lParam == 0) {
            switch (LOWORD(wParam)) {
            case ID_EDIT_UNDO: Undo(); return 0;
            case ID_EDIT_CUT: Cut(); return 0;
            case ID_EDIT_COPY: Copy(); return 0;
            case ID_EDIT_PASTE: Paste(); return 0;
            case ID_EDIT_CLEAR: Clear(); return 0;
            case ID_EDIT_SELECT_ALL: SelectAll(); return 0;
            default: break;
            }
        }
        break;
    case WM_SETFOCUS:
        CGXBDropEdit::WindowProc(message, wParam, lParam);
        CreateEditCaret(-1);
        SelectAll();
        NotifyParent(GXCUR_EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        CGXBDropEdit::WindowProc(message, wParam, lParam);
        DestroyEditCaret();
        NotifyParent(GXCUR_EN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_SYSKEYDOWN:
        if (OnSysKeyDown(static_cast<UINT>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        m_bRedraw = FALSE;
        SetFocus();
        m_bRedraw = TRUE;
        ClearSelection();
        SetCaretPosition(CharFromPoint(pt), FALSE);
        m_bMouseSelecting = TRUE;
        SetCapture();
        Invalidate(FALSE);
        return 0;
    case WM_MOUSEMOVE:
        if (m_bMouseSelecting)
            SetCaretPosition(CharFromPoint(pt), TRUE);
        break;
    case WM_LBUTTONUP: {
        if (m_bMouseSelecting) {
            m_bMouseSelecting = FALSE;
            if (!(m_wFlags & FlagTracking))
                ReleaseCapture();
            if (!HasSelection()) {
                int first, last;
                const CString text = GetText();
                if (m_pFormat->FindNumber(text, &first, &last) && (m_nCaret < first || m_nCaret > last + 1))
                    SelectAll();
            }
        }
        break;
    }
    case WM_LBUTTONDBLCLK:
        SelectAll();
        break;
    case WM_RBUTTONUP: {
        CMenu* menu = CreateContextMenu();
        CPoint screen = pt;
        ClientToScreen(&screen);
        menu->TrackPopupMenu(TPM_LEFTALIGN, screen.x, screen.y, this);
        DestroyContextMenu(menu);
        break;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        break;
    }
    return CGXBDropEdit::WindowProc(message, wParam, lParam);
}
