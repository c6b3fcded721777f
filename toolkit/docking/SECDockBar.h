// SECDockBar: the toolkit's dock bar. It holds its bars in rows like the framework's, and gives
// each bar a share of its row, splitters between the bars of a row and between rows, sunken
// client edges, expanding a bar to its whole row, rows of their own for full-row bars, and the
// insertion of a dragged bar at the point under the cursor.
#pragma once

#include "platform/afx/bars/CDockBar.h"
#include "platform/core/CPtrList.h"

#include <memory>
#include <vector>

class SECControlBar;
class SECControlBarInfo;

// Where InsertBar and DockControlBar put a bar: row, column, and flags.
struct SECDockPos {
    int m_nRow = 0;
    int m_nCol = 0;
    int m_nFlags = 0;
};
#define SEC_DOCKPOS_FROMLASTROW 0x1   // rows count from the last row
#define SEC_DOCKPOS_FROMROWEND 0x2    // columns count from the row's end
#define SEC_DOCKPOS_OWNROW 0x4        // the bar starts a row of its own

// The thickness and share a bar docks with (the frames' DockControlBarEx).
struct SECDockSize {
    float m_fPctWidth = 1.0f;
    int m_nLength = 150;
    int m_nSpare = 0;
};

// The splitter strip between two bars or two rows is this thick.
#define SEC_SPLITTER_WIDTH 6

// A frame too small for its docked panes and its document area shrinks the panes' rows: the
// document area keeps this much on each axis, or half the room the panes share with it when
// there is less than twice this; a row gives way only down to SEC_MIN_SQUEEZED_ROW (or its own
// thickness when thinner). The panes keep their sizes and take them again as the frame grows.
#define SEC_MIN_DOCUMENT_AREA 200
#define SEC_MIN_SQUEEZED_ROW 24

class SECDockBar : public CDockBar {
    DECLARE_DYNCREATE(SECDockBar)
public:
    explicit SECDockBar(BOOL bMDIChild = FALSE);
    ~SECDockBar() override;

    class Splitter : public CObject {
    public:
        int m_nOrient = 0;   // 0: a horizontal strip (moved up and down); 1: a vertical strip
        int m_nKind = 0;     // 0: between rows; 1: between two bars of a row
        CRect m_rect;
        int m_nExtra = 0;    // between rows: the row's first index; between bars: the bar before
        BOOL m_bUsed = TRUE;
        int m_nMin = 0, m_nMax = 0;
        CRect m_rectLast;
        CSize m_sizeLast;
        BOOL m_bDrawn = FALSE;
    };
    class ClientEdge : public CObject {
    public:
        int m_nOrient = 0;
        CRect m_rect;
        BOOL m_bUsed = TRUE;
    };

    // ---- Rows ----
    virtual int GetVisibleBarCount();
    virtual BOOL IsBarExpanded(CControlBar* pBar);
    virtual BOOL IsExpandDisabled(CControlBar* pBar);
    virtual void DockControlBar(CControlBar* pBar, const SECDockPos& pos);
    virtual void DockControlBarAt(CControlBar* pBar, int nCol, int nRow);
    virtual void GetRowBars(CPtrList& list, CControlBar* pBar);
    enum { ExpandMode = 1, ContractMode = 2 };
    virtual void ExpandBar(CControlBar* pBar, int nMode);
    virtual void NoteBarChanged(CControlBar* pBar);
    virtual void RepaintChangedBars();
    virtual void AddSplitter(int nKind, int nOrient, const CRect& rect, int nExtra);
    virtual void GetSplitterLimits(Splitter* pSplitter);
    virtual void AddClientEdge(int nOrient, const CRect& rect);
    virtual void NoteCustomToolBarsInRow(CControlBar* pBar);
    virtual void NormalizeRowShares(int nRowStart, CControlBar* pBar, int* pnSizable, int* pnFixed);
    virtual float ComputeMinimumShare();
    virtual float ClampShare(float fCarry, CControlBar* pBar);
    virtual int InsertBarAtPoint(CControlBar* pBar, const CRect& rect, CPoint point);
    virtual int InsertBar(CControlBar* pBar, const SECDockPos& pos);
    virtual int InsertBarAtIndex(CControlBar* pBar, int nCol, int nRow);
    virtual int InsertBarAsFirstRow(CControlBar* pBar);
    virtual int InsertBarBefore(int nIndex, CControlBar* pBar);
    virtual CRect GetDockingRect(CControlBar* pBar, const CRect& rect, CPoint point, int& nLastIndex,
                                 CRect& rectLast, CPoint& ptLast);
    virtual void MoveSplitter(Splitter* pSplitter, int nDelta);

