// The print dialog's object: the settings record, the default printer and the device context.
#include "platform/afx/dlg/CPrintDialog.h"

#include "platform/win/Gdi.h"


IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)


CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : m_pd{}
{
    m_pd.lStructSize = sizeof(PRINTDLG);
    m_pd.Flags = dwFlags | PD_RETURNDC;
    if (bPrintSetupOnly) {
        m_pd.Flags |= PD_PRINTSETUP;
        m_pd.Flags &= ~PD_RETURNDC;
    }
    m_pd.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    m_pd.nFromPage = 1;
    m_pd.nToPage = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    // The blocks belong to whoever took them from m_pd; a dialog left holding them frees them.
    if (m_pd.hDevMode) {
        GlobalFree(m_pd.hDevMode);
    }
    if (m_pd.hDevNames) {
        GlobalFree(m_pd.hDevNames);
    }
}

INT_PTR CPrintDialog::DoModal()
{
    if (!m_pd.hwndOwner) {
        m_pd.hwndOwner = ::GetActiveWindow();
    }
    if (m_nIDHelp == 0) {
        m_nIDHelp = (m_pd.Flags & PD_PRINTSETUP) ? PRNSETUPDLGORD : PRINTDLGORD;
    }
    // The first window made from here on is the dialog's; the object is detached again when
    // the dialog manager destroys it.
    AfxHookWindowCreate(this);
    const BOOL chosen = ::PrintDlg(&m_pd);
    AfxUnhookWindowCreate();
    return chosen ? IDOK : IDCANCEL;
}

void CPrintDialog::OnOK()
{
    Default();
}

void CPrintDialog::OnCancel()
{
    Default();
}

BOOL CPrintDialog::GetDefaults()
{
    for (HGLOBAL* block : {&m_pd.hDevMode, &m_pd.hDevNames}) {
        if (*block) {
            GlobalFree(*block);
            *block = nullptr;
        }
    }
    DWORD flags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.Flags &= ~PD_RETURNIC;
    BOOL ok = ::PrintDlg(&m_pd);
    m_pd.Flags = flags;
    return ok;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (!m_pd.hDevNames) {
        return nullptr;
    }
    CString driver = GetDriverName();
    CString device = GetDeviceName();
    CString port = GetPortName();
    DEVMODE* mode = m_pd.hDevMode ? static_cast<DEVMODE*>(GlobalLock(m_pd.hDevMode)) : nullptr;
    HDC dc = ::CreateDC(driver, device, port.IsEmpty() ? nullptr : static_cast<LPCTSTR>(port), mode);
    if (mode) {
        GlobalUnlock(m_pd.hDevMode);
    }
    return dc;
}

DEVMODE* CPrintDialog::GetDevMode() const
{
    return m_pd.hDevMode ? static_cast<DEVMODE*>(GlobalLock(m_pd.hDevMode)) : nullptr;
}

CString CPrintDialog::NameAt(WORD DEVNAMES::*offset) const
{
    if (!m_pd.hDevNames) {
        return CString();
    }
    auto* names = static_cast<const DEVNAMES*>(GlobalLock(m_pd.hDevNames));
    CString name(reinterpret_cast<const char*>(names) + names->*offset);
    GlobalUnlock(m_pd.hDevNames);
    return name;
}

CString CPrintDialog::GetDriverName() const { return NameAt(&DEVNAMES::wDriverOffset); }
CString CPrintDialog::GetDeviceName() const { return NameAt(&DEVNAMES::wDeviceOffset); }
CString CPrintDialog::GetPortName() const { return NameAt(&DEVNAMES::wOutputOffset); }

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        if (DEVMODE* mode = GetDevMode()) {
            int copies = mode->dmCopies;
            GlobalUnlock(m_pd.hDevMode);
            return copies > 0 ? copies : 1;
        }
    }
    return m_pd.nCopies;
}

int CPrintDialog::GetFromPage() const
{
    return PrintRange() ? m_pd.nFromPage : -1;
}

int CPrintDialog::GetToPage() const
{
    return PrintRange() ? m_pd.nToPage : -1;
}
