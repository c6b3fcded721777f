// SECListEdit: the keys that end an in-place edit.
#include "toolkit/controls/SECListEdit.h"

#include "platform/win/VirtualKeys.h"
#include "toolkit/controls/SECListClient.h"

BEGIN_MESSAGE_MAP(SECListEdit, CEdit)
    ON_WM_GETDLGCODE()
    ON_MESSAGE(WM_KEYDOWN, &SECListEdit::OnKeyDownMsg)
END_MESSAGE_MAP()

UINT SECListEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

LRESULT SECListEdit::OnKeyDownMsg(WPARAM wParam, LPARAM)
{
    if (wParam == VK_ESCAPE) {
        m_pClient->EndLabelEdit(FALSE);
        return 0;
    }
    // Height-independent rows hold single-line labels: Enter keeps the text. Otherwise it is a
    // line break in the label.
    if (wParam == VK_RETURN && !m_pClient->IsHeightWidthDependent()) {
        m_pClient->EndLabelEdit(TRUE);
        return 0;
    }
    return Default();
}
