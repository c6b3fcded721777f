// ZRPageSetupDlg: the editor's page setup: the header and footer lines of printed pages, the
// time each of them shows, and the text they give for one page.
#pragma once

#include "platform/afx/dlg/CDialog.h"
#include "platform/core/CTime.h"

class ZRPageSetupDlg : public CDialog {
    DECLARE_DYNAMIC(ZRPageSetupDlg)
public:
    explicit ZRPageSetupDlg(CWnd* pParent = nullptr);

    void DoDataExchange(CDataExchange* pDX) override;
    void LoadPageSetup();
    void SavePageSetup();
    // The header or footer of one page: "&p" the page number, "&f" the file name (first of
    // each only), every other code a time format code applied to the time.
    void FormatHeader(CString& str, const CTime& time, LPCSTR lpszFileName, int nPage) const;
    void FormatFooter(CString& str, const CTime& time, LPCSTR lpszFileName, int nPage) const;

    CString m_strFooter;
    CString m_strHeader;
    int m_nFooterTime = -1;
    int m_nHeaderTime = -1;
    CString m_strFooterLoaded;
    CString m_strHeaderLoaded;
    int m_nFooterTimeLoaded = -1;
    int m_nHeaderTimeLoaded = -1;

private:
    static void Format(CString& str, const CString& strTemplate, const CTime& time, LPCSTR lpszFileName, int nPage);
};
