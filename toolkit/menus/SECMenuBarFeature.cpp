#include "toolkit/menus/SECMenuBarFeature.h"

#include <algorithm>
#include <cctype>

#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/toolbars/SECCustomToolBar.h"

IMPLEMENT_DYNAMIC(SECMenuBarFeature, SECBmpMenuPlugIn)

namespace {

SECStdBtn* NewMenuBtn() { return new SECTBMenuBtn; }
SECStdBtn* NewCapMenuBtn() { return new SECCapMenuBtn; }
SECStdBtn* NewBtnCaption() { return new SECBtnCaption; }

// The keyboard entry to a window's system menu (a click on the system box is 0xF093, which
// keeps its default handling).
constexpr UINT kScKeyMenu = 0xF100;

CMDIChildWnd* ActiveChildOf(CWnd* pWnd)
{
    auto* frame = dynamic_cast<CMDIFrameWnd*>(pWnd ? pWnd->GetTopLevelFrame() : nullptr);
    return frame ? frame->MDIGetActive() : nullptr;
}

// The menu tracking state is the process's: one menu at a time.
struct TrackingState {
    HHOOK hook = nullptr;
    SECMenuBarMessages* owner = nullptr;
    BOOL systemMenu = FALSE;
    POINT lastMouse{-1, -1};
    // A request that came while another menu ran: served when that one has ended.
    SECMenuBarNotify pending{};
    SECMenuBarMessages* pendingOwner = nullptr;
};
TrackingState& Tracking()
{
    static TrackingState state;
    return state;
}

LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    TrackingState& t = Tracking();
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_MENU && msg != nullptr && t.owner != nullptr && t.owner->m_pMenuBar != nullptr) {
        ISECMenuBarHost* bar = t.owner->m_pMenuBar;
        if (t.systemMenu && (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK) && t.owner->OnBarNcHit(*msg))
            return TRUE;
        if (msg->message == WM_KEYDOWN && (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT)) {
            bar->MoveToMenu(msg->wParam == VK_LEFT ? -1 : 1);
            return TRUE;
        }
        if (msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONDOWN) {
            CWnd* wnd = bar->GetBarWnd();
            POINT pt = msg->pt;
            if (wnd != nullptr && ::WindowFromPoint(pt) == wnd->m_hWnd) {
                if (msg->message == WM_MOUSEMOVE && pt.x == t.lastMouse.x && pt.y == t.lastMouse.y)
                    return TRUE;   // the same point again
                t.lastMouse = pt;
                ::ScreenToClient(wnd->m_hWnd, &pt);
                wnd->SendMessage(msg->message, msg->wParam, MAKELPARAM(pt.x, pt.y));
                return TRUE;
            }
        }
    }
    return ::CallNextHookEx(t.hook, code, wParam, lParam);
}

}   // namespace

// ---- Menu buttons -----------------------------------------------------------------------------

const SECButtonClass SECTBMenuBtn::classSECTBMenuBtn = {NewMenuBtn};
const SECButtonClass SECCapMenuBtn::classSECCapMenuBtn = {NewCapMenuBtn};
const SECButtonClass SECBtnCaption::classSECBtnCaption = {NewBtnCaption};

SECTBMenuBtn::SECTBMenuBtn()
{
    m_nType = kFocusable;
}

const SECButtonClass* SECTBMenuBtn::GetBtnClass() const
{
    return &classSECTBMenuBtn;
}

ISECMenuBarHost* SECTBMenuBtn::Host() const
{
    return dynamic_cast<ISECMenuBarHost*>(m_pToolBar);
}

void SECTBMenuBtn::InitMenu(HMENU hMenu, int nMenuIndex, LPCTSTR lpszText, UINT nExtra)
{
    m_hMenu = hMenu;
    m_nMenuIndex = nMenuIndex;
    m_strText = lpszText ? lpszText : "";
    m_nExtra = nExtra;
    ParseMnemonic();
    AdjustSize();
}

