// SECCommandList: a list box of commands for the pages that customise toolbars. Each item's
// data is a command id. A press on an item selects it (by the items' own rectangles, so a list
// of several columns works too), shows the command's description in the page, and starts the
// copy drag of a button for that command, as a drag from a button palette does: dropped on a
// toolbar, the toolbar gains the button.
#pragma once

#include "platform/afx/dlg/CListBox.h"
#include "toolkit/res/CustomizeRes.h"

class SECToolBarManager;

class SECCommandList : public CListBox {
    DECLARE_DYNAMIC(SECCommandList)
public:
    SECCommandList() = default;
    ~SECCommandList() override = default;

    // The manager whose toolbars take the dragged buttons.
    void SetManager(SECToolBarManager* pManager) { m_pManager = pManager; }
    // Adds a command with the text shown for it; the index of the item, or LB_ERR.
    int AddCommand(UINT nID, LPCTSTR lpszText);
    // The item under a client point, or -1 (the list's own answer, in one column or several).
    int ItemAtPoint(CPoint point) const;
    UINT GetCommand(int nIndex) const { return static_cast<UINT>(GetItemData(nIndex)); }
    // The description of a command: its string up to the first line end.
    static CString Description(UINT nID);

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    // The copy drag of a button for the command, from the item's place.
    virtual void DragCommand(UINT nID, const CRect& rcItem, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    SECToolBarManager* m_pManager = nullptr;
};
