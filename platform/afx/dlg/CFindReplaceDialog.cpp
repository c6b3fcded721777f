// CFindReplaceDialog: the record the dialog reports through, the object found again from it,
// and the object's end with its window.
#include "platform/afx/dlg/CFindReplaceDialog.h"

#include "platform/core/CWinThread.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CFindReplaceDialog, CDialog)

namespace {

// The record each live dialog object reports through, so that a message's lParam leads back to
// the object without trusting its layout.
std::unordered_map<const FINDREPLACE*, CFindReplaceDialog*>& Notifiers()
{
    static std::unordered_map<const FINDREPLACE*, CFindReplaceDialog*> notifiers;
    return notifiers;
}

std::mutex& NotifiersLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

CFindReplaceDialog::CFindReplaceDialog() : m_fr{}
{
    m_fr.lStructSize = sizeof(FINDREPLACE);
    m_fr.lpstrFindWhat = m_szFindWhat;
    m_fr.wFindWhatLen = sizeof m_szFindWhat;
    m_fr.lpstrReplaceWith = m_szReplaceWith;
    m_fr.wReplaceWithLen = sizeof m_szReplaceWith;
    std::lock_guard<std::mutex> guard(NotifiersLock());
    Notifiers()[&m_fr] = this;
}

CFindReplaceDialog::~CFindReplaceDialog()
{
    // Deleted while its window lives: the window goes without coming back to delete this again.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND hWnd = UnsubclassWindow();
        ::DestroyWindow(hWnd);
    }
    std::lock_guard<std::mutex> guard(NotifiersLock());
    Notifiers().erase(&m_fr);
}

BOOL CFindReplaceDialog::Create(BOOL bFindDialogOnly, LPCTSTR lpszFindWhat, LPCTSTR lpszReplaceWith, DWORD dwFlags,
                                CWnd* pParentWnd)
{
    if (m_hWnd)
        return FALSE;
    m_fr.Flags = dwFlags;
    std::strncpy(m_szFindWhat, lpszFindWhat ? lpszFindWhat : "", sizeof m_szFindWhat - 1);
    std::strncpy(m_szReplaceWith, lpszReplaceWith ? lpszReplaceWith : "", sizeof m_szReplaceWith - 1);
    HWND owner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    if (!owner)
        if (CWinThread* thread = AfxGetThread())
            if (thread->m_pMainWnd)
                owner = thread->m_pMainWnd->GetSafeHwnd();
    m_fr.hwndOwner = owner;
    m_pParentWnd = pParentWnd;
    // F1 asks for the built-in dialog's help by its template id.
    if (m_nIDHelp == 0 && !(dwFlags & (FR_ENABLETEMPLATE | FR_ENABLETEMPLATEHANDLE)))
        m_nIDHelp = bFindDialogOnly ? FINDDLGORD : REPLACEDLGORD;
    HWND hWnd = bFindDialogOnly ? ::FindText(&m_fr) : ::ReplaceText(&m_fr);
    if (!hWnd)
        return FALSE;
    // The object takes the window over, so that it goes when the dialog is closed.
    return SubclassWindow(hWnd);
}

CFindReplaceDialog* PASCAL CFindReplaceDialog::GetNotifier(LPARAM lParam)
{
    std::lock_guard<std::mutex> guard(NotifiersLock());
    auto it = Notifiers().find(reinterpret_cast<const FINDREPLACE*>(lParam));
    return it == Notifiers().end() ? nullptr : it->second;
}

void CFindReplaceDialog::OnOK()
{
    Default();
}

void CFindReplaceDialog::OnCancel()
{
    Default();
}

void CFindReplaceDialog::PostNcDestroy()
{
    // Made with new for a modeless life: it ends with its window.
    delete this;
}