void SECTBMenuBtn::ParseMnemonic()
{
    const int amp = m_strText.Find('&');
    m_cMnemonic = 0;
    if (amp >= 0 && amp + 1 < m_strText.GetLength())
        m_cMnemonic = static_cast<char>(std::tolower(static_cast<unsigned char>(m_strText[amp + 1])));
}

void SECTBMenuBtn::AdjustSize()
{
    CFont* font = nullptr;
    if (ISECMenuBarHost* host = Host())
        font = host->GetMenuFont();
    if (font == nullptr && m_pToolBar != nullptr)
        font = m_pToolBar->GetBarFont();
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = font ? ::SelectObject(dc, font->GetSafeHandle()) : nullptr;
    RECT r{0, 0, 0, 0};
    ::DrawText(dc, m_strText, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    m_cx = (r.right - r.left) + 10;
    m_cy = (r.bottom - r.top) + 6;
    if (m_pToolBar)
        m_pToolBar->m_nMaxBtnWidth = std::max(m_pToolBar->m_nMaxBtnWidth, m_cx);
}

BOOL SECTBMenuBtn::BtnPressed(CPoint)
{
    if (m_nStyle & SEC_TBBS_DISABLED)
        return FALSE;
    m_nStyle |= SEC_TBBS_PRESSED;
    Invalidate();
    ShowMenu();
    return TRUE;
}

void SECTBMenuBtn::ShowMenu()
{
    ISECMenuBarHost* host = Host();
    if (host != nullptr && m_pToolBar != nullptr)
        host->OpenButtonMenu(m_pToolBar->BtnToIndex(this), FALSE);
}

void SECTBMenuBtn::Paint(CDC& dc, SECBtnDrawContext&)
{
    const CRect rect = GetRect();
    const SECGlobalData& colours = SECGetGlobalData();
    dc.FillSolidRect(&rect, colours.clrBtnFace);
    const bool flat = m_pToolBar != nullptr && (m_pToolBar->GetBarStyle() & 0x0800 /* flat */);
    const bool down = (m_nStyle & (SEC_TBBS_PRESSED | SEC_TBBS_CHECKED)) != 0;
    CRect edge = rect;
    if (!down) {
        if (!flat) {
            dc.Draw3dRect(&edge, colours.clrBtnHilite, colours.clrWindowFrame);
            edge.DeflateRect(1, 1);
            dc.Draw3dRect(&edge, colours.clrBtnFace, colours.clrBtnShadow);
        } else if (m_nStyle & SEC_TBBS_HOT) {
            dc.Draw3dRect(&edge, colours.clrBtnHilite, colours.clrBtnShadow);
        }
    } else {
        dc.Draw3dRect(&edge, flat ? colours.clrBtnShadow : colours.clrWindowFrame, colours.clrBtnHilite);
        if (!flat) {
            edge.DeflateRect(1, 1);
            dc.Draw3dRect(&edge, colours.clrBtnShadow, colours.clrBtnFace);
        }
    }
    CFont* font = nullptr;
    if (ISECMenuBarHost* host = Host())
        font = host->GetMenuFont();
    if (font == nullptr && m_pToolBar != nullptr)
        font = m_pToolBar->GetBarFont();
    CFont* old = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_MENUTEXT));
    CRect text(rect.left + 4 + (down ? 1 : 0), rect.top + (down ? 1 : 0), rect.right, rect.bottom + (down ? 1 : 0));
    dc.DrawText(m_strText, &text, DT_SINGLELINE | DT_VCENTER);
    if (old)
        dc.SelectObject(old);
}

SECCapMenuBtn::SECCapMenuBtn()
{
    m_nType = kFocusable2;
}

const SECButtonClass* SECCapMenuBtn::GetBtnClass() const
{
    return &classSECCapMenuBtn;
}

