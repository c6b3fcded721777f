// SECToolBar: a dockable toolkit bar whose buttons live in the toolbar control. The bar computes
// its layouts, wraps the control's rows, places child controls that sit on separators and maps
// command-UI updates onto the control's button states. SECToolCmdUI is its command-UI object.
#pragma once

#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/ToolbarControl.h"
#include "toolkit/docking/SECControlBar.h"

#include <vector>

class SECToolBar : public SECControlBar {
    DECLARE_DYNAMIC(SECToolBar)
public:
    SECToolBar();
    ~SECToolBar() override;
    SECToolBar(const SECToolBar&) = delete;
    SECToolBar& operator=(const SECToolBar&) = delete;

    using SECControlBar::Create;
    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                CCreateContext* pContext = nullptr) override;

    // ---- Buttons (a style word is (state << 16) | style, with 0x40000 meaning disabled) ----
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    UINT GetItemID(int nIndex) const;
    // Runs a pending delayed layout first; an empty rectangle when the control has no such item.
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;

    // Shows the images of `hbmImageWell`: replaces the current strip, or adds the first one.
    // The bar owns the bitmap from then on; on failure the caller keeps it.
    BOOL SetImageBitmap(HBITMAP hbmImageWell);

    // ---- Layout ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    // The control's version (major << 16 | minor) and the width of a drop-down arrow, read once.
    static DWORD GetComCtlVersion();
    static int GetDropDownWidth();

    // ---- Layout steps over a copy of the buttons (state bits as the control keeps them) ----
    // The size the buttons take: the widest row and the total height.
    CSize CalcSize(const TBBUTTON* pData, int nCount) const;
    // Clears the wrap bits and wraps rows wider than nWidth; returns the number of rows.
    int WrapToolBar(TBBUTTON* pData, int nCount, int nWidth) const;
    // Fits the buttons: across, the narrowest wrap that keeps the rows of wrapping at nLength;
    // with bVert, the narrowest wrap whose height stays within nLength.
    void SizeToolBar(TBBUTTON* pData, int nCount, int nLength, BOOL bVert = FALSE) const;

    // The image of the buttons and where it was loaded from, for reloading in new colours.
    HINSTANCE m_hInstImageWell = nullptr;
    LPCTSTR m_hRsrcImageWell = nullptr;
    HBITMAP m_hbmImageWell = nullptr;

    BOOL m_bDelayedButtonLayout = TRUE;
    BOOL m_bDirtyFloat = TRUE;
    BOOL m_bDirtyHorz = TRUE;
    BOOL m_bDirtyVert = TRUE;
    CSize m_sizeImage{16, 15};
    CSize m_sizeButton{23, 22};

protected:
    static DWORD s_dwComCtlVersion;   // 0 until read
    static int s_nDropDownWidth;      // -1 until read

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A message straight to the control, past this bar's own handling.
    LRESULT Control(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL GetButton(int nIndex, TBBUTTON* pButton) const;
    // Writes a button back (its state in the bar's convention) when it differs from the
    // control's, by deleting and inserting it.
    void SetButton(int nIndex, TBBUTTON* pButton);
    CSize CalcLayout(DWORD dwMode, int nLength = -1);
    void Layout();
    // Sends a message with the control's newer flat sizing styles on, as those versions need.
    LRESULT WithSizingStyles(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSizeToolBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaintToolBar();
};

// Command-UI updates of one toolbar button: the state bits of its style word.
class SECToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
};
