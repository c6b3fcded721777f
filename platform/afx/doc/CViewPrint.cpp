// Printing a view: the job is prepared by the view's hooks, each page is drawn by OnPrint on a
// printer device context, and the document goes to the PDF file chosen for the printer. While it
// runs, a small window names the page being printed and lets the user stop the job.
#include "platform/afx/doc/CView.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/doc/CPrintingDialog.h"
#include "platform/afx/gdi/CDC.h"

#include <string>

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CPrintDialog* dlg = pInfo->m_pPD;
    // The application's printer selection, where there is an application.
    CWinApp* app = AfxGetApp();
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // No questions: the selected printer and every page.
        if (app ? !app->GetPrinterDeviceDefaults(&dlg->m_pd) : !dlg->GetDefaults()) {
            return FALSE;
        }
    } else if ((app ? app->DoPrintDialog(dlg) : dlg->DoModal()) != IDOK) {
        return FALSE;
    }
    if (!dlg->m_pd.hDC) {
        dlg->m_pd.hDC = dlg->CreatePrinterDC();
    }
    return dlg->m_pd.hDC != nullptr;
}

CString CView::GetPrintJobTitle()
{
    return m_pDocument ? m_pDocument->GetTitle() : CString();
}

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* msg = GetCurrentMessage();
    if (msg && msg->message == WM_COMMAND && LOWORD(msg->wParam) == ID_FILE_PRINT_DIRECT) {
        printInfo.m_bDirect = TRUE;
    }
    if (!OnPreparePrinting(&printInfo)) {
        return;
    }
    HDC hdc = printInfo.m_pPD->m_pd.hDC;
    if (!hdc) {
        return;
    }
    std::string title(GetPrintJobTitle().GetString());
    // The PDF printer writes to the file chosen as its port.
    std::string output = std::string(printInfo.m_pPD->GetPortName());
    DOCINFO docInfo{sizeof(DOCINFO), title.c_str(), output.c_str(), nullptr, 0};

    CDC dcPrint;
    dcPrint.Attach(hdc);
    dcPrint.m_bPrinting = TRUE;
    // A long job shows which page it is on and can be stopped; the program keeps painting. The
    // window comes before the view starts printing and goes after it has ended, so that the
    // focus leaves and comes back to a view that draws for the screen.
    CPrintingDialog status;
    status.Open(this, title.c_str(), printInfo.m_pPD->GetDeviceName(), output.c_str());
    status.PumpMessages();
    OnBeginPrinting(&dcPrint, &printInfo);
    if (output.empty() || dcPrint.StartDoc(&docInfo) <= 0) {
        OnEndPrinting(&dcPrint, &printInfo);
        status.Close();
        dcPrint.Detach();
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
        return;
    }
    UINT from = printInfo.GetFromPage();
    UINT to = printInfo.GetToPage();
    bool failed = false;
    for (printInfo.m_nCurPage = from; printInfo.m_nCurPage <= to; ++printInfo.m_nCurPage) {
        if (!status.NextPage(printInfo.m_nCurPage, printInfo.GetMaxPage())) {
            break;
        }
        // The view says whether there is such a page before it is started.
        OnPrepareDC(&dcPrint, &printInfo);
        if (!printInfo.m_bContinuePrinting) {
            break;
        }
        printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
        dcPrint.DPtoLP(&printInfo.m_rectDraw);
        if (dcPrint.StartPage() <= 0) {
            failed = true;
            break;
        }
        OnPrint(&dcPrint, &printInfo);
        if (dcPrint.EndPage() <= 0) {
            failed = true;
            break;
        }
        if (printInfo.m_nCurPage == 0xFFFF) {
            break;
        }
    }
    // A job stopped by the user leaves no file behind, nor a message: the old file, if there
    // was one, stays as it was.
    const bool cancelled = !failed && !status.PumpMessages();
    if (failed || cancelled || dcPrint.EndDoc() <= 0) {
        dcPrint.AbortDoc();
        failed = !cancelled;
    }
    OnEndPrinting(&dcPrint, &printInfo);
    status.Close();
    dcPrint.Detach();   // the job's device context goes with printInfo
    if (failed) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
    }
}

void CView::OnFilePrintPreview()
{
    // Laying out a large document's pages and drawing the first one takes a while: the pointer
    // says so until the preview shows.
    CWaitCursor wait;
    // The preview window owns itself and goes when it is closed.
    auto* preview = new CPreviewWnd(this);
    if (!preview->Open()) {
        delete preview;
    }
}
