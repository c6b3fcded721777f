#include "toolkit/caption/SECCaptionMsgFilter.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/MenuApi.h"

IMPLEMENT_DYNCREATE(SECCaptionMsgFilter, SECNcMsgFilter)
IMPLEMENT_DYNCREATE(SECCaptionControlMsgFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(SECCaptionControlListMsgFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(SECCapConLstMDIMaxChildMsgFilter, SECCaptionControlListMsgFilter)

namespace {

constexpr UINT kNotCaptionPart = SEC_CAPBTN_FIRSTCUSTOM;
constexpr UINT kTimerId = 1;

bool HasExStyle(HWND hWnd, DWORD bits) { return (::GetWindowLongPtr(hWnd, GWL_EXSTYLE) & bits) != 0; }
bool HasStyle(HWND hWnd, DWORD bits) { return (::GetWindowLongPtr(hWnd, GWL_STYLE) & bits) != 0; }

}   // namespace

// ---- Geometry ---------------------------------------------------------------------------------

HWND SECCaptionMsgFilter::Hwnd() const
{
    HWND hWnd = m_pWnd ? m_pWnd->GetSafeHwnd() : nullptr;
    return ::IsWindow(hWnd) ? hWnd : nullptr;
}

CRect SECCaptionMsgFilter::GetCaptionRect() const
{
    HWND hWnd = Hwnd();
    if (hWnd == nullptr)
        return CRect(0, 0, 0, 0);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtr(hWnd, GWL_STYLE));
    int cx = 0, cy = 0;
    if (style & (WS_CAPTION | WS_THICKFRAME)) {
        int i = 0;
        if ((style & WS_THICKFRAME) && !::IsIconic(hWnd))
            i = 2;
        else if (style & WS_DLGFRAME)
            i = 1;
        static const int xs[3] = {SM_CXBORDER, SM_CXDLGFRAME, SM_CXFRAME};
        static const int ys[3] = {SM_CYBORDER, SM_CYDLGFRAME, SM_CYFRAME};
        cx = ::GetSystemMetrics(xs[i]);
        cy = ::GetSystemMetrics(ys[i]);
    }
    CRect window;
    ::GetWindowRect(hWnd, &window);
    const int width = window.Width() - 2 * cx;
    int height = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const bool tool = HasExStyle(hWnd, WS_EX_TOOLWINDOW);
        height = ::GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - ::GetSystemMetrics(SM_CYBORDER);
    }
    return CRect(cx, cy, cx + width, cy + height);
}

CSize SECCaptionMsgFilter::GetButtonSizeFromMetrics(int nCxMetric, int nCyMetric) const
{
    return CSize(::GetSystemMetrics(nCxMetric) - 2, ::GetSystemMetrics(nCyMetric) - 4);
}

CSize SECCaptionMsgFilter::GetButtonSize() const
{
    HWND hWnd = Hwnd();
    if (hWnd != nullptr && HasExStyle(hWnd, WS_EX_TOOLWINDOW))
        return GetButtonSizeFromMetrics(SM_CXSMSIZE, SM_CYSMSIZE);
    return GetButtonSizeFromMetrics(SM_CXSIZE, SM_CYSIZE);
}

CPoint SECCaptionMsgFilter::GetFirstButtonPos(const CRect& rcCaption, CSize szButton) const
{
    return CPoint(rcCaption.right - szButton.cx - 2, rcCaption.top + 2);
}

CSize SECCapConLstMDIMaxChildMsgFilter::GetButtonSize() const
{
    return GetButtonSizeFromMetrics(SM_CXMENUSIZE, SM_CYMENUSIZE);
}

CPoint SECCapConLstMDIMaxChildMsgFilter::GetFirstButtonPos(const CRect& rcCaption, CSize szButton) const
{
    CPoint pt = SECCaptionControlListMsgFilter::GetFirstButtonPos(rcCaption, szButton);
    pt.y += ::GetSystemMetrics(SM_CYCAPTION);
    return pt;
}

