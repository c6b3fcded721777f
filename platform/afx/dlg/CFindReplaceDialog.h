// CFindReplaceDialog: the modeless find or replace dialog as an object made with new: it tells
// its owner of each request with the registered message FINDMSGSTRING, whose lParam leads
// back to it through GetNotifier, and deletes itself when its window goes.
#pragma once

#include "platform/afx/dlg/CDialog.h"
#include "platform/controls/FindReplaceDialog.h"

class CFindReplaceDialog : public CDialog {
    DECLARE_DYNAMIC(CFindReplaceDialog)
public:
    CFindReplaceDialog();
    ~CFindReplaceDialog() override;

    // Shows the dialog (find only, or find and replace) owned by pParentWnd's window, or by the
    // application's main window.
    BOOL Create(BOOL bFindDialogOnly, LPCTSTR lpszFindWhat, LPCTSTR lpszReplaceWith = nullptr,
                DWORD dwFlags = FR_DOWN, CWnd* pParentWnd = nullptr);

    FINDREPLACE m_fr;

    // The dialog a FINDMSGSTRING message came from (its lParam), or null.
    static CFindReplaceDialog* PASCAL GetNotifier(LPARAM lParam);

    CString GetReplaceString() const { return CString(m_fr.lpstrReplaceWith); }
    CString GetFindString() const { return CString(m_fr.lpstrFindWhat); }
    BOOL SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
    BOOL FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
    BOOL MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
    BOOL MatchWholeWord() const { return (m_fr.Flags & FR_WHOLEWORD) != 0; }
    BOOL ReplaceCurrent() const { return (m_fr.Flags & FR_REPLACE) != 0; }
    BOOL ReplaceAll() const { return (m_fr.Flags & FR_REPLACEALL) != 0; }
    BOOL IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

    // The dialog's own buttons do their own work: OK is Find Next, Cancel closes it.
    void OnOK() override;
    void OnCancel() override;

protected:
    void PostNcDestroy() override;

private:
    char m_szFindWhat[128] = {};
    char m_szReplaceWith[128] = {};
};
