// CToolBar: a bar of command buttons drawn from one bitmap strip, loaded from a TOOLBAR resource
// and the bitmap of the same name. Buttons lay out in a row when docked along the top or bottom,
// one under the other along the sides, and wrapped to the remembered width when floating. A click
// sends the button's command to the owner; idle updates enable, check and gray the buttons.
#pragma once

#include "platform/afx/bars/CControlBar.h"

#include <vector>

// Button styles (the low word) and states (the high word).
#define TBBS_BUTTON 0x0000
#define TBBS_SEPARATOR 0x0001
#define TBBS_CHECKBOX 0x0002
#define TBBS_GROUP 0x0004
#define TBBS_CHECKGROUP (TBBS_GROUP | TBBS_CHECKBOX)
#define TBBS_CHECKED 0x00010000
#define TBBS_PRESSED 0x00020000
#define TBBS_DISABLED 0x00040000
#define TBBS_HIDDEN 0x00080000
#define TBBS_INDETERMINATE 0x00100000
#define TBBS_WRAPPED 0x00200000

// An empty slot in a list of button or pane ids: a gap.
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif

// The bar's own window style: buttons without a raised edge until the mouse is over them.
#define TBSTYLE_FLAT 0x0800

struct AFX_TBBUTTON {
    int iImage = -1;
    UINT nID = 0;
    UINT nStyle = 0;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = 0xE800);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                  UINT nID = 0xE800);

    // The size of a button and of its image (the button is the image with a 7 x 7 margin at least).
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    // Buttons and image size from the TOOLBAR resource, images from the bitmap of the same name.
    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
    // Takes the strip; the bar deletes it.
    BOOL SetBitmap(HBITMAP hbmImageWell);
    // Buttons for the ids (ID_SEPARATOR: a gap), images numbered in order; with no ids,
    // nIDCount separators to be filled with SetButtonInfo.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void DoPaint(CDC* pDC) override;

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    HBITMAP m_hbmImageWell = nullptr;

protected:
    // Places the buttons from the client's origin: in one row, one per row (vertical), or
    // wrapped at nWidth; answers the size they take, margins included.
    CSize LayoutButtons(BOOL bHorz, int nWidth);
    void RelayoutForWindow();
    int HitTestButton(CPoint point) const;
    void DrawButton(CDC* pDC, int nIndex);
    void InvalidateButton(int nIndex);

    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonUp(UINT nFlags, CPoint pt);
    void OnMouseMove(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt);
    LRESULT OnSizeMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeaveMsg(WPARAM wParam, LPARAM lParam);

    std::vector<AFX_TBBUTTON> m_buttons;
    std::vector<CRect> m_rects;   // in client coordinates, empty for a hidden button
    int m_iButtonCapture = -1;    // the button pressed with the mouse held
    int m_iHot = -1;              // the flat button under the mouse

    DECLARE_MESSAGE_MAP()
};
