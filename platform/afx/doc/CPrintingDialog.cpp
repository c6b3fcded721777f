// The window of a running print job and the message pump that keeps the program painting
// between its pages.
#include "platform/afx/doc/CPrintingDialog.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/UserApi.h"

IMPLEMENT_DYNAMIC(CPrintingDialog, CDialog)

namespace {

// Pages take a few milliseconds each: the window and the program are seen to at this pace,
// quick enough for the eye and the Esc key, and the job spends its time on the pages.
constexpr std::chrono::milliseconds kTurn{40};
// A window that asks for paint after paint gets no more than this many messages at a turn, so
// the job goes on.
constexpr int kMaxMessagesPerTurn = 512;

// The user's hand: keys and the mouse, in the client and non-client areas.
bool IsInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

} // namespace

CPrintingDialog::~CPrintingDialog()
{
    Close();
}

BOOL CPrintingDialog::Open(CWnd* pOwner, LPCTSTR lpszDocument, LPCTSTR lpszPrinter, LPCTSTR lpszFile)
{
    CWnd* pMain = AfxGetMainWnd();
    HWND hOwner = pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr ? ::GetAncestor(pOwner->GetSafeHwnd(), GA_ROOT)
                                                                        : pMain != nullptr ? pMain->GetSafeHwnd() : nullptr;
    // The main window takes no input while the job runs. Disabled before this window is made
    // (which takes the focus), it gives the activation up to it and is drawn inactive.
    HWND hMain = pMain != nullptr ? pMain->GetSafeHwnd() : hOwner;
    if (hMain != nullptr && ::IsWindowEnabled(hMain)) {
        ::EnableWindow(hMain, FALSE);
        m_hWndDisabled = hMain;
    }
    if (!Create(AFX_IDD_PRINTDLG, CWnd::FromHandle(hOwner))) {
        Close();
        return FALSE;
    }
    SetDlgItemText(AFX_IDC_PRINT_DOCNAME, lpszDocument);
    CString strPrinter;
    strPrinter.Format(AFX_IDS_PRINTONPRINTER, lpszPrinter);
    SetDlgItemText(AFX_IDC_PRINT_PRINTERNAME, strPrinter);
    SetDlgItemText(AFX_IDC_PRINT_PORTNAME, lpszFile);
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

BOOL CPrintingDialog::NextPage(UINT nPage, UINT nPages)
{
    const auto now = std::chrono::steady_clock::now();
    if (m_lastTurn != std::chrono::steady_clock::time_point() && now - m_lastTurn < kTurn)
        return !m_bCancelled;
    m_lastTurn = now;
    SetPage(nPage, nPages);
    return PumpMessages();
}

void CPrintingDialog::SetPage(UINT nPage, UINT nPages)
{
    if (GetSafeHwnd() == nullptr)
        return;
    CString strPage;
    if (nPages != 0 && nPages != 0xFFFF)
        strPage.Format(AFX_IDS_PRINTPAGEOFNUM, nPage, nPages);
    else
        strPage.Format(AFX_IDS_PRINTPAGENUM, nPage);
    SetDlgItemText(AFX_IDC_PRINT_PAGENUM, strPage);
}

BOOL CPrintingDialog::PumpMessages()
{
    MSG msg;
    for (int n = 0; n < kMaxMessagesPerTurn && !m_bCancelled && ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bCancelled = TRUE;
            break;
        }
        const bool bOurs = m_hWnd != nullptr && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd));
        if (IsInput(msg.message) && !bOurs)
            continue;
        if (bOurs && PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return !m_bCancelled;
}

void CPrintingDialog::OnCancel()
{
    // The job stops before its next page, and the window goes with it.
    m_bCancelled = TRUE;
}

void CPrintingDialog::Close()
{
    // The main window comes back before this one goes, so that the activation returns to it.
    if (m_hWndDisabled != nullptr && ::IsWindow(m_hWndDisabled))
        ::EnableWindow(m_hWndDisabled, TRUE);
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
    if (m_hWndDisabled != nullptr && ::IsWindow(m_hWndDisabled) && ::GetActiveWindow() == nullptr)
        ::SetActiveWindow(m_hWndDisabled);
    m_hWndDisabled = nullptr;
}
