// CPropertySheet: a dialog of pages under a row of tabs (drawn by the sheet itself), with OK,
// Cancel, Apply and Help. Pages are made when first shown; OK and Apply go only to pages that
// were made, after the current page has agreed to be left.
#pragma once

#include "platform/afx/dlg/CPropertyPage.h"

#include <vector>

// Sheet flags (PROPSHEETHEADER::dwFlags).
#define PSH_DEFAULT 0x0000
#define PSH_PROPTITLE 0x0001
#define PSH_USEHICON 0x0002
#define PSH_USEICONID 0x0004
#define PSH_PROPSHEETPAGE 0x0008
#define PSH_WIZARD 0x0020
#define PSH_USEPSTARTPAGE 0x0040
#define PSH_NOAPPLYNOW 0x0080
#define PSH_USECALLBACK 0x0100
#define PSH_HASHELP 0x0200
#define PSH_MODELESS 0x0400

// The buttons of PressButton.
#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6

// The ids of the sheet's own buttons.
#define ID_APPLY_NOW 0x3021
#ifndef IDHELP
#define IDHELP 9
#endif

struct PROPSHEETHEADER {
    DWORD dwSize = sizeof(PROPSHEETHEADER);
    DWORD dwFlags = PSH_DEFAULT;
    HWND hwndParent = nullptr;
    LPCSTR pszCaption = nullptr;
    UINT nPages = 0;
    UINT nStartPage = 0;
};

class CPropertySheet : public CDialog {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    PROPSHEETHEADER m_psh;

    // Pages belong to the caller and must outlive the sheet's window.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // Shows another page when the current one agrees to be left; FALSE when it refused (it
    // keeps the focus) or the new one refused to be shown.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);

    INT_PTR DoModal() override;
    // Modeless: the sheet as a pop-up (or with WS_CHILD a child) of pParentWnd.
    BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    // Does what one of the sheet's buttons does (nothing when it is missing or disabled),
    // without going through the button's command, which a subclass may handle itself.
    void PressButton(int nButton);
    void EndDialog(int nEndID);

    // The tab under a client point, or -1; and a tab's rectangle.
    int TabFromPoint(CPoint pt) const;
    CRect GetTabRect(int nTab) const;
    // Where pages lie, in the sheet's client coordinates.
    CRect GetPageRect() const { return m_rcPage; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnApplyNow();
    void OnHelp();
    // F1 on the sheet's own buttons and tabs asks for the help of the page shown.
    LRESULT OnSheetHelpInfo(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertyPage;
    void PageChanged();
    void CancelToClose();
    void ForgetPage(CPropertyPage* pPage);
    // Builds the sheet's own template (its buttons, sized for the largest page) into m_template.
    bool BuildTemplate(DWORD style, DWORD exStyle);
    bool CreatePage(CPropertyPage* pPage);
    // The current page agrees to be left (OnKillActive), then every made page applies; FALSE
    // and that page shown when one refused.
    BOOL ApplyPages();
    void LayOut();

    std::vector<CPropertyPage*> m_pages;
    int m_nActive = -1;
    CString m_strCaption;
    std::vector<BYTE> m_template;
    CRect m_rcPage;
    int m_tabHeight = 0;
    std::vector<CRect> m_tabs;
    bool m_bModeless = false;
    // A page that leaves the request to its parent hands it back here: it is then the sheet's.
    bool m_bAskingPageForHelp = false;
};
