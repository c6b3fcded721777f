#include "grid/core/CGXLongOperationImp.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CWinThread.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"

IMPLEMENT_DYNAMIC(CGXLongOperationImp, CGXAbstractLongOperationImp)

namespace {

CGXLongOperationImp* g_pInstalled = nullptr;

// Message ranges held back during a long operation.
struct Range {
    UINT first;
    UINT last;
};
constexpr Range kHeldBack[] = {
    {WM_KEYFIRST, WM_KEYLAST},   // keyboard
    {0x0200, 0x0209},            // mouse in the client area
    {WM_NCMOUSEMOVE, 0x00A9},    // mouse in the non-client area
    {WM_COMMAND, WM_COMMAND},    // menu and control commands
};
// A window that never validates itself would otherwise get WM_PAINT forever: one pump hands
// out at most this many messages of a kind.
constexpr int kMaxPerPump = 256;
// Idle work that always asks for more would hold the operation forever: one pump runs at
// most this many idle passes.
constexpr LONG kMaxIdlePasses = 64;

// Takes the next message of the range out of the queue. A quit request answers every filter
// once nothing else matches: it is put back for the ordinary loop and ends the pump, never taken
// for input or dispatched here.
bool Take(MSG& msg, UINT first, UINT last, bool& bQuit)
{
    if (bQuit || !PeekMessage(&msg, nullptr, first, last, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        bQuit = true;
        return false;
    }
    return true;
}

// ESC, or Ctrl+Break.
bool IsStopKey(WPARAM vk)
{
    return vk == VK_ESCAPE || vk == VK_CANCEL;
}

// Whether a stop key was pressed since the last call: each call forgets the presses it saw.
bool PressedSinceLastLook()
{
    // Both asked, so that both forget.
    const bool bEsc = (GetAsyncKeyState(VK_ESCAPE) & 0x0001) != 0;
    const bool bBreak = (GetAsyncKeyState(VK_CANCEL) & 0x0001) != 0;
    return bEsc || bBreak;
}

// Takes the held-back messages out unprocessed; whether ESC was pressed among them.
bool DropHeldBack(bool& bQuit)
{
    bool bEsc = false;
    MSG msg{};
    for (const Range& range : kHeldBack)
        for (int i = 0; i < kMaxPerPump && Take(msg, range.first, range.last, bQuit); ++i)
            if (msg.message == WM_KEYDOWN && IsStopKey(msg.wParam))
                bEsc = true;
    return bEsc;
}

} // namespace

CGXLongOperationImp::~CGXLongOperationImp()
{
    if (GXGetLongOperationImp() == this)
        GXSetLongOperationImp(nullptr);
    if (g_pInstalled == this)
        g_pInstalled = nullptr;
    if (GXGetAppData()->m_pLongOperationImp == this)
        GXGetAppData()->m_pLongOperationImp = nullptr;
}

void CGXLongOperationImp::Install()
{
    if (g_pInstalled != nullptr)
        return;
    g_pInstalled = new CGXLongOperationImp;
    GXSetLongOperationImp(g_pInstalled);
    // The library's record deletes it with the other application-wide features.
    CGXGridAppData* pData = GXGetAppData();
    pData->m_pLongOperationImp = g_pInstalled;
    pData->AddAutoDeleteImp(g_pInstalled);
}

void CGXLongOperationImp::Uninstall()
{
    if (g_pInstalled != nullptr)
        GXGetAppData()->RemoveAutoDeleteImp(g_pInstalled);
    delete g_pInstalled;
    g_pInstalled = nullptr;
}

void CGXLongOperationImp::PumpMessages(CGXLongOperation& op)
{
    CGXAbstractLongOperationImp::PumpMessages(op);
    bool bQuit = false;
    if (DropHeldBack(bQuit))
        GXGetLongOperationState().m_bEscPressed = TRUE;
    MSG msg{};
    for (UINT message : {static_cast<UINT>(WM_PAINT), static_cast<UINT>(WM_TIMER)})
        for (int i = 0; i < kMaxPerPump && Take(msg, message, message, bQuit); ++i)
            DispatchMessage(&msg);
    if (bQuit)
        return;
    CWinThread* pThread = AfxGetThread();
    if (pThread == nullptr)
        pThread = AfxGetApp();
    if (pThread != nullptr)
        for (LONG nCount = 0; nCount < kMaxIdlePasses && pThread->OnIdle(nCount); ++nCount) {
        }
}

void CGXLongOperationImp::Begin(CGXLongOperation& op)
{
    CGXAbstractLongOperationImp::Begin(op);
    if (GXGetLongOperationState().m_nLevel != 1)
        return;
    // An ESC pressed before the work began, and handled, is not one that stops it.
    PressedSinceLastLook();
    if (m_hStatusWnd != nullptr && IsWindow(m_hStatusWnd))
        return;
    CWnd* pMain = AfxGetMainWnd();
    m_hStatusWnd = pMain != nullptr && pMain->IsFrameWnd() ? pMain->GetSafeHwnd() : nullptr;
}

void CGXLongOperationImp::End(CGXLongOperation& op)
{
    CGXAbstractLongOperationImp::End(op);
    // Keys and clicks given while the wait cursor showed were meant for the operation: one
    // that came after its last look at the queue would otherwise reach what follows it, an
    // ESC closing the box that tells how the operation ended before the user could read it.
    if (GXGetLongOperationState().m_nLevel == 0 && GXGetLongOperationState().m_bBusy) {
        bool bQuit = false;
        DropHeldBack(bQuit);
    }
}

void CGXLongOperationImp::ShowStatusText(LPCTSTR lpszText, BOOL)
{
    if (m_hStatusWnd != nullptr && IsWindow(m_hStatusWnd))
        SendMessage(m_hStatusWnd, GX_WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CGXLongOperationImp::BeginWaitCursor()
{
    m_hOldCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void CGXLongOperationImp::EndWaitCursor()
{
    SetCursor(m_hOldCursor);
    m_hOldCursor = nullptr;
}

int CGXLongOperationImp::ShowBox(LPCTSTR lpszText, UINT nType)
{
    // The box stands over the window the user pressed ESC in (the Replace dialog of a Replace
    // All), which has the keys again once it is answered.
    HWND hOwner = ::GetActiveWindow();
    if (hOwner == nullptr)
        hOwner = m_hStatusWnd != nullptr && IsWindow(m_hStatusWnd) ? m_hStatusWnd : nullptr;
    // The cursor the box needs is the arrow, not the wait cursor.
    const HCURSOR hWait = SetCursor(LoadCursor(nullptr, IDC_ARROW));
    // A box of the program's, under its name: a box without a title would be called "Error",
    // and nothing went wrong.
    LPCTSTR pszTitle = AfxGetAppName();
    if (pszTitle != nullptr && *pszTitle == '\0')
        pszTitle = nullptr;
    const int nAnswer = MessageBox(hOwner, lpszText, pszTitle, nType);
    SetCursor(hWait);
    return nAnswer;
}

GXAbortAnswer CGXLongOperationImp::AskAbort(int nMode)
{
    const CString& strQuestion = GXGetLongOperationState().m_sQuestion;
    if (nMode == 1) {
        switch (ShowBox(strQuestion.GetString(), MB_ABORTRETRYIGNORE | MB_ICONQUESTION)) {
        case IDABORT: return gxAnswerCancel;
        case IDRETRY: return gxAnswerCancelRollback;
        default: return gxAnswerContinue;
        }
    }
    return ShowBox(strQuestion.GetString(), MB_YESNO | MB_ICONQUESTION) == IDYES ? gxAnswerCancel : gxAnswerContinue;
}

BOOL CGXLongOperationImp::IsEscWaiting()
{
    MSG msg{};
    if (PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) && msg.message == WM_KEYDOWN && IsStopKey(msg.wParam))
        return TRUE;
    // Looking for the thread's own key messages, which never come, reads the display's events:
    // a key's state changes as its event is read, also while the key waits behind others (the
    // key-ups of the keys that started the work) and the queue does not show it yet.
    PeekMessage(&msg, reinterpret_cast<HWND>(-1), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE);
    return PressedSinceLastLook();
}

void CGXLongOperationImp::TellWhyNoStop(LPCTSTR lpszWhy)
{
    ShowBox(lpszWhy, MB_OK | MB_ICONINFORMATION);
}