// ---- One button -------------------------------------------------------------------------------

SECCaptionControlMsgFilter::SECCaptionControlMsgFilter(CWnd* pWnd, UINT nID, UINT nState, UINT nType)
    : SECCaptionMsgFilter(pWnd, nID), m_nType(nType), m_nState(nState)
{
    if (nID < kNotCaptionPart)
        m_nState |= nID;
}

SECCaptionControlMsgFilter::SECCaptionControlMsgFilter(const SECCaptionControlMsgFilter& other)
    : SECCaptionMsgFilter(other), m_rect(other.m_rect), m_nType(other.m_nType), m_nState(other.m_nState),
      m_nTimerInterval(other.m_nTimerInterval)
{
}

SECCaptionControlMsgFilter::~SECCaptionControlMsgFilter()
{
    StopTimer();
}

BOOL SECCaptionControlMsgFilter::IsVisible(BOOL* pDisabled) const
{
    if (pDisabled != nullptr)
        *pDisabled = FALSE;
    HWND hWnd = Hwnd();
    if (hWnd == nullptr || !HasStyle(hWnd, WS_SYSMENU))
        return FALSE;
    const bool tool = HasExStyle(hWnd, WS_EX_TOOLWINDOW);
    const bool minBox = HasStyle(hWnd, WS_MINIMIZEBOX);
    const bool maxBox = HasStyle(hWnd, WS_MAXIMIZEBOX);
    const bool eitherBox = minBox || maxBox;
    const bool zoomed = ::IsZoomed(hWnd) != FALSE;
    const bool iconic = ::IsIconic(hWnd) != FALSE;
    BOOL visible = FALSE, disabled = FALSE;
    switch (m_nID) {
    case SEC_CAPBTN_CLOSE: {
        visible = TRUE;
        HMENU menu = ::GetSystemMenu(hWnd, FALSE);
        const UINT state = menu ? ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : 0;
        disabled = state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
        break;
    }
    case SEC_CAPBTN_MIN:
        visible = !tool && eitherBox && !iconic;
        disabled = !minBox;
        break;
    case SEC_CAPBTN_MAX:
        visible = !tool && eitherBox && !zoomed;
        disabled = !maxBox;
        break;
    case SEC_CAPBTN_RESTORE:
        visible = !tool && eitherBox && (zoomed || iconic);
        disabled = (zoomed && !maxBox) || (iconic && !minBox);
        break;
    case SEC_CAPBTN_HELP:
        visible = !tool && !eitherBox && HasExStyle(hWnd, WS_EX_CONTEXTHELP);
        break;
    default: break;
    }
    if (pDisabled != nullptr)
        *pDisabled = disabled;
    return visible;
}

void SECCaptionControlMsgFilter::Draw()
{
    HWND hWnd = Hwnd();
    if (hWnd == nullptr || m_nID >= kNotCaptionPart || m_rect.IsRectEmpty())
        return;
    CWindowDC dc(m_pWnd);
    CRect rect = m_rect;
    ::DrawFrameControl(dc.GetSafeHdc(), &rect, m_nType, m_nState);
}

BOOL SECCaptionControlMsgFilter::HitTest(int xScreen, int yScreen) const
{
    HWND hWnd = Hwnd();
    if (hWnd == nullptr)
        return FALSE;
    // Screen to client, then by the client area's offset inside the window.
    POINT pt{xScreen, yScreen};
    ::ScreenToClient(hWnd, &pt);
    CRect window;
    ::GetWindowRect(hWnd, &window);
    POINT origin{0, 0};
    ::ClientToScreen(hWnd, &origin);
    pt.x += origin.x - window.left;
    pt.y += origin.y - window.top;
    return m_rect.PtInRect(pt);
}

