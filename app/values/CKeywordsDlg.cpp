#include "app/values/CKeywordsDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"
#include "app/values/MetaValueText.h"
#include "engine/meta/CMetaContent.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/controls/MessageBox.h"

namespace {
constexpr UINT kIdsKeywordSplit = 63306;   // keyword, separator, count
} // namespace

BEGIN_MESSAGE_MAP(CKeywordsDlg, CDialog)
    ON_BN_CLICKED(CKeywordsDlg::kIdAdd, &CKeywordsDlg::OnAdd)
    ON_BN_CLICKED(CKeywordsDlg::kIdDelete, &CKeywordsDlg::OnDelete)
    ON_BN_CLICKED(CKeywordsDlg::kIdAddToExisting, &CKeywordsDlg::OnAddToExisting)
    ON_BN_CLICKED(kIdHelpButton, &CKeywordsDlg::OnHelp)
    ON_MESSAGE(WM_HELP, &CKeywordsDlg::OnHelpInfo)
END_MESSAGE_MAP()

CKeywordsDlg::CKeywordsDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CKeywordsDlg::SetContent(const CString& strSettingName, const CMetaContent& content)
{
    m_strName = strSettingName;
    m_strSeparator = CMetaContent::GetListSeparator();
    // Cut at the whole separator, so that "red apple, pear" stays two keywords with ", ".
    content.SplitContent(m_strSeparator, m_Existing);
    content.GetValueList(m_Suggested);
}

BOOL CKeywordsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelpButton, this);
    CString strFormat, strTitle;
    strFormat.LoadString(kIdsKeywordsTitle);
    strTitle.Format(strFormat, m_strName.GetString());
    SetWindowText(strTitle);
    if (m_gridExisting.SubclassDlgItem(kIdExistingGrid, this)) {
        m_gridExisting.Initialize();
        m_gridExisting.LoadList(m_Existing);
    }
    if (m_gridSuggested.SubclassDlgItem(kIdSuggestedGrid, this)) {
        m_gridSuggested.Initialize();
        m_gridSuggested.LoadList(m_Suggested);
        m_gridSuggested.SetReadOnly(TRUE);
    }
    return TRUE;
}

void CKeywordsDlg::OnAdd()
{
    if (m_gridExisting.GetSafeHwnd() != nullptr)
        m_gridExisting.AppendEmptyRow(CGridWndWrapper::MakeCurrent::Yes);
}

void CKeywordsDlg::OnDelete()
{
    if (m_gridExisting.GetSafeHwnd() != nullptr)
        m_gridExisting.DeleteSelectedRows();
}

void CKeywordsDlg::OnAddToExisting()
{
    if (m_gridSuggested.GetSafeHwnd() == nullptr || m_gridExisting.GetSafeHwnd() == nullptr)
        return;
    CStringList selected;
    m_gridSuggested.GetSelectedTexts(selected);
    if (selected.IsEmpty()) {
        AfxMessageBox(kIdsSelectBeforeAdd, MB_OK);
        return;
    }
    m_gridExisting.AddUniqueTexts(selected);
}

void CKeywordsDlg::OnOK()
{
    CStringList keywords;
    if (m_gridExisting.GetSafeHwnd() != nullptr)
        m_gridExisting.ReadList(keywords);
    // A keyword typed with a blank before it is the same keyword.
    TrimItems(keywords);
    const CString strSeparator = m_strSeparator.IsEmpty() ? CString(",") : m_strSeparator;
    // A keyword that holds what the separator cuts at comes back from the page as several
    // (with ", " a keyword "p,q" is read as "p" and "q"): the user says whether that is meant
    // before it happens.
    const CString strCut = CMetaContent::ListCut(strSeparator);
    for (POSITION pos = keywords.GetHeadPosition(); pos != nullptr;) {
        const CString& strKeyword = keywords.GetNext(pos);
        if (strKeyword.Find(strCut) < 0)
            continue;
        CStringList parts;
        CMetaContent::SplitList(strKeyword, strSeparator, parts);
        CString strMessage;
        strMessage.Format(kIdsKeywordSplit, strKeyword.GetString(), strCut.GetString(),
                          static_cast<int>(parts.GetCount()));
        if (AfxMessageBox(strMessage, MB_YESNO | MB_ICONQUESTION) == IDYES)
            continue;
        ShowKeyword(strKeyword);
        return;
    }
    m_strValue = JoinWithSeparator(keywords, strSeparator);
    EndDialog(IDOK);
}

void CKeywordsDlg::ShowKeyword(const CString& strKeyword)
{
    for (ROWCOL nRow = 1; nRow <= m_gridExisting.GetRowCount(); ++nRow) {
        CString strText;
        m_gridExisting.GetCellText(nRow, 1, strText);
        strText.Trim();
        if (strText == strKeyword) {
            m_gridExisting.SetFocus();
            m_gridExisting.SetCurrentCell(nRow, 1, GX_SCROLLINVIEW | GX_UPDATENOW);
            return;
        }
    }
}

void CKeywordsDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}

LRESULT CKeywordsDlg::OnHelpInfo(WPARAM, LPARAM lParam)
{
    return HandleHelpRequest(reinterpret_cast<const HELPINFO*>(lParam), kHelpContextWindowBase + IDD);
}
