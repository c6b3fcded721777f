#include "app/values/CMListSelOptionsDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/values/MetaDialogIds.h"
#include "app/values/MetaValueText.h"
#include "engine/meta/CMetaContent.h"
#include "grid/data/CGXRange.h"

#include <unordered_map>

BEGIN_MESSAGE_MAP(CMListSelOptionsDlg, CDialog)
    ON_BN_CLICKED(CMListSelOptionsDlg::kIdAdd, &CMListSelOptionsDlg::OnAdd)
    ON_BN_CLICKED(CMListSelOptionsDlg::kIdDelete, &CMListSelOptionsDlg::OnDelete)
    ON_BN_CLICKED(kIdHelpButton, &CMListSelOptionsDlg::OnHelp)
END_MESSAGE_MAP()

CMListSelOptionsDlg::CMListSelOptionsDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CMListSelOptionsDlg::SetValue(const CMetaComboMultiSelSetting& setting, const CMetaContent& content)
{
    m_Setting.CopyFrom(&setting);
    m_strValue = content.GetContent();
    m_GridOptions.RemoveAll();
    m_GridOptions.AddTail(&m_Setting.m_Options);
}

BOOL CMListSelOptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelpButton, this);
    CString strFormat, strTitle;
    strFormat.LoadString(kIdsMultiSelTitle);
    strTitle.Format(strFormat, m_Setting.Name().GetString());
    SetWindowText(strTitle);
    if (!m_grid.SubclassDlgItem(kIdGrid, this))
        return TRUE;
    m_grid.Initialize();
    m_grid.LoadList(m_Setting.m_Options);
    // The rows picked are the value: the keys look through the options and Space picks.
    m_grid.SetChoiceMode();
    if (m_Setting.m_bAllowModify == 0) {
        for (UINT nId : {kIdAdd, kIdDelete})
            if (CWnd* pButton = GetDlgItem(nId))
                pButton->ShowWindow(SW_HIDE);
        m_grid.SetPickListMode();
        // Options that may not be changed take no typing either.
        if (m_grid.GetRowCount() > 0)
            m_grid.SetReadOnlyCells(1, 1, m_grid.GetRowCount(), 1, TRUE);
    }
    // The options the page already has start picked, in the value's order, so that OK without
    // a change gives the value back instead of wiping it.
    std::unordered_map<std::string, ROWCOL> rowOf;
    const ROWCOL nRows = m_grid.GetRowCount();
    for (ROWCOL nRow = nRows; nRow >= 1; --nRow) {
        CString strText;
        m_grid.GetCellText(nRow, 1, strText);
        rowOf[std::string(strText.GetString(), strText.GetLength())] = nRow;
    }
    CStringList picked;
    SplitAtSeparator(m_strValue, m_Setting.m_strSeparator, picked);
    for (POSITION pos = picked.GetHeadPosition(); pos != nullptr;) {
        const CString& strItem = picked.GetNext(pos);
        auto found = rowOf.find(std::string(strItem.GetString(), strItem.GetLength()));
        if (found != rowOf.end())
            m_grid.SelectRange(CGXRange().SetRows(found->second, found->second), TRUE, TRUE);
    }
    return TRUE;
}

void CMListSelOptionsDlg::OnOK()
{
    if (m_grid.GetSafeHwnd() != nullptr) {
        CStringList selected, picked;
        m_grid.GetSelectedTexts(selected);
        for (POSITION pos = selected.GetHeadPosition(); pos != nullptr;) {
            const CString& strText = selected.GetNext(pos);
            if (!strText.IsEmpty())
                picked.AddTail(strText);
        }
        m_strValue = JoinWithSeparator(picked, m_Setting.m_strSeparator);
        m_grid.ReadList(m_GridOptions);
    }
    EndDialog(IDOK);
}

void CMListSelOptionsDlg::GetValue(CMetaComboMultiSelSetting& setting, CString& strValue, BOOL& bOptionsChanged) const
{
    setting.CopyFrom(&m_Setting);
    strValue = m_strValue;
    bOptionsChanged = !m_Setting.m_Options.IsEqual(m_GridOptions);
    if (bOptionsChanged)
        setting.m_Options.CopyFrom(m_GridOptions);
}

void CMListSelOptionsDlg::OnAdd()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.AppendEmptyRow(CGridWndWrapper::MakeCurrent::No);
}

void CMListSelOptionsDlg::OnDelete()
{
    if (m_grid.GetSafeHwnd() != nullptr)
        m_grid.DeleteSelectedRows();
}

void CMListSelOptionsDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}
