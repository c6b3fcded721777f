// SECListClient: what the list's companion windows (tip, editor) ask of the control that owns them.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CString.h"

class CFont;

class SECListClient {
public:
    virtual ~SECListClient() = default;
    virtual CWnd* GetListWnd() { return nullptr; }
    virtual BOOL IsHeightWidthDependent() const { return FALSE; }
    virtual void EndLabelEdit(BOOL /*bCommit*/) {}
    virtual int GetColumnSubItem(int /*nCol*/) const { return -1; }
    virtual void GetScrollOrigin(int& x, int& y) const { x = 0; y = 0; }
    virtual void GetInsideRect(RECT& rc) const { rc = RECT{}; }
    virtual BOOL GetCellRect(int /*nRow*/, int /*nCol*/, RECT& /*rc*/, int /*nPart*/) const { return FALSE; }
    virtual void GetCellText(CString& str, int /*nRow*/, int /*nSlot*/) { str.Empty(); }
    virtual void ClientToScreen(POINT& /*pt*/) const {}
    virtual CWnd* SetCapture(BOOL /*bCapture*/) { return nullptr; }
    virtual BOOL IsSelected(int /*nRow*/) const { return FALSE; }
    virtual COLORREF GetSelTextColor() const { return 0; }
    virtual COLORREF GetSelBkColor() const { return 0; }
    virtual COLORREF GetTipTextColor() const { return 0; }
    virtual COLORREF GetTipBkColor() const { return 0; }
    virtual CFont* GetItemFont() const { return nullptr; }
};
