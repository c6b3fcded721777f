// SECSplashWnd: creation with its owner and title, the picture and its palette, the timer, and
// closing on input, by timer or by call.
#include "toolkit/controls/SECSplashWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "toolkit/res/ControlsRes.h"

namespace {

// The class style both the splash and its hidden owner are registered with.
constexpr UINT kSplashClassStyle = 0x40;

CString LoadText(UINT id, LPCTSTR fallback)
{
    CString s;
    if (!s.LoadString(id))
        s = fallback;
    return s;
}

}   // namespace

BEGIN_MESSAGE_MAP(SECSplashWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_QUERYNEWPALETTE, &SECSplashWnd::OnQueryNewPalette)
    ON_MESSAGE(WM_PALETTECHANGED, &SECSplashWnd::OnPaletteChanged)
END_MESSAGE_MAP()

SECSplashWnd::SECSplashWnd(UINT nBitmapID, UINT nDisplayTime, BOOL bManualClose, BOOL bTopMost)
    : m_bTopMost(bTopMost), m_bManualClose(bManualClose), m_nDisplayTime(nDisplayTime), m_nBitmapID(nBitmapID)
{
}

SECSplashWnd::~SECSplashWnd()
{
    if (m_hWndHiddenOwner && ::IsWindow(m_hWndHiddenOwner))
        ::DestroyWindow(m_hWndHiddenOwner);
}

BOOL SECSplashWnd::Create(CWnd* pOwner, DWORD dwStyle, DWORD dwExStyle)
{
    dwExStyle &= ~static_cast<DWORD>(WS_EX_TOOLWINDOW);
    HWND owner = nullptr;
    if (pOwner) {
        owner = pOwner->m_hWnd;
        m_pDisableTarget = pOwner;
    } else if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
        owner = main->m_hWnd;
        m_pDisableTarget = main;
    } else if (!m_bTitleSet) {
        // Without an owner the splash would show on the task bar; an invisible owner keeps it off.
        LPCTSTR cls = AfxRegisterWndClass(kSplashClassStyle);
        const CString name = LoadText(IDS_SEC_SPLASHPARENT, "SECSplashWndParent");
        m_hWndHiddenOwner =
            ::CreateWindowEx(WS_EX_TOOLWINDOW, cls, name, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        owner = m_hWndHiddenOwner;
        dwExStyle |= WS_EX_TOPMOST;
    }

    // The picture: a missing resource leaves it empty and the window without size.
    LPCSTR name = MAKEINTRESOURCE(m_nBitmapID & 0xFFFF);
    HINSTANCE module = AfxFindResourceHandle(name, RT_BITMAP);
    HBITMAP loaded =
        module ? static_cast<HBITMAP>(::LoadImage(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) : nullptr;
    CBitmap bitmap;
    m_nBitmapWidth = m_nBitmapHeight = 0;
    if (loaded) {
        bitmap.Attach(loaded);
        BITMAP bm{};
        if (bitmap.GetBitmap(&bm)) {
            m_nBitmapWidth = bm.bmWidth;
            m_nBitmapHeight = bm.bmHeight;
        }
    }
    if (m_bTopMost)
        dwExStyle |= WS_EX_TOPMOST;
    CString title;
    if (m_bTitleSet) {
        title = m_strTitle;
        dwExStyle |= WS_EX_APPWINDOW;
    } else {
        title = LoadText(IDS_SEC_SPLASHWND, "SECSplashWnd");
    }
    LPCTSTR cls = AfxRegisterWndClass(kSplashClassStyle, ::LoadCursor(nullptr, IDC_ARROW));
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - m_nBitmapWidth) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - m_nBitmapHeight) / 2;
    const BOOL created = CreateEx(dwExStyle, cls, title, dwStyle & ~static_cast<DWORD>(WS_VISIBLE), x, y,
                                  m_nBitmapWidth, m_nBitmapHeight, owner, nullptr);
    // A window that could not be made has been through PostNcDestroy: this object is gone (its
    // destructor took the hidden owner along), so nothing of it may be touched any more.
    if (!created)
        return FALSE;
    if (bitmap.GetSafeHandle()) {
        CClientDC dc(this);
        if (m_dib.CreateFromBitmap(&dc, &bitmap) && m_dib.GetPalette()->GetSafeHandle())
            SetPalette(m_dib.GetPalette());
    }
    if (!m_bManualClose)
        m_nTimerId = SetTimer(kTimerId, m_nDisplayTime, nullptr);
    if (dwStyle & WS_VISIBLE) {
        ShowWindow(SW_SHOW);
        UpdateWindow();
    }
    return TRUE;
}

