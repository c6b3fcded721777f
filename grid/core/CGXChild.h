// CGXChild and its buttons: small parts that a cell control draws inside its cell and that are
// clicked there, such as the button of a hot-spot or drop-down cell or a state picture. The
// control owns its children and lays them out in the cell's rectangle (window coordinates).
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

class CDC;
class CGXControl;

class CGXChild {
public:
    explicit CGXChild(CGXControl* pComposite) : m_pComposite(pComposite) {}
    virtual ~CGXChild() = default;
    CGXChild(const CGXChild&) = delete;
    CGXChild& operator=(const CGXChild&) = delete;

    // Draws the child; bActive when its cell is the current cell.
    virtual void Draw(CDC* pDC, BOOL bActive) = 0;
    // The mouse over the child: TRUE when the child takes the event.
    virtual BOOL LButtonDown(UINT nFlags, CPoint pt);
    virtual BOOL LButtonUp(UINT nFlags, CPoint pt);
    virtual BOOL MouseMove(UINT nFlags, CPoint pt);
    // The system colours changed.
    virtual void OnSysColorChange() {}

    void SetRect(const CRect& rect) { m_rect = rect; }
    const CRect& GetRect() const { return m_rect; }
    BOOL IsPressed() const { return m_bPressed && m_bMouseInside; }
    CGXControl* Composite() const { return m_pComposite; }

protected:
    void Invalidate();

    CGXControl* m_pComposite;
    CRect m_rect;
    BOOL m_bPressed = FALSE;
    BOOL m_bMouseInside = FALSE;
};

// A push button drawn with 3D edges and an optional caption; a click (press and release over
// it) tells its control.
class CGXButton : public CGXChild {
public:
    explicit CGXButton(CGXControl* pComposite, LPCTSTR pszText = nullptr) : CGXChild(pComposite), m_sText(pszText != nullptr ? pszText : "") {}
    void Draw(CDC* pDC, BOOL bActive) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt) override;
    // Shown only while its cell is current (the drop-down and hot-spot buttons).
    BOOL m_bOnlyWhenActive = TRUE;

protected:
    // The face inside the edges: the caption.
    virtual void DrawFace(CDC* pDC, const CRect& rect);

    CString m_sText;
};

// A child button that shows one bitmap in the current button colours.
class CGXBitmapButtonChild : public CGXButton {
public:
    explicit CGXBitmapButtonChild(CGXControl* pComposite) : CGXButton(pComposite) { m_bOnlyWhenActive = FALSE; }
    // The bitmap of the button; the further ids (pressed and focused faces) are not used.
    BOOL LoadBitmaps(UINT nIDBitmap, UINT nIDBitmapSel = 0, UINT nIDBitmapFocus = 0);
    // Draws the picture without a button frame (a state picture), or on a button face.
    BOOL m_bFrame = FALSE;

    void Draw(CDC* pDC, BOOL bActive) override;
    // The picture was made in the system colours of its loading: it is loaded again.
    void OnSysColorChange() override;

protected:
    void DrawFace(CDC* pDC, const CRect& rect) override;

    CBitmap m_bitmap;
    CSize m_size;
    UINT m_nIDBitmap = 0;
};
