// CDialog: creation through the dialog manager with the object attached by the creation hook,
// the modal run with PreTranslateMessage offered each message, and the OK/Cancel protocol.
#include "platform/afx/dlg/CDialog.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/core/CWinThread.h"
#include "platform/core/ResourceTable.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_HELP, &CDialog::OnHelpInfo)
END_MESSAGE_MAP()

namespace {

// The modal dialogs running on this thread, innermost last: the message filter offers each
// message of a dialog's loop to the innermost one's windows.
std::vector<HWND>& ModalDialogs()
{
    static thread_local std::vector<HWND> dialogs;
    return dialogs;
}

// The window of a message when it belongs to a window the modal dialog owns (a modeless Find
// opened from one of its controls), the owned window's frame; otherwise null.
HWND OwnedTopLevel(HWND dlg, HWND target)
{
    HWND top = ::GetAncestor(target, GA_ROOT);
    if (top == nullptr || top == dlg)
        return nullptr;
    for (HWND owner = ::GetWindow(top, GW_OWNER); owner != nullptr; owner = ::GetWindow(owner, GW_OWNER))
        if (owner == dlg)
            return top;
    return nullptr;
}

LRESULT CALLBACK ModalMessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->hwnd && !ModalDialogs().empty()) {
        HWND dlg = ModalDialogs().back();
        if ((msg->hwnd == dlg || ::IsChild(dlg, msg->hwnd)) && CWnd::WalkPreTranslateTree(dlg, msg))
            return TRUE;
        // A modeless dialog the modal one opened keeps its own keyboard (Tab, letters, Enter,
        // Esc) while the modal loop runs, as it has under the program's own loop.
        if (HWND top = OwnedTopLevel(dlg, msg->hwnd); top != nullptr && CWnd::WalkPreTranslateTree(top, msg))
            return TRUE;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Keeps the filter installed while modal dialogs run (once, however deeply they nest, so that
// no message is offered twice), and the dialog on the stack.
class ModalScope {
public:
    ModalScope()
    {
        if (Depth()++ == 0)
            Hook() = ::SetWindowsHookEx(WH_MSGFILTER, ModalMessageFilter, nullptr, ::GetCurrentThreadId());
    }
    ~ModalScope()
    {
        if (m_pushed)
            ModalDialogs().pop_back();
        if (--Depth() == 0 && Hook()) {
            ::UnhookWindowsHookEx(Hook());
            Hook() = nullptr;
        }
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    void Push(HWND dlg)
    {
        if (!m_pushed) {
            ModalDialogs().push_back(dlg);
            m_pushed = true;
        }
    }

private:
    static int& Depth()
    {
        static thread_local int depth = 0;
        return depth;
    }
    static HHOOK& Hook()
    {
        static thread_local HHOOK hook = nullptr;
        return hook;
    }
    bool m_pushed = false;
};

thread_local ModalScope* t_startingModal = nullptr;

} // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!pDlg)
        return TRUE;
    // The modal loop offers its messages to this dialog from now on.
    if (t_startingModal) {
        t_startingModal->Push(hWnd);
        t_startingModal = nullptr;
    }
    CRect before;
    ::GetWindowRect(hWnd, &before);
    const BOOL bHiddenTopLevel = !(::GetWindowLong(hWnd, GWL_STYLE) & WS_CHILD) && !::IsWindowVisible(hWnd);
    const BOOL bResult = pDlg->OnInitDialog();
    // A top-level dialog its own code did not place comes up centred on its owner rather than at
    // its template's corner of the owner. One that only changed its size (grew to make room for
    // a toolbar, say) was not placed either.
    if (bHiddenTopLevel && ::IsWindow(hWnd) && !::IsWindowVisible(hWnd)) {
        CRect after;
        ::GetWindowRect(hWnd, &after);
        if (after.TopLeft() == before.TopLeft())
            pDlg->CenterWindow();
    }
    return bResult;
}

CDialog::CDialog() = default;

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    if (lpszTemplateName && !IS_INTRESOURCE(lpszTemplateName)) {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName.GetString();
    } else {
        m_lpszTemplateName = lpszTemplateName;
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // A modeless dialog deleted while its window lives takes the window with it.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        CWnd::DestroyWindow();
}

// ---- Creation -----------------------------------------------------------------------------------

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    if (m_hWnd || !lpszTemplateName)
        return FALSE;
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_lpszTemplateName = lpszTemplateName;
        if (!m_nIDHelp)
            m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    } else if (lpszTemplateName != m_strTemplateName.GetString()) {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName.GetString();
    }
    m_pParentWnd = pParentWnd;
    HWND hWndParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    AfxHookWindowCreate(this);
    // The template may come from the program or from any library's resources.
    HINSTANCE instance = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
    HWND hWnd = ::CreateDialogParam(instance, m_lpszTemplateName, hWndParent, AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (m_hWnd || !lpDialogTemplate)
        return FALSE;
    m_pParentWnd = pParentWnd;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParam(nullptr, lpDialogTemplate, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr,
                                            AfxDlgProc, 0);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (!lpDialogTemplate)
        return FALSE;
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return TRUE;
}

