// CClassificationTreeCtrl: the category tree of a classification setting shown for picking a
// node or, in define mode, for building the tree: create, add child nodes, rename and delete,
// from the dialog's toolbar or from its own context menus.
#pragma once

#include "app/panes/CTreeCtrlWrapper.h"
#include "platform/afx/gdi/CImageList.h"

class CDoubleLinkNode;
class CDoubleLinkNodeCol;

class CClassificationTreeCtrl : public CTreeCtrlWrapper {
public:
    enum class Mode { Value, Define };
    static constexpr UINT kIdCreateTree = 32811;
    static constexpr UINT kIdCreateChild = 32812;
    static constexpr UINT kIdRenameNode = 32813;
    static constexpr UINT kIdDeleteNode = 32815;
    static constexpr UINT kIdNodeMenu = 148;
    static constexpr UINT kIdSpaceMenu = 147;

    CClassificationTreeCtrl() = default;
    ~CClassificationTreeCtrl() override = default;

    // The tree the control shows and changes (the dialog's working copy), and the mode.
    void SetTree(CDoubleLinkNodeCol* pTree, Mode mode);
    // Builds the image list and shows every node, each parent opened.
    void LoadTree();
    // Selects the node a ":" path names (any letter case); FALSE when there is none.
    BOOL SelectPath(const CString& strPath);
    // The selected node's path from its root, names joined by ":"; empty without a selection.
    CString GetSelectedPath() const;
    CDoubleLinkNode* GetSelectedNode() const;
    BOOL IsEditingLabel() const { return GetEditRow() >= 0; }

    // The commands, as the toolbar and the context menus give them.
    void OnCreateTree();
    void OnCreateChild();
    void OnRenameNode();
    void OnDeleteNode();

protected:
    LRESULT NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText) override;
    void OnRButtonUp(UINT nFlags, CPoint point);
    // Shift+F10 and the menu key: the menu a right click on the chosen node opens, at the node.
    void OnContextMenu(CWnd* pWnd, CPoint point);
    LRESULT OnReopenEdit(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void InsertNodes(CDoubleLinkNodeCol& nodes, HTREEITEM hParent);
    // In define mode, the node menu or the white-space menu at a point of the tree.
    void TrackDefineMenu(BOOL bOnItem, CPoint point);
    HTREEITEM InsertNode(CDoubleLinkNode* pNode, HTREEITEM hParent, ExpandParent expand);
    // Starts editing the item's label unless an edit is already running.
    void StartEdit(HTREEITEM hItem);

    CDoubleLinkNodeCol* m_pTree = nullptr;
    Mode m_mode = Mode::Value;
    CImageList m_images;
    int m_nImage = -1;
    int m_nSelectedImage = -1;
    CString m_strRefusedText;
};
