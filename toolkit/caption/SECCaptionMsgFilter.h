// Caption-button filters: buttons placed, drawn and operated in a window's caption bar with
// the look of the system's own (frame-control images, a pushed look that follows the mouse,
// a command on release over the button, an optional action when held), laid out from the
// caption's right edge in the system's order.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CRect.h"
#include "toolkit/caption/SECMsgFilter.h"

// Keys of the standard caption buttons: their caption part.
enum { SEC_CAPBTN_CLOSE = 0, SEC_CAPBTN_MIN = 1, SEC_CAPBTN_MAX = 2, SEC_CAPBTN_RESTORE = 3, SEC_CAPBTN_HELP = 4 };
// Keys from here on are not caption parts: subclasses draw and command them.
#define SEC_CAPBTN_FIRSTCUSTOM 4096u

class SECCaptionMsgFilter : public SECNcMsgFilter {
    DECLARE_DYNCREATE(SECCaptionMsgFilter)
public:
    explicit SECCaptionMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID) : SECNcMsgFilter(pWnd, nID) {}
    SECMsgFilter* Clone() const override { return new SECCaptionMsgFilter(*this); }

    // The caption bar in window coordinates (origin at the window's top-left corner).
    virtual CRect GetCaptionRect() const;
    virtual CSize GetButtonSizeFromMetrics(int nCxMetric, int nCyMetric) const;
    virtual CSize GetButtonSize() const;
    // The top-left corner of the rightmost button.
    virtual CPoint GetFirstButtonPos(const CRect& rcCaption, CSize szButton) const;

protected:
    HWND Hwnd() const;
};

class SECCaptionControlMsgFilterTimer;

// One caption button.
class SECCaptionControlMsgFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(SECCaptionControlMsgFilter)
public:
    explicit SECCaptionControlMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID, UINT nState = 0, UINT nType = DFC_CAPTION);
    SECCaptionControlMsgFilter(const SECCaptionControlMsgFilter& other);
    ~SECCaptionControlMsgFilter() override;
    SECMsgFilter* Clone() const override { return new SECCaptionControlMsgFilter(*this); }

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    virtual void Draw();
    virtual BOOL HitTest(int xScreen, int yScreen) const;
    virtual void OnLButtonDown(int x, int y);
    virtual void OnLButtonUp(int x, int y);
    virtual void OnHoldTimer(int x, int y);
    virtual void OnTrackMouseMove(int x, int y);
    // Kinds: 0 click, 1 right button pressed on the button, 2 held.
    virtual void SendCommand(int nKind, int x, int y);
    virtual BOOL GetCommandMessage(int nKind, short x, short y, HWND* pWnd, UINT* pMsg, WPARAM* pWParam, LPARAM* pLParam);
    virtual void BeginTracking(BOOL bPushed, BOOL bRedraw);
    virtual void EndTracking(BOOL bClearPushed, BOOL bRedraw);
    virtual void StopTimer();
    virtual void StartTimer(int x, int y);
    virtual BOOL IsVisible(BOOL* pDisabled) const;

    BOOL IsTracking() const { return m_bTracking; }
    BOOL IsTimerRunning() const { return m_pTimerWnd != nullptr; }

    CRect m_rect;              // window coordinates; empty while not shown
    UINT m_nType;
    UINT m_nState;
    BOOL m_bTracking = FALSE;
    int m_nTimerInterval = -1; // milliseconds before the held action; below 1 none, 0 at once

protected:
    SECCaptionControlMsgFilterTimer* m_pTimerWnd = nullptr;
};

// The row of caption buttons: the five standard ones (switched off by the frames, so they only
// reserve their places) and any added after them.
class SECCaptionControlListMsgFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(SECCaptionControlListMsgFilter)
public:
    explicit SECCaptionControlListMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID);
    SECCaptionControlListMsgFilter(const SECCaptionControlListMsgFilter& other);
    SECMsgFilter* Clone() const override { return new SECCaptionControlListMsgFilter(*this); }

    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    virtual void RecalcLayout();
    // Switches the five standard buttons on or off (their places are kept either way).
    void EnableStandardButtons(BOOL bEnable) { EnableDescriptorTable(m_descriptors, bEnable); }

protected:
    DescriptorTable m_descriptors;

private:
    void AddStandardButtons();
};

// The button row of an MDI frame whose active child is maximized: in the menu bar row.
class SECCapConLstMDIMaxChildMsgFilter : public SECCaptionControlListMsgFilter {
    DECLARE_DYNCREATE(SECCapConLstMDIMaxChildMsgFilter)
public:
    explicit SECCapConLstMDIMaxChildMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID)
        : SECCaptionControlListMsgFilter(pWnd, nID) {}
    SECMsgFilter* Clone() const override { return new SECCapConLstMDIMaxChildMsgFilter(*this); }
    CSize GetButtonSize() const override;
    CPoint GetFirstButtonPos(const CRect& rcCaption, CSize szButton) const override;
};

// The hold timer of a pressed button: an invisible child window of the button's window.
class SECCaptionControlMsgFilterTimer : public CWnd {
public:
    SECCaptionControlMsgFilterTimer(SECCaptionControlMsgFilter* pFilter, int nInterval, CPoint point)
        : m_pFilter(pFilter), m_nInterval(nInterval), m_point(point) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    SECCaptionControlMsgFilter* m_pFilter;
    int m_nInterval;
    BOOL m_bTimerSet = FALSE;
    BOOL m_bFired = FALSE;
    CPoint m_point;
};