LRESULT SECCaptionControlMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
    case WM_SETTEXT:
    case WM_SETCURSOR:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        Draw();
        return SEC_FILTER_HANDLED;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (wParam == HTCAPTION && HitTest(x, y)) {
            BOOL disabled = FALSE;
            IsVisible(&disabled);
            if (!disabled && !(m_nState & DFCS_INACTIVE)) {
                if (msg == WM_NCLBUTTONDOWN)
                    OnLButtonDown(x, y);
                else
                    SendCommand(1, x, y);
            }
            return SEC_FILTER_HANDLED | SEC_FILTER_ACTED;   // a disabled button swallows the click
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (m_bTracking) {
            POINT pt{x, y};
            if (HWND hWnd = Hwnd())
                ::ClientToScreen(hWnd, &pt);
            if (msg == WM_LBUTTONUP)
                OnLButtonUp(pt.x, pt.y);
            else
                OnTrackMouseMove(pt.x, pt.y);
            return SEC_FILTER_HANDLED | SEC_FILTER_ACTED;
        }
        break;
    default: break;
    }
    return SECCaptionMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

void SECCaptionControlMsgFilter::OnLButtonDown(int x, int y)
{
    BeginTracking(TRUE, TRUE);
    if (m_nTimerInterval == 0)
        OnHoldTimer(x, y);
    else
        StartTimer(x, y);
}

void SECCaptionControlMsgFilter::OnTrackMouseMove(int x, int y)
{
    if (!m_bTracking)
        return;
    const BOOL over = HitTest(x, y);
    const BOOL pushed = (m_nState & DFCS_PUSHED) != 0;
    if (over == pushed)
        return;
    if (over)
        StartTimer(x, y);
    else
        StopTimer();
    if (over)
        m_nState |= DFCS_PUSHED;
    else
        m_nState &= ~DFCS_PUSHED;
    Draw();
}

void SECCaptionControlMsgFilter::OnLButtonUp(int x, int y)
{
    EndTracking(TRUE, TRUE);
    if (HitTest(x, y))
        SendCommand(0, x, y);
}

void SECCaptionControlMsgFilter::OnHoldTimer(int x, int y)
{
    EndTracking(TRUE, FALSE);
    SendCommand(2, x, y);
}

void SECCaptionControlMsgFilter::SendCommand(int nKind, int x, int y)
{
    HWND hWnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (GetCommandMessage(nKind, static_cast<short>(x), static_cast<short>(y), &hWnd, &msg, &wParam, &lParam))
        ::PostMessage(hWnd, msg, wParam, lParam);
}

BOOL SECCaptionControlMsgFilter::GetCommandMessage(int nKind, short x, short y, HWND* pWnd, UINT* pMsg, WPARAM* pWParam,
                                                   LPARAM* pLParam)
{
    static const UINT commands[5] = {SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_CONTEXTHELP};
    if (nKind != 0 || m_nID > SEC_CAPBTN_HELP || Hwnd() == nullptr)
        return FALSE;
    *pWnd = Hwnd();
    *pMsg = WM_SYSCOMMAND;
    *pWParam = commands[m_nID];
    *pLParam = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
    return TRUE;
}

void SECCaptionControlMsgFilter::BeginTracking(BOOL bPushed, BOOL bRedraw)
{
    m_bTracking = TRUE;
    if (bPushed)
        m_nState |= DFCS_PUSHED;
    if (HWND hWnd = Hwnd())
        ::SetCapture(hWnd);
    if (bRedraw)
        Draw();
}

void SECCaptionControlMsgFilter::EndTracking(BOOL bClearPushed, BOOL bRedraw)
{
    m_bTracking = FALSE;
    StopTimer();
    if (bClearPushed)
        m_nState &= ~DFCS_PUSHED;
    if (::GetCapture() == Hwnd())
        ::ReleaseCapture();
    if (bRedraw)
        Draw();
}

void SECCaptionControlMsgFilter::StopTimer()
{
    if (m_pTimerWnd == nullptr)
        return;
    SECCaptionControlMsgFilterTimer* timer = m_pTimerWnd;
    m_pTimerWnd = nullptr;
    if (timer->GetSafeHwnd() != nullptr)
        timer->DestroyWindow();
    delete timer;
}

