// SECListTip: a borderless pop-up that shows the whole text of a list cell whose text is cut off,
// placed exactly over the cell.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CString.h"

class SECListClient;

class SECListTip : public CWnd {
public:
    explicit SECListTip(SECListClient* pClient) : m_pClient(pClient) {}

    BOOL CreateTip(CWnd* pOwner);
    void SetTipText(LPCSTR psz) { m_strText = psz ? psz : ""; }
    const CString& GetTipText() const { return m_strText; }

    int m_nRow = -1;
    int m_nSlot = -1;
    RECT m_rect{};               // the cell covered, in the control's client coordinates
    BOOL m_bCaptured = FALSE;    // the control holds the mouse for the tip

protected:
    void OnPaint();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    SECListClient* m_pClient;
    CString m_strText;
};
