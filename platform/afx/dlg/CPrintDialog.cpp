// The print dialog's object: the settings record, the default printer and the device context.
#include "platform/afx/dlg/CPrintDialog.h"

#include "platform/win/Gdi.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

namespace {

// A DEVNAMES block holding the three names one after another.
HGLOBAL MakeDevNames(const std::string& driver, const std::string& device, const std::string& port, bool isDefault)
{
    size_t header = sizeof(DEVNAMES);
    size_t size = header + driver.size() + device.size() + port.size() + 3;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) {
        return nullptr;
    }
    auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
    char* base = reinterpret_cast<char*>(names);
    size_t at = header;
    auto put = [&](const std::string& s) {
        std::memcpy(base + at, s.c_str(), s.size() + 1);
        WORD offset = static_cast<WORD>(at);
        at += s.size() + 1;
        return offset;
    };
    names->wDriverOffset = put(driver);
    names->wDeviceOffset = put(device);
    names->wOutputOffset = put(port);
    names->wDefault = isDefault ? DN_DEFAULTPRN : 0;
    GlobalUnlock(block);
    return block;
}

} // namespace

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
    return GetDefaults() ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    char printer[64];
    DWORD size = sizeof(printer);
    if (!::GetDefaultPrinter(printer, &size)) {
        return FALSE;
    }
    std::string port = m_pd.hDevNames ? std::string(GetPortName()) : std::string();
    if (m_pd.hDevNames) {
        GlobalFree(m_pd.hDevNames);
    }
    m_pd.hDevNames = MakeDevNames("winspool", printer, port, true);
    if (!m_pd.hDevMode) {
        m_pd.hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODE));
        if (auto* mode = static_cast<DEVMODE*>(GlobalLock(m_pd.hDevMode))) {
            std::strncpy(mode->dmDeviceName, printer, CCHDEVICENAME - 1);
            mode->dmSize = sizeof(DEVMODE);
            mode->dmCopies = 1;
            GlobalUnlock(m_pd.hDevMode);
        }
    }
    if (m_pd.Flags & PD_RETURNDC) {
        m_pd.hDC = CreatePrinterDC();
    }
    return m_pd.hDevNames != nullptr;
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

void CPrintDialog::SetPortName(LPCTSTR lpszPort)
{
    std::string driver = m_pd.hDevNames ? std::string(GetDriverName()) : std::string("winspool");
    std::string device = std::string(GetDeviceName());
    if (m_pd.hDevNames) {
        GlobalFree(m_pd.hDevNames);
    }
    m_pd.hDevNames = MakeDevNames(driver, device, lpszPort ? lpszPort : "", false);
}

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
