// The editor's page setup dialog: its four settings in the profile, and the header and footer
// text of one page.
#include "toolkit/editor/wnd/ZRPageSetupDlg.h"

#include "platform/afx/dlg/CDataExchange.h"
#include "toolkit/editor/wnd/SECEditCtrl.h"
#include "toolkit/res/EditorRes.h"

IMPLEMENT_DYNAMIC(ZRPageSetupDlg, CDialog)

namespace {

constexpr const char* kSection = "PageSetup";

void ReplaceFirst(CString& str, LPCSTR lpszCode, LPCSTR lpszWith)
{
    const int at = str.Find(lpszCode);
    if (at < 0)
        return;
    str = str.Left(at) + lpszWith + str.Mid(at + 2);
}

} // namespace

ZRPageSetupDlg::ZRPageSetupDlg(CWnd* pParent) : CDialog(IDD_SECEDIT_PAGESETUP, pParent) {}

void ZRPageSetupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SECEDIT_FOOTER, m_strFooter);
    DDX_Text(pDX, IDC_SECEDIT_HEADER, m_strHeader);
    DDX_Radio(pDX, IDC_SECEDIT_FOOTER_FILETIME, m_nFooterTime);
    DDX_Radio(pDX, IDC_SECEDIT_HEADER_FILETIME, m_nHeaderTime);
}

void ZRPageSetupDlg::LoadPageSetup()
{
    m_strHeader = m_strHeaderLoaded = SECEditCtrl::GetEditProfileString(kSection, "Header", "&f %c");
    m_strFooter = m_strFooterLoaded = SECEditCtrl::GetEditProfileString(kSection, "Footer", "Page: &p");
    m_nHeaderTime = m_nHeaderTimeLoaded = static_cast<int>(SECEditCtrl::GetEditProfileInt(kSection, "HeaderTime", 0));
    m_nFooterTime = m_nFooterTimeLoaded = static_cast<int>(SECEditCtrl::GetEditProfileInt(kSection, "FooterTime", 0));
}

void ZRPageSetupDlg::SavePageSetup()
{
    SECEditCtrl::WriteEditProfileString(kSection, "Header", m_strHeader);
    SECEditCtrl::WriteEditProfileString(kSection, "Footer", m_strFooter);
    SECEditCtrl::WriteEditProfileInt(kSection, "HeaderTime", m_nHeaderTime);
    SECEditCtrl::WriteEditProfileInt(kSection, "FooterTime", m_nFooterTime);
}

void ZRPageSetupDlg::Format(CString& str, const CString& strTemplate, const CTime& time, LPCSTR lpszFileName,
                            int nPage)
{
    // The time is formatted first: a "%" in a file name is text, not a time code.
    str = time.Format(strTemplate);
    CString page;
    page.Format("%d", nPage);
    ReplaceFirst(str, "&p", page);
    ReplaceFirst(str, "&f", lpszFileName != nullptr ? lpszFileName : "");
}

void ZRPageSetupDlg::FormatHeader(CString& str, const CTime& time, LPCSTR lpszFileName, int nPage) const
{
    Format(str, m_strHeader, time, lpszFileName, nPage);
}

void ZRPageSetupDlg::FormatFooter(CString& str, const CTime& time, LPCSTR lpszFileName, int nPage) const
{
    Format(str, m_strFooter, time, lpszFileName, nPage);
}
