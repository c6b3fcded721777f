#include "grid/core/CGXPrintDeviceImp.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXPrintDevice.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"

IMPLEMENT_DYNAMIC(CGXPrintDeviceImp, CObject)

void CGXPrintDeviceImp::Install()
{
    CGXGridAppData* pData = GXGetAppData();
    pData->InstallImp<CGXPrintDeviceImp>(pData->m_pPrintDeviceImp);
}

INT_PTR CGXPrintDeviceImp::DoPrintDialog(CGXPrintDevice* pDevice, CPrintDialog* pPD)
{
    if (pPD == nullptr)
        return IDCANCEL;
    INT_PTR nResult;
    CWinApp* pApp = AfxGetApp();
    // A document with a printer of its own starts from it and leaves the application's alone.
    if (pDevice != nullptr && pDevice->GetPrinter(pPD->m_pd))
        nResult = pPD->DoModal();
    else
        nResult = pApp != nullptr ? pApp->DoPrintDialog(pPD) : pPD->DoModal();
    if (nResult == IDOK && pDevice != nullptr)
        pDevice->SetPrinter(pPD->m_pd);
    return nResult;
}

BOOL CGXPrintDeviceImp::DoPreparePrinting(CView*, CGXPrintDevice* pDevice, CPrintInfo* pInfo)
{
    if (pInfo == nullptr || pInfo->m_pPD == nullptr)
        return FALSE;
    CPrintDialog* pPD = pInfo->m_pPD;
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // No questions: the document's printer, else the application's, and every page.
        if (pDevice == nullptr || !pDevice->GetPrinter(pPD->m_pd)) {
            CWinApp* pApp = AfxGetApp();
            if (pApp != nullptr ? !pApp->GetPrinterDeviceDefaults(&pPD->m_pd) : !pPD->GetDefaults())
                return FALSE;
        }
    } else if (DoPrintDialog(pDevice, pPD) != IDOK) {
        return FALSE;
    }
    if (pPD->m_pd.hDC == nullptr)
        pPD->m_pd.hDC = pPD->CreatePrinterDC();
    return pPD->m_pd.hDC != nullptr;
}
