#include "toolkit/layout/SECWndListener.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/controls/Dialog.h"
#include "toolkit/layout/SECLayoutNode.h"

// One per hooked window: the procedure that was replaced and the listeners in hook order.
struct SECWndHookRecord {
    WNDPROC oldWndProc = nullptr;
    DLGPROC oldDlgProc = nullptr;
    std::vector<SECWndListener*> listeners;
};

namespace {

// Hooking and unhooking run on the window's own thread, but the map is shared by the process.
std::mutex g_hookLock;
std::unordered_map<HWND, SECWndHookRecord*>& HookMap()
{
    static auto* map = new std::unordered_map<HWND, SECWndHookRecord*>;
    return *map;
}

SECWndHookRecord* FindRecord(HWND hWnd)
{
    std::lock_guard<std::mutex> lock(g_hookLock);
    auto it = HookMap().find(hWnd);
    return it == HookMap().end() ? nullptr : it->second;
}

bool HoldsListener(const SECWndHookRecord* record, const SECWndListener* listener)
{
    return record && std::find(record->listeners.begin(), record->listeners.end(), listener) != record->listeners.end();
}

}   // namespace

// The message a hook is dispatching on this thread, so that Default inside a handler reaches
// the saved procedure (once: the hook then does not call it again).
struct SECWndHookDispatch {
    HWND hWnd;
    UINT msg;
    WNDPROC oldWndProc;
    DLGPROC oldDlgProc;
    bool bDialog;
    bool bDefaultCalled = false;
    LRESULT lDefaultResult = 0;
    SECWndHookDispatch* pPrev = nullptr;

    LRESULT CallSaved(WPARAM wParam, LPARAM lParam) const
    {
        if (bDialog)
            return oldDlgProc ? oldDlgProc(hWnd, msg, wParam, lParam) : FALSE;
        return oldWndProc ? ::CallWindowProc(oldWndProc, hWnd, msg, wParam, lParam) : ::DefWindowProc(hWnd, msg, wParam, lParam);
    }
};

namespace {
thread_local SECWndHookDispatch* t_dispatch = nullptr;
}

IMPLEMENT_DYNAMIC(SECWndListener, SECWndPlugIn)
IMPLEMENT_DYNAMIC(SECLayoutWndListener, SECWndListener)

SECWndListener::~SECWndListener()
{
    if (IsPluggedIn() || m_hWndHooked != nullptr)
        SECWndListener::Detach();
}

BOOL SECWndListener::Attach(CWnd* pWnd)
{
    if (pWnd == nullptr || !SECWndPlugIn::Attach(pWnd))
        return FALSE;
    if (!Hook(pWnd)) {
        SECWndPlugIn::Detach();
        return FALSE;
    }
    m_hWndHooked = pWnd->GetSafeHwnd();
    return TRUE;
}

void SECWndListener::Detach()
{
    Unhook();
    SECWndPlugIn::Detach();
    m_hWndHooked = nullptr;
}

BOOL SECWndListener::DispatchHookedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    OnHookedMessage(msg, wParam, lParam);
    return OnWndMsg(msg, wParam, lParam, pResult);
}

LRESULT SECWndListener::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    SECWndHookDispatch* frame = t_dispatch;
    if (frame == nullptr || frame->hWnd != m_hWndHooked || frame->msg != message)
        return SECWndPlugIn::DefWindowProc(message, wParam, lParam);
    if (!frame->bDefaultCalled) {
        frame->bDefaultCalled = true;
        frame->lDefaultResult = frame->CallSaved(wParam, lParam);
    }
    return frame->lDefaultResult;
}

BOOL SECWndListener::IsHooked(HWND hWnd)
{
    return FindRecord(hWnd) != nullptr;
}

BOOL SECWndListener::Hook(CWnd* pWnd)
{
    HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (hWnd == nullptr)
        return FALSE;
    if (SECWndHookRecord* record = FindRecord(hWnd))
        return JoinHook(record);
    return CreateHook(hWnd);
}

BOOL SECWndListener::JoinHook(SECWndHookRecord* pRecord)
{
    if (pRecord == nullptr)
        return FALSE;
    std::lock_guard<std::mutex> lock(g_hookLock);
    if (!HoldsListener(pRecord, this))
        pRecord->listeners.push_back(this);
    return TRUE;
}

