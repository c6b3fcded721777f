#include "toolkit/frames/SECFrameBar.h"

#include "platform/win/UserApi.h"

IMPLEMENT_DYNAMIC(SECFrameBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECFrameBar, SECControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

SECFrameBar::SECFrameBar()
{
    m_bAutoDelete = TRUE;
}

SECFrameBar::~SECFrameBar() = default;

void SECFrameBar::OnSize(UINT nType, int cx, int cy)
{
    SECControlBar::OnSize(nType, cx, cy);
    // Floating, the frame still covers the whole bar (docked, the size-to-fit style does it).
    if (IsFloating() && cx > 0 && cy > 0)
        if (HWND child = ::GetWindow(m_hWnd, GW_CHILD))
            ::SetWindowPos(child, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}
