// The message loop of user-interface threads and the application: the pre-translation chain,
// idle processing with its counts, and the program's entry.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CException.h"

#define WM_SYSTIMER_CARET 0x0118   // the caret's blink timer: no user activity

BOOL AfxIsIdleMessage(const MSG* pMsg)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        // A move to where the pointer already was is no activity.
        if (state->m_ptCursorLast.x == pMsg->pt.x && state->m_ptCursorLast.y == pMsg->pt.y &&
            pMsg->message == state->m_nMsgLast)
            return FALSE;
        state->m_ptCursorLast = pMsg->pt;
        state->m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != WM_SYSTIMER_CARET;
}

BOOL AfxPumpMessage(CWinThread& thread)
{
    MSG& msg = AfxGetThreadState()->m_msgCur;
    if (!::GetMessage(&msg, nullptr, 0, 0))
        return FALSE;
    if (msg.message != WM_KICKIDLE && !thread.PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return TRUE;
}

int AfxRunMessageLoop(CWinThread& thread)
{
    auto* app = dynamic_cast<CWinApp*>(&thread);
    BOOL idle = TRUE;
    LONG idleCount = 0;
    MSG peek;
    for (;;) {
        // Idle work while nothing waits, each call with the next count, until it has no more.
        while (idle && !::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!thread.OnIdle(idleCount++))
                idle = FALSE;
        }
        do {
            if (!(app ? app->PumpMessage() : AfxPumpMessage(thread)))
                return thread.ExitInstance();
            MSG& current = AfxGetThreadState()->m_msgCur;
            if (app ? app->IsIdleMessage(&current) : AfxIsIdleMessage(&current)) {
                idle = TRUE;
                idleCount = 0;
            }
        } while (::PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

int CWinApp::Run()
{
    // A program that made no main window has nothing to run.
    if (!m_pMainWnd)
        ::PostQuitMessage(0);
    return AfxRunMessageLoop(*this);
}

BOOL CWinApp::PumpMessage()
{
    return AfxPumpMessage(*this);
}

BOOL CWinApp::IsIdleMessage(MSG* pMsg)
{
    return AfxIsIdleMessage(pMsg);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    CWnd* mainWnd = AfxGetMainWnd();
    // From the target up to the main window, each window may take the message.
    if (CWnd::WalkPreTranslateTree(mainWnd ? mainWnd->m_hWnd : nullptr, pMsg))
        return TRUE;
    // A message for a window of its own (not the main window's) still reaches the main
    // window's accelerators.
    if (mainWnd && mainWnd->m_hWnd && pMsg->hwnd) {
        HWND top = pMsg->hwnd;
        for (HWND up = top; up; up = (::GetWindowLong(up, GWL_STYLE) & WS_CHILD) ? ::GetParent(up)
                                                                                 : ::GetWindow(up, GW_OWNER))
            top = up;
        if (top != mainWnd->m_hWnd)
            return mainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // Count 0: the user interface shows the state the last message left.
        CWnd* mainWnd = m_pMainWnd;
        if (mainWnd && mainWnd->m_hWnd && mainWnd->IsWindowVisible()) {
            AfxCallWndProc(mainWnd, mainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            mainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
            // The thread's other frames are windows of their own (a toolbar floated off the
            // main window sits in one): their bars follow the same state as the main window's.
            ::EnumThreadWindows(
                ::GetCurrentThreadId(),
                [](HWND top, LPARAM main) -> BOOL {
                    CWnd* frame = CWnd::FromHandlePermanent(top);
                    if (top != reinterpret_cast<HWND>(main) && frame && frame->IsFrameWnd() && ::IsWindowVisible(top)) {
                        AfxCallWndProc(frame, top, WM_IDLEUPDATECMDUI, TRUE, 0);
                        frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(mainWnd->m_hWnd));
        }
    } else if (lCount == 1) {
        // Count 1: the temporary objects of the handle maps go.
        CWnd::DeleteTempMap();
        CMenu::DeleteTempMap();
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
        CImageList::DeleteTempMap();
    }
    return lCount < 1;
}

LRESULT CWinApp::ProcessWndProcException(CException* e, const MSG* pMsg)
{
    e->ReportError(MB_ICONEXCLAMATION | MB_OK);
    return pMsg && pMsg->message == WM_CREATE ? -1 : 0;
}

int AfxWinMain(int argc, char** argv)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->SetCommandLine(argc, argv);
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}