BOOL SECWndListener::HasNoDialogProc(HWND hWnd)
{
    // The slot holds a pointer: read it whole and test for null.
    return ::GetWindowLongPtr(hWnd, DWLP_DLGPROC) == 0;
}

BOOL SECWndListener::CreateHook(HWND hWnd)
{
    if (!::IsWindow(hWnd))
        return FALSE;
    auto* record = new SECWndHookRecord;
    if (HasNoDialogProc(hWnd)) {
        record->oldWndProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SECWndListener::HookWndProc)));
    } else {
        record->oldDlgProc = reinterpret_cast<DLGPROC>(
            ::SetWindowLongPtr(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&SECWndListener::HookDlgProc)));
    }
    record->listeners.push_back(this);
    std::lock_guard<std::mutex> lock(g_hookLock);
    HookMap()[hWnd] = record;
    return TRUE;
}

BOOL SECWndListener::Unhook()
{
    HWND hWnd = m_hWnd ? m_hWnd : m_hWndHooked;
    if (hWnd == nullptr)
        return FALSE;
    SECWndHookRecord* toFree = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_hookLock);
        auto it = HookMap().find(hWnd);
        if (it == HookMap().end())
            return TRUE;
        SECWndHookRecord* record = it->second;
        auto& list = record->listeners;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        if (list.empty()) {
            HookMap().erase(it);
            toFree = record;
        }
    }
    if (toFree != nullptr) {
        // The saved procedure goes back before the record is gone, so the hook never runs for a
        // window without one.
        if (::IsWindow(hWnd)) {
            if (toFree->oldWndProc != nullptr)
                ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(toFree->oldWndProc));
            else
                ::SetWindowLongPtr(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(toFree->oldDlgProc));
        }
        delete toFree;
    }
    return TRUE;
}

LRESULT CALLBACK SECWndListener::HookWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return RunHook(hWnd, msg, wParam, lParam, false);
}

INT_PTR CALLBACK SECWndListener::HookDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return static_cast<INT_PTR>(RunHook(hWnd, msg, wParam, lParam, true));
}

