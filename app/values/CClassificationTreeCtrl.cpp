#include "app/values/CClassificationTreeCtrl.h"

#include "app/values/MetaDialogIds.h"
#include "engine/meta/CDoubleLinkNode.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/MessageBox.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/controls/ListDefs.h"

namespace {
constexpr UINT kBitmapNode = 138;
constexpr UINT kBitmapSelectedNode = 139;
constexpr int kImageSize = 16;
constexpr int kImageGrow = 6;
constexpr COLORREF kMaskBlack = 0x000000;
// Posted to itself: a refused label goes back into an open edit once the old one has gone.
constexpr UINT kMsgReopenEdit = WM_USER + 0x120;
} // namespace

BEGIN_MESSAGE_MAP(CClassificationTreeCtrl, CTreeCtrlWrapper)
    ON_WM_RBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(CClassificationTreeCtrl::kIdCreateTree, &CClassificationTreeCtrl::OnCreateTree)
    ON_COMMAND(CClassificationTreeCtrl::kIdCreateChild, &CClassificationTreeCtrl::OnCreateChild)
    ON_COMMAND(CClassificationTreeCtrl::kIdRenameNode, &CClassificationTreeCtrl::OnRenameNode)
    ON_COMMAND(CClassificationTreeCtrl::kIdDeleteNode, &CClassificationTreeCtrl::OnDeleteNode)
    ON_MESSAGE(kMsgReopenEdit, &CClassificationTreeCtrl::OnReopenEdit)
END_MESSAGE_MAP()

void CClassificationTreeCtrl::SetTree(CDoubleLinkNodeCol* pTree, Mode mode)
{
    m_pTree = pTree;
    m_mode = mode;
}

void CClassificationTreeCtrl::LoadTree()
{
    // Masked, so that the pictures' black background shows the tree's own behind them.
    if (m_images.GetSafeHandle() == nullptr &&
        m_images.Create(kImageSize, kImageSize, ILC_COLOR4 | ILC_MASK, 0, kImageGrow)) {
        CBitmap node, selected;
        if (node.LoadBitmap(kBitmapNode))
            m_nImage = m_images.Add(&node, kMaskBlack);
        if (selected.LoadBitmap(kBitmapSelectedNode))
            m_nSelectedImage = m_images.Add(&selected, kMaskBlack);
        SetImageList(&m_images, LVSIL_NORMAL);
    }
    DeleteAllItems();
    if (m_pTree != nullptr)
        InsertNodes(*m_pTree, TVI_ROOT);
    Invalidate();
    if (m_mode == Mode::Define)
        ModifyTreeStyle(0, TVS_EDITLABELS);
}

void CClassificationTreeCtrl::InsertNodes(CDoubleLinkNodeCol& nodes, HTREEITEM hParent)
{
    for (POSITION pos = nodes.GetHeadPosition(); pos != nullptr;) {
        CDoubleLinkNode* pNode = nodes.GetNext(pos);
        HTREEITEM hItem = InsertNode(pNode, hParent, ExpandParent::No);
        if (hItem == nullptr)
            continue;
        InsertNodes(pNode->m_Children, hItem);
        // Opened once with all its children in, without a redraw per item: a big tree loads
        // many times faster and shows the same.
        if (!pNode->m_Children.IsEmpty())
            Expand(hItem, TVE_EXPAND, FALSE);
    }
}

HTREEITEM CClassificationTreeCtrl::InsertNode(CDoubleLinkNode* pNode, HTREEITEM hParent, ExpandParent expand)
{
    HTREEITEM hItem = nullptr;
    if (InsertTreeItem(pNode->m_strName, m_nImage, m_nSelectedImage, hParent, TVI_LAST, hItem, expand) != 0)
        return nullptr;
    SetItemData(hItem, reinterpret_cast<DWORD_PTR>(pNode));
    pNode->m_dwTreeItem = reinterpret_cast<DWORD_PTR>(hItem);
    return hItem;
}

BOOL CClassificationTreeCtrl::SelectPath(const CString& strPath)
{
    CDoubleLinkNode* pNode = nullptr;
    if (m_pTree == nullptr || m_pTree->FindByPath(strPath, pNode) != 0 || pNode == nullptr)
        return FALSE;
    auto hItem = reinterpret_cast<HTREEITEM>(pNode->m_dwTreeItem);
    if (hItem == nullptr || !SelectItem(hItem))
        return FALSE;
    EnsureVisible(hItem);
    return TRUE;
}

CDoubleLinkNode* CClassificationTreeCtrl::GetSelectedNode() const
{
    HTREEITEM hItem = GetSelectedItem();
    return hItem != nullptr ? reinterpret_cast<CDoubleLinkNode*>(GetItemData(hItem)) : nullptr;
}

CString CClassificationTreeCtrl::GetSelectedPath() const
{
    const CDoubleLinkNode* pNode = GetSelectedNode();
    if (pNode == nullptr)
        return CString();
    CString strPath = pNode->m_strName;
    for (const CDoubleLinkNode* pUp = pNode->m_pParent; pUp != nullptr; pUp = pUp->m_pParent)
        strPath = pUp->m_strName + ":" + strPath;
    return strPath;
}

void CClassificationTreeCtrl::StartEdit(HTREEITEM hItem)
{
    if (hItem == nullptr || IsEditingLabel())
        return;
    SelectItem(hItem);
    EnsureVisible(hItem);
    EditLabel(hItem);
}

