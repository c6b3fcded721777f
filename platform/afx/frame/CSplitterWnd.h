// CSplitterWnd: a window divided into a fixed grid of panes (a static splitter), each pane a
// child window made from a run-time class, with split bars the user drags to share the space
// out (an inverted tracker follows the mouse until the release) and scroll bars shared by the
// panes of a column or a row.
#pragma once

#include "platform/afx/AfxRes.h"
#include "platform/afx/wnd/CWnd.h"

#include <vector>

struct CCreateContext;

// Splitter styles.
#define SPLS_DYNAMIC_SPLIT 0x0001
#define SPLS_INVERT_TRACKER 0x0002

// The shared scroll bars: one horizontal bar per column, one vertical bar per row, and the box
// where they meet.
#define AFX_IDW_HSCROLL_FIRST 0xEA00
#define AFX_IDW_VSCROLL_FIRST 0xEA10
#define AFX_IDW_SIZE_BOX 0xEA20

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    // The splitter as a child of pParentWnd with nRows x nCols panes (1 to 16 each). WS_HSCROLL
    // and WS_VSCROLL in dwStyle ask for shared scroll bars instead of the splitter's own.
    // FALSE for a bad grid or when the window cannot be made.
    virtual BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                              UINT nID = AFX_IDW_PANE_FIRST);
    // Makes the pane at (row, col) from pViewClass (a CWnd class that can be created by name),
    // asking for sizeInit as the row's height and the column's width. FALSE when the place is
    // outside the grid or taken, or the class or the window cannot be made.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    // The current size and the minimum of a row or column (the ideal size is what is set).
    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    DWORD GetScrollStyle() const { return m_dwScrollStyle; }
    void SetScrollStyle(DWORD dwStyle);

    // The pane at (row, col), or null when there is none.
    CWnd* GetPane(int row, int col) const;
    // Whether pWnd is one of the panes, and where.
    BOOL IsChildPane(CWnd* pWnd, int* pRow, int* pCol);
    int IdFromRowCol(int row, int col) const;
    // The frame's active view when it is a pane, else the pane that holds the focus, or null.
    CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr);
    void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    // The shared scroll bar (SB_HORZ or SB_VERT) that scrolls a pane, or null when the splitter
    // has none; panes ask for it instead of showing their own.
    static HWND PASCAL GetSharedScrollBar(const CWnd* pPane, int nBar);

    // Places the panes, the split bars and the shared scroll bars in the client area.
    virtual void RecalcLayout();

    // Sizes, in pixels: the split bar between two panes and the edge drawn around each pane.
    int m_cxSplitter = 7;
    int m_cySplitter = 7;
    int m_cxBorder = 2;
    int m_cyBorder = 2;

protected:
    // Shows or hides the tracker by inverting its rectangle (called in pairs).
    virtual void OnInvertTracker(const CRect& rect);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct RowColInfo {
        int nMinSize = 0;
        int nIdealSize = 0;
        int nCurSize = 0;
    };
    enum class Hit { None, Column, Row, Both };

    void LayOut(std::vector<RowColInfo>& info, int space, int gap) const;
    void CreateSharedScrollBars();
    void Paint();
    // Which split bar a client point is on; the column (row) to its left (above).
    Hit HitTest(CPoint pt, int& col, int& row) const;
    CRect ColumnBar(int col) const;   // the split bar right of column col
    CRect RowBar(int row) const;      // the split bar below row row
    void StartTracking(Hit hit, int col, int row, CPoint pt);
    void TrackTo(CPoint pt);
    void StopTracking(bool accept);
    void DrawTrackers();
    void ForwardScroll(UINT message, WPARAM wParam, HWND bar);
    CRect PaneArea() const;   // the client area less the shared scroll bars

    int m_nRows = 0;
    int m_nCols = 0;
    DWORD m_dwScrollStyle = 0;
    std::vector<RowColInfo> m_rows;
    std::vector<RowColInfo> m_cols;
    // Tracking a split bar.
    bool m_bTracking = false;
    Hit m_trackHit = Hit::None;
    int m_trackCol = 0;
    int m_trackRow = 0;
    CPoint m_trackOffset;      // from the bar's top-left to the press
    CRect m_rectTrackerCol;    // where the column tracker is drawn now
    CRect m_rectTrackerRow;
    CRect m_rectLimit;         // where the bars may go
    HWND m_hWndFocusBefore = nullptr;
};
