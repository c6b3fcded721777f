// The grid library's edit window with a push button inside its own border: the button lives in
// the non-client area, is painted and tracked by the window, and reports a click through a
// virtual operation (by default a WM_COMMAND to the parent); F4 and Alt+Down act as a click.
#pragma once

#include "platform/afx/dlg/CEdit.h"
#include "platform/afx/gdi/GdiObjects.h"

class CDC;

class CGXBDropEdit : public CEdit {
public:
    CGXBDropEdit() = default;
    ~CGXBDropEdit() override = default;

    // With bClient the point is in client coordinates, else in screen coordinates.
    virtual BOOL HitTestButton(CPoint point, BOOL bClient);
    virtual void OnButtonClicked();
    virtual void DrawButton(CDC* pDC, RECT rc);

    // Id 0 removes the button; a bitmap that cannot be loaded leaves no button and id 0.
    BOOL SetButtonBitmap(UINT nID);
    UINT GetButtonBitmapID() const { return m_nBitmapID; }
    HBITMAP HasButton() const { return static_cast<HBITMAP>(m_bitmap.GetSafeHandle()); }
    void InvalidateButton();
    // The button's rectangle in window coordinates (empty without a button).
    const CRect& GetButtonRect() const { return m_rcButton; }
    BOOL IsButtonPressed() const { return (m_wFlags & FlagPressed) != 0; }
    int ButtonWidth() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    enum : WORD { FlagPressed = 1, FlagTracking = 2, FlagRight = 4 };
    void PaintButton();
    void EndTracking(BOOL bClick, CPoint screenPt);

    CRect m_rcButton;
    CBitmap m_bitmap;
    UINT m_nBitmapID = 0;
    WORD m_wFlags = FlagRight;
    WORD m_wLeftInset = 1;
    WORD m_wRightInset = 1;
};
