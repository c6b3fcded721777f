// The main frame's status bar.
#include "app/frame/CCustomStatusbarWrapper.h"

#include "toolkit/controls/SECProgressCtrl.h"

UINT CCustomStatusbarWrapper::SetProgressText(const CString& strText)
{
    SECProgressCtrl* pMeter = GetProgressCtrl();
    if (!pMeter)
        return 1;
    pMeter->SetText(strText);
    if (pMeter->m_hWnd)
        pMeter->Invalidate();
    return 0;
}
