// The grid library's four-function calculator window: a display line above 20 buttons painted
// by the window itself, driven by mouse or keys; the arithmetic is CGXBCalcEngine's. The pop-up
// variant is what the currency edit drops: Enter hands the number back to its owner and closes,
// Escape or a click elsewhere closes it without a result, and it deletes itself when gone.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CObject.h"
#include "toolkit/datetime/CGXBCalcEngine.h"

#include <memory>
#include <vector>

class CDC;

// The calculator's own window style bits.
constexpr DWORD GXCALC_STYLE_RAISED = 0x1;    // a two-pixel raised frame drawn by the calculator
constexpr DWORD GXCALC_STYLE_ETCHED = 0x2;    // an etched line above the display
constexpr DWORD GXCALC_STYLE_SENDONEQUALS = 0x10;   // the pop-up: "Enter" sends the value and closes

// The message with which the pop-up hands its result text (lParam) to its owner.
constexpr UINT GXCALC_WM_RESULT = 0x7E3;

class CGXBCalcBtn : public CObject {
public:
    struct Look {
        HFONT hFont = nullptr;
        HBITMAP* phBitmap = nullptr;
        COLORREF textColor = 0;
        DWORD spare = 0;
    };
    enum : UINT { Pressed = 1, NewRow = 2 };

    virtual void Draw(CDC* pDC);
    BOOL IsPressed() const { return (m_state & Pressed) != 0; }

    Look m_look;
    CString m_strLabel;
    CString m_strKeys;
    UINT m_vKey = 0;
    int m_units = 1;
    CRect m_rect;
    UINT m_state = 0;
    UINT m_id = 0;
};

class CGXBCalculator : public CWnd {
public:
    CGXBCalculator();
    ~CGXBCalculator() override;

    BOOL Create(DWORD dwExStyle, DWORD dwStyle, int x, int y, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    void SetValue(double dValue);
    double GetValue() const { return m_engine.GetValue(); }
    const CGXBCalcEngine& GetEngine() const { return m_engine; }
    // The display line as drawn ("Error " in the error state).
    CString GetDisplayText() const;

    virtual void CreateButtons(CWnd* pFontSource);
    virtual void CreateDisplayFont(CWnd* pFontSource);
    virtual BOOL OnCalcCommand(UINT nID);
    virtual UINT GetClassStyle() { return 0; }
    virtual void OnDraw(CDC* pDC);

    int GetButtonCount() const { return static_cast<int>(m_buttons.size()); }
    CGXBCalcBtn* GetButton(int i) const { return m_buttons[static_cast<size_t>(i)].get(); }
    CGXBCalcBtn* FindButton(UINT nID) const;
    const CRect& GetDisplayRect() const { return m_displayRect; }
    // The content size the buttons need (before the frame is added).
    CSize Layout();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual BOOL IsPopup() const { return FALSE; }
    void Reset();
    void InvalidateDisplay();
    void PressButton(CGXBCalcBtn* pButton);
    int ButtonAt(POINT pt) const;
    void OnPaint();
    void OnLButtonDown(POINT pt);
    void OnLButtonUp(POINT pt);
    void OnMouseMove(POINT pt);
    void OnCancelMode();
    BOOL OnChar(UINT nChar);
    BOOL OnKeyDown(UINT nChar);
    void LoadEnterBitmap();
    CSize AdjustedSize(DWORD dwStyle, DWORD dwExStyle);

    enum : UINT { FlagTracking = 1, FlagLeadByte = 2, FlagValueSet = 4, FlagError = 8 };
    UINT m_flags = 0;
    CGXBCalcEngine m_engine;
    CRect m_displayRect;
    CFont m_fontButtons;
    CFont m_fontDisplay;
    HBITMAP m_hEnterBitmap = nullptr;
    int m_unitWidth = 0;
    int m_unitHeight = 0;
    int m_topMargin = 1;
    int m_leftMargin = 4;
    int m_rowGap = 1;
    int m_columnGap = 0;
    int m_pressed = -1;
    std::vector<std::unique_ptr<CGXBCalcBtn>> m_buttons;
};

class CGXBPopupCalculator : public CGXBCalculator {
public:
    CGXBPopupCalculator() = default;

    // Opens beside the anchor (screen coordinates), inside the screen.
    BOOL Create(DWORD dwStyle, const RECT& rcAnchor, CWnd* pParentWnd, LPVOID lpParam = nullptr);
    BOOL OnCalcCommand(UINT nID) override;
    UINT GetClassStyle() override { return CS_SAVEBITS; }
    // Hands the entry text to the owner, unless in the error state.
    void SendValue();
    void PostNcDestroy() override;
    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Where the pop-up goes for an anchor, a size and the screen.
    static CPoint PlaceBeside(const RECT& rcAnchor, SIZE size, SIZE screen);

    BOOL m_bAutoDelete = FALSE;

protected:
    BOOL IsPopup() const override { return TRUE; }

private:
    using CGXBCalculator::Create;
    BOOL m_bDestroying = FALSE;
};
