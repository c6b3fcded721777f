// SECProgressCtrl: a progress bar that draws itself in two colours, with an optional percentage
// or custom text in inverse colours across the fill edge, an optional step timer, and a native
// mode in which the platform control paints and keeps the position.
#pragma once

#include "platform/afx/dlg/CProgressCtrl.h"
#include "platform/core/CString.h"

class CDC;
class CFont;

// Own style bits (the last argument of Create, and SetExStyle).
#define SEC_PS_VERTICAL 0x0001
#define SEC_PS_FILLFROMRIGHT 0x0010
#define SEC_PS_FILLFROMTOP 0x0020
#define SEC_PS_SHOWPERCENT 0x0100
#define SEC_PS_SHOWTEXT 0x0200
#define SEC_PS_TEXTLEFT 0x1000
#define SEC_PS_TEXTRIGHT 0x2000
#define SEC_PS_DEFAULT_BIT 0x4000
#define SEC_PS_NATIVE 0x10000
#define SEC_PS_DEFAULT (SEC_PS_DEFAULT_BIT | SEC_PS_SHOWPERCENT)

class SECProgressCtrl : public CProgressCtrl {
    DECLARE_DYNAMIC(SECProgressCtrl)
public:
    SECProgressCtrl() = default;
    ~SECProgressCtrl() override = default;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwExStyle = SEC_PS_DEFAULT);
    virtual BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    virtual void SetRange(UINT nLower, UINT nUpper);
    // Returns the previous position, or in native mode what the platform control answers.
    virtual int SetPos(UINT nPos, BOOL bRedraw = TRUE);
    virtual int OffsetPos(int nDelta, BOOL bRedraw = TRUE);
    virtual int SetStep(int nStep);
    virtual void SetColors(COLORREF crBar, COLORREF crBk);
    virtual void SetTextFont(CFont* pFont, BOOL bRedraw = TRUE);
    virtual void SetText(LPCTSTR pszText) { m_strText = pszText ? pszText : ""; }
    virtual void GetText(CString& str) const { str = m_strText; }
    virtual int StepIt(BOOL bRedraw = TRUE);
    virtual void ResetPos();
    virtual BOOL SetStepTimer(UINT nInterval);
    virtual BOOL RecalcClientRect();
    virtual void FillDone(CDC* pDC, const RECT& rc);
    virtual void FillRemaining(CDC* pDC, const RECT& rc);
    virtual void DrawText(CDC* pDC, double dPercent, const RECT& rcRemaining, const RECT& rcDone);
    virtual void FormatText(CString& /*str*/) {}
    virtual void Draw(CDC* pDC);
    virtual BOOL CalcRects(double dPercent, RECT& rcDone, RECT& rcRemaining) const;
    virtual BOOL DrawBar(double dPercent, const RECT& rcDone, const RECT& rcRemaining, CDC* pDC);
    virtual double GetPercent() const;

    // Replaces the own style; newly switching to native mode first brings the platform control's
    // position up to date, since it was not told while this control drew itself.
    void SetExStyle(DWORD dwExStyle);
    DWORD GetBarStyle() const { return m_dwExStyle; }

    UINT GetPos() const { return m_nPos; }
    int GetStep() const { return m_nStep; }
    void GetRange(UINT& nLower, UINT& nUpper) const { nLower = m_nLower; nUpper = m_nUpper; }
    COLORREF GetBarColor() const { return m_crBar; }
    COLORREF GetBkColor() const { return m_crBk; }
    BOOL IsCreated() const { return m_bCreated; }
    const RECT& GetCachedClientRect() const { return m_rcClient; }
    static constexpr UINT_PTR kTimerId = 256;

protected:
    BOOL IsNative() const { return (m_dwExStyle & SEC_PS_NATIVE) != 0; }
    // Paints every window that is waiting for it, each at most once, so a long job on this
    // thread still shows the bar move and a paint that invalidates again cannot spin.
    static void PumpPaints();

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nPos = 0;
    int m_nStep = 10;
    UINT m_nLower = 0;
    UINT m_nUpper = 100;
    COLORREF m_crBar = 0x800000;
    COLORREF m_crBk = 0xFFFFFF;
    CFont* m_pTextFont = nullptr;
    BOOL m_bVisible = TRUE;
    BOOL m_bCreated = FALSE;
    CString m_strText;
    DWORD m_dwExStyle = SEC_PS_DEFAULT;
    RECT m_rcClient{};
    UINT_PTR m_nTimerId = kTimerId;
};