void SECCapMenuBtn::AdjustSize()
{
    m_cx = 16;
    m_cy = 16;
}

void SECCapMenuBtn::Paint(CDC& dc, SECBtnDrawContext&)
{
    const CRect rect = GetRect();
    dc.FillSolidRect(&rect, SECGetGlobalData().clrBtnFace);
    if (m_hIcon != nullptr)
        ::DrawIconEx(dc.GetSafeHdc(), rect.left, rect.top, m_hIcon, 16, 16, 0, nullptr, DI_NORMAL);
}

void SECCapMenuBtn::ShowMenu()
{
    CMDIChildWnd* child = ActiveChildOf(m_pToolBar);
    HMENU menu = child ? ::GetSystemMenu(child->m_hWnd, FALSE) : nullptr;
    if (menu != nullptr && ::GetMenuDefaultItem(menu, FALSE, 0) == static_cast<UINT>(-1))
        ::SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
    if (ISECMenuBarHost* host = Host())
        host->OpenButtonMenu(-1, FALSE);
}

// ---- The maximized child's caption buttons ----------------------------------------------------

SECBtnCaption::SECBtnCaption()
    : m_cxPart(::GetSystemMetrics(SM_CXSIZE) - 2), m_cyPart(::GetSystemMetrics(SM_CYSIZE) - 4)
{
    m_nType = kFarEnd;
    m_nStyle = 0xB0000;
}

const SECButtonClass* SECBtnCaption::GetBtnClass() const
{
    return &classSECBtnCaption;
}

void SECBtnCaption::AdjustSize()
{
    m_cx = 3 * m_cxPart + 2;
    m_cy = m_cyPart;
}

CRect SECBtnCaption::PartRect(int nPart) const
{
    const int x = m_x + nPart * m_cxPart + (nPart == 2 ? 2 : 0);
    return CRect(x, m_y, x + m_cxPart, m_y + m_cyPart);
}

int SECBtnCaption::HitTest(CPoint point) const
{
    if (!(m_nStyle & SEC_BTNCAPTION_SHOWN))
        return -1;
    for (int part = (m_nStyle & SEC_BTNCAPTION_SHOWMINMAX) ? 0 : 2; part < 3; ++part) {
        if (PartRect(part).PtInRect(point))
            return part;
    }
    return -1;
}

BOOL SECBtnCaption::BtnPressed(CPoint point)
{
    m_nPressedPart = HitTest(point);
    if (m_nPressedPart < 0)
        return FALSE;
    m_nStyle |= SEC_TBBS_PRESSED;
    Invalidate();
    return TRUE;
}

void SECBtnCaption::BtnMouseMove(CPoint point)
{
    if (m_nPressedPart < 0)
        return;
    const bool over = HitTest(point) == m_nPressedPart;
    const bool pressed = (m_nStyle & SEC_TBBS_PRESSED) != 0;
    if (over != pressed) {
        m_nStyle = over ? (m_nStyle | SEC_TBBS_PRESSED) : (m_nStyle & ~static_cast<DWORD>(SEC_TBBS_PRESSED));
        Invalidate();
    }
}

UINT SECBtnCaption::BtnReleased(CPoint point)
{
    const int part = m_nPressedPart;
    m_nPressedPart = -1;
    m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
    Invalidate();
    if (part < 0 || HitTest(point) != part)
        return 0;
    static const UINT commands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};
    // The child, never the frame: the buttons stand for the maximized child.
    if (CMDIChildWnd* child = ActiveChildOf(m_pToolBar)) {
        POINT screen = point;
        if (m_pToolBar)
            ::ClientToScreen(m_pToolBar->m_hWnd, &screen);
        child->PostMessage(WM_SYSCOMMAND, commands[part], MAKELPARAM(screen.x, screen.y));
    }
    return 0;
}

void SECBtnCaption::BtnCancel()
{
    m_nPressedPart = -1;
    m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_PRESSED);
    Invalidate();
}

