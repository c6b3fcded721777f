// The "Saving Metatags to HTML Files" dialog: runs while the save thread rewrites the edited
// pages, shows each page and steps its meter, a large page as it goes, and ends with 1 (all
// saved) or 2 (stopped, nothing to save, or a save that could not start).
#pragma once

#include "engine/project/CPageNodeCol.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "toolkit/controls/SECProgressCtrl.h"

#include <vector>

class CPageNode;
class CParserEngine;

class CSaveHTMLFilesDlg : public CDialog {
public:
    enum { IDD = 145 };
    static constexpr UINT kIdName = 1015;
    static constexpr UINT kIdPath = 1016;
    static constexpr UINT kIdProgress = 1048;

    // The pages are collected from the tree on opening; hOutputPane receives the warnings.
    CSaveHTMLFilesDlg(CParserEngine& engine, const CPageNodeCol& tree, HWND hOutputPane, CWnd* pParent = nullptr);

    const CSelNodesCol& GetPages() const { return m_Pages; }
    // The pages the save wrote, in its order.
    const std::vector<CPageNode*>& GetWrittenPages() const { return m_written; }
    // The meter's place, in pages.
    UINT GetProgressPos() const { return m_wndProgress.GetPos() / kPartsPerPage; }
    // Whether the user asked the save to stop (Cancel, Esc); the dialog stays until it has.
    BOOL IsStopping() const { return m_bStopping; }

    CString m_strName;
    CString m_strPath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    LRESULT OnPageBegin(WPARAM wParam, LPARAM lParam);
    LRESULT OnPageProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnPageDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnFinished(WPARAM wParam, LPARAM lParam);
    LRESULT OnStopped(WPARAM wParam, LPARAM lParam);
    // Puts the closing line of the save, counting pages written and not, into the Output Area.
    void TellCount(UINT nFormat);
    // Shows the page's name and folder.
    void ShowPage(const CPageNode& page);
    // Moves the meter on to the place, never back; draws it at once only every kPaintIntervalMs.
    void MoveMeterTo(UINT nPos);

    DECLARE_MESSAGE_MAP()

private:
    CParserEngine& m_Engine;
    const CPageNodeCol& m_Tree;
    HWND m_hOutputPane;
    CSelNodesCol m_Pages;
    SECProgressCtrl m_wndProgress;
    CBitmapButton m_btnCancel;
    BOOL m_bStopping = FALSE;
    UINT m_nWritten = 0;   // pages the save thread said were written
    UINT m_nUnchanged = 0; // pages it left as they were, their edits being what they held
    UINT m_nBegun = 0;     // pages the save thread named
    const CPageNode* m_pShown = nullptr;
    // The meter counts each page in parts, as far as a large page's rewrite came.
    static constexpr UINT kPartsPerPage = 1000;
    // When the meter was last drawn at once.
    static constexpr DWORD kPaintIntervalMs = 50;
    DWORD m_dwLastPaint = 0;
    std::vector<CPageNode*> m_written;
};