void CClassificationTreeCtrl::OnCreateTree()
{
    if (m_pTree == nullptr || m_mode != Mode::Define)
        return;
    if (!m_pTree->IsEmpty()) {
        if (AfxMessageBox(kIdsReplaceTree, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
        DeleteAllItems();
        m_pTree->DeleteAll();
    }
    CString strName;
    strName.LoadString(kIdsNewNode);
    m_pTree->AddNew(strName);
    LoadTree();
    StartEdit(GetRootItem());
}

void CClassificationTreeCtrl::OnCreateChild()
{
    if (m_pTree == nullptr || m_mode != Mode::Define)
        return;
    HTREEITEM hParent = GetSelectedItem();
    CDoubleLinkNode* pParent = GetSelectedNode();
    if (hParent == nullptr || pParent == nullptr) {
        AfxMessageBox(kIdsSelectNodeFirst, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (IsEditingLabel()) {
        AfxMessageBox(kIdsNodeBeingEdited, MB_OK);
        return;
    }
    CString strName;
    strName.LoadString(kIdsNewNode);
    auto* pChild = new CDoubleLinkNode(pParent);
    pChild->m_strName = strName;
    pParent->AddChild(pChild);
    HTREEITEM hChild = InsertNode(pChild, hParent, ExpandParent::Yes);
    if (hChild != nullptr) {
        Expand(hParent, TVE_EXPAND);
        StartEdit(hChild);
    }
}

void CClassificationTreeCtrl::OnRenameNode()
{
    if (m_mode != Mode::Define)
        return;
    HTREEITEM hItem = GetSelectedItem();
    if (hItem == nullptr) {
        AfxMessageBox(kIdsSelectNodeFirst, MB_OK | MB_ICONINFORMATION);
        return;
    }
    StartEdit(hItem);
}

void CClassificationTreeCtrl::OnDeleteNode()
{
    if (m_pTree == nullptr || m_mode != Mode::Define)
        return;
    HTREEITEM hItem = GetSelectedItem();
    CDoubleLinkNode* pNode = GetSelectedNode();
    if (hItem == nullptr || pNode == nullptr) {
        AfxMessageBox(kIdsSelectNodeFirst, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (IsEditingLabel()) {
        AfxMessageBox(kIdsNodeBeingEdited, MB_OK);
        return;
    }
    // The item goes first: its subtree's items still point at the nodes about to be freed.
    DeleteItem(hItem);
    m_pTree->RemoveNode(pNode);
}

LRESULT CClassificationTreeCtrl::NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText)
{
    const LRESULT parentReply = CTreeCtrlWrapper::NotifyEndLabelEdit(nRow, nSlot, pszText);
    (void)parentReply;
    HTREEITEM hItem = GetItemAtRow(nRow);
    auto* pNode = hItem != nullptr ? reinterpret_cast<CDoubleLinkNode*>(GetItemData(hItem)) : nullptr;
    if (pszText == nullptr || pNode == nullptr)
        return FALSE;
    const CString strText(pszText);
    // ":" joins the names of a path: a name holding one could never be found again, and the
    // page's value would be lost at the next OK. The user gets the edit back to mend it.
    if (strText.Find(':') >= 0) {
        MessageBeep(MB_OK);
        m_strRefusedText = strText;
        PostMessage(kMsgReopenEdit, 0, reinterpret_cast<LPARAM>(hItem));
        return FALSE;
    }
    pNode->m_strName = strText;
    m_strEditReply = strText;
    return TRUE;
}

LRESULT CClassificationTreeCtrl::OnReopenEdit(WPARAM, LPARAM lParam)
{
    auto hWanted = reinterpret_cast<HTREEITEM>(lParam);
    // The handle is only trusted once found among the items still there.
    HTREEITEM hItem = GetRootItem();
    while (hItem != nullptr && hItem != hWanted)
        hItem = GetNextItemInPreorder(hItem);
    if (hItem == nullptr || IsEditingLabel())
        return 0;
    SelectItem(hItem);
    if (EditLabel(hItem))
        if (CWnd* pEdit = GetEditControl()) {
            pEdit->SetWindowText(m_strRefusedText);
            pEdit->SendMessage(EM_SETSEL, 0, -1);
        }
    return 0;
}

void CClassificationTreeCtrl::TrackDefineMenu(BOOL bOnItem, CPoint point)
{
    CMenu menu;
    if (m_mode != Mode::Define || !menu.LoadMenu(bOnItem ? kIdNodeMenu : kIdSpaceMenu))
        return;
    if (CMenu* pPopup = menu.GetSubMenu(0)) {
        ClientToScreen(&point);
        pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
    }
}

void CClassificationTreeCtrl::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (m_mode == Mode::Define) {
        UINT nHit = 0;
        HitTest(point, &nHit);
        TrackDefineMenu((nHit & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) != 0, point);
    }
    SECListCtrl::OnRButtonUp(nFlags, point);
}

void CClassificationTreeCtrl::OnContextMenu(CWnd* pWnd, CPoint point)
{
    // A right click's own request comes with its point and has had its menu already.
    if (m_mode != Mode::Define || point.x != -1 || point.y != -1) {
        Default();
        return;
    }
    (void)pWnd;
    const HTREEITEM hItem = GetSelectedItem();
    CRect label;
    if (hItem != nullptr) {
        EnsureVisible(hItem);
        if (GetLabelRect(GetItemRow(hItem), label, 2) && !label.IsRectEmpty()) {
            TrackDefineMenu(TRUE, CPoint(label.left, label.bottom));
            return;
        }
    }
    TrackDefineMenu(FALSE, CPoint(4, 4));
}