void SECBtnCaption::Paint(CDC& dc, SECBtnDrawContext&)
{
    const CRect rect = GetRect();
    dc.FillSolidRect(&rect, SECGetGlobalData().clrBtnFace);
    if (!(m_nStyle & SEC_BTNCAPTION_SHOWN))
        return;
    const bool minmax = (m_nStyle & SEC_BTNCAPTION_SHOWMINMAX) != 0;
    static const UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
    for (int part = 0; part < 3; ++part) {
        UINT state = kinds[part];
        if (part < 2 && !minmax)
            state |= DFCS_INACTIVE;
        if (part == m_nPressedPart && (m_nStyle & SEC_TBBS_PRESSED))
            state |= DFCS_PUSHED;
        CRect r = PartRect(part);
        ::DrawFrameControl(dc.GetSafeHdc(), &r, DFC_CAPTION, state);
    }
}

// ---- The feature's messages -------------------------------------------------------------------

UINT SECMenuBarMessages::ProdMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_SEC_MENUPROD");
    return message;
}

UINT SECMenuBarMessages::GetMenuMessage()
{
    static const UINT message = ::RegisterWindowMessage("WM_SECGETMENU");
    return message;
}

SECMenuBarMessages::~SECMenuBarMessages()
{
    if (Tracking().owner == this)
        SetMenuHook(FALSE);
    if (Tracking().pendingOwner == this)
        Tracking().pendingOwner = nullptr;
}

CFrameWnd* SECMenuBarMessages::GetFrame() const
{
    return m_pFrame;
}

CRect SECMenuBarMessages::SystemIconRect(HWND hFrame)
{
    CRect window;
    ::GetWindowRect(hFrame, &window);
    const bool sizable = (::GetWindowLongPtr(hFrame, GWL_STYLE) & WS_THICKFRAME) != 0;
    const int x = window.left + (sizable ? ::GetSystemMetrics(SM_CXFRAME) : 0);
    const int y = window.top + (sizable ? ::GetSystemMetrics(SM_CYFRAME) : 0);
    return CRect(x, y, x + ::GetSystemMetrics(SM_CXSIZE) - 1, y + ::GetSystemMetrics(SM_CYSIZE));
}

void SECMenuBarMessages::ProdMenu(int nIndex)
{
    m_bMenuSelected = FALSE;
    m_nProdIndex = nIndex;
    if (m_pFrame != nullptr && m_pFrame->m_hWnd != nullptr)
        m_pFrame->PostMessage(ProdMessage(), 0, 0);
}

void SECMenuBarMessages::OnProd()
{
    if (!m_bMenuSelected && m_pMenuBar != nullptr)
        m_pMenuBar->OpenButtonMenu(m_nProdIndex, m_bKeyboardOpen);
}

void SECMenuBarMessages::CancelMenu()
{
    if (m_pFrame != nullptr && m_pFrame->m_hWnd != nullptr)
        m_pFrame->SendMessage(WM_CANCELMODE, 0, 0);
}

void SECMenuBarMessages::OnMenuChanged(UINT /*nMenuID*/)
{
    if (m_pMenuBar != nullptr) {
        if (CWnd* bar = m_pMenuBar->GetBarWnd())
            bar->Invalidate();
    }
    // The frame shows its menu anew for the new state.
    if (m_pFrame != nullptr && m_pFrame->m_hWnd != nullptr)
        m_pFrame->DrawMenuBar();
}

BOOL SECMenuBarMessages::OnBarNcHit(const MSG& msg)
{
    if (m_pFrame == nullptr || m_pFrame->m_hWnd == nullptr)
        return FALSE;
    if (!SystemIconRect(m_pFrame->m_hWnd).PtInRect(msg.pt))
        return FALSE;
    CancelMenu();
    if (msg.message == WM_LBUTTONDBLCLK) {
        HMENU menu = ::GetSystemMenu(m_pFrame->m_hWnd, FALSE);
        const UINT def = menu ? ::GetMenuDefaultItem(menu, FALSE, 0) : static_cast<UINT>(-1);
        m_pFrame->PostMessage(WM_SYSCOMMAND, def != static_cast<UINT>(-1) ? def : SC_CLOSE, 0);
    }
    return TRUE;
}

