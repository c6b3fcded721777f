// SECSplitterBase: a child window dividing its area into up to four panes, two rows by two
// columns, separated by a horizontal and a vertical bar the user drags. SECLayoutNodeSplitter
// is the same window as a layout node: its panes are nodes, and a change of its own size is
// shared out between them.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "toolkit/layout/SECLayoutNodeWnd.h"

// Splitter styles.
#define SEC_SPLITTER_LIVEDRAG 0x0001         // panes follow the mouse while a bar is dragged
#define SEC_SPLITTER_LONEPANE_COLUMNS 0x0002 // with three panes the lone pane spans both columns

// Bar modes: along the first half only, the second half only, the full length, no bar.
enum { SEC_BAR_FIRSTHALF = 0, SEC_BAR_SECONDHALF = 1, SEC_BAR_FULL = 2, SEC_BAR_NONE = 3 };

class SECSplitterPaneInfo : public CObject {
    DECLARE_DYNAMIC(SECSplitterPaneInfo)
public:
    CRect rect[4];       // (0,0), (0,1), (1,0), (1,1)
    BOOL present[4] = {FALSE, FALSE, FALSE, FALSE};
};

class SECSplitterBase : public CWnd {
    DECLARE_DYNAMIC(SECSplitterBase)
public:
    static constexpr int kBarThickness = 6;

    SECSplitterBase();
    ~SECSplitterBase() override = default;

    virtual BOOL Create(CWnd* pParent, const RECT& rect, DWORD dwStyle, UINT nID, DWORD dwSplitterStyle);
    virtual BOOL ShowPane(int nRow, int nCol);
    virtual BOOL HidePane(int nRow, int nCol);
    virtual void SetSplitPos(int x, int y);
    int GetSplitX() const { return m_nSplitX; }
    int GetSplitY() const { return m_nSplitY; }
    int GetHBarMode() const { return m_nHBarMode; }
    int GetVBarMode() const { return m_nVBarMode; }
    CRect GetHBarRect() const { return m_rectHBar; }
    CRect GetVBarRect() const { return m_rectVBar; }
    CRect GetSplitterRect() const { return m_rectSplitter; }
    const SECSplitterPaneInfo& GetPaneInfo() const { return m_paneInfo; }
    void SetInsets(int left, int right, int top, int bottom);
    void SetDrawStyle(DWORD dwStyle) { m_dwDrawStyle = dwStyle; }
    // Draws the bars on a device context whose origin is the splitter's top-left corner.
    virtual void DrawBars(CDC* pDC);

protected:
    virtual void RecalcBarModes();
    virtual void CalcBarRects();
    virtual void CalcPaneRects();
    // Hands the pane rectangles to the panes; nothing here.
    virtual void LayoutPanes(const SECSplitterPaneInfo& /*info*/) {}
    // The panes are shown after a drag or a pane change.
    virtual void RealizePanes() {}
    void Recompute();
    BOOL TrackBars(CPoint point, bool bHorizontal, bool bVertical);
    int HitBars(CPoint clientPoint) const;   // bit 0 vertical bar, bit 1 horizontal bar

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

protected:

    DWORD m_dwSplitterStyle = 0;
    BOOL m_bPaneShown[4] = {FALSE, FALSE, FALSE, FALSE};
    int m_nSplitY = 0;
    int m_nSplitX = 0;
    CRect m_rectHBar, m_rectVBar;             // parent coordinates
    CRect m_rectHBarClient, m_rectVBarClient; // splitter coordinates
    CRect m_rectSplitter;                     // parent coordinates
    int m_nHBarMode = SEC_BAR_NONE;
    int m_nVBarMode = SEC_BAR_NONE;
    BOOL m_bTracking = FALSE;
    int m_nInsetLeft = 0, m_nInsetRight = 0, m_nInsetTop = 0, m_nInsetBottom = 0;
    DWORD m_dwDrawStyle = 1;
    SECSplitterPaneInfo m_paneInfo;
};

class SECLayoutNodeSplitter : public SECSplitterBase, public SECLayoutNodeWnd {
    DECLARE_DYNAMIC(SECLayoutNodeSplitter)
public:
    SECLayoutNodeSplitter();
    ~SECLayoutNodeSplitter() override;

    BOOL Create(CWnd* pParent, const RECT& rect, DWORD dwStyle, UINT nID, DWORD dwSplitterStyle) override;
    virtual BOOL SetPane(int nRow, int nCol, SECLayoutNode* pNode);
    virtual BOOL RemovePane(int nRow, int nCol);
    SECLayoutNode* GetPane(int nRow, int nCol) const;

    void InitializeNode(BOOL bDeep) override;
    BOOL IsNodeValid() override { return SECLayoutNodeWnd::IsNodeValid(); }
    int GetRealizeCount() override { return 1; }
    BOOL RealizeNode(HDWP* phDWP, LPARAM lArg) override;
    void Paint(BOOL bDeep, CDC* pDC) override;

protected:
    CRect OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict) override;
    void InvalidateNodeRect(const CRect& rect, BOOL bErase) override;
    void LayoutPanes(const SECSplitterPaneInfo& info) override;
    void RealizePanes() override;

    // Shares a change of one extent between the two columns (or rows); answers what could not
    // be placed.
    int ShareDelta(int nDelta, int nOld, bool bWidth, int& nSplit, BOOL& bToggle, BOOL bChildNegotiate);

    SECLayoutNode* m_panes[4] = {nullptr, nullptr, nullptr, nullptr};   // row * 2 + column
    CRect m_rectSavedHBar, m_rectSavedVBar;
    BOOL m_bToggleY = FALSE;
    BOOL m_bToggleX = FALSE;
};