void SECSplashWnd::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    m_bTitleSet = TRUE;
}

void SECSplashWnd::Close()
{
    if (m_hWnd)
        SendMessage(WM_CLOSE);
}

BOOL SECSplashWnd::RestartTimer() { return SetDisplayTime(m_nDisplayTime); }

BOOL SECSplashWnd::SetDisplayTime(UINT nMilliseconds)
{
    m_nDisplayTime = nMilliseconds;
    if (m_hWnd)
        m_nTimerId = SetTimer(kTimerId, nMilliseconds, nullptr);
    m_bManualClose = FALSE;
    return TRUE;
}

void SECSplashWnd::DisableParent(BOOL bDisable)
{
    if (!m_pDisableTarget || !m_pDisableTarget->m_hWnd)
        return;
    m_bParentDisabled = bDisable;
    m_pDisableTarget->EnableWindow(!bDisable);
    if (m_hWnd)
        EnableWindow(TRUE);
}

void SECSplashWnd::SetTopMost(BOOL bTopMost)
{
    m_bTopMost = bTopMost;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, bTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL SECSplashWnd::PreTranslateMessage(MSG* pMsg)
{
    if (!m_bManualClose && m_bCloseOnInput && m_hWnd) {
        switch (pMsg->message) {
        case WM_KEYDOWN: case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN:
            PostMessage(WM_CLOSE);
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

CPalette* SECSplashWnd::SetPalette(CPalette* pPalette)
{
    CPalette* old = m_pPalette;
    m_pPalette = pPalette;
    if (m_hWnd && m_pPalette)
        RealizeOwnPalette(FALSE);
    return old;
}

BOOL SECSplashWnd::RealizeOwnPalette(BOOL bBackground)
{
    if (!m_pPalette || !m_hWnd)
        return FALSE;
    CClientDC dc(this);
    CPalette* old = dc.SelectPalette(m_pPalette, bBackground);
    const UINT changed = dc.RealizePalette();
    if (old)
        dc.SelectPalette(old, TRUE);
    if (changed) {
        Invalidate(TRUE);
        return TRUE;
    }
    return FALSE;
}

void SECSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    CPalette* old = nullptr;
    if (m_pPalette) {
        old = dc.SelectPalette(m_pPalette, TRUE);
        dc.RealizePalette();
    }
    if (m_dib.HasImage())
        m_dib.StretchDraw(&dc, 0, 0, m_nBitmapWidth, m_nBitmapHeight, 0, 0, m_nBitmapWidth, m_nBitmapHeight);
    if (old)
        dc.SelectPalette(old, TRUE);
    CRect client;
    GetClientRect(&client);
    DrawExtra(&dc, client);
}

LRESULT SECSplashWnd::OnQueryNewPalette(WPARAM, LPARAM) { return RealizeOwnPalette(FALSE); }

LRESULT SECSplashWnd::OnPaletteChanged(WPARAM wParam, LPARAM)
{
    const HWND from = reinterpret_cast<HWND>(wParam);
    if (from == m_hWnd || ::IsChild(m_hWnd, from))
        return 0;
    return RealizeOwnPalette(TRUE);
}

void SECSplashWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerId) {
        PostMessage(WM_CLOSE);
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

void SECSplashWnd::OnClose()
{
    KillTimer(kTimerId);
    if (m_hWndHiddenOwner && ::IsWindow(m_hWndHiddenOwner))
        ::PostMessage(m_hWndHiddenOwner, WM_CLOSE, 0, 0);
    if (m_bParentDisabled && m_pDisableTarget && ::IsWindow(m_pDisableTarget->m_hWnd))
        m_pDisableTarget->EnableWindow(TRUE);
    CWnd::OnClose();
}

void SECSplashWnd::PostNcDestroy()
{
    CWnd::PostNcDestroy();
    delete this;
}
