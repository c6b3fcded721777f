// The main frame's status bar.
#include "app/frame/CCustomStatusbarWrapper.h"

#include "platform/core/TickCount.h"
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

void CCustomStatusbarWrapper::SetProgressPos(UINT nPos)
{
    SECProgressCtrl* pMeter = GetProgressCtrl();
    if (!pMeter)
        return;
    pMeter->SetPos(nPos, FALSE);
    const ULONGLONG now = ::GetTickCount64();
    if (pMeter->m_hWnd && now - m_nLastStepPaint >= kStepPaintInterval) {
        m_nLastStepPaint = now;
        pMeter->UpdateWindow();
    }
}