void SECCaptionControlMsgFilter::StartTimer(int x, int y)
{
    StopTimer();
    HWND hWnd = Hwnd();
    if (m_nTimerInterval < 1 || hWnd == nullptr)
        return;
    auto* timer = new SECCaptionControlMsgFilterTimer(this, m_nTimerInterval, CPoint(x, y));
    if (!timer->CreateEx(0, nullptr, "", WS_CHILD, 0, 0, 0, 0, hWnd, nullptr)) {
        delete timer;   // no held action then
        return;
    }
    m_pTimerWnd = timer;
}

LRESULT SECCaptionControlMsgFilterTimer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (result == -1)
            return -1;
        m_bTimerSet = ::SetTimer(m_hWnd, kTimerId, static_cast<UINT>(m_nInterval), nullptr) != 0;
        return m_bTimerSet ? 0 : -1;
    }
    case WM_TIMER:
        if (!m_bFired) {
            m_bFired = TRUE;
            if (m_pFilter != nullptr && m_pFilter->IsTracking())
                m_pFilter->OnHoldTimer(m_point.x, m_point.y);   // may destroy this window
        }
        return 0;
    case WM_DESTROY:
        if (m_bTimerSet)
            ::KillTimer(m_hWnd, kTimerId);
        m_bTimerSet = FALSE;
        break;
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- The row of buttons -----------------------------------------------------------------------

SECCaptionControlListMsgFilter::SECCaptionControlListMsgFilter(CWnd* pWnd, UINT nID) : SECCaptionMsgFilter(pWnd, nID)
{
    AddStandardButtons();
    EnableDescriptorTable(m_descriptors, TRUE);
}

SECCaptionControlListMsgFilter::SECCaptionControlListMsgFilter(const SECCaptionControlListMsgFilter& other)
    : SECCaptionMsgFilter(other)
{
    AddStandardButtons();   // the children came with the copy
}

void SECCaptionControlListMsgFilter::AddStandardButtons()
{
    // Right to left on the screen: close, maximize, restore, minimize, help.
    for (UINT key : {SEC_CAPBTN_CLOSE, SEC_CAPBTN_MAX, SEC_CAPBTN_RESTORE, SEC_CAPBTN_MIN, SEC_CAPBTN_HELP})
        m_descriptors.AddDescriptor(key, SEC_FILTER_NOID, RUNTIME_CLASS(SECCaptionControlMsgFilter), 0);
}

LRESULT SECCaptionControlListMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_bEnabled && Hwnd() != nullptr)
        RecalcLayout();
    return SECCaptionMsgFilter::OnMessage(msg, wParam, lParam, pResult);
}

void SECCaptionControlListMsgFilter::RecalcLayout()
{
    const CSize size = GetButtonSize();
    CPoint pt = GetFirstButtonPos(GetCaptionRect(), size);
    HWND hWnd = Hwnd();
    const bool iconic = hWnd != nullptr && ::IsIconic(hWnd);
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        auto* button = dynamic_cast<SECCaptionControlMsgFilter*>(m_children[i]);
        if (button == nullptr)
            continue;
        BOOL disabled = FALSE;
        if (!button->IsVisible(&disabled)) {
            button->m_rect.SetRectEmpty();
            continue;
        }
        button->m_nState &= ~DFCS_INACTIVE;
        button->m_rect.SetRect(pt.x, pt.y, pt.x + size.cx, pt.y + size.cy);
        if (disabled)
            button->m_nState |= DFCS_INACTIVE;
        pt.x -= size.cx;
        if (button->m_nID == SEC_CAPBTN_CLOSE || button->m_nID == SEC_CAPBTN_MIN ||
            (button->m_nID == SEC_CAPBTN_RESTORE && iconic))
            pt.x -= 2;
    }
}
