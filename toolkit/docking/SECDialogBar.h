// SECDialogBar: a toolkit bar whose contents come from a dialog template, with the toolkit's
// gripper, remembered sizes and saved state. Its controls keep their proportions when it is
// resized, and a saved layout makes a missing one again from its template.
#pragma once

#include "toolkit/docking/SECControlBar.h"

class SECDialogBar : public SECControlBar {
    DECLARE_DYNCREATE(SECDialogBar)
public:
    SECDialogBar();
    ~SECDialogBar() override;

    BOOL Create(CWnd* pParentWnd, LPCTSTR lpszTemplateName, DWORD dwStyle, DWORD dwExStyle, UINT nID);
    BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, DWORD dwStyle, DWORD dwExStyle, UINT nID)
    {
        return Create(pParentWnd, MAKEINTRESOURCE(nIDTemplate), dwStyle, dwExStyle, nID);
    }
    // The toolkit bar's own creation (by window name) stays reachable as SECControlBar::Create;
    // brought in here it would be ambiguous with the template form, which takes the same
    // arguments.

    virtual BOOL SetOccDialogInfo(void* pOccDialogInfo);
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void GetBarInfoEx(SECControlBarInfo* pInfo) override;

    CSize m_sizeDefault{0, 0};
    LPCTSTR m_lpszTemplateName = nullptr;   // an id (MAKEINTRESOURCE) or a copy in m_strTemplateName
    CString m_strTemplateName;
    void* m_pOccDialogInfo = nullptr;

protected:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
