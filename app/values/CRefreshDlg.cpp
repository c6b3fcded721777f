#include "app/values/CRefreshDlg.h"

#include "app/values/MetaDialogIds.h"
#include "engine/meta/CMetaContent.h"
#include "platform/afx/dlg/CDataExchange.h"

CRefreshDlg::CRefreshDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CRefreshDlg::SetValue(const CString& strSettingName, const CMetaContent& content)
{
    m_strName = strSettingName;
    m_strOriginal = content.GetContent();
    m_Original = ParseRefresh(m_strOriginal);
    m_nSeconds = m_Original.nSeconds;
    m_strUrl = m_Original.strUrl;
}

void CRefreshDlg::GetValue(CString& strValue) const
{
    // Untouched fields give the page's text back as it stood, whatever its spelling.
    if (m_nSeconds == m_Original.nSeconds && m_strUrl == m_Original.strUrl) {
        strValue = m_strOriginal;
        return;
    }
    strValue = FormatRefresh(RefreshValue{m_nSeconds, m_strUrl});
}

BOOL CRefreshDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CString strFormat, strTitle;
    strFormat.LoadString(kIdsRefreshTitle);
    strTitle.Format(strFormat, m_strName.GetString());
    SetWindowText(strTitle);
    return TRUE;
}

void CRefreshDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdSeconds, m_nSeconds);
    DDX_Text(pDX, kIdUrl, m_strUrl);
}
