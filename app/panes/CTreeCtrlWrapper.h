// The toolkit's tree with one convenience for the application's trees: insert an item with its
// images under a parent and, when asked, open the parent to show it.
#pragma once

#include "platform/core/CString.h"
#include "toolkit/controls/SECTreeCtrl.h"

class CTreeCtrlWrapper : public SECTreeCtrl {
    DECLARE_DYNCREATE(CTreeCtrlWrapper)

public:
    enum class ExpandParent { No, Yes };

    CTreeCtrlWrapper() = default;
    ~CTreeCtrlWrapper() override = default;
    CTreeCtrlWrapper(const CTreeCtrlWrapper&) = delete;
    CTreeCtrlWrapper& operator=(const CTreeCtrlWrapper&) = delete;

    // Inserts the item and gives it back in hNewItem (null on failure); 1 when the insert
    // fails, else 0.
    UINT InsertTreeItem(const CString& strText, int nImage, int nSelectedImage, HTREEITEM hParent,
                        HTREEITEM hInsertAfter, HTREEITEM& hNewItem, ExpandParent expand);
};
