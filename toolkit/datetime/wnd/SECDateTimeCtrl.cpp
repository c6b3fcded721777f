// The date-time control's window: creation, the picture parser, layout, painting, keys, mouse,
// focus and the drop-down calendar. The editing engine is in SECDateTimeEdit.cpp.
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/core/Locale.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include <algorithm>
#include <cstring>

namespace {

CString LocaleString(LCTYPE type)
{
    char buf[256];
    if (GetLocaleInfoA(GetUserDefaultLCID(), type, buf, sizeof buf) <= 0)
        return CString();
    return CString(buf);
}

} // namespace

template <class Traits>
SECDateTimeCtrl_T<Traits>::SECDateTimeCtrl_T()
{
    m_datetime = DTGetCurrentTime();
    m_minDate = COleDateTime(kOleDateMin);
    m_maxDate = COleDateTime(kOleDateMax);
    m_partial.Reset();
    m_partial.unset = 0;
}

template <class Traits>
SECDateTimeCtrl_T<Traits>::~SECDateTimeCtrl_T()
{
    if (m_hWnd)
        DestroyWindow();
    m_pPopup.reset();
    m_gadgets.clear();
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::Create(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                                       CCreateContext*)
{
    m_gadgets.clear();
    m_nButtons = 0;
    Traits::RefreshColors();
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    if (!CreateEx(dwExStyle, cls, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    HFONT font = pParentWnd ? reinterpret_cast<HFONT>(pParentWnd->SendMessage(WM_GETFONT)) : nullptr;
    m_hFont = font ? font : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    if (dwStyle & SEC_DTS_CALENDAR) {
        auto button = std::make_unique<ButtonGadget>();
        if (button->InitButton(this, DTID_DROPBUTTON, m_nButtonBitmap)) {
            button->m_flags |= Gadget::RightAligned;
            AddGadget(std::move(button));
            ++m_nButtons;
        }
    }
    if (dwStyle & SEC_DTS_UPDOWN) {
        auto spin = std::make_unique<SpinGadget>();
        spin->Init(this, DTID_SPINBUTTON);
        spin->m_flags |= Gadget::RightAligned;
        AddGadget(std::move(spin));
        ++m_nButtons;
    }
    m_nCurrent = m_nButtons;
    ParseFormat();
    LayoutGadgets();
    if (!GetCurrentGadget() || !GetCurrentGadget()->IsEditable())
        m_nCurrent = FirstEditableField();
    return TRUE;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::AttachToDlgItem(UINT nItemID, CWnd* pDialog, DWORD dwControlStyle,
                                                DWORD dwWindowStyle, DWORD dwExStyle)
{
    CWnd* item = pDialog ? pDialog->GetDlgItem(static_cast<int>(nItemID)) : nullptr;
    if (!item)
        return FALSE;
    CRect rc;
    item->GetWindowRect(&rc);
    pDialog->ScreenToClient(&rc);
    if (!Create(dwExStyle, dwControlStyle | dwWindowStyle, rc, pDialog, nItemID))
        return FALSE;
    // Take the placeholder's place in the tab order, then let it go.
    SetWindowPos(item, rc.left, rc.top, rc.Width(), rc.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOREDRAW);
    item->DestroyWindow();
    return TRUE;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::AddGadget(std::unique_ptr<Gadget> pGadget)
{
    m_gadgets.push_back(std::move(pGadget));
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::SetCustomFormat(LPCTSTR pszPicture)
{
    m_strCustomFormat = pszPicture ? pszPicture : "";
    m_nFormatType = Custom;
    Rebuild();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::SetFormatType(int nType)
{
    m_nFormatType = (nType >= Time && nType <= Custom) ? nType : ShortDate;
    m_strCustomFormat.Empty();
    Rebuild();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::GetFormatString(CString& str) const
{
    switch (m_nFormatType) {
    case Time: str = LocaleString(LOCALE_STIMEFORMAT); break;
    case ShortDate: str = LocaleString(LOCALE_SSHORTDATE); break;
    case LongDate: str = LocaleString(LOCALE_SLONGDATE); break;
    default: str = m_strCustomFormat; break;
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::SetNoEditMask(UINT nMask)
{
    m_nNoEdit = nMask;
    if (m_hWnd)
        Rebuild();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::ClearFieldGadgets()
{
    if (m_pCapture) {
        m_pCapture = nullptr;
        if (GetCapture() == this)
            ReleaseCapture();
    }
    m_gadgets.resize(static_cast<size_t>(m_nButtons));
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::Rebuild()
{
    if (!m_hWnd)
        return;
    const int current = m_nCurrent;
    CloseCalendar();
    ClearFieldGadgets();
    ParseFormat();
    LayoutGadgets();
    m_nCurrent = current;
    if (m_nCurrent < m_nButtons || m_nCurrent >= GetGadgetCount() || !GetCurrentGadget()->IsEditable())
        m_nCurrent = FirstEditableField();
    if (HasFocus() && GetCurrentGadget())
        GetCurrentGadget()->SetFocusState(TRUE);
    Invalidate();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::ParseFormat()
{
    CString picture;
    GetFormatString(picture);
    m_bDateToken = FALSE;
    CString literal;
    auto flushLiteral = [&] {
        if (literal.IsEmpty())
            return;
        auto g = std::make_unique<StaticGadget>();
        g->Init(this, DTID_LITERAL);
        g->SetText(literal);
        AddGadget(std::move(g));
        literal.Empty();
    };
    auto addNumeric = [&](int type, int nMin, int nMax, BOOL pad, UINT fixedBit) {
        flushLiteral();
        auto g = std::make_unique<NumericGadget>();
        g->Init(this, type);
        g->Configure(nMin, nMax, pad);
        if (m_nNoEdit & fixedBit)
            g->m_flags &= ~Gadget::Editable;
        AddGadget(std::move(g));
    };
    auto addList = [&](int type, std::vector<CString> names, UINT fixedBit) {
        flushLiteral();
        auto g = std::make_unique<ListGadget>();
        g->Init(this, type);
        g->SetNames(names);
        if (m_nNoEdit & fixedBit)
            g->m_flags &= ~Gadget::Editable;
        AddGadget(std::move(g));
    };
    const int len = picture.GetLength();
    int i = 0;
    while (i < len) {
        const char c = picture[i];
        if (c == '\'' || c == '"') {
            int j = i + 1;
            while (j < len && picture[j] != c)
                ++j;
            literal += picture.Mid(i + 1, j - i - 1);
            i = j < len ? j + 1 : len;
            continue;
        }
        int maxRun = 0;
        switch (c) {
        case 'h': case 'H': case 'm': case 's': case 't': case 'g': maxRun = 2; break;
        case 'd': case 'M': case 'y': maxRun = 4; break;
        default: break;
        }
        if (!maxRun) {
            literal += c;
            ++i;
            continue;
        }
        int run = 1;
        while (i + run < len && run < maxRun && picture[i + run] == c)
            ++run;
        i += run;
        switch (c) {
        case 'h': addNumeric(kDateFieldHour12, 1, 12, run == 2, SEC_DTNE_HOUR); break;
        case 'H': addNumeric(kDateFieldHour24, 0, 23, run == 2, SEC_DTNE_HOUR); break;
        case 'm': addNumeric(kDateFieldMinute, 0, 59, run == 2, SEC_DTNE_MINUTE); break;
        case 's': addNumeric(kDateFieldSecond, 0, 59, run == 2, SEC_DTNE_SECOND); break;
        case 't': {
            CString am = LocaleString(LOCALE_S1159), pm = LocaleString(LOCALE_S2359);
            if (run == 1) {
                am = am.Left(1);
                pm = pm.Left(1);
            }
            addList(kDateFieldAmPm, {am, pm}, SEC_DTNE_HOUR);
            break;
        }
        case 'd':
            m_bDateToken = TRUE;
            if (run <= 2) {
                addNumeric(kDateFieldDay, 1, 31, run == 2, SEC_DTNE_DAY);
            } else {
                std::vector<CString> names;
                for (int d = 0; d < 7; ++d) {
                    CString name = LocaleString((run == 4 ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + (d + 6) % 7);
                    AdjustDayName(name);
                    names.push_back(name);
                }
                addList(kDateFieldDayName, names, SEC_DTNE_DAY);
            }
            break;
        case 'M':
            m_bDateToken = TRUE;
            if (run <= 2) {
                addNumeric(kDateFieldMonth, 1, 12, run == 2, SEC_DTNE_MONTH);
            } else {
                std::vector<CString> names;
                for (int m = 0; m < 12; ++m) {
                    CString name = LocaleString((run == 4 ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + m);
                    AdjustMonthName(name);
                    names.push_back(name);
                }
                addList(kDateFieldMonthName, names, SEC_DTNE_MONTH);
            }
            break;
        case 'y':
            m_bDateToken = TRUE;
            if (run <= 2)
                addNumeric(kDateFieldYear2, 0, 99, run == 2, SEC_DTNE_YEAR);
            else
                addNumeric(kDateFieldYear4, 0, 9999, FALSE, SEC_DTNE_YEAR);
            break;
        case 'g':
            m_bDateToken = TRUE;   // the era names the date, though no field shows it
            break;
        default:
            break;
        }
    }
    flushLiteral();
    if (m_partial.active) {
        m_partial.present = 0;
        for (const auto& g : m_gadgets)
            m_partial.present |= PartialBit(g->m_id);
    }
    RefreshFields(kDateFieldAll);
}

template <class Traits>
WORD SECDateTimeCtrl_T<Traits>::PartialBit(int nFieldType)
{
    switch (nFieldType) {
    case kDateFieldHour12: case kDateFieldHour24: case kDateFieldAmPm: return PD_HOUR;
    case kDateFieldMinute: return PD_MINUTE;
    case kDateFieldSecond: return PD_SECOND;
    case kDateFieldYear2: case kDateFieldYear4: return PD_YEAR;
    case kDateFieldMonth: case kDateFieldMonthName: return PD_MONTH;
    case kDateFieldDay: return PD_DAY;
    case kDateFieldDayName: return PD_DOW;
    default: return 0;
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::RefreshFields(int nMask)
{
    DateFields f;
    const bool null = m_partial.active;
    const bool have = null || OleDateToFields(m_datetime, f);
    if (null) {
        f.nHour = m_partial.hour;
        f.nMinute = m_partial.minute;
        f.nSecond = m_partial.second;
        f.nYear = m_partial.year;
        f.nMonth = m_partial.month;
        f.nDay = m_partial.day;
        f.nDayOfWeek = m_partial.dayOfWeek;
    }
    for (size_t i = static_cast<size_t>(m_nButtons); i < m_gadgets.size(); ++i) {
        Gadget* g = m_gadgets[i].get();
        if (g->m_id <= 0 || !(g->m_id & nMask))
            continue;
        int value = 0;
        switch (g->m_id) {
        case kDateFieldHour12: value = f.nHour % 12 == 0 ? 12 : f.nHour % 12; break;
        case kDateFieldHour24: value = f.nHour; break;
        case kDateFieldMinute: value = f.nMinute; break;
        case kDateFieldSecond: value = f.nSecond; break;
        case kDateFieldAmPm: value = f.nHour >= 12 ? 1 : 0; break;
        case kDateFieldDay: value = f.nDay; break;
        case kDateFieldDayName: value = f.nDayOfWeek - 1; break;
        case kDateFieldMonth: value = f.nMonth; break;
        case kDateFieldMonthName: value = f.nMonth - 1; break;
        case kDateFieldYear2: value = f.nYear % 100; break;
        case kDateFieldYear4: value = f.nYear; break;
        default: break;
        }
        const bool noValue = !have || (null && (m_partial.unset & PartialBit(g->m_id)));
        g->SetShowPrompt(noValue ? TRUE : FALSE);
        if (!noValue)
            g->SetValue(value);
        g->Invalidate();
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::LayoutGadgets()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    HGDIOBJ oldFont = ::SelectObject(dc.m_hDC, m_hFont);
    CRect client;
    GetClientRect(&client);
    int x = 1;
    int right = client.right;
    m_nButtonWidth = 0;
    for (auto& g : m_gadgets) {
        g->CalcSize(&dc);
        const int w = g->m_rect.Width();
        const int h = g->m_rect.bottom == -1 ? client.Height() : g->m_rect.Height();
        if (g->IsRightAligned()) {
            g->m_rect.SetRect(right - w, 0, right, h);
            right -= w;
            m_nButtonWidth += w;
        } else {
            const int top = g->m_rect.bottom == -1 ? 0 : 1;
            g->m_rect.SetRect(x, top, x + w, top + h);
            x += w;
        }
    }
    ::SelectObject(dc.m_hDC, oldFont);
}

template <class Traits>
typename SECDateTimeCtrl_T<Traits>::Gadget* SECDateTimeCtrl_T<Traits>::GetCurrentGadget() const
{
    if (m_nCurrent < 0 || m_nCurrent >= GetGadgetCount())
        return nullptr;
    return GetGadget(m_nCurrent);
}

template <class Traits>
int SECDateTimeCtrl_T<Traits>::FirstEditableField() const
{
    for (int i = m_nButtons; i < GetGadgetCount(); ++i)
        if (GetGadget(i)->IsEditable())
            return i;
    return m_nButtons;
}

template <class Traits>
int SECDateTimeCtrl_T<Traits>::LastEditableField() const
{
    for (int i = GetGadgetCount() - 1; i >= m_nButtons; --i)
        if (GetGadget(i)->IsEditable())
            return i;
    return m_nButtons;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::HasFocus() const
{
    return m_hWnd && ::GetFocus() == m_hWnd;
}

template <class Traits>
BOOL SECDateTimeCtrl_T<Traits>::SetCurrentField(int nIndex)
{
    if (nIndex < m_nButtons || nIndex >= GetGadgetCount() || !GetGadget(nIndex)->IsEditable())
        return FALSE;
    if (nIndex == m_nCurrent)
        return TRUE;
    if (Gadget* old = GetCurrentGadget())
        old->SetFocusState(FALSE);
    m_nCurrent = nIndex;
    if (HasFocus())
        GetGadget(nIndex)->SetFocusState(TRUE);
    MakeVisible(nIndex);
    return TRUE;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::MakeVisible(int nIndex)
{
    if (!m_hWnd)
        return;
    Gadget* g = GetGadget(nIndex);
    CRect client;
    GetClientRect(&client);
    const int left = 1 + m_nScroll;
    const int right = client.right - 1 - m_nButtonWidth + m_nScroll;
    int scroll = m_nScroll;
    if (g->m_rect.left < left)
        scroll = g->m_rect.left - 1;
    else if (g->m_rect.right > right)
        scroll = std::min(m_nScroll + (g->m_rect.right - right), g->m_rect.left - 1);
    scroll = std::max(0, scroll);
    if (scroll != m_nScroll) {
        m_nScroll = scroll;
        Invalidate();
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::MoveField(int nDirection)
{
    for (int i = m_nCurrent + nDirection; i >= m_nButtons && i < GetGadgetCount(); i += nDirection)
        if (GetGadget(i)->IsEditable()) {
            SetCurrentField(i);
            return;
        }
}

template <class Traits>
int SECDateTimeCtrl_T<Traits>::HitTest(POINT pt) const
{
    for (int i = 0; i < m_nButtons; ++i) {
        const Gadget* g = GetGadget(i);
        if ((g->IsEditable() || g->TakesMouse()) && g->m_rect.PtInRect(pt))
            return i;
    }
    const int x = pt.x + m_nScroll;
    int last = -1;
    for (int i = m_nButtons; i < GetGadgetCount(); ++i) {
        const Gadget* g = GetGadget(i);
        if (!g->TakesMouse() && !g->IsEditable())
            continue;
        if (g->m_rect.right >= x)
            return i;
        last = i;
    }
    return last;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::InvalidateGadget(const Gadget* pGadget, BOOL bUpdateNow)
{
    if (!m_hWnd)
        return;
    CRect rc = pGadget->m_rect;
    if (!pGadget->IsRightAligned())
        rc.OffsetRect(-m_nScroll, 0);
    InvalidateRect(&rc, TRUE);
    if (bUpdateNow)
        UpdateWindow();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::CaptureGadget(Gadget* pGadget, BOOL bCapture)
{
    if (bCapture) {
        m_pCapture = pGadget;
        SetCapture();
    } else {
        m_pCapture = nullptr;
        if (GetCapture() == this)
            ReleaseCapture();
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::Notify(UINT nCode)
{
    if (!m_hWnd || (GetExStyle() & WS_EX_NOPARENTNOTIFY))
        return;
    HWND parent = ::GetParent(m_hWnd);
    if (parent)
        ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), reinterpret_cast<LPARAM>(m_hWnd));
}

template <class Traits>
CString SECDateTimeCtrl_T<Traits>::GetFieldText() const
{
    CString text;
    if (m_datetime.GetStatus() != COleDateTime::valid || m_partial.active)
        return text;
    for (int i = m_nButtons; i < GetGadgetCount(); ++i) {
        CString piece;
        GetGadget(i)->GetText(piece);
        text += piece;
    }
    return text;
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::Draw(CDC* pDC)
{
    CRect clip;
    pDC->GetClipBox(&clip);
    pDC->FillSolidRect(&clip, m_bkColor);
    HGDIOBJ oldFont = ::SelectObject(pDC->m_hDC, m_hFont);
    const int saved = pDC->SaveDC();
    for (int i = 0; i < m_nButtons; ++i) {
        Gadget* g = GetGadget(i);
        if (pDC->RectVisible(&g->m_rect)) {
            g->Draw(pDC);
            pDC->ExcludeClipRect(&g->m_rect);
        }
    }
    pDC->SetViewportOrg(-m_nScroll, 0);
    for (int i = m_nButtons; i < GetGadgetCount(); ++i) {
        Gadget* g = GetGadget(i);
        CRect rc = g->m_rect;
        rc.OffsetRect(-m_nScroll, 0);
        pDC->SetViewportOrg(0, 0);
        const BOOL visible = pDC->RectVisible(&rc);
        pDC->SetViewportOrg(-m_nScroll, 0);
        if (visible)
            g->Draw(pDC);
    }
    pDC->RestoreDC(saved);
    ::SelectObject(pDC->m_hDC, oldFont);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnPaint()
{
    CPaintDC dc(this);
    const BOOL enabled = IsWindowEnabled();
    if (enabled) {
        m_bkColor = Traits::Color(DTColor::Window);
        m_textColor = Traits::Color(DTColor::WindowText);
    } else {
        m_bkColor = GetSysColor(m_nDisabledBk);
        m_textColor = GetSysColor(m_nDisabledText);
    }
    if (m_bAskParentColors && GetParent()) {
        GetParent()->SendMessage(enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                 reinterpret_cast<LPARAM>(m_hWnd));
        m_bkColor = dc.GetBkColor();
        m_textColor = dc.GetTextColor();
    }
    CRect client;
    GetClientRect(&client);
    CDC mem;
    CBitmap bitmap;
    if (mem.CreateCompatibleDC(&dc) && bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height())) {
        CBitmap* old = mem.SelectObject(&bitmap);
        CRect clip;
        dc.GetClipBox(&clip);
        mem.IntersectClipRect(&clip);
        Draw(&mem);
        dc.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &mem, clip.left, clip.top, SRCCOPY);
        mem.SelectObject(old);
    } else {
        Draw(&dc);
    }
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnKeyDown(UINT nChar)
{
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    switch (nChar) {
    case VK_LEFT:
        MoveField(-1);
        return;
    case VK_RIGHT:
        MoveField(1);
        return;
    case VK_F4:
        if (GetStyle() & SEC_DTS_CALENDAR)
            DropDown();
        return;
    case VK_TAB:
        if (m_bTabFields) {
            const int before = m_nCurrent;
            MoveField(shift ? -1 : 1);
            if (m_nCurrent == before && !Traits::kGridFamily && GetParent())
                GetParent()->PostMessage(WM_NEXTDLGCTL, shift ? 1 : 0, 0);
            return;
        }
        break;
    default:
        break;
    }
    // The fields take their own keys; letters reach them as characters only, so that typing
    // a name does not end its own search.
    const bool fieldKey = nChar == VK_UP || nChar == VK_DOWN || nChar == VK_ADD || nChar == VK_SUBTRACT ||
                          nChar == VK_HOME || nChar == VK_END || (nChar >= '0' && nChar <= '9') ||
                          (nChar >= VK_NUMPAD0 && nChar <= VK_NUMPAD9);
    if (Gadget* g = GetCurrentGadget(); g && fieldKey)
        g->OnKeyDown(nChar);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnChar(UINT nChar)
{
    if (nChar == '\t' && m_bTabFields)
        return;
    const int next = m_nCurrent + 1;
    if (next < GetGadgetCount() && GetGadget(next)->m_id == DTID_LITERAL) {
        CString text;
        GetGadget(next)->GetText(text);
        CString trimmed = text;
        trimmed.Trim();
        if ((trimmed.IsEmpty() && nChar == ' ') ||
            (text.GetLength() == 1 && static_cast<unsigned char>(text[0]) == nChar)) {
            MoveField(1);
            return;
        }
    }
    if (Gadget* g = GetCurrentGadget())
        g->OnChar(nChar);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnLButtonDown(UINT nFlags, POINT pt)
{
    const int hit = HitTest(pt);
    if (!HasFocus()) {
        SetFocus();
        if (hit >= m_nButtons && hit >= 0 && GetGadget(hit)->IsEditable())
            SetCurrentField(hit);
    } else if (hit >= m_nButtons && hit != m_nCurrent && GetGadget(hit)->IsEditable()) {
        SetCurrentField(hit);
    }
    if (hit < 0)
        return;
    Gadget* g = GetGadget(hit);
    if (g->TakesMouse())
        g->OnLButtonDown(nFlags, g->IsRightAligned() ? pt.x : pt.x + m_nScroll, pt.y);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnSetFocus()
{
    if (!Traits::kGridFamily)
        Notify(SEC_DTN_SETFOCUS);
    if (m_bTabFields && (::GetKeyState(VK_TAB) & 0x8000)) {
        const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        m_nCurrent = shift ? LastEditableField() : FirstEditableField();
    }
    if (Gadget* g = GetCurrentGadget())
        g->SetFocusState(TRUE);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnKillFocus()
{
    if (Gadget* g = GetCurrentGadget())
        g->SetFocusState(FALSE);
    if (!Traits::kGridFamily)
        Notify(SEC_DTN_KILLFOCUS);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::DropDown()
{
    if (auto* n = dynamic_cast<NumericGadget*>(GetCurrentGadget()))
        n->Commit();
    COleDateTime start = m_datetime;
    if (m_partial.active) {
        const COleDateTime today = DTGetCurrentTime();
        const int y = (m_partial.unset & PD_YEAR) ? today.GetYear() : m_partial.year;
        const int m = (m_partial.unset & PD_MONTH) ? today.GetMonth() : m_partial.month;
        const int d = (m_partial.unset & PD_DAY) ? today.GetDay() : m_partial.day;
        if (start.SetDateTime(y, m, d, 0, 0, 0) != COleDateTime::valid)
            start = today;
    }
    if (!DTIsInRange(start))
        start = DTGetCurrentTime();
    CloseCalendar();
    std::unique_ptr<PopupCalendar> pop(CreatePopupCalendar());
    if (!pop)
        return;
    pop->SetDeactivateMode(2);
    pop->SetBehavior(pop->GetBehavior() | 0x1000200);
    pop->SetOutsideDrawStyle(pop->GetOutsideDrawStyle() | 0x102);
    pop->SelectDate(start, FALSE);
    pop->HighlightDate(start, TRUE);
    CRect rc;
    GetWindowRect(&rc);
    if (!pop->Create(0x90040001, rc, this, 0))
        return;
    m_pPopup = std::move(pop);
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::CloseCalendar()
{
    m_pPopup.reset();
}

template <class Traits>
void SECDateTimeCtrl_T<Traits>::OnCalendarOK()
{
    if (!m_pPopup)
        return;
    COleDateTime chosen = m_pPopup->GetHighlightedDate();
    CloseCalendar();
    if (chosen.GetStatus() != COleDateTime::valid)
        return;
    if ((m_nNoEdit & (SEC_DTNE_YEAR | SEC_DTNE_MONTH | SEC_DTNE_DAY)) ==
        (SEC_DTNE_YEAR | SEC_DTNE_MONTH | SEC_DTNE_DAY))
        return;
    if (m_partial.active) {
        if (!IsValidDate(chosen) || !OnChanging(chosen))
            return;
        StorePartial(kDateFieldYear4, chosen.GetYear());
        StorePartial(kDateFieldMonth, chosen.GetMonth());
        StorePartial(kDateFieldDay, chosen.GetDay());
        RefreshFields(kDateFieldYear2 | kDateFieldYear4 | kDateFieldMonth | kDateFieldMonthName | kDateFieldDay |
                      kDateFieldDayName);
        m_nState |= Modified;
        if (!CompleteNullDate(TRUE))
            OnChanged();
        return;
    }
    DateFields f;
    if (!OleDateToFields(m_datetime, f))
        return;
    const int y = (m_nNoEdit & SEC_DTNE_YEAR) ? f.nYear : chosen.GetYear();
    const int m = (m_nNoEdit & SEC_DTNE_MONTH) ? f.nMonth : chosen.GetMonth();
    const int d = (m_nNoEdit & SEC_DTNE_DAY) ? f.nDay : chosen.GetDay();
    COleDateTime candidate;
    if (candidate.SetDateTime(y, m, d, f.nHour, f.nMinute, f.nSecond) != COleDateTime::valid)
        return;
    if (static_cast<DATE>(candidate) == static_cast<DATE>(m_datetime) || !IsValidDate(candidate) ||
        !OnChanging(candidate))
        return;
    InstallValue(candidate);
    m_nState |= Modified;
    OnChanged();
}

template <class Traits>
LRESULT SECDateTimeCtrl_T<Traits>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_bTabFields ? DLGC_WANTTAB : 0);
    case WM_KEYDOWN:
        if (m_gadgets.empty())
            break;
        OnKeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN && (GetStyle() & SEC_DTS_CALENDAR)) {
            DropDown();
            return 0;
        }
        break;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam));
        return 0;
    case WM_SETFOCUS:
        CWnd::WindowProc(message, wParam, lParam);
        OnSetFocus();
        return 0;
    case WM_KILLFOCUS:
        CWnd::WindowProc(message, wParam, lParam);
        OnKillFocus();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLButtonDown(static_cast<UINT>(wParam), pt);
        return 0;
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        if (m_pCapture) {
            const int x = m_pCapture->IsRightAligned() ? pt.x : pt.x + m_nScroll;
            if (message == WM_LBUTTONUP)
                m_pCapture->OnLButtonUp(static_cast<UINT>(wParam), x, pt.y);
            else
                m_pCapture->OnMouseMove(static_cast<UINT>(wParam), x, pt.y);
            return 0;
        }
        break;
    case WM_CANCELMODE:
        if (m_pCapture)
            m_pCapture->OnCancelMode();
        break;
    case WM_SIZE:
        LayoutGadgets();
        break;
    case WM_SETFONT:
        m_hFont = reinterpret_cast<HFONT>(wParam);
        if (!m_hFont)
            m_hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
        LayoutGadgets();
        Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_hFont);
    case WM_ENABLE:
        Invalidate();
        break;
    case WM_SETTINGCHANGE:
        Rebuild();
        break;
    case WM_SYSCOLORCHANGE:
        Traits::RefreshColors();
        for (auto& g : m_gadgets)
            g->OnSysColorChange();
        break;
    case WM_DESTROY:
        if (m_pCapture)
            CaptureGadget(nullptr, FALSE);
        CloseCalendar();
        break;
    case WM_GETTEXT:
        if constexpr (!Traits::kGridFamily) {
            if (wParam == 0 || !lParam)
                return 0;
            if (m_datetime.GetStatus() != COleDateTime::valid || m_partial.active) {
                reinterpret_cast<char*>(lParam)[0] = '\0';
                return 0;
            }
            const CString text = GetFieldText();
            const int n = std::min(text.GetLength(), static_cast<int>(wParam) - 1);
            std::memcpy(reinterpret_cast<char*>(lParam), static_cast<LPCTSTR>(text), static_cast<size_t>(n));
            reinterpret_cast<char*>(lParam)[n] = '\0';
            return n;
        }
        break;
    case WM_GETTEXTLENGTH:
        if constexpr (!Traits::kGridFamily)
            return GetFieldText().GetLength();
        break;
    default:
        if (message == Traits::kMsgOK) {
            OnCalendarOK();
            return 0;
        }
        if (message == Traits::kMsgCancel) {
            CloseCalendar();
            return 0;
        }
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

template class SECDateTimeCtrl_T<SECDTTraits>;
template class SECDateTimeCtrl_T<CGXBDTTraits>;
