// CDialog: a dialog window as an object, made from a template through the dialog manager, modal
// (DoModal) or modeless (Create), with data exchange on opening and on OK.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/Dialog.h"

// The dialog procedure of every framework dialog: it answers WM_INITDIALOG with the object's
// OnInitDialog; everything else reaches the object through its window procedure.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: the window from a named or numbered template, or from a template in memory.
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Modal: the template in memory that DoModal uses instead of a resource.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Runs the dialog until EndDialog and answers its value; -1 when it could not be made.
    virtual INT_PTR DoModal();

    // Ends a modal dialog with a result; a modeless one is only hidden.
    void EndDialog(int nResult);

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    // Moves the focus to a control as the dialog manager does (an edit's text selected).
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const;

    // WM_INITDIALOG: loads the controls from the members (UpdateData(FALSE)); TRUE lets the
    // dialog manager put the focus on the first control.
    virtual BOOL OnInitDialog();
    // IDOK: takes the controls into the members and ends with IDOK, unless a value was refused.
    virtual void OnOK();
    // IDCANCEL (also Esc and the close box): ends with IDCANCEL.
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    LPCTSTR m_lpszTemplateName = nullptr;   // a name, or MAKEINTRESOURCE of an id
    UINT m_nIDHelp = 0;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    // The owner a modal dialog disables: the given parent's top-level window, or the thread's
    // main window.
    HWND PreModal();
    // F1 that no control answered: the help of the control's own context when it has one
    // (pop-up), else of the dialog (0x20000 plus its template id).
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString m_strTemplateName;   // keeps a string template name alive
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};
