// The toolbar customisation dialogs: the Toolbars list (as a modal dialog and as a property
// page) with show/hide, rename, reset or delete, new toolbars and the look switches; the page
// of command palettes to drag buttons from; the New Toolbar question; and the sheet that keeps
// floating toolbars looking active. While any of them is active the toolbar manager is in
// customise mode.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/dlg/CCheckListBox.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/afx/dlg/CListBox.h"
#include "platform/afx/dlg/CPropertyPage.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "toolkit/toolbars/SECCustomToolBar.h"

class SECToolBarManager;

// The logic the Toolbars dialog and page share.
class SECToolBarsBase {
public:
    virtual ~SECToolBarsBase() = default;
    virtual void SetManager(SECToolBarManager* pManager);
    SECToolBarManager* GetManager() const { return m_pManager; }

    BOOL m_bToolTips = TRUE;
    BOOL m_bCoolLook = FALSE;
    BOOL m_bLargeButtons = FALSE;

protected:
    void FillToolBarList();
    void UpdateControls();
    void OnToolBarChecked();
    void RenameSelected();
    void ResetOrDeleteSelected();
    // Asks for a name and makes a floating user toolbar; TRUE when one was made.
    BOOL NewToolBar();
    LRESULT OnBarNotifyCode(WPARAM wParam, LPARAM lParam);
    // The three switches to the manager (after the check boxes were read).
    void ApplySwitches();
    int FindItem(UINT nID) const;
    void AddItem(int nAt, SECCustomToolBar* pBar);

    SECToolBarManager* m_pManager = nullptr;
    BOOL m_bInitToolTips = TRUE;
    BOOL m_bInitCoolLook = FALSE;
    BOOL m_bInitLargeButtons = FALSE;
    CCheckListBox m_toolBarList;
    CWnd* m_pHolder = nullptr;   // the dialog or page
};

class SECToolBarsDlg : public CDialog, public SECToolBarsBase {
    DECLARE_DYNAMIC(SECToolBarsDlg)
public:
    explicit SECToolBarsDlg(CWnd* pParent = nullptr);
    ~SECToolBarsDlg() override;
    INT_PTR DoModal() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void EndCustomizing(int nResult);
};

class SECToolBarsPage : public CPropertyPage, public SECToolBarsBase {
    DECLARE_DYNAMIC(SECToolBarsPage)
public:
    SECToolBarsPage();
    ~SECToolBarsPage() override;
    void SetManager(SECToolBarManager* pManager) override;

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void TellOtherPages(int nCode);
};

// Asks for the name of a new toolbar.
class SECNewToolBar : public CDialog {
    DECLARE_DYNAMIC(SECNewToolBar)
public:
    explicit SECNewToolBar(CWnd* pParent = nullptr);
    CString m_strName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// A property sheet that keeps the frame's floating windows looking active while it is.
class SECToolBarSheet : public CPropertySheet {
    DECLARE_DYNAMIC(SECToolBarSheet)
public:
    explicit SECToolBarSheet(UINT nIDCaption, CWnd* pParent = nullptr) : CPropertySheet(nIDCaption, pParent) {}
    explicit SECToolBarSheet(LPCTSTR pszCaption, CWnd* pParent = nullptr) : CPropertySheet(pszCaption, pParent) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// One palette of command buttons on the command page.
class SECBtnGroup : public CObject {
    DECLARE_DYNAMIC(SECBtnGroup)
public:
    SECBtnGroup(LPCTSTR lpszTitle, int nCount, const UINT* pIDs);
    ~SECBtnGroup() override;

    std::unique_ptr<SECCustomToolBar> m_pToolBar;   // the palette
    CString m_strTitle;
    int m_nBtnCount;
    std::vector<UINT> m_btnIDs;
};

class SECTBBtnGroup : public SECBtnGroup {
    DECLARE_DYNAMIC(SECTBBtnGroup)
public:
    using SECBtnGroup::SECBtnGroup;
    virtual BOOL CreateGroupBar(CWnd* pParent, SECToolBarManager* pManager, UINT nID);
    virtual void LayoutGroup(const CRect& rect);
    virtual void ActivateGroup(BOOL bActivate);
};

class SECToolBarCmdPage : public CPropertyPage {
    DECLARE_DYNAMIC(SECToolBarCmdPage)
public:
    SECToolBarCmdPage(UINT nIDTemplate, UINT nIDCaption);
    ~SECToolBarCmdPage() override;

    void DefineBtnGroup(LPCTSTR lpszTitle, int nCount, const UINT* pIDs);
    void SetManager(SECToolBarManager* pManager);
    int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    SECTBBtnGroup* GetGroup(int i) const { return m_groups[static_cast<size_t>(i)].get(); }
    int GetShownGroup() const { return m_nShown; }
    void ShowGroup(int nIndex);

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnCancel() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowDescription(UINT nCmdID);
    CRect PaletteRect();

    std::vector<std::unique_ptr<SECTBBtnGroup>> m_groups;
    SECToolBarManager* m_pManager = nullptr;
    int m_nShown = -1;
    CRect m_rcPalette;
};
