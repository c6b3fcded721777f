// SECCustomStatusBar: a status bar whose panes can carry their own colours, alignment, a bitmap
// or a cursor, host child windows, and give way to a progress meter while a long job runs (the
// meter sits beside pane 0's text and the other panes rest until it is cleared).
#pragma once

#include "toolkit/frames/SECStatusBar.h"

#include <memory>
#include <vector>

class CBitmap;
class SECProgressCtrl;

// Pane information masks.
#define SBP_ID 0x0001
#define SBP_STYLE 0x0002
#define SBP_WIDTH 0x0004
#define SBP_TEXT 0x0008
#define SBP_TEXTALIGN 0x0010
#define SBP_FOREGROUND 0x0020
#define SBP_BACKGROUND 0x0040
#define SBP_BITMAP 0x0080
#define SBP_CURSOR 0x0100
#define SBP_ALL 0x01FF

// Pane control flags.
#define SBC_KEEPWIDTH 0x1
#define SBC_KEEPHEIGHT 0x2
#define SBC_INSET 0x4

// One pane read or written in one call.
struct SECPaneInfo {
    int iIndex = 0;
    UINT nID = 0;
    UINT nStyle = 0;
    int cxWidth = 0;
    CString strText;
    COLORREF crTextForeground = 0;
    COLORREF crTextBackground = 0;
    CBitmap* pBitmap = nullptr; // not owned
    HCURSOR hCursor = nullptr;  // not owned
    UINT nTextAlign = 0;
    UINT fMask = 0;
};

class SECCustomStatusBar : public SECStatusBar {
    DECLARE_DYNAMIC(SECCustomStatusBar)
public:
    SECCustomStatusBar();
    ~SECCustomStatusBar() override;

    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    void GetPaneInfoEx(SECPaneInfo* pInfo) const;
    void SetPaneInfoEx(const SECPaneInfo* pInfo, BOOL bFit = FALSE);
    // The pane's rectangle from the control's parts; empty for a pane the control has no part for.
    void GetPaneRect(int nIndex, LPRECT lpRect) const;

    void SetPaneControl(int nIndex, CWnd* pWnd, int nFitMode = 0, UINT nFlags = 0);
    CWnd* GetPaneControl(int nIndex) const;
    UINT GetPaneControlFlags(int nIndex) const;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    virtual BOOL InitProgressBar(LPCTSTR lpszText, UINT nLower, UINT nUpper, BOOL bReset = TRUE,
                                 DWORD dwProgressStyle = 0x4200);
    virtual void ClearProgressBar();
    virtual void ShowPaneControls(BOOL bShow);
    virtual void RepositionPaneControls();
    void StepProgress();

    SECProgressCtrl* GetProgressCtrl() const { return m_pProgressCtrl.get(); }
    // StepProgress paints the meter at once at most this often (ms: about a display frame).
    static constexpr ULONGLONG kStepPaintInterval = 16;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    struct PaneExtra {
        COLORREF crTextForeground = 0;
        COLORREF crTextBackground = 0;
        CBitmap* pBitmap = nullptr;
        HCURSOR hCursor = nullptr;
        UINT nTextAlign = 0;
        UINT fActive = 0;
    };
    PaneExtra* Extra(int nIndex) const;
    // Asks the parent to lay its bars out again at its present size.
    void ResizeParent();

    LRESULT OnSetCursorCustom(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeCustom(WPARAM wParam, LPARAM lParam);
    // Fits the meter, or each pane's control, to its pane as the panes lie now.
    void PlacePaneControls();
    LRESULT OnSetFontCustom(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTextCustom(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMinHeightCustom(WPARAM wParam, LPARAM lParam);

    std::unique_ptr<SECProgressCtrl> m_pProgressCtrl;
    // When StepProgress last painted the meter at once (GetTickCount64), or 0.
    ULONGLONG m_nLastStepPaint = 0;
    std::unique_ptr<SECPaneInfo> m_pSavedPane0;
    std::vector<PaneExtra> m_extras;
    std::vector<CWnd*> m_paneControls;
    std::vector<UINT> m_paneControlFlags;

    DECLARE_MESSAGE_MAP()
};
