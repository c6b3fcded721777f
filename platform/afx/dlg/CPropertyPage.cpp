// CPropertyPage: the page's side of the sheet protocol.
#include "platform/afx/dlg/CPropertyPage.h"

#include "platform/afx/dlg/CPropertySheet.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

CPropertyPage::CPropertyPage() = default;

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(nIDTemplate, nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    Construct(lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage()
{
    if (m_pSheet)
        m_pSheet->ForgetPage(this);
}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(MAKEINTRESOURCE(nIDTemplate), nIDCaption);
}

void CPropertyPage::Construct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    m_psp.pszTemplate = lpszTemplateName;
    if (nIDCaption && m_strCaption.LoadString(nIDCaption)) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption.GetString();
    }
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    if (m_pSheet)
        m_pSheet->PageChanged();
}

void CPropertyPage::CancelToClose()
{
    if (m_pSheet)
        m_pSheet->CancelToClose();
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    m_bModified = FALSE;
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    // The sheet runs the keyboard interface for its pages: leave the keys to it.
    return CWnd::PreTranslateMessage(pMsg);
}
