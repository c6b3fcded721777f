// CGroupView: the view of the project's pages, one row per page. What the application object
// and the scan need of it: loading the selected pages, redrawing one page's row, and letting go
// of the pages before they are deleted.
#pragma once

#include "platform/afx/doc/CView.h"

class CPageNode;
class CSelNodesCol;

class CGroupView : public CView {
    DECLARE_DYNCREATE(CGroupView)
public:
    void OnDraw(CDC* pDC) override;

    // Takes the pages as its rows.
    virtual void LoadPages(CSelNodesCol& pages);
    // Redraws the row of the page.
    virtual void RefreshPageRow(CPageNode* pPage);
    // Forgets its rows' pages, which are about to be deleted.
    virtual void DetachPages();

    // With the flag the file column shows each page's full path, else its name.
    void SetFullPath(BOOL bFullPath) { m_bFullPath = bFullPath; }
    BOOL GetFullPath() const { return m_bFullPath; }
    INT_PTR GetRowCount() const { return m_nRows; }

protected:
    INT_PTR m_nRows = 0;
    BOOL m_bFullPath = FALSE;
};
