// CMiniFrameWnd: a small floating frame (palettes, floating bars) with a tool-window caption,
// whose MFS_ styles choose how its edges size or move it, whether it opens a system menu, and
// whether its caption stays active together with the frame that owns it.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"

// Mini-frame styles (in the frame's own style bits).
#define MFS_SYNCACTIVE 0x00000100L     // the caption is active while the owner frame is
#define MFS_4THICKFRAME 0x00000200L    // sizing edges without the corners
#define MFS_THICKFRAME 0x00000400L     // sizing edges
#define MFS_MOVEFRAME 0x00000800L      // the edges move the frame instead of sizing it
#define MFS_BLOCKSYSMENU 0x00001000L   // no system menu from the keyboard or the caption

class CMiniFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;
    ~CMiniFrameWnd() override = default;

    // A top-level mini frame owned by pParentWnd (or a child one with WS_CHILD). A null class
    // gets the framework's class with an arrow cursor.
    virtual BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd = nullptr, UINT nID = 0);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd = nullptr, UINT nID = 0);
    // Grows a client rectangle to the window rectangle of a mini frame with these styles.
    static void PASCAL CalcBorders(LPRECT lpClientRect, DWORD dwStyle = 0, DWORD dwExStyle = 0);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The frame whose activation a MFS_SYNCACTIVE caption follows: the owner's top-level window.
    HWND SyncFrame() const;
};