LRESULT SECWndListener::RunHook(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, bool bDialog)
{
    if (hWnd == nullptr)
        return 0;
    SECWndHookRecord* record = FindRecord(hWnd);
    if (record == nullptr)
        return bDialog ? FALSE : ::DefWindowProc(hWnd, msg, wParam, lParam);

    // Copies first: a handler may detach listeners (and free the record) or destroy the window.
    SECWndHookDispatch frame{hWnd, msg, record->oldWndProc, record->oldDlgProc, bDialog, false, 0, nullptr};
    const std::vector<SECWndListener*> listeners = record->listeners;

    if (msg == WM_NCDESTROY) {
        for (SECWndListener* listener : listeners) {
            if (HoldsListener(FindRecord(hWnd), listener))
                listener->Detach();
        }
        return frame.CallSaved(wParam, lParam);
    }

    AFX_THREAD_STATE* state = AfxGetThreadState();
    const MSG saved = state->m_lastSentMsg;
    state->m_lastSentMsg.hwnd = hWnd;
    state->m_lastSentMsg.message = msg;
    state->m_lastSentMsg.wParam = wParam;
    state->m_lastSentMsg.lParam = lParam;
    frame.pPrev = t_dispatch;
    t_dispatch = &frame;

    LRESULT result = 0;
    DWORD flags = 0;
    for (SECWndListener* listener : listeners) {
        if (!HoldsListener(FindRecord(hWnd), listener))
            continue;   // detached by an earlier handler
        listener->DispatchHookedMessage(msg, wParam, lParam, &result);
        flags |= listener->m_dwMsgFlags;
        listener->m_dwMsgFlags = 0;
        if (flags & SEC_WNDLISTENER_STOP)
            break;
    }

    t_dispatch = frame.pPrev;
    state->m_lastSentMsg = saved;

    if (bDialog) {
        if (flags & SEC_WNDLISTENER_HANDLED) {
            if (::IsWindow(hWnd))
                ::SetWindowLongPtr(hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        if (frame.bDefaultCalled)
            return frame.lDefaultResult;
        return ::IsWindow(hWnd) ? frame.CallSaved(wParam, lParam) : FALSE;
    }
    if (flags & SEC_WNDLISTENER_HANDLED)
        return result;
    if (frame.bDefaultCalled)
        return result;   // the handler already ran the saved procedure and answered from it
    if (!::IsWindow(hWnd))
        return 0;
    return frame.CallSaved(wParam, lParam);
}

// ---- Layout listener --------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(SECLayoutWndListener, SECWndListener)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

BOOL SECLayoutWndListener::AutoInit(SECLayoutNode* pRoot, CWnd* pWnd, BOOL x, BOOL bRecalcNow, BOOL bUseWindowRect)
{
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    m_bUseWindowRect = bUseWindowRect;
    CRect rect;
    if (bUseWindowRect) {
        pWnd->GetWindowRect(&rect);
        rect.OffsetRect(-rect.left, -rect.top);
    } else {
        pWnd->GetClientRect(&rect);
    }
    return Init(pRoot, pWnd, &rect, x, bRecalcNow);
}

BOOL SECLayoutWndListener::Init(SECLayoutNode* pRoot, CWnd* pWnd, const RECT* pArea, BOOL x, BOOL bRecalcNow)
{
    if (pRoot == nullptr || pWnd == nullptr || pArea == nullptr)
        return FALSE;
    const CRect area(*pArea);
    pRoot->SetInitialRect(area);
    pRoot->InitializeNode(TRUE);
    if (!AttachEx(pWnd, x))
        return FALSE;
    SetRootNode(pRoot);
    if (bRecalcNow) {
        pRoot->RecalcLayout(area, FALSE, TRUE);
        pRoot->RealizeLayout();
        pRoot->InvalidateNode(FALSE, TRUE);
    }
    return TRUE;
}

void SECLayoutWndListener::OnSize(UINT /*nType*/, int cx, int cy)
{
    Default();
    if (m_pRootNode == nullptr || !m_bAutoRecalc)
        return;
    const CRect cur = m_pRootNode->GetCurrentRect();
    CRect rect(cur.left, cur.top, cur.left + cx, cur.top + cy);
    if (m_bUseWindowRect && m_hWndHooked != nullptr) {
        CRect window;
        ::GetWindowRect(m_hWndHooked, &window);
        rect.right = cur.left + window.Width();
        rect.bottom = cur.top + window.Height();
    }
    m_pRootNode->RecalcLayout(rect, FALSE, TRUE);
    m_pRootNode->RealizeLayout();
}

void SECLayoutWndListener::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    Default();
    if (m_pRootNode == nullptr || lpMMI == nullptr || m_hWndHooked == nullptr)
        return;
    CSize sizeMin, sizeMax;
    DWORD dwFlags = 0;
    m_pRootNode->GetMinMaxSize(sizeMin, sizeMax, dwFlags);
    CRect window, client;
    ::GetWindowRect(m_hWndHooked, &window);
    ::GetClientRect(m_hWndHooked, &client);
    const int extraX = window.Width() - client.Width();
    const int extraY = window.Height() - client.Height();
    if (!(dwFlags & SEC_LNMINMAX_NOMIN)) {
        lpMMI->ptMinTrackSize.x = sizeMin.cx + extraX;
        lpMMI->ptMinTrackSize.y = sizeMin.cy + extraY;
    }
    if (!(dwFlags & SEC_LNMINMAX_NOMAX)) {
        lpMMI->ptMaxTrackSize.x = sizeMax.cx + extraX;
        lpMMI->ptMaxTrackSize.y = sizeMax.cy + extraY;
    }
}

BOOL SECLayoutWndListener::OnEraseBkgnd(CDC* /*pDC*/)
{
    const BOOL bResult = static_cast<BOOL>(Default());
    if (m_pRootNode != nullptr)
        m_pRootNode->EraseBackground(TRUE, nullptr);
    return bResult;
}

void SECLayoutWndListener::OnPaint()
{
    Default();
    if (m_pRootNode != nullptr)
        m_pRootNode->Paint(TRUE, nullptr);
}

void SECLayoutWndListener::OnMeasureItem(int /*nIDCtl*/, LPMEASUREITEMSTRUCT /*lpMeasureItemStruct*/)
{
    SetMsgFlags(SEC_WNDLISTENER_STOP);
}
