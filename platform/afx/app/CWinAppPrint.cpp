// The application's printer selection: the settings blocks every print dialog starts from, and
// File > Print Setup that changes them.
#include "platform/afx/app/CWinApp.h"

#include "platform/afx/dlg/CPrintDialog.h"

#include <cstring>

namespace {

// A moveable block with the same bytes, or null.
HGLOBAL Copy(HGLOBAL source)
{
    if (!source) {
        return nullptr;
    }
    SIZE_T size = GlobalSize(source);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    const void* from = GlobalLock(source);
    void* to = copy ? GlobalLock(copy) : nullptr;
    if (from && to && size) {
        std::memcpy(to, from, size);
    }
    if (to) {
        GlobalUnlock(copy);
    }
    GlobalUnlock(source);
    return copy;
}

void Replace(HGLOBAL& block, HGLOBAL with)
{
    if (block && block != with) {
        GlobalFree(block);
    }
    block = with;
}

} // namespace

CWinApp::PrinterSelection::~PrinterSelection()
{
    Reset();
}

void CWinApp::PrinterSelection::Reset()
{
    Replace(hDevMode, nullptr);
    Replace(hDevNames, nullptr);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pPrintDlg)
{
    if (!pPrintDlg) {
        return FALSE;
    }
    if (!m_printer.hDevNames) {
        // The default printer, asked for once.
        PRINTDLG pd{};
        pd.lStructSize = sizeof(pd);
        pd.Flags = PD_RETURNDEFAULT;
        if (!::PrintDlg(&pd)) {
            return FALSE;
        }
        m_printer.hDevMode = pd.hDevMode;
        m_printer.hDevNames = pd.hDevNames;
    }
    Replace(pPrintDlg->hDevMode, Copy(m_printer.hDevMode));
    Replace(pPrintDlg->hDevNames, Copy(m_printer.hDevNames));
    return pPrintDlg->hDevNames != nullptr;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    GetPrinterDeviceDefaults(&pPD->m_pd);
    INT_PTR result = pPD->DoModal();
    if (result == IDOK && pPD->m_pd.hDevNames) {
        // What was chosen is where the next print starts.
        Replace(m_printer.hDevMode, Copy(pPD->m_pd.hDevMode));
        Replace(m_printer.hDevNames, Copy(pPD->m_pd.hDevNames));
    }
    return result;
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog dlg(TRUE);
    DoPrintDialog(&dlg);
}
