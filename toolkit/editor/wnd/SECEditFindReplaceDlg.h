// SECEditFindReplaceDlg: the editor's modeless Find and Replace dialogs on the common dialog,
// with the search and replace histories in drop-down lists and the editor's own options.
#pragma once

#include "platform/afx/dlg/CFindReplaceDialog.h"

class SECEditCtrl;

// The placeholder that stands in the history for an empty replacement.
constexpr const char* SECEDIT_EMPTY_REPLACE = "<ZR empty string>";

class SECEditFindReplaceDlg : public CFindReplaceDialog {
    DECLARE_DYNAMIC(SECEditFindReplaceDlg)
public:
    SECEditFindReplaceDlg() = default;

    void DoDataExchange(CDataExchange* pDX) override;
    // The dialog is made by the common dialog before this object takes its window over: the
    // window calls this right after Create, where a dialog of its own would get WM_INITDIALOG.
    BOOL OnInitDialog() override;
    void LoadFindHistory();
    void LoadReplaceHistory();
    // Places the dialog above or below the caret row of an editor window.
    void PlaceNear(SECEditCtrl* pEdit);

    int m_bReplaceMode = 0;
    int m_nSpare = 0;
    int m_bRegExp = 0;
    int m_bMatchCase = 0;
    int m_bMarkAll = 0;
    CString m_strFind;
    int m_nDirection = -1;
    CString m_strReplace;
    int m_bWrap = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
