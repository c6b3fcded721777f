// CPropertyPage: one page of a property sheet, a child dialog the sheet makes when the page is
// first shown, with the activation and OK/Apply/Cancel hooks the sheet calls.
#pragma once

#include "platform/afx/dlg/CDialog.h"

class CPropertySheet;

// Page flags (PROPSHEETPAGE::dwFlags).
#define PSP_DEFAULT 0x0000
#define PSP_DLGINDIRECT 0x0001
#define PSP_USEHICON 0x0002
#define PSP_USEICONID 0x0004
#define PSP_USETITLE 0x0008
#define PSP_RTLREADING 0x0010
#define PSP_HASHELP 0x0020
#define PSP_USEREFPARENT 0x0040
#define PSP_USECALLBACK 0x0080

struct PROPSHEETPAGE {
    DWORD dwSize = sizeof(PROPSHEETPAGE);
    DWORD dwFlags = PSP_DEFAULT;
    HINSTANCE hInstance = nullptr;
    LPCSTR pszTemplate = nullptr;            // the template's name or MAKEINTRESOURCE id
    LPCDLGTEMPLATE pResource = nullptr;      // with PSP_DLGINDIRECT
    LPCSTR pszTitle = nullptr;               // with PSP_USETITLE: the tab's text
    LPARAM lParam = 0;
};

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    PROPSHEETPAGE m_psp;

    // Marks the page changed (enabling the sheet's Apply) or unchanged.
    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bModified; }
    // After a change that cannot be undone: Cancel becomes "Close".
    void CancelToClose();
    // The sheet that holds the page, or null.
    CPropertySheet* GetSheet() const { return m_pSheet; }

    // The page becomes the current one (its controls reloaded, except the first time, when
    // OnInitDialog loaded them); FALSE keeps the sheet on the page it was on.
    virtual BOOL OnSetActive();
    // The page is left (for another page, OK or Apply): its controls are taken into the
    // members; FALSE keeps the page, with the focus on the refused control.
    virtual BOOL OnKillActive();
    // OK or Apply, for every page the user opened.
    virtual void OnOK() override;
    // Cancel, for every page the user opened.
    virtual void OnCancel() override;
    // Apply: OnOK and the page is no longer modified; FALSE keeps the sheet open on this page.
    virtual BOOL OnApply();
    // Cancel: OnCancel.
    virtual void OnReset();
    // Cancel asked: FALSE keeps the sheet open.
    virtual BOOL OnQueryCancel();

    // The tab's text: the title given, else the template's caption.
    CString GetTitle() const { return m_strCaption; }

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;

private:
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
    CString m_strCaption;
    BOOL m_bModified = FALSE;
    BOOL m_bFirstSetActive = TRUE;
};