HWND CDialog::PreModal()
{
    // A dialog closes any tool tip the owner shows.
    CancelToolTips();
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!hWndParent) {
        if (CWinThread* thread = AfxGetThread())
            if (thread->m_pMainWnd)
                hWndParent = thread->m_pMainWnd->GetSafeHwnd();
    }
    if (!hWndParent)
        hWndParent = ::GetActiveWindow();
    return hWndParent ? ::GetAncestor(hWndParent, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd)
        return -1;   // already open
    if (!m_lpDialogTemplate && !m_lpszTemplateName)
        return -1;
    HWND hWndParent = PreModal();
    ModalScope scope;
    ModalScope* const outer = t_startingModal;
    t_startingModal = &scope;
    AfxHookWindowCreate(this);
    // The dialog manager runs the loop; the object is attached by the hook before the first
    // message and detached when the loop destroys the window.
    const INT_PTR result = m_lpDialogTemplate
                               ? ::DialogBoxIndirectParam(nullptr, m_lpDialogTemplate, hWndParent, AfxDlgProc, 0)
                               : ::DialogBoxParam(AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG),
                                                  m_lpszTemplateName, hWndParent, AfxDlgProc, 0);
    t_startingModal = outer;
    AfxUnhookWindowCreate();
    // The owner was re-enabled by the loop; give it the activation back as the dialog went.
    if (hWndParent && ::IsWindow(hWndParent) && ::GetActiveWindow() == nullptr)
        ::SetActiveWindow(hWndParent);
    return result;
}

LRESULT CDialog::OnHelpInfo(WPARAM, LPARAM lParam)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return FALSE;
    const auto* pInfo = reinterpret_cast<const HELPINFO*>(lParam);
    if (pInfo != nullptr && pInfo->dwContextId != 0)
        pApp->WinHelp(pInfo->dwContextId, HELP_CONTEXTPOPUP);
    else if (m_nIDHelp != 0)
        pApp->WinHelp(HID_BASE_RESOURCE + m_nIDHelp, HELP_CONTEXT);
    else
        return FALSE;
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

// ---- Controls -----------------------------------------------------------------------------------

void CDialog::NextDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl && pWndCtrl->GetSafeHwnd())
        ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const
{
    return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    ::MapDialogRect(m_hWnd, lpRect);
}

// ---- The protocol -------------------------------------------------------------------------------

BOOL CDialog::OnInitDialog()
{
    // Dialog initialisation data of the template (list and combo box entries) come first, so
    // that the data exchange finds them.
    if (m_lpszTemplateName && !ExecuteDlgInit(m_lpszTemplateName))
        TRACE("dialog initialisation data of %p are malformed\n", static_cast<void*>(m_hWnd));
    // A refused value on opening is a program error; it leaves the controls as they are.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;   // the failing control has the focus back
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    // The keyboard interface of the dialog (Tab, arrows, Enter, Esc, mnemonics) for keys aimed
    // at it or its controls.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hWnd &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        return ::IsDialogMessage(m_hWnd, pMsg);
    return FALSE;
}
