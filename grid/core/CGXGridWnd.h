// CGXGridWnd: the grid as a child window or dialog control: a window whose messages go to its
// own engine. Its window class lets dialog templates hold grids by class name; such a window
// makes its object on its first message and deletes it when the window goes.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "platform/afx/wnd/CWnd.h"

class CGXGridWnd : public CWnd, public CGXGridCore {
    DECLARE_DYNCREATE(CGXGridWnd)
public:
    CGXGridWnd();
    ~CGXGridWnd() override;

    // Chooses the scroll-bar modes from the window's style (or its scroll-bar parent) and
    // initialises the engine.
    void Initialize() override;
    virtual void OnInitialUpdate();
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);

    // The window class "CGXGridWnd" for dialog templates; its name.
    static LPCTSTR RegisterWndClass(HINSTANCE hInstance);
    static void UnregisterWndClass(HINSTANCE hInstance);
    // How many windows the class procedure made their objects for and still live.
    static size_t GetSelfCreatedCount();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    BOOL m_bFrame = FALSE; // a 3D frame around the window, as the style's 0x200 asks

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    void OnNcPaintFrame();
    BOOL m_bInitialised = FALSE;
    BOOL m_bPaintReported = FALSE;
    friend LRESULT CALLBACK GXGridWndClassProc(HWND, UINT, WPARAM, LPARAM);
};
