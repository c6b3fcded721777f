#include "app/values/CClassificationDlg.h"

#include "app/dialogs/DialogHelp.h"
#include "app/dialogs/DialogToolbar.h"
#include "app/values/MetaDialogIds.h"
#include "engine/meta/CMetaClassificationSetting.h"
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/controls/ToolTip.h"

BOOL CClassificationToolbar::CreateIn(CWnd* pDialog)
{
    return CreateDialogToolbar(*this, pDialog, kIdBar, kIdResource);
}

BEGIN_MESSAGE_MAP(CClassificationDlg, CDialog)
    ON_COMMAND(CClassificationTreeCtrl::kIdCreateTree, &CClassificationDlg::OnCreateTree)
    ON_COMMAND(CClassificationTreeCtrl::kIdCreateChild, &CClassificationDlg::OnCreateChild)
    ON_COMMAND(CClassificationTreeCtrl::kIdRenameNode, &CClassificationDlg::OnRenameNode)
    ON_COMMAND(CClassificationTreeCtrl::kIdDeleteNode, &CClassificationDlg::OnDeleteNode)
    ON_BN_CLICKED(kIdHelpButton, &CClassificationDlg::OnHelp)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXT, 0, 0xFFFF, &CClassificationDlg::OnToolTipText)
END_MESSAGE_MAP()

CClassificationDlg::CClassificationDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CClassificationDlg::SetTreeToDefine(const CDoubleLinkNodeCol& tree)
{
    m_bDefine = TRUE;
    m_Tree.CopyFrom(tree);
}

void CClassificationDlg::GetTree(CDoubleLinkNodeCol& tree) const
{
    tree.CopyFrom(m_Tree);
}

void CClassificationDlg::SetValue(DWORD dwContext, const CMetaClassificationSetting& setting, const CString& strValue)
{
    m_bDefine = FALSE;
    m_dwContext = dwContext;
    m_strName = setting.Name();
    m_strValue = strValue;
    m_Tree.CopyFrom(setting.m_Tree);
}

void CClassificationDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_TreeCtrl(pDX, kIdTree, m_tree);
}

BOOL CClassificationDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_bDefine && m_toolbar.CreateIn(this))
        MakeRoomForToolbar(m_toolbar, this);
    LoadBitmapButton(m_btnOk, IDOK, this);
    LoadBitmapButton(m_btnCancel, IDCANCEL, this);
    LoadBitmapButton(m_btnHelp, kIdHelpButton, this);

    CString strTitle;
    if (m_bDefine) {
        strTitle.LoadString(kIdsDefineTreeTitle);
    } else {
        CString strFormat;
        strFormat.LoadString(kIdsClassificationTitle);
        strTitle.Format(strFormat, m_strName.GetString());
    }
    SetWindowText(strTitle);

    if (m_tree.GetSafeHwnd() != nullptr) {
        m_tree.SetTree(&m_Tree, m_bDefine ? CClassificationTreeCtrl::Mode::Define : CClassificationTreeCtrl::Mode::Value);
        m_tree.LoadTree();
        if (!m_bDefine)
            m_tree.SelectPath(m_strValue);
    }
    return TRUE;
}

void CClassificationDlg::OnCreateTree()
{
    m_tree.OnCreateTree();
}

void CClassificationDlg::OnCreateChild()
{
    m_tree.OnCreateChild();
}

void CClassificationDlg::OnRenameNode()
{
    m_tree.OnRenameNode();
}

void CClassificationDlg::OnDeleteNode()
{
    m_tree.OnDeleteNode();
}

void CClassificationDlg::OnOK()
{
    // An edit still open keeps what was typed before the path is read.
    if (m_tree.GetSafeHwnd() != nullptr && m_tree.IsEditingLabel())
        m_tree.EndLabelEdit(TRUE);
    m_strValue = m_tree.GetSafeHwnd() != nullptr ? m_tree.GetSelectedPath() : CString();
    EndDialog(IDOK);
}

void CClassificationDlg::OnHelp()
{
    ShowAppHelp(kHelpContextWindowBase + IDD);
}

BOOL CClassificationDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    return FillToolbarTipText(pNMHDR, pResult);
}
