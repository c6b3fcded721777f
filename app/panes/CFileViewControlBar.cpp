#include "app/panes/CFileViewControlBar.h"

#include "app/panes/IProjectAreaHost.h"
#include "app/panes/PaneStrings.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/controls/ImageList.h"
#include "platform/win/Cursor.h"

IMPLEMENT_DYNCREATE(CFileViewControlBar, SECControlBar)

BEGIN_MESSAGE_MAP(CFileViewControlBar, SECControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_COMMAND(CFileViewControlBar::kCmdScanFiles, &CFileViewControlBar::OnScanFiles)
    ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {

// The tree images are drawn on magenta, which none of them uses: their black outlines stay, and
// the tree's own background shows around them.
constexpr COLORREF kMaskColour = RGB(255, 0, 255);

// The file-name part of a project file path.
CString FileNamePart(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind('/');
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

int AddMaskedBitmap(CImageList& list, UINT nId)
{
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(nId))
        return -1;
    return list.Add(&bitmap, kMaskColour);
}

} // namespace

CFileViewControlBar::CFileViewControlBar()
{
    m_wndTree.SetBar(this);
}

CFileViewControlBar::~CFileViewControlBar() = default;

int CFileViewControlBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (SECControlBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The pane's own menu (with Scan Files on a folder) answers a right click: the frame gives
    // its panes a style without the bar's context menu, which left the menu unreachable.
    m_dwExStyle |= CBRS_EX_STDCONTEXTMENU;
    if (m_ImageList.Create(16, 16, ILC_COLOR4 | ILC_MASK, 0, 6)) {
        m_nRootImage = AddMaskedBitmap(m_ImageList, kIdbTreeRoot);
        m_nFolderImage = AddMaskedBitmap(m_ImageList, kIdbTreeFolder);
        m_nOpenFolderImage = AddMaskedBitmap(m_ImageList, kIdbTreeOpenFolder);
        m_nFileImage = AddMaskedBitmap(m_ImageList, kIdbTreeFile);
    }
    CRect rect;
    GetClientRect(&rect);
    // The labels are the folders' names on disk and the root's own text: not for editing here,
    // where a rename would be thrown away (a second click on the chosen folder only chooses it).
    const DWORD dwStyle =
        WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    if (!m_wndTree.Create(dwStyle, rect, this, kTreeId))
        return -1;
    m_wndTree.SetImageList(&m_ImageList, LVSIL_NORMAL);
    return 0;
}

void CFileViewControlBar::OnSize(UINT nType, int cx, int cy)
{
    FitChild(m_wndTree);
    SECControlBar::OnSize(nType, cx, cy);
}

void CFileViewControlBar::ClearTree()
{
    if (m_wndTree.GetSafeHwnd() != nullptr)
        m_wndTree.DeleteAllItems();
}

void CFileViewControlBar::AddRootNode(CPageNode* pNode)
{
    if (pNode == nullptr || m_wndTree.GetSafeHwnd() == nullptr)
        return;
    InsertNode(pNode, TVI_ROOT);
    // Each folder opened to show its subfolders scrolled them into view: the tree would open
    // at its last folder. The user starts at the top, with the root.
    if (auto hRoot = reinterpret_cast<HTREEITEM>(pNode->m_dwTreeItem))
        m_wndTree.EnsureVisible(hRoot);
}

void CFileViewControlBar::InsertNode(CPageNode* pNode, HTREEITEM hParent)
{
    CString strText;
    int nImage = 0;
    int nSelectedImage = 0;
    switch (pNode->GetKind()) {
    case CPageNode::kindRoot:
        strText.LoadString(kIdsAllFiles);
        nImage = nSelectedImage = m_nRootImage;
        break;
    case CPageNode::kindFolder:
        strText = pNode->GetName();
        nImage = m_nFolderImage;
        nSelectedImage = m_nOpenFolderImage;
        break;
    default:
        // Pages are listed in the grid, not in the tree.
        return;
    }
    HTREEITEM hItem = nullptr;
    if (m_wndTree.InsertTreeItem(strText, nImage, nSelectedImage, hParent, TVI_LAST, hItem,
                                 CTreeCtrlWrapper::ExpandParent::Yes) != 0)
        return;
    m_wndTree.SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pNode));
    pNode->m_dwTreeItem = reinterpret_cast<DWORD_PTR>(hItem);
    for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;)
        InsertNode(pNode->GetChildren().GetNext(pos), hItem);
}

