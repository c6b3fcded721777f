// The Project Area: a docking bar holding the tree of the project's folders.
#pragma once

#include <optional>

#include "app/panes/CFilesInTreeCtrl.h"
#include "platform/afx/gdi/CImageList.h"
#include "toolkit/docking/SECControlBar.h"

class CPageNode;
class IProjectAreaHost;

class CFileViewControlBar : public SECControlBar {
    DECLARE_DYNCREATE(CFileViewControlBar)

public:
    static constexpr UINT kTreeId = 1052;
    static constexpr UINT kCmdScanFiles = 32805;
    static constexpr UINT kCmdNewProject = 32773;
    static constexpr UINT kCmdStartScan = 32790;

    CFileViewControlBar();
    ~CFileViewControlBar() override;
    CFileViewControlBar(const CFileViewControlBar&) = delete;
    CFileViewControlBar& operator=(const CFileViewControlBar&) = delete;

    // Who brings up the group view; none leaves the selection changed and shows nothing.
    void SetHost(IProjectAreaHost* pHost) { m_pHost = pHost; }
    IProjectAreaHost* GetHost() const { return m_pHost; }

    void ClearTree();
    // Inserts the node and its folders below it; page files never get an item.
    void AddRootNode(CPageNode* pNode);
    // "<project file name> : <what is shown>"; no node means an assorted choice of pages.
    void MakeTitle(CPageNode* pNode, CString& strTitle) const;

    CFilesInTreeCtrl& GetTree() { return m_wndTree; }
    int GetRootImage() const { return m_nRootImage; }
    int GetFolderImage() const { return m_nFolderImage; }
    int GetOpenFolderImage() const { return m_nOpenFolderImage; }
    const CPoint& GetLastRightClick() const { return m_ptLastRightClick; }

    void OnExtendContextMenu(CMenu* pMenu) override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    void OnScanFiles();
    // Asked for from the keyboard the menu is the chosen folder's, by its item, wherever the
    // pointer happens to be.
    void OnContextMenu(CWnd* pWnd, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    void InsertNode(CPageNode* pNode, HTREEITEM hParent);
    // The root or folder under the last right-click point, or none.
    CPageNode* NodeAtLastRightClick() const;

    CImageList m_ImageList;
    int m_nRootImage = -1;
    int m_nFolderImage = -1;
    int m_nOpenFolderImage = -1;
    int m_nFileImage = -1;
    CFilesInTreeCtrl m_wndTree;
    CPoint m_ptLastRightClick{0, 0};
    // Set while a menu asked for from the keyboard is made: the point of the chosen item.
    std::optional<CPoint> m_ptKeyboardItem;
    IProjectAreaHost* m_pHost = nullptr;
};
