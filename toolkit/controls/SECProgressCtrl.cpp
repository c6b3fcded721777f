// SECProgressCtrl: range, position and step kept here, the two-colour double-buffered paint and
// the inverse text, the step timer and native mode.
#include "toolkit/controls/SECProgressCtrl.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/afx/gdi/CDC.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNAMIC(SECProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(SECProgressCtrl, CProgressCtrl)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL SECProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwExStyle)
{
    if (m_bCreated || m_hWnd)
        return FALSE;
    m_dwExStyle = dwExStyle;
    if (!CProgressCtrl::Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    m_bCreated = TRUE;
    return TRUE;
}

BOOL SECProgressCtrl::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!CWnd::SubclassDlgItem(nID, pParent))
        return FALSE;
    m_bCreated = TRUE;
    RecalcClientRect();
    return TRUE;
}

void SECProgressCtrl::SetRange(UINT nLower, UINT nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    // A control without a window answers 0; the status bar sets the range before it has one.
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), static_cast<LPARAM>(nUpper));
}

int SECProgressCtrl::SetPos(UINT nPos, BOOL bRedraw)
{
    const int nOld = static_cast<int>(m_nPos);
    m_nPos = nPos;
    int nResult = nOld;
    if (IsNative())
        nResult = static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos)));
    if (m_bCreated && m_hWnd) {
        Invalidate(TRUE);
        if (bRedraw)
            PumpPaints();
    }
    return nResult;
}

void SECProgressCtrl::PumpPaints()
{
    std::vector<HWND> painted;
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        if (std::find(painted.begin(), painted.end(), msg.hwnd) != painted.end())
            break;
        painted.push_back(msg.hwnd);
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

int SECProgressCtrl::OffsetPos(int nDelta, BOOL bRedraw)
{
    if (IsNative()) {
        const int nOld = static_cast<int>(m_nPos);
        m_nPos += static_cast<UINT>(nDelta);
        SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nDelta));
        return nOld;
    }
    return SetPos(m_nPos + static_cast<UINT>(nDelta), bRedraw);
}

int SECProgressCtrl::SetStep(int nStep)
{
    const int nOld = m_nStep;
    m_nStep = nStep;
    SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep));
    return nOld;
}

void SECProgressCtrl::SetColors(COLORREF crBar, COLORREF crBk)
{
    m_crBar = crBar;
    m_crBk = crBk;
    if (m_bCreated && m_hWnd)
        Invalidate(TRUE);
}

void SECProgressCtrl::SetTextFont(CFont* pFont, BOOL bRedraw)
{
    m_pTextFont = pFont;
    if (bRedraw && m_bCreated && m_hWnd)
        Invalidate(TRUE);
}

int SECProgressCtrl::StepIt(BOOL bRedraw)
{
    if (IsNative()) {
        const int nOld = static_cast<int>(m_nPos);
        m_nPos += static_cast<UINT>(m_nStep);
        SendMessage(PBM_STEPIT);
        return nOld;
    }
    return OffsetPos(m_nStep, bRedraw);
}

void SECProgressCtrl::ResetPos()
{
    SetPos(m_nLower, TRUE);
    if (m_bCreated && m_hWnd) {
        RecalcClientRect();
        Invalidate(TRUE);
    }
}

BOOL SECProgressCtrl::SetStepTimer(UINT nInterval)
{
    if (m_nPos >= m_nUpper) {
        if (m_hWnd)
            KillTimer(m_nTimerId);
        return FALSE;
    }
    if (nInterval == 0) {
        if (m_hWnd)
            KillTimer(m_nTimerId);
        return TRUE;
    }
    if (!m_hWnd)
        return FALSE;
    return SetTimer(m_nTimerId, nInterval, nullptr) != 0;
}

BOOL SECProgressCtrl::RecalcClientRect()
{
    if (m_hWnd)
        GetClientRect(&m_rcClient);
    return TRUE;
}

void SECProgressCtrl::FillDone(CDC* pDC, const RECT& rc)
{
    CBrush brush;
    brush.CreateSolidBrush(m_crBar);
    pDC->FillRect(&rc, &brush);
}

void SECProgressCtrl::FillRemaining(CDC* pDC, const RECT& rc)
{
    CBrush brush;
    brush.CreateSolidBrush(m_crBk);
    pDC->FillRect(&rc, &brush);
}

double SECProgressCtrl::GetPercent() const
{
    // An empty or upside-down range counts one unit wide, and the position is held inside it,
    // so such a range always reads 0.
    if (m_nUpper <= m_nLower)
        return 0.0;
    const double span = static_cast<double>(m_nUpper - m_nLower);
    const UINT clamped = std::clamp(m_nPos, m_nLower, m_nUpper);
    return static_cast<double>(clamped - m_nLower) / span * 100.0;
}

