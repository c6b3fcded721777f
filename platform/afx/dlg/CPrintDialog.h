// CPrintDialog: the print (or print setup) dialog as an object: its settings record, the
// chosen printer and pages, and the printer device context made from them.
#pragma once

#include "platform/afx/dlg/CDialog.h"
#include "platform/controls/PrintDialog.h"
#include "platform/core/CString.h"

class CPrintDialog : public CDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                          PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    PRINTDLG m_pd;

    // Shows the print (or print setup) dialog; IDOK with the choices in m_pd. The object takes
    // the dialog's window over while it runs, so that F1 asks for its help.
    INT_PTR DoModal() override;
    // The dialog's own buttons do their own work.
    void OnOK() override;
    void OnCancel() override;
    // Fills the printer blocks (and the device context with PD_RETURNDC) for the default
    // printer without showing anything; blocks held before are replaced.
    BOOL GetDefaults();

    // A printer device context for the chosen printer, settings and port; the caller deletes it.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }
    DEVMODE* GetDevMode() const;
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    int GetCopies() const;
    BOOL PrintCollate() const { return (m_pd.Flags & PD_COLLATE) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    int GetFromPage() const;
    int GetToPage() const;

private:
    CString NameAt(WORD DEVNAMES::*offset) const;
};
