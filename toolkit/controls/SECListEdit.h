// SECListEdit: the list's in-place label editor, a multi-line edit that ends the edit on Escape
// (without keeping the text) and, for single-line labels, on Enter.
#pragma once

#include "platform/afx/dlg/CEdit.h"

class SECListClient;

class SECListEdit : public CEdit {
public:
    explicit SECListEdit(SECListClient* pClient) : m_pClient(pClient) {}

protected:
    UINT OnGetDlgCode();
    LRESULT OnKeyDownMsg(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    SECListClient* m_pClient;
};
