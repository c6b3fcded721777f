#include "toolkit/datetime/wnd/SECDTGadget.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

constexpr UINT kDrawFlags = DT_SINGLELINE | DT_NOPREFIX | DT_EXTERNALLEADING;

template <class Traits>
std::map<UINT_PTR, SECDTGadget_T<Traits>*>& TimerMap()
{
    static std::map<UINT_PTR, SECDTGadget_T<Traits>*> map;
    return map;
}

bool IsDigitKey(UINT nChar)
{
    return (nChar >= '0' && nChar <= '9') || (nChar >= VK_NUMPAD0 && nChar <= VK_NUMPAD9);
}

// Bytes of the UTF-8 sequence a lead byte starts.
int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

bool StartsWithFolded(const CString& name, const CString& prefix)
{
    const int n = prefix.GetLength();
    if (name.GetLength() < n)
        return false;
    for (int i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

} // namespace

// ---- SECDTGadget_T ----

template <class Traits>
SECDTGadget_T<Traits>::~SECDTGadget_T()
{
    StopTimer();
    // Any entry left for this gadget goes too, so no timer can reach it once it is gone.
    auto& map = TimerMap<Traits>();
    for (auto it = map.begin(); it != map.end();) {
        if (it->second == this) {
            ::KillTimer(nullptr, it->first);
            it = map.erase(it);
        } else {
            ++it;
        }
    }
}

template <class Traits>
BOOL SECDTGadget_T<Traits>::Init(Ctrl* pCtrl, int nID)
{
    m_pCtrl = pCtrl;
    m_id = nID;
    return TRUE;
}

template <class Traits>
BOOL SECDTGadget_T<Traits>::Notify(int nAction, int nValue)
{
    return m_pCtrl ? m_pCtrl->GadgetNotify(nAction, m_id, nValue) : FALSE;
}

template <class Traits>
void SECDTGadget_T<Traits>::Invalidate(BOOL bUpdateNow)
{
    if (m_pCtrl)
        m_pCtrl->InvalidateGadget(this, bUpdateNow);
}

template <class Traits>
void SECDTGadget_T<Traits>::CaptureMouse(BOOL bCapture)
{
    if (m_pCtrl)
        m_pCtrl->CaptureGadget(this, bCapture);
}

template <class Traits>
BOOL SECDTGadget_T<Traits>::SetFocusState(BOOL bFocus)
{
    if (!IsEditable())
        return FALSE;
    if ((bFocus != FALSE) != (m_bFocus != FALSE)) {
        m_bFocus = bFocus ? TRUE : FALSE;
        Invalidate();
    }
    return TRUE;
}

template <class Traits>
void CALLBACK SECDTGadget_T<Traits>::TimerProc(HWND, UINT, UINT_PTR nID, DWORD)
{
    auto& map = TimerMap<Traits>();
    auto it = map.find(nID);
    if (it == map.end()) {
        ::KillTimer(nullptr, nID);
        return;
    }
    it->second->OnTimer();
}

template <class Traits>
void SECDTGadget_T<Traits>::StartTimer(UINT nMilliseconds)
{
    StopTimer();
    const UINT_PTR id = ::SetTimer(nullptr, 1, nMilliseconds, &SECDTGadget_T::TimerProc);
    if (!id)
        return;
    m_nTimer = id;
    TimerMap<Traits>()[id] = this;
}

template <class Traits>
void SECDTGadget_T<Traits>::StopTimer()
{
    if (!m_nTimer)
        return;
    ::KillTimer(nullptr, m_nTimer);
    TimerMap<Traits>().erase(m_nTimer);
    m_nTimer = 0;
}

template <class Traits>
size_t SECDTGadget_T<Traits>::MappedTimerCount()
{
    return TimerMap<Traits>().size();
}

template <class Traits>
void SECDTGadget_T<Traits>::FieldColors(COLORREF& bk, COLORREF& text) const
{
    if (m_bFocus) {
        bk = Traits::Color(DTColor::Highlight);
        text = Traits::Color(DTColor::HighlightText);
    } else {
        bk = m_pCtrl ? m_pCtrl->GetBkColor() : 0xFFFFFF;
        text = m_pCtrl ? m_pCtrl->GetTextColor() : 0;
    }
}

// ---- Static ----

template <class Traits>
void SECDTStaticGadget_T<Traits>::CalcSize(CDC* pDC)
{
    CRect rc(0, 0, 0, 0);
    pDC->DrawText(m_strText, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    this->m_rect.SetRect(0, 0, rc.Width(), rc.Height());
}

template <class Traits>
void SECDTStaticGadget_T<Traits>::Draw(CDC* pDC)
{
    pDC->SetBkColor(this->m_pCtrl->GetBkColor());
    pDC->SetTextColor(this->m_pCtrl->GetTextColor());
    pDC->FillSolidRect(&this->m_rect, this->m_pCtrl->GetBkColor());
    CRect rc = this->m_rect;
    pDC->DrawText(m_strText, &rc, kDrawFlags);
}

// ---- Numeric ----

template <class Traits>
void SECDTNumericGadget_T<Traits>::Configure(int nMin, int nMax, BOOL bZeroPad)
{
    m_nMin = nMin;
    m_nMax = nMax;
    m_bZeroPad = bZeroPad;
    m_nWidth = nMax < 10 ? 1 : nMax < 100 ? 2 : nMax < 1000 ? 3 : 4;
}

template <class Traits>
void SECDTNumericGadget_T<Traits>::GetText(CString& str) const
{
    const int value = m_bTyping ? m_nTyped : this->m_value;
    if (m_bZeroPad) {
        CString fmt;
        fmt.Format("%%0%dd", m_nWidth);
        str.Format(fmt, value);
    } else {
        str.Format("%d", value);
    }
}

template <class Traits>
void SECDTNumericGadget_T<Traits>::CalcSize(CDC* pDC)
{
    const CSize ext = pDC->GetTextExtent("00000", m_nWidth);
    this->m_rect.SetRect(0, 0, ext.cx, ext.cy);
}

template <class Traits>
void SECDTNumericGadget_T<Traits>::Draw(CDC* pDC)
{
    COLORREF bk, text;
    this->FieldColors(bk, text);
    pDC->FillSolidRect(&this->m_rect, bk);
    pDC->SetBkColor(bk);
    pDC->SetTextColor(text);
    CString str;
    if ((this->m_flags & this->ShowPrompt) && !m_bTyping)
        str = CString(this->m_pCtrl->GetPromptChar(), m_nWidth);
    else
        GetText(str);
    CRect rc = this->m_rect;
    pDC->DrawText(str, &rc, kDrawFlags | DT_CENTER);
}

template <class Traits>
BOOL SECDTNumericGadget_T<Traits>::SetFocusState(BOOL bFocus)
{
    if (!bFocus)
        Commit();
    return SECDTGadget_T<Traits>::SetFocusState(bFocus);
}

template <class Traits>
BOOL SECDTNumericGadget_T<Traits>::Commit()
{
    if (!m_bTyping)
        return TRUE;
    m_nDigits = 0;
    m_bTyping = FALSE;
    const int typed = m_nTyped;
    BOOL ok = this->Notify(DTACT_TEST_VALUE, typed);
    if (ok) {
        this->m_value = typed;
        ok = this->Notify(DTACT_SET_VALUE, typed);
    }
    if (!ok) {
        MessageBeep(static_cast<UINT>(-1));
        this->Invalidate(TRUE);
    }
    this->Notify(DTACT_TYPING, 0);
    return ok;
}

template <class Traits>
void SECDTNumericGadget_T<Traits>::OnKeyDown(UINT nChar)
{
    if (IsDigitKey(nChar))
        return;
    if (!Commit())
        return;
    switch (nChar) {
    case VK_END: this->Notify(DTACT_MAXIMUM, 0); break;
    case VK_HOME: this->Notify(DTACT_MINIMUM, 0); break;
    case VK_UP:
    case VK_ADD: this->Notify(DTACT_STEP_UP, 1); break;
    case VK_DOWN:
    case VK_SUBTRACT: this->Notify(DTACT_STEP_DOWN, 1); break;
    default: break;
    }
}

template <class Traits>
void SECDTNumericGadget_T<Traits>::OnChar(UINT nChar)
{
    if (nChar >= '0' && nChar <= '9') {
        const int d = static_cast<int>(nChar - '0');
        if (!m_bTyping) {
            this->Notify(DTACT_TYPING, 1);
            m_bTyping = TRUE;
            m_nTyped = d;
            m_nDigits = 1;
        } else {
            if (m_nTyped == 0 && d == 0)
                return;
            m_nTyped = m_nTyped * 10 + d;
            ++m_nDigits;
        }
        if (m_nDigits >= m_nWidth) {
            if (Commit())
                this->Notify(DTACT_FIELD_FULL, 0);
        }
        this->Invalidate(TRUE);
        return;
    }
    if (m_bTyping) {
        MessageBeep(static_cast<UINT>(-1));
        m_bTyping = FALSE;
        m_nDigits = 0;
        this->Invalidate(TRUE);
        this->Notify(DTACT_TYPING, 0);
    }
}

// ---- List ----

template <class Traits>
void SECDTListGadget_T<Traits>::GetText(CString& str) const
{
    const int i = this->m_value;
    str = (i >= 0 && i < static_cast<int>(m_names.size())) ? m_names[static_cast<size_t>(i)] : CString();
}

template <class Traits>
void SECDTListGadget_T<Traits>::CalcSize(CDC* pDC)
{
    int cx = 0, cy = 0;
    for (const CString& name : m_names) {
        const CSize ext = pDC->GetTextExtent(name);
        cx = std::max(cx, static_cast<int>(ext.cx));
        cy = std::max(cy, static_cast<int>(ext.cy));
    }
    if (cy == 0)
        cy = pDC->GetTextExtent("0", 1).cy;
    this->m_rect.SetRect(0, 0, cx, cy);
}

template <class Traits>
void SECDTListGadget_T<Traits>::Draw(CDC* pDC)
{
    COLORREF bk, text;
    this->FieldColors(bk, text);
    pDC->FillSolidRect(&this->m_rect, bk);
    pDC->SetBkColor(bk);
    pDC->SetTextColor(text);
    CString str;
    if (this->m_flags & this->ShowPrompt)
        str = CString(this->m_pCtrl->GetPromptChar(), 80);
    else
        GetText(str);
    CRect rc = this->m_rect;
    const int saved = pDC->SaveDC();
    pDC->IntersectClipRect(&rc);
    pDC->DrawText(str, &rc, kDrawFlags | DT_CENTER);
    pDC->RestoreDC(saved);
}

template <class Traits>
BOOL SECDTListGadget_T<Traits>::SetFocusState(BOOL bFocus)
{
    if (!bFocus)
        EndSearch();
    return SECDTGadget_T<Traits>::SetFocusState(bFocus);
}

template <class Traits>
void SECDTListGadget_T<Traits>::EndSearch()
{
    this->StopTimer();
    m_strPrefix.Empty();
    m_bSearching = FALSE;
}

template <class Traits>
void SECDTListGadget_T<Traits>::OnKeyDown(UINT nChar)
{
    EndSearch();
    switch (nChar) {
    case VK_END: this->Notify(DTACT_MAXIMUM, 0); break;
    case VK_HOME: this->Notify(DTACT_MINIMUM, 0); break;
    case VK_UP:
    case VK_ADD: this->Notify(DTACT_STEP_UP, 1); break;
    case VK_DOWN:
    case VK_SUBTRACT: this->Notify(DTACT_STEP_DOWN, 1); break;
    default: break;
    }
}

template <class Traits>
int SECDTListGadget_T<Traits>::Search(int nStart, const CString& strPrefix)
{
    const int n = static_cast<int>(m_names.size());
    if (n == 0)
        return -1;
    if (nStart < 0 || nStart >= n)
        nStart = 0;
    for (int k = 0; k < n; ++k) {
        const int i = (nStart + k) % n;
        if (!StartsWithFolded(m_names[static_cast<size_t>(i)], strPrefix))
            continue;
        if (!this->Notify(DTACT_TEST_VALUE, i))
            continue;
        this->m_value = i;
        this->Notify(DTACT_SET_VALUE, i);
        return i;
    }
    return -1;
}

template <class Traits>
void SECDTListGadget_T<Traits>::OnChar(UINT nChar)
{
    if (nChar < 0x20 || nChar == 0x7F)
        return;
    // A character arrives one byte at a time; a UTF-8 sequence is collected whole first.
    m_pending += static_cast<char>(nChar & 0xFF);
    if (m_pending.GetLength() < SequenceLength(static_cast<unsigned char>(m_pending[0])))
        return;
    const CString typed = m_pending;
    m_pending.Empty();
    const int n = static_cast<int>(m_names.size());
    const int next = n ? (this->m_value + 1) % n : 0;
    if (m_strPrefix.IsEmpty()) {
        if (Search(next, typed) < 0) {
            MessageBeep(static_cast<UINT>(-1));
            return;
        }
        m_strPrefix = typed;
    } else if (m_strPrefix.GetLength() == typed.GetLength() && StartsWithFolded(m_strPrefix, typed)) {
        // The same single character again cycles through the names it starts.
        if (Search(next, m_strPrefix) < 0) {
            MessageBeep(static_cast<UINT>(-1));
            return;
        }
    } else {
        const CString prefix = m_strPrefix + typed;
        if (Search(this->m_value, prefix) < 0) {
            MessageBeep(static_cast<UINT>(-1));
            EndSearch();
            return;
        }
        m_strPrefix = prefix;
    }
    m_bSearching = TRUE;
    this->Invalidate(TRUE);
    this->StartTimer(2000);
}

// ---- Spin ----

template <class Traits>
void SECDTSpinGadget_T<Traits>::CalcSize(CDC*)
{
    this->m_rect.SetRect(0, 0, 16, -1);
}

template <class Traits>
int SECDTSpinGadget_T<Traits>::HalfAt(int x, int y) const
{
    const CRect& r = this->m_rect;
    if (!r.PtInRect(CPoint(x, y)))
        return 0;
    return y < r.top + r.Height() / 2 ? 1 : 2;
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::Draw(CDC* pDC)
{
    const COLORREF face = Traits::Color(DTColor::BtnFace);
    const COLORREF hilite = Traits::Color(DTColor::BtnHilite);
    const COLORREF shadow = Traits::Color(DTColor::BtnShadow);
    const COLORREF dark = Traits::Color(DTColor::DkShadow3d);
    const CRect& r = this->m_rect;
    const int h = r.Height();
    for (int half = 1; half <= 2; ++half) {
        CRect rc(r.left, half == 1 ? r.top : r.top + h / 2, r.right, half == 1 ? r.top + h / 2 : r.bottom);
        const bool pressed = (m_state & (half == 1 ? UpPressed : DownPressed)) != 0;
        pDC->FillSolidRect(&rc, face);
        if (pressed) {
            pDC->Draw3dRect(&rc, shadow, shadow);
        } else {
            pDC->Draw3dRect(&rc, face, dark);
            CRect inner = rc;
            inner.DeflateRect(1, 1);
            pDC->Draw3dRect(&inner, hilite, shadow);
        }
        // A filled black arrow, its height from the gadget's height.
        const int a = std::min(h / 4 + 1, 4);
        const int off = pressed ? 1 : 0;
        const int cx = (rc.left + rc.right) / 2 + off;
        const int cy = (rc.top + rc.bottom) / 2 + off;
        if (a < 2) {
            pDC->SetPixelV(cx, cy, 0);
            continue;
        }
        const int top = cy - a / 2;
        for (int i = 0; i < a; ++i) {
            const int row = half == 1 ? top + i : top + a - 1 - i;
            pDC->FillSolidRect(cx - i, row, 2 * i + 1, 1, 0);
        }
    }
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::OnLButtonDown(UINT, int x, int y)
{
    const int half = HalfAt(x, y);
    if (!half)
        return;
    this->CaptureMouse(TRUE);
    m_state = half == 1 ? (UpPressed | TrackUp) : (DownPressed | TrackDown);
    this->Notify(half == 1 ? DTACT_SPIN_UP : DTACT_SPIN_DOWN, 1);
    this->Invalidate(TRUE);
    m_state |= FirstDelay;
    m_nRepeat = 0;
    this->StartTimer(500);
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::OnTimer()
{
    if (m_state & FirstDelay) {
        m_state &= ~FirstDelay;
        this->StartTimer(100);
    }
    ++m_nRepeat;
    const bool up = (m_state & TrackUp) != 0;
    this->Notify(up ? DTACT_SPIN_UP : DTACT_SPIN_DOWN, StepForRepeat(m_nRepeat));
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::OnMouseMove(UINT, int x, int y)
{
    if (!(m_state & (TrackUp | TrackDown)))
        return;
    const int tracked = (m_state & TrackUp) ? 1 : 2;
    const bool over = HalfAt(x, y) == tracked;
    const UINT bit = tracked == 1 ? UpPressed : DownPressed;
    if (over && !(m_state & bit)) {
        m_state |= bit;
        this->StartTimer(100);
        this->Invalidate(TRUE);
    } else if (!over && (m_state & bit)) {
        m_state &= ~bit;
        this->StopTimer();
        this->Invalidate(TRUE);
    }
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::OnLButtonUp(UINT, int, int)
{
    OnCancelMode();
}

template <class Traits>
void SECDTSpinGadget_T<Traits>::OnCancelMode()
{
    if (!m_state)
        return;
    this->StopTimer();
    m_state = 0;
    this->CaptureMouse(FALSE);
    this->Invalidate(TRUE);
}

// ---- Drop-down button ----

template <class Traits>
BOOL SECDTButtonGadget_T<Traits>::InitButton(typename SECDTGadget_T<Traits>::Ctrl* pCtrl, int nID, UINT nBitmapID)
{
    this->Init(pCtrl, nID);
    m_nBitmapID = nBitmapID;
    return DTLoadSysColorBitmap(m_bitmap, nBitmapID);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::OnSysColorChange()
{
    DTLoadSysColorBitmap(m_bitmap, m_nBitmapID);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::CalcSize(CDC*)
{
    this->m_rect.SetRect(0, 0, 16, -1);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::Draw(CDC* pDC)
{
    const COLORREF face = Traits::Color(DTColor::BtnFace);
    CRect rc = this->m_rect;
    pDC->FillSolidRect(&rc, face);
    if (m_bPressed) {
        pDC->Draw3dRect(&rc, Traits::Color(DTColor::BtnShadow), Traits::Color(DTColor::BtnShadow));
    } else {
        pDC->Draw3dRect(&rc, face, Traits::Color(DTColor::DkShadow3d));
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, Traits::Color(DTColor::BtnHilite), Traits::Color(DTColor::BtnShadow));
    }
    if (!m_bitmap.GetSafeHandle())
        return;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CDC mem;
    if (!mem.CreateCompatibleDC(pDC))
        return;
    CBitmap* old = mem.SelectObject(&m_bitmap);
    const int off = m_bPressed ? 1 : 0;
    const CRect& r = this->m_rect;
    pDC->BitBlt(r.left + (r.Width() - bm.bmWidth) / 2 + off, r.top + (r.Height() - bm.bmHeight) / 2 + off,
                bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::OnLButtonDown(UINT, int, int)
{
    this->CaptureMouse(TRUE);
    m_bCaptured = TRUE;
    m_bPressed = TRUE;
    this->Invalidate(TRUE);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::OnMouseMove(UINT, int x, int y)
{
    if (!m_bCaptured)
        return;
    const BOOL over = this->m_rect.PtInRect(CPoint(x, y));
    if (over != m_bPressed) {
        m_bPressed = over;
        this->Invalidate(TRUE);
    }
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::OnLButtonUp(UINT, int x, int y)
{
    if (!m_bCaptured)
        return;
    m_bCaptured = FALSE;
    m_bPressed = FALSE;
    this->CaptureMouse(FALSE);
    this->Invalidate(TRUE);
    if (this->m_rect.PtInRect(CPoint(x, y)))
        this->Notify(DTACT_DROPDOWN, 0);
}

template <class Traits>
void SECDTButtonGadget_T<Traits>::OnCancelMode()
{
    if (!m_bCaptured)
        return;
    m_bCaptured = FALSE;
    m_bPressed = FALSE;
    this->CaptureMouse(FALSE);
    this->Invalidate(TRUE);
}

#define DT_INSTANTIATE(T)                 \
    template class SECDTGadget_T<T>;       \
    template class SECDTStaticGadget_T<T>; \
    template class SECDTNumericGadget_T<T>; \
    template class SECDTListGadget_T<T>;   \
    template class SECDTSpinGadget_T<T>;   \
    template class SECDTButtonGadget_T<T>;
DT_INSTANTIATE(SECDTTraits)
DT_INSTANTIATE(CGXBDTTraits)
