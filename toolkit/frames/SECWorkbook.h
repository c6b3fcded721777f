// SECWorkbook: an MDI frame showing one tab per document window below its MDI client, as in a
// spreadsheet workbook; a click on a tab activates its window. The windows are SECWorksheets,
// which register themselves with the workbook; SECWorkbookClient subclasses the MDI client to
// give it margins, leaving room for the tabs.
#pragma once

#include <vector>

#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"

class SECWorksheet;

class SECWorkbookClient : public CWnd {
public:
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    CWnd* m_pWorkbook = nullptr;
};

// The private messages of the workbook and its client.
#define SEC_WM_ACTIVESHEETCHANGED 0x84D
#define SEC_WM_SHEETMENUCHANGED 0x84E

class SECWorkbook : public SECMDIFrameWnd {
    DECLARE_DYNCREATE(SECWorkbook)
public:
    SECWorkbook();
    ~SECWorkbook() override;

    virtual CRect GetTabArea();
    virtual BOOL CanActivateSheet(SECWorksheet* /*pSheet*/) { return TRUE; }
    virtual void AddSheet(SECWorksheet* pSheet);
    virtual void RemoveSheet(SECWorksheet* pSheet);
    virtual BOOL TabTextFits(int nIndex);
    // The tab's outline: seven points below the MDI client.
    virtual void GetTabPolygon(int nIndex, POINT pts[7]);
    virtual CString GetSheetTitle(int nIndex);
    virtual CRect GetTabTextRect(int nIndex);
    virtual void DrawTab(CDC* pDC, int nIndex);
    virtual void DrawClientBorder(CDC* pDC);
    virtual void DrawTabLabel(CDC* pDC, int nIndex);
    virtual HICON GetSheetIcon(int nIndex);
    virtual void SetSheetIcon(int nIndex, HICON hIcon);

    BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Nothing of the family switches these on: the program's own setters.
    void SetShowTabs(BOOL bShow);
    void SetRepaintOnResize(BOOL bRepaint) { m_bRepaintOnResize = bRepaint; }
    void SetShowIcons(BOOL bShow) { m_bShowIcons = bShow; }

    int GetSheetCount() const { return static_cast<int>(m_sheets.size()); }
    SECWorksheet* GetSheet(int i) const { return m_sheets[static_cast<size_t>(i)]; }
    int GetTabWidth() const { return m_nTabWidth; }
    int GetActiveTab() const { return m_nActiveTab; }
    // The sheet whose tab is under a point of the frame's client area, or -1.
    int TabFromPoint(CPoint point);

    BOOL m_bShowTabs = FALSE;

protected:
    void RecomputeTabWidth();
    void InvalidateTab(int nIndex);
    void InvalidateTabStrip();
    int HiddenBefore(int nIndex) const;
    BOOL IsSheetVisible(int nIndex) const;
    CString ShortenedTitle(CDC* pDC, const CString& title, int width);

    std::vector<SECWorksheet*> m_sheets;
    BOOL m_bShowIcons = TRUE;
    HFONT m_hTabFont = nullptr;
    SECWorkbookClient* m_pClientObject = nullptr;
    HPEN m_hPenWhite = nullptr, m_hPenBlack = nullptr, m_hPenShadow = nullptr, m_hPenFace = nullptr;
    int m_nTabWidth = 100;
    int m_nTabHeight = 23;
    int m_nSlant = 2;
    int m_nActiveWiden = 4;
    int m_nActiveHeighten = 2;
    int m_nMaxTabWidth = 90;
    CRect m_rectLastClient;
    BOOL m_bRepaintOnResize = FALSE;
    int m_nActiveTab = -1;
};

class SECWorksheet : public SECMDIChildWnd {
    DECLARE_DYNCREATE(SECWorksheet)
public:
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    SECWorkbook* GetWorkbook() const;

    int m_nTabIndex = -1;
    BOOL m_bPressed = FALSE;
    HICON m_hIcon = nullptr;
};