BOOL SECProgressCtrl::CalcRects(double dPercent, RECT& rcDone, RECT& rcRemaining) const
{
    const RECT& rc = m_rcClient;
    rcDone = rc;
    rcRemaining = rc;
    if (m_dwExStyle & SEC_PS_VERTICAL) {
        const int length = static_cast<int>(std::trunc(dPercent * 0.01 * (rc.bottom - rc.top)));
        if (m_dwExStyle & SEC_PS_FILLFROMTOP) {
            rcDone.bottom = rc.top + length;
            rcRemaining.top = rc.top + length;
        } else {
            rcDone.top = rc.bottom - length;
            rcRemaining.bottom = rc.bottom - length;
        }
    } else {
        const int length = static_cast<int>(std::trunc(dPercent * 0.01 * (rc.right - rc.left)));
        if (m_dwExStyle & SEC_PS_FILLFROMRIGHT) {
            rcDone.left = rc.right - length;
            rcRemaining.right = rc.right - length;
        } else {
            rcDone.right = rc.left + length;
            rcRemaining.left = rc.left + length;
        }
    }
    return TRUE;
}

void SECProgressCtrl::DrawText(CDC* pDC, double dPercent, const RECT& rcRemaining, const RECT& rcDone)
{
    CString text;
    if (m_dwExStyle & SEC_PS_SHOWPERCENT)
        text.Format("%d %%", std::min(static_cast<int>(dPercent), 100));
    else if (m_dwExStyle & SEC_PS_SHOWTEXT)
        text = m_strText;
    else
        return;
    FormatText(text);

    const int saved = pDC->SaveDC();
    if (m_pTextFont)
        pDC->SelectObject(m_pTextFont);
    pDC->SetBkMode(TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (m_dwExStyle & SEC_PS_TEXTLEFT)
        format |= DT_LEFT;
    else if (m_dwExStyle & SEC_PS_TEXTRIGHT)
        format |= DT_RIGHT;
    else
        format |= DT_CENTER;

    // The same text twice, each time clipped to one part, so it reads in the other part's colour.
    RECT rcText = m_rcClient;
    int inner = pDC->SaveDC();
    pDC->IntersectClipRect(&rcDone);
    pDC->SetTextColor(m_crBk);
    pDC->DrawText(text, &rcText, format);
    pDC->RestoreDC(inner);
    rcText = m_rcClient;
    inner = pDC->SaveDC();
    pDC->IntersectClipRect(&rcRemaining);
    pDC->SetTextColor(m_crBar);
    pDC->DrawText(text, &rcText, format);
    pDC->RestoreDC(inner);
    pDC->RestoreDC(saved);
}

BOOL SECProgressCtrl::DrawBar(double dPercent, const RECT& rcDone, const RECT& rcRemaining, CDC* pDC)
{
    const int cx = m_rcClient.right - m_rcClient.left;
    const int cy = m_rcClient.bottom - m_rcClient.top;
    if (cx <= 0 || cy <= 0)
        return FALSE;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC))
        return FALSE;
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(pDC, cx, cy))
        return FALSE;
    CBitmap* oldBitmap = memDC.SelectObject(&bitmap);
    // The text takes the target's font unless one was given.
    CFont* oldFont = nullptr;
    if (CFont* font = pDC->GetCurrentFont())
        oldFont = memDC.SelectObject(font);
    memDC.SetWindowOrg(m_rcClient.left, m_rcClient.top);
    FillRemaining(&memDC, rcRemaining);
    FillDone(&memDC, rcDone);
    DrawText(&memDC, dPercent, rcRemaining, rcDone);
    memDC.SetWindowOrg(0, 0);
    pDC->BitBlt(m_rcClient.left, m_rcClient.top, cx, cy, &memDC, 0, 0, SRCCOPY);
    if (oldFont)
        memDC.SelectObject(oldFont);
    memDC.SelectObject(oldBitmap);
    return TRUE;
}

void SECProgressCtrl::Draw(CDC* pDC)
{
    if (!m_bVisible)
        return;
    const double percent = GetPercent();
    RECT rcDone, rcRemaining;
    CalcRects(percent, rcDone, rcRemaining);
    DrawBar(percent, rcDone, rcRemaining, pDC);
}

void SECProgressCtrl::SetExStyle(DWORD dwExStyle)
{
    if ((dwExStyle & SEC_PS_NATIVE) && !(m_dwExStyle & SEC_PS_NATIVE))
        SendMessage(PBM_SETPOS, static_cast<WPARAM>(m_nPos));
    m_dwExStyle = dwExStyle;
    if (m_hWnd)
        Invalidate(TRUE);
}

int SECProgressCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (static_cast<int>(Default()) == -1)
        return -1;
    (void)lpCreateStruct;
    return RecalcClientRect() ? 0 : -1;
}

BOOL SECProgressCtrl::OnEraseBkgnd(CDC*)
{
    if (IsNative())
        return static_cast<BOOL>(Default());
    return TRUE;
}

void SECProgressCtrl::OnPaint()
{
    if (IsNative()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    Draw(&dc);
}

void SECProgressCtrl::OnSize(UINT nType, int cx, int cy)
{
    CProgressCtrl::OnSize(nType, cx, cy);
    RecalcClientRect();
}

void SECProgressCtrl::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CProgressCtrl::OnShowWindow(bShow, nStatus);
    m_bVisible = bShow;
}

void SECProgressCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == m_nTimerId) {
        StepIt(TRUE);
        if (m_nUpper <= m_nPos)
            KillTimer(m_nTimerId);
    }
    CProgressCtrl::OnTimer(nIDEvent);
}