void SECMenuBarMessages::SetMenuHook(BOOL bOn)
{
    TrackingState& t = Tracking();
    if (bOn) {
        t.owner = this;
        if (t.hook == nullptr)
            t.hook = ::SetWindowsHookEx(WH_MSGFILTER, MenuFilterHook, nullptr, ::GetCurrentThreadId());
        return;
    }
    if (t.hook != nullptr)
        ::UnhookWindowsHookEx(t.hook);
    t.hook = nullptr;
    t.owner = nullptr;
    t.systemMenu = FALSE;
    t.lastMouse = POINT{-1, -1};
}

void SECMenuBarMessages::TrackButtonMenu(HMENU hMenu, int nIndex)
{
    if (hMenu == nullptr || m_pMenuBar == nullptr || m_pFrame == nullptr)
        return;
    const CRect rect = m_pMenuBar->GetButtonScreenRect(nIndex);
    SetMenuHook(TRUE);
    ::TrackPopupMenu(hMenu, TPM_LEFTALIGN, rect.left, rect.bottom, 0, m_pFrame->m_hWnd, &rect);
    SetMenuHook(FALSE);
}

void SECMenuBarMessages::TrackSystemMenu(HMENU hMenu)
{
    if (hMenu == nullptr || m_pFrame == nullptr)
        return;
    const CRect icon = SystemIconRect(m_pFrame->m_hWnd);
    SetMenuHook(TRUE);
    Tracking().systemMenu = TRUE;
    const UINT cmd = ::TrackPopupMenu(hMenu, TPM_RETURNCMD, icon.left, icon.bottom, 0, m_pFrame->m_hWnd, nullptr);
    Tracking().systemMenu = FALSE;
    if (cmd != 0)
        m_pFrame->PostMessage(WM_SYSCOMMAND, cmd, 0);
    SetMenuHook(FALSE);
}

HMENU SECMenuBarMessages::RequestedMenu(const SECMenuBarNotify& request) const
{
    if (m_pFrame == nullptr || m_pFrame->m_hWnd == nullptr)
        return nullptr;
    if (static_cast<int>(request.hdr.code) == SEC_MBN_SYSTEMMENU) {
        CMDIChildWnd* child = ActiveChildOf(m_pFrame);
        HMENU menu = ::GetSystemMenu(child ? child->m_hWnd : m_pFrame->m_hWnd, FALSE);
        if (menu != nullptr && ::GetMenuDefaultItem(menu, FALSE, 0) == static_cast<UINT>(-1))
            ::SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
        return menu;
    }
    if (request.nIndex >= 0) {
        // The frame may show another popup for the button (a child's own menu, say).
        const LRESULT answer = m_pFrame->SendMessage(GetMenuMessage(), reinterpret_cast<WPARAM>(request.hMenu), request.nIndex);
        if (answer != 0)
            return reinterpret_cast<HMENU>(answer);
    }
    return ::IsMenu(request.hMenu) ? request.hMenu : nullptr;
}

void SECMenuBarMessages::TrackRequest(const SECMenuBarNotify& request)
{
    HMENU menu = RequestedMenu(request);
    if (menu == nullptr)
        return;
    if (static_cast<int>(request.hdr.code) == SEC_MBN_SYSTEMMENU)
        TrackSystemMenu(menu);
    else
        TrackButtonMenu(menu, request.nIndex);
}

