// CWnd's life: handle maps, attaching through the creation hook, subclassing, the window
// procedure and message-map dispatch, and destruction.
#include "platform/afx/wnd/CWnd.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/core/CException.h"
#include "platform/core/CWinThread.h"
#include "platform/win/Cursor.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_COMPAREITEM()
    ON_WM_DELETEITEM()
    ON_WM_PARENTNOTIFY()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CWnd* AfxWndFromHandle(HWND hWnd)
{
    return CWnd::FromHandle(hWnd);
}

CWnd::CWnd() = default;

CWnd::CWnd(HWND hWnd) : m_hWnd(hWnd) {}

CWnd::~CWnd()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_pWndInit == this)
        state->m_pWndInit = nullptr;
    // An object that still owns its window takes the window with it. Wrappers that only share
    // a handle (temporary objects, plug-ins) leave the window alone.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        TRACE("CWnd of %p deleted while its window lives: destroying the window\n", static_cast<void*>(m_hWnd));
        CWnd::DestroyWindow();
    }
    m_hWnd = nullptr;
}

// ---- Handle maps ------------------------------------------------------------------------------

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    return AfxGetThreadState()->m_windows.LookupPermanent(hWnd);
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    auto& map = AfxGetThreadState()->m_windows;
    if (CWnd* p = map.LookupPermanent(hWnd))
        return p;
    if (CWnd* p = map.LookupTemporary(hWnd))
        return p;
    auto* p = new CWnd(hWnd);
    map.temporary[hWnd] = p;
    return p;
}

void PASCAL CWnd::DeleteTempMap()
{
    auto& temp = AfxGetThreadState()->m_windows.temporary;
    // Take the map first: a destructor must not find itself half-removed.
    auto doomed = std::move(temp);
    temp.clear();
    for (auto& [h, p] : doomed) {
        p->m_hWnd = nullptr;
        delete p;
    }
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    auto& map = AfxGetThreadState()->m_windows;
    if (map.LookupPermanent(hWndNew))
        return FALSE;   // another object owns the window already
    m_hWnd = hWndNew;
    map.permanent[hWndNew] = this;
    // A temporary wrapper made earlier for the handle is not needed any more; it goes at idle.
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        auto& map = AfxGetThreadState()->m_windows.permanent;
        auto it = map.find(hWnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent || !pParent->m_hWnd)
        return FALSE;
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Creation -----------------------------------------------------------------------------------

// Attaches the object waiting in the thread state to the window being created, before the
// window sees its first message, and makes the framework's procedure the window's.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state->m_pWndInit) {
        CWnd* pWndInit = state->m_pWndInit;
        state->m_pWndInit = nullptr;
        auto hWnd = reinterpret_cast<HWND>(wParam);
        if (pWndInit->Attach(hWnd)) {
            pWndInit->PreSubclassWindow();
            auto old = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
            if (old != &AfxWndProc)
                pWndInit->m_pfnSuper = old;
        }
    }
    return CallNextHookEx(state->m_hHookOldCbtFilter, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (!state->m_hHookOldCbtFilter)
        state->m_hHookOldCbtFilter = ::SetWindowsHookEx(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    state->m_pWndInit = pWnd;
}

// TRUE when the hook took the object (the window was made far enough to be attached).
BOOL AfxUnhookWindowCreate()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hHookOldCbtFilter) {
        ::UnhookWindowsHookEx(state->m_hHookOldCbtFilter);
        state->m_hHookOldCbtFilter = nullptr;
    }
    if (state->m_pWndInit) {
        state->m_pWndInit = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass) {
        WNDCLASS wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProc;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = AFX_WND_CLASS;
        if (!AfxRegisterClass(&wc))
            return FALSE;
        cs.lpszClass = AFX_WND_CLASS;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;   // one object, one window
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                 cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // When the window never reached the hook, no WM_NCDESTROY will come: clean up here. When it
    // did and then failed, the window's destruction has run PostNcDestroy, which may have
    // deleted this object, so nothing of it is touched.
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* pContext)
{
    // Only children are made this way; top-level windows go through CreateEx.
    if (!pParentWnd || !(dwStyle & WS_CHILD))
        return FALSE;
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    const bool owner = FromHandlePermanent(hWnd) == this;
    // For the owning object, destruction ends in PostNcDestroy, which may delete it.
    BOOL result = ::DestroyWindow(hWnd);
    if (!owner)
        m_hWnd = nullptr;
    return result;
}

void CWnd::PostNcDestroy() {}

// ---- The window procedure --------------------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    const MSG saved = state->m_lastSentMsg;
    state->m_lastSentMsg.hwnd = hWnd;
    state->m_lastSentMsg.message = nMsg;
    state->m_lastSentMsg.wParam = wParam;
    state->m_lastSentMsg.lParam = lParam;
    LRESULT result = 0;
    try {
        // pWnd may be deleted by the time WindowProc returns: only locals are used after it.
        result = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        TCHAR text[256] = "";
        e->GetErrorMessage(text, sizeof text);
        TRACE("exception in message %#x to %p: %s\n", nMsg, static_cast<void*>(hWnd), text);
        const MSG msg = state->m_lastSentMsg;
        if (CWinApp* app = AfxGetApp())
            result = app->ProcessWndProcException(e, &msg);
        else
            result = nMsg == WM_CREATE ? -1 : 0;   // a window that failed to start is not made
        e->Delete();
    } catch (const std::exception& e) {
        TRACE("exception in message %#x to %p: %s\n", nMsg, static_cast<void*>(hWnd), e.what());
        result = nMsg == WM_CREATE ? -1 : 0;
    }
    state->m_lastSentMsg = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        result = 1;
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header || !OnNotify(wParam, lParam, &result))
            return FALSE;
    } else {
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, wParam, lParam);
        if (!entry)
            return FALSE;
        AFX_MSGCALL call{message, wParam, lParam, 0, 0, nullptr, 0};
        // The handler may delete this object: only locals are used after it.
        if (!entry->pfn(this, call))
            return FALSE;
        result = call.result;
    }
    if (pResult)
        *pResult = result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG msg = AfxGetThreadState()->m_lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    state->m_lastSentMsg.time = static_cast<DWORD>(::GetMessageTime());
    DWORD pos = ::GetMessagePos();
    state->m_lastSentMsg.pt = POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    return &state->m_lastSentMsg;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::OnNcDestroy()
{
    if (CWinThread* thread = AfxGetThread()) {
        // The thread's main window going means the thread's work is over.
        if (thread->m_pMainWnd == this) {
            thread->m_pMainWnd = nullptr;
            ::PostQuitMessage(0);
        }
        if (thread->m_pActiveWnd == this)
            thread->m_pActiveWnd = nullptr;
    }
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (state->m_hLastToolWnd == m_hWnd || state->m_hLastHitWnd == m_hWnd) {
        CancelToolTips();
        state->m_hLastToolWnd = nullptr;
        state->m_hLastHitWnd = nullptr;
        state->m_nLastHit = -1;
    }
    Default();
    m_pfnSuper = nullptr;
    Detach();
    // The last thing done with the object: it may delete itself here.
    PostNcDestroy();
}
