// CStatusBarCtrl: the status bar control as an object.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StatusBar.h"

class CStatusBarCtrl : public CWnd {
    DECLARE_DYNAMIC(CStatusBarCtrl)
public:
    CStatusBarCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL SetText(LPCTSTR lpszText, int nPane, int nType)
    {
        return static_cast<BOOL>(SendMessage(SB_SETTEXT, static_cast<WPARAM>(nPane | nType), reinterpret_cast<LPARAM>(lpszText)));
    }
    // The pane's text; its drawing type (SBT_) in *pType.
    CString GetText(int nPane, int* pType = nullptr) const;
    int GetTextLength(int nPane, int* pType = nullptr) const;
    BOOL SetParts(int nParts, int* pWidths)
    {
        return static_cast<BOOL>(SendMessage(SB_SETPARTS, static_cast<WPARAM>(nParts), reinterpret_cast<LPARAM>(pWidths)));
    }
    int GetParts(int nParts, int* pParts) const
    {
        return static_cast<int>(SendMessage(SB_GETPARTS, static_cast<WPARAM>(nParts), reinterpret_cast<LPARAM>(pParts)));
    }
    BOOL GetBorders(int* pBorders) const
    {
        return static_cast<BOOL>(SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(pBorders)));
    }
    BOOL GetBorders(int& nHorz, int& nVert, int& nSpacing) const;
    void SetMinHeight(int nMin) { SendMessage(SB_SETMINHEIGHT, static_cast<WPARAM>(nMin)); }
    BOOL SetSimple(BOOL bSimple = TRUE) { return static_cast<BOOL>(SendMessage(SB_SIMPLE, static_cast<WPARAM>(bSimple))); }
    BOOL IsSimple() const { return static_cast<BOOL>(SendMessage(SB_ISSIMPLE)); }
    BOOL GetRect(int nPane, LPRECT lpRect) const
    {
        return static_cast<BOOL>(SendMessage(SB_GETRECT, static_cast<WPARAM>(nPane), reinterpret_cast<LPARAM>(lpRect)));
    }
};