BOOL SECMenuBarMessages::OnBarNotify(NMHDR* pHdr)
{
    if (pHdr == nullptr)
        return FALSE;
    const int code = static_cast<int>(pHdr->code);
    if (code != SEC_MBN_BUTTONMENU && code != SEC_MBN_SYSTEMMENU)
        return FALSE;
    auto* request = reinterpret_cast<SECMenuBarNotify*>(pHdr);
    // Copied at once: the sender's record may be freed below or live on its stack.
    SECMenuBarNotify current = *request;
    if (request->bHeap)
        delete request;
    current.bHeap = FALSE;
    if (m_pMenuBar == nullptr || m_pFrame == nullptr || m_pFrame->m_hWnd == nullptr)
        return FALSE;

    TrackingState& t = Tracking();
    if (t.owner != nullptr) {
        // Another menu runs: it is cancelled, and this one waits for its loop to end. A menu
        // that cannot be had only cancels.
        const bool available = RequestedMenu(current) != nullptr;
        CancelMenu();
        if (available) {
            t.pending = current;
            t.pendingOwner = this;
        }
        return TRUE;
    }

    SECMenuBarMessages* owner = this;
    for (;;) {
        owner->TrackRequest(current);
        if (t.pendingOwner == nullptr)
            break;
        current = t.pending;
        owner = t.pendingOwner;
        t.pendingOwner = nullptr;
    }
    if (owner != this && owner->m_pMenuBar != nullptr)
        owner->m_pMenuBar->EndMenuMode();
    m_pMenuBar->EndMenuMode();
    return TRUE;
}

BOOL SECMenuBarMessages::OnSysChar(const MSG& msg)
{
    if (msg.message != WM_SYSCHAR || m_pMenuBar == nullptr)
        return FALSE;
    const char c = static_cast<char>(msg.wParam);
    if (c == ' ') {
        m_bKeyboardOpen = TRUE;
        m_pMenuBar->OpenButtonMenu(-1, TRUE);
        return TRUE;
    }
    const int index = m_pMenuBar->FindMnemonicButton(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (index < 0)
        return FALSE;
    m_bKeyboardOpen = TRUE;
    m_pMenuBar->OpenButtonMenu(index, TRUE);
    return TRUE;
}

void SECMenuBarMessages::OnMenuSelect()
{
    m_bMenuSelected = TRUE;
}

void SECMenuBarMessages::OnInitMenu()
{
    // A menu opened from the keyboard comes up with its first item lit already: a Down sent
    // here would light the second.
    m_bKeyboardOpen = FALSE;
}

BOOL SECMenuBarMessages::OnSysCommand(UINT nID)
{
    if ((nID & 0xFFF0) != kScKeyMenu || m_pMenuBar == nullptr)
        return FALSE;
    m_bKeyboardOpen = TRUE;
    m_pMenuBar->OpenButtonMenu(-1, TRUE);
    return TRUE;
}

BOOL SECMenuBarFeature::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!IsPluggedIn())
        return FALSE;
    if (message == WM_MENUSELECT) {
        OnMenuSelect();
    } else if (message == ProdMessage()) {
        m_bExitDefault = TRUE;
        OnProd();
        if (pResult)
            *pResult = 0;
        return TRUE;
    } else if (message == WM_SYSCOMMAND && SECMenuBarMessages::OnSysCommand(static_cast<UINT>(wParam))) {
        m_bExitDefault = TRUE;
        if (pResult)
            *pResult = 0;
        return TRUE;
    } else if (message == WM_INITMENUPOPUP) {
        OnInitMenu();
    } else if (message == WM_NOTIFY && OnBarNotify(reinterpret_cast<NMHDR*>(lParam))) {
        m_bExitDefault = TRUE;
        if (pResult)
            *pResult = 0;
        return TRUE;
    }
    return SECBmpMenuPlugIn::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL SECMenuBarFeature::PreTranslateMessage(MSG* pMsg)
{
    return pMsg != nullptr && SECMenuBarMessages::OnSysChar(*pMsg);
}
