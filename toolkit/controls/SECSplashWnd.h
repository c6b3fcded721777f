// SECSplashWnd: a pop-up showing one bitmap resource centred on the screen for a while or until
// a key or button press, then closing and deleting itself.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CString.h"
#include "toolkit/toolbars/SECDib.h"

class CPalette;

class SECSplashWnd : public CWnd {
public:
    static constexpr UINT_PTR kTimerId = 1245;

    SECSplashWnd(UINT nBitmapID, UINT nDisplayTime, BOOL bManualClose = FALSE, BOOL bTopMost = TRUE);
    ~SECSplashWnd() override;

    // FALSE when the window could not be made; the object has then deleted itself already, as
    // it does when its window closes, and must not be touched or deleted again.
    virtual BOOL Create(CWnd* pOwner = nullptr, DWORD dwStyle = WS_POPUP | WS_VISIBLE, DWORD dwExStyle = 0);
    virtual void SetTitle(LPCTSTR lpszTitle);
    virtual void Close();
    virtual BOOL RestartTimer();
    virtual BOOL SetDisplayTime(UINT nMilliseconds);
    virtual void DisableParent(BOOL bDisable);
    virtual void SetTopMost(BOOL bTopMost);
    virtual void SetCloseOnInput(BOOL bClose) { m_bCloseOnInput = bClose; }
    virtual void DrawExtra(CDC* /*pDC*/, const RECT& /*rcClient*/) {}
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Swaps in a palette for the window and realises it; returns the one it had.
    CPalette* SetPalette(CPalette* pPalette);

    HWND GetHiddenOwner() const { return m_hWndHiddenOwner; }
    CWnd* GetDisableTarget() const { return m_pDisableTarget; }
    BOOL IsManualClose() const { return m_bManualClose; }
    BOOL IsTopMost() const { return m_bTopMost; }
    SIZE GetBitmapSize() const { return SIZE{m_nBitmapWidth, m_nBitmapHeight}; }
    const SECDib& GetPicture() const { return m_dib; }

protected:
    void PostNcDestroy() override;
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    LRESULT OnQueryNewPalette(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);
    BOOL RealizeOwnPalette(BOOL bBackground);
    DECLARE_MESSAGE_MAP()

protected:
    HWND m_hWndHiddenOwner = nullptr;
    CWnd* m_pDisableTarget = nullptr;
    BOOL m_bCloseOnInput = TRUE;
    BOOL m_bParentDisabled = FALSE;
    UINT_PTR m_nTimerId = 0;
    BOOL m_bTopMost;
    LONG m_nBitmapHeight = 0;
    LONG m_nBitmapWidth = 0;
    BOOL m_bManualClose;
    UINT m_nDisplayTime;
    UINT m_nBitmapID;
    BOOL m_bTitleSet = FALSE;
    CString m_strTitle;
    SECDib m_dib;
    CPalette* m_pPalette = nullptr;
};
