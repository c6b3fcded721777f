#include "app/panes/CTreeCtrlWrapper.h"

IMPLEMENT_DYNCREATE(CTreeCtrlWrapper, SECTreeCtrl)

UINT CTreeCtrlWrapper::InsertTreeItem(const CString& strText, int nImage, int nSelectedImage, HTREEITEM hParent,
                                      HTREEITEM hInsertAfter, HTREEITEM& hNewItem, ExpandParent expand)
{
    hNewItem = InsertItem(strText, nImage, nSelectedImage, hParent, hInsertAfter);
    if (hNewItem == nullptr)
        return 1;
    // The top level has no item to open.
    if (expand == ExpandParent::Yes && hParent != nullptr && hParent != TVI_ROOT)
        Expand(hParent, TVE_EXPAND);
    return 0;
}
