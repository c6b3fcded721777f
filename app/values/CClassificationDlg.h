// CClassificationDlg: picks a page's classification (a node of the setting's category tree) or,
// in define mode, builds the tree itself with a small toolbar and context menus.
#pragma once

#include "app/values/CClassificationTreeCtrl.h"
#include "engine/meta/CDoubleLinkNode.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"

class CMetaClassificationSetting;
struct NMHDR;

// The define mode's toolbar: create tree, add, delete and rename node.
class CClassificationToolbar : public CToolBar {
public:
    static constexpr UINT kIdBar = 59392;
    static constexpr UINT kIdResource = 189;
    // Makes the bar at the top of the dialog; FALSE when it could not be made.
    BOOL CreateIn(CWnd* pDialog);
};

class CClassificationDlg : public CDialog {
public:
    enum { IDD = 137 };
    static constexpr UINT kIdTree = 1011;

    explicit CClassificationDlg(CWnd* pParent = nullptr);

    // Define mode over a copy of the tree.
    void SetTreeToDefine(const CDoubleLinkNodeCol& tree);
    void GetTree(CDoubleLinkNodeCol& tree) const;
    // Value mode: the setting's tree, with the node the value names selected.
    void SetValue(DWORD dwContext, const CMetaClassificationSetting& setting, const CString& strValue);
    void GetValue(CString& strValue) const { strValue = m_strValue; }

    CClassificationTreeCtrl& GetTreeCtrl() { return m_tree; }
    CDoubleLinkNodeCol& GetWorkingTree() { return m_Tree; }
    CClassificationToolbar& GetToolbar() { return m_toolbar; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCreateTree();
    void OnCreateChild();
    void OnRenameNode();
    void OnDeleteNode();
    void OnHelp();
    BOOL OnToolTipText(UINT nId, NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    CClassificationToolbar m_toolbar;
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
    CString m_strValue;
    CString m_strName;
    CDoubleLinkNodeCol m_Tree;
    BOOL m_bDefine = FALSE;
    CClassificationTreeCtrl m_tree;
    DWORD m_dwContext = 0;
};