    // The toolkit's forms of the framework's docking; the frames call these.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    void ReDockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    void GetBarInfo(SECControlBarInfo* pInfo);
    void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd);

    // Neighbours in a row (null at the row's ends).
    CControlBar* GetPrevDockedBar(int nPos) const;
    CControlBar* GetNextDockedBar(int nPos) const;
    CControlBar* GetNextVisibleDockedBar(int nPos) const;
    int FindInsertionIndex(CControlBar* pBar, const CRect& rect, CPoint point);
    // The row around nPos: its first entry and its closing null entry.
    void GetRowRange(int nPos, int& nFirst, int& nEnd) const;
    // Moves a bar to the front of the bar list (the saved layout's floating bars).
    void MoveBarToFront(CControlBar* pBar);
    // Takes every entry of a bar out of the list of bars to repaint.
    void RemoveChangedBar(CControlBar* pBar);

    // What a layout of the rows takes across them: all of it, the rows of sizable bars, and
    // what those rows keep at least when squeezed.
    struct RowsExtent {
        int nTotal = 0;
        int nSizable = 0;
        int nSizableMin = 0;
    };
    // The rows at their own sizes in a room, measured without moving anything.
    RowsExtent MeasureRows(const CRect& rectRoom, BOOL bStretch);
    // Shares the room of this dock bar's axis of the frame (the top and bottom dock bars share
    // its height, the left and right ones its width) between the rows of sizable bars and the
    // document area. The first dock bar of the axis that the frame lays out decides for all.
    void ShareRoomOfAxis(const AFX_SIZEPARENTPARAMS& layout);
    // The thickness a row of sizable bars shows, squeezed as the last sharing of the room said.
    int SqueezedThickness(int nThick) const;
    // The least the document area keeps of the room that it shares with the panes.
    static int MinDocumentExtent(int nShared);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void DoPaint(CDC* pDC) override;

    // The toolkit-wide no-redraw state: bar moves skip their redraw and the changed bars are
    // repainted explicitly.
    static BOOL m_bNoRedraw;

    CPtrArray m_arrChangedBars;
    std::vector<std::unique_ptr<ClientEdge>> m_arrClientEdges;   // built by the layout
    std::vector<std::unique_ptr<Splitter>> m_arrSplitters;
    BOOL m_bMDIChild;
    AFX_SIZEPARENTPARAMS* m_pLayout = nullptr;
    CControlBar* m_pArrivedBar = nullptr;
    BOOL m_bRepainting = FALSE;
    BOOL m_bFullRedraw = FALSE;
    float m_fMinShare = 0.05f;
    // How much of what they have above their minimum the rows of sizable bars show (1: all of
    // it), and the room of the axis that they share with the document area; set by the
    // sharing of the axis's room.
    float m_fSqueeze = 1.0f;
    int m_nSharedRoom = -1;
    // What the last layout of the rows took (read by MeasureRows).
    RowsExtent m_rowsExtent;

    BOOL IsHorzDockBar() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    // Bottom and right dock bars mark changes towards their start.
    BOOL IsFarSide() const { return (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)) != 0; }
    // Runs one splitter drag; the distance moved, 0 when cancelled.
    int Track(Splitter* pSplitter);
    Splitter* SplitterAt(CPoint point) const;

protected:
    void MarkChangedFrom(int nIndex);
    void DeleteStrips();
    void SetBarParentAndStyle(CControlBar* pBar);
    int LayoutBarMode(CControlBar* pBar) const;
    void MoveBar(HDWP& hdwp, CControlBar* pBar, const CRect& rect, BOOL bQuery);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    LRESULT OnSizeParentSEC(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