void CFileViewControlBar::MakeTitle(CPageNode* pNode, CString& strTitle) const
{
    CString strProject;
    CProjectSettings* pSettings = nullptr;
    CString strFile;
    if (GetAppModel().GetProjectSettings(pSettings) == 0)
        pSettings->GetProjectFilePath(strFile);
    if (!strFile.IsEmpty())
        strProject = FileNamePart(strFile);
    else
        strProject.LoadString(kIdsUntitled);

    CString strWhat;
    if (pNode == nullptr) {
        strWhat.LoadString(kIdsAssortedFiles);
    } else if (pNode->GetKind() == CPageNode::kindRoot) {
        strWhat.LoadString(kIdsAllFiles);
    } else if (pNode->GetKind() == CPageNode::kindFolder) {
        CString strPath;
        pNode->GetFullPath(strPath);
        strWhat.Format(kIdsFilesInFolder, static_cast<LPCTSTR>(strPath));
    }
    strTitle.Format("%s : %s", static_cast<LPCTSTR>(strProject), static_cast<LPCTSTR>(strWhat));
}

CPageNode* CFileViewControlBar::NodeAtLastRightClick() const
{
    UINT nFlags = 0;
    HTREEITEM hItem = m_wndTree.HitTest(m_ptLastRightClick, &nFlags);
    if (hItem == nullptr || (nFlags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) == 0)
        return nullptr;
    auto* pNode = reinterpret_cast<CPageNode*>(m_wndTree.GetItemData(hItem));
    if (pNode == nullptr || pNode->GetKind() == CPageNode::kindPage)
        return nullptr;
    return pNode;
}

void CFileViewControlBar::OnContextMenu(CWnd* pWnd, CPoint point)
{
    const HTREEITEM hItem = m_wndTree.GetSafeHwnd() != nullptr ? m_wndTree.GetSelectedItem() : nullptr;
    const BOOL bKeyboard = point.x == -1 && point.y == -1;
    if (bKeyboard && hItem != nullptr)
        m_wndTree.EnsureVisible(hItem);
    CRect label;
    if (bKeyboard && hItem != nullptr && m_wndTree.GetLabelRect(m_wndTree.GetItemRow(hItem), label, 2) && !label.IsRectEmpty()) {
        m_ptKeyboardItem = label.CenterPoint();
        point = CPoint(label.left, label.bottom);
        m_wndTree.ClientToScreen(&point);
    }
    SECControlBar::OnContextMenu(pWnd, point);
    m_ptKeyboardItem.reset();
}

void CFileViewControlBar::OnExtendContextMenu(CMenu* pMenu)
{
    SECControlBar::OnExtendContextMenu(pMenu);
    CPoint point;
    ::GetCursorPos(&point);
    if (m_wndTree.GetSafeHwnd() != nullptr)
        m_wndTree.ScreenToClient(&point);
    m_ptLastRightClick = m_ptKeyboardItem.value_or(point);
    CString strText;
    pMenu->AppendMenu(MF_SEPARATOR);
    if (NodeAtLastRightClick() != nullptr) {
        strText.LoadString(kIdsScanFilesItem);
        pMenu->AppendMenu(MF_STRING, kCmdScanFiles, strText);
    } else {
        strText.LoadString(kIdsNewProjectItem);
        pMenu->AppendMenu(MF_STRING, kCmdNewProject, strText);
    }
}

void CFileViewControlBar::OnScanFiles()
{
    // Mid-scan the pages being counted stay as they are, and no second scan is asked for.
    if (!m_wndTree.ShowPagesOf(NodeAtLastRightClick()))
        return;
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->PostMessage(WM_COMMAND, kCmdStartScan, 0);
}
